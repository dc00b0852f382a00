// The site through HTTP on loopback: the real program on its real database,
// SQLite or, when WF_TEST_DATABASE is "postgres", a PostgreSQL server of its
// own (pg_temp.sh); started once for all cases. Requests may come from any
// loopback address, so that each test counts as a client of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

#include "ScoreRecord.h"
#include "TextCipher.h"

namespace wf {
namespace {

constexpr int kMaxSubmissions = 3;
constexpr int kTimeoutSeconds = 2;

struct Reply {
    int status = 0;  // 0: no answer
    QByteArray head, body;
    QByteArray Header(const QByteArray& name) const {
        for (const QByteArray& line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
};

class Site : public ::testing::Environment {
  public:
    // Not below dir_: as root the database runs as another user, who must be
    // able to reach its directory.
    QTemporaryDir dir_, pgDir_{QStringLiteral("/tmp/wf-pg-XXXXXX")};
    QProcess server_;
    bool postgres_ = qEnvironmentVariable("WF_TEST_DATABASE") == "postgres";
    quint16 port_ = 0;

    QString PgTemp(const QStringList& arguments) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(WF_TESTS_SOURCE_DIR "/pg_temp.sh"), arguments);
        const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit &&
                        p.exitCode() == 0;
        return ok ? QString::fromLocal8Bit(p.readAllStandardOutput().trimmed()) : QString();
    }
    void RunDatabase(bool run) { PgTemp({run ? "start" : "stop", pgDir_.path()}); }

    void SetUp() override {
        QStringList database{"--sqlite", dir_.filePath("scores.sqlite")};
        if (postgres_) {
            const QString connection = PgTemp({"start", pgDir_.path(), QString::number(getpid())});
            ASSERT_FALSE(connection.isEmpty()) << "PostgreSQL did not start";
            database = {"--postgres", connection};
        }
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(QStringLiteral(WF_SERVER_PROGRAM),
                      QStringList{"--listen", "127.0.0.1:0", "--max-submissions",
                                  QString::number(kMaxSubmissions), "--timeout",
                                  QString::number(kTimeoutSeconds)} +
                          database);
        // The first line names the address.
        ASSERT_TRUE(server_.waitForReadyRead(20000) || server_.canReadLine());
        port_ =
            QRegularExpression(QStringLiteral("^wolkenfang-server: http://127\\.0\\.0\\.1:(\\d+)/"))
                .match(QString::fromUtf8(server_.readLine()))
                .captured(1)
                .toUShort();
        ASSERT_NE(port_, 0) << "the server did not name its address";
    }
    void TearDown() override {
        server_.terminate();
        const bool ended = server_.waitForFinished(10000);
        if (!ended)
            server_.kill();
        if (postgres_)
            RunDatabase(false);
        EXPECT_TRUE(ended && server_.exitStatus() == QProcess::NormalExit &&
                    server_.exitCode() == 0)
            << "the server did not end well on SIGTERM";
    }

    // One request on a connection of its own, closed after the answer.
    Reply Send(QByteArray raw, const QString& from = QStringLiteral("127.0.0.1")) const {
        QTcpSocket socket;
        socket.bind(QHostAddress(from));
        socket.connectToHost(QHostAddress::LocalHost, port_);
        socket.write(raw.insert(raw.indexOf("\r\n") + 2, "Connection: close\r\n"));
        QByteArray data;
        while (socket.waitForReadyRead(5000))
            data += socket.readAll();
        Reply reply;
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (end > 0)
            reply = {data.mid(9, 3).toInt(), data.left(end), data.mid(end + 4)};
        return reply;
    }
    Reply Get(const QByteArray& target, const QString& from = QStringLiteral("127.0.0.1")) const {
        return Send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", from);
    }
    Reply Post(const QByteArray& body, const QString& from,
               const QByteArray& type = "application/x-www-form-urlencoded") const {
        return Send("POST /wfscore.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + type +
                        "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
                        body,
                    from);
    }
};

Site& site = *static_cast<Site*>(testing::AddGlobalTestEnvironment(new Site));

QByteArray Digits(int seconds, int score) {
    return EncodeText(ResultRecord(seconds, score), ScoreKey, true);
}

QByteArray FormTarget(int seconds, int score) {
    return "/wfscore.php?punkte=" + Digits(seconds, score);
}

QByteArray TokenOf(const Reply& form) {
    const auto match = QRegularExpression(QStringLiteral("name=\"token\" value=\"([^\"]+)\""))
                           .match(QString::fromUtf8(form.body));
    return match.captured(1).toLatin1();
}

// Opens the form of a result and fills in a name, as a browser would.
QByteArray Filled(int seconds, int score, const QByteArray& name, const QString& from) {
    const QByteArray token = TokenOf(site.Get(FormTarget(seconds, score), from));
    return "punkte=" + Digits(seconds, score) + "&token=" + token +
           "&name=" + QUrl::toPercentEncoding(name);
}

Reply Submit(int seconds, int score, const QByteArray& name, const QString& from) {
    return site.Post(Filled(seconds, score, name, from), from);
}

// What every HTML page of the site must be: German, self-contained, and
// without a script or a word about what runs behind it.
void ExpectOwnGermanPage(const Reply& reply) {
    EXPECT_EQ(reply.Header("Content-Type"), "text/html; charset=utf-8");
    EXPECT_TRUE(reply.body.startsWith("<!DOCTYPE html>\n<html lang=\"de\">"));
    EXPECT_TRUE(reply.body.contains("erfundene Punkte")) << "no word that scores can be forged";
    for (const char* never :
         {"<script", "http:", "https:", "src=", "SQL", "sql", "Qt", "Postgre", "error", "Error"})
        EXPECT_FALSE(reply.body.contains(never)) << never;
    EXPECT_TRUE(reply.Header("Content-Security-Policy").startsWith("default-src 'none'"));
}

TEST(Http, EveryPageAnswers) {
    const QByteArray targets[] = {"/", "/stil.css", "/hs.php", FormTarget(120, -32768)};
    for (const QByteArray& target : targets) {
        SCOPED_TRACE(target.constData());
        const Reply reply = site.Get(target);
        ASSERT_EQ(reply.status, 200);
        if (target.endsWith(".css"))
            EXPECT_TRUE(reply.body.contains("@media")) << "nothing for a phone";
        else
            ExpectOwnGermanPage(reply);
        const Reply head = site.Send("HEAD " + target + " HTTP/1.1\r\n\r\n");
        EXPECT_EQ(head.head, reply.head);
        EXPECT_TRUE(head.body.isEmpty());
    }
    // The form shows the result the address carries and takes a name of 30.
    const QByteArray form = site.Get(FormTarget(60, 245)).body;
    EXPECT_TRUE(form.contains(">245</span> Punkte im Spiel über 60 Sekunden"));
    EXPECT_TRUE(form.contains("<form method=\"post\" action=\"/wfscore.php\">"));
    EXPECT_TRUE(form.contains("maxlength=\"30\""));
}

TEST(Http, RefusalsAreKindGermanPages) {
    const QString from = QStringLiteral("127.0.0.2");
    const QByteArray token = TokenOf(site.Get(FormTarget(60, 245), from));
    const QByteArray digits = Digits(60, 245);
    const auto post = [&](const QByteArray& body, const QByteArray& type) {
        return "POST /wfscore.php HTTP/1.1\r\nContent-Type: " + type +
               "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    };
    const QByteArray urlencoded = "application/x-www-form-urlencoded";
    QByteArray manyHeaders = "GET /hs.php HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 60; ++i)
        manyHeaders += "X-Zeile-" + QByteArray::number(i) + ": 1\r\n";
    const QByteArray tampered = digits.left(digits.size() - 3) + "100";

    const struct {
        QByteArray request;
        int status;
        QByteArray says;
    } cases[] = {
        {"GET /wfscore.php HTTP/1.1\r\n\r\n", 400, "Dieses Ergebnis lässt sich nicht eintragen"},
        {"GET /wfscore.php?punkte=" + tampered + " HTTP/1.1\r\n\r\n", 400,
         "Dieses Ergebnis lässt sich nicht eintragen"},
        {"GET /index.php HTTP/1.1\r\n\r\n", 404, "Seite nicht gefunden"},
        {"PUT /hs.php HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405, "So nicht möglich"},
        {"DELETE /wfscore.php HTTP/1.1\r\n\r\n", 405, "So nicht möglich"},
        {"GET /hs.php?" + QByteArray(3000, 'a') + " HTTP/1.1\r\n\r\n", 414, "Adresse zu lang"},
        {manyHeaders + "\r\n", 431, "zu viele Angaben"},
        {post(QByteArray(5000, 'a'), urlencoded), 413, "Anfrage zu groß"},
        {"POST /wfscore.php HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n" +
             QByteArray("4000\r\n" + QByteArray(0x4000, 'a') + "\r\n").repeated(8) + "0\r\n\r\n",
         413, "Anfrage zu groß"},
        {post("punkte=" + digits + "&token=" + token + "&name=Anna", "text/plain"), 400,
         "Anfrage nicht verstanden"},
        {post("punkte=" + Digits(60, 246) + "&token=" + token + "&name=Anna", urlencoded), 400,
         "Formular nicht erkannt"},
        {post("punkte=" + digits + "&token=" + token.left(40) + "&name=Anna", urlencoded), 400,
         "Formular nicht erkannt"},
        {post("punkte=" + digits + "&token=" + token + "&name=+", urlencoded), 400,
         "Bitte geben Sie einen Namen mit 1 bis 30 Zeichen ein"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.left(70).constData());
        const Reply reply = site.Send(c.request, from);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_TRUE(reply.body.contains(c.says)) << reply.body.constData();
        ExpectOwnGermanPage(reply);
    }
    // None of the refusals used up the form.
    EXPECT_EQ(site.Post("punkte=" + digits + "&token=" + token + "&name=Anna", from).status, 303);
}

TEST(Http, EntryIsStoredOnceEscapedAndMarked) {
    const QString from = QStringLiteral("127.0.0.3");
    const auto fields = Filled(60, -12, "<script>\"x\"</script>&'%1", from);
    const Reply stored = site.Post(fields, from);
    ASSERT_EQ(stored.status, 303);
    const auto location = QRegularExpression(QStringLiteral("^/hs\\.php\\?neu=(\\d+)#e(\\d+)$"))
                              .match(QString::fromLatin1(stored.Header("Location")));
    ASSERT_TRUE(location.hasMatch()) << stored.Header("Location").constData();
    EXPECT_EQ(location.captured(1), location.captured(2));

    const Reply table = site.Get(stored.Header("Location").split('#')[0]);
    ASSERT_EQ(table.status, 200);
    ExpectOwnGermanPage(table);
    const QByteArray escaped = "&lt;script&gt;&quot;x&quot;&lt;/script&gt;&amp;&#39;%1";
    const QByteArray row = "<tr id=\"e" + location.captured(1).toLatin1() + "\" class=\"neu\">";
    EXPECT_TRUE(table.body.contains(row + "<td>")) << "the new entry is not marked";
    EXPECT_TRUE(table.body.contains("<td>" + escaped + "</td><td>-12</td>"));
    EXPECT_TRUE(table.body.contains("Ihr Ergebnis ist eingetragen: Platz "));

    // The same form once more: refused kindly, nothing added.
    const Reply again = site.Post(fields, from);
    EXPECT_EQ(again.status, 409);
    EXPECT_TRUE(again.body.contains("Schon eingetragen"));
    ExpectOwnGermanPage(again);
    EXPECT_EQ(site.Get("/hs.php").body.count(escaped), 1);
}

// The best first, ties in the order of entry; a few entries per client
// address.
TEST(Http, TablesAndTheLimitPerClientAddress) {
    const QString from = QStringLiteral("127.0.0.4");
    ASSERT_EQ(Submit(120, 9001, "Früher", from).status, 303);
    ASSERT_EQ(Submit(120, 9001, "Später", from).status, 303);
    ASSERT_EQ(Submit(120, 9002, "Bester", from).status, 303);
    const Reply limited = Submit(30, 200, "Flink", from);
    EXPECT_EQ(limited.status, 429);
    EXPECT_TRUE(limited.body.contains("Bitte etwas Geduld"));
    EXPECT_GT(limited.Header("Retry-After").toInt(), 0);
    ExpectOwnGermanPage(limited);
    EXPECT_EQ(Submit(30, 200, "Anderswo", QStringLiteral("127.0.0.6")).status, 303);
    const QByteArray page = site.Get("/hs.php").body;
    const qsizetype best = page.indexOf("<td>Bester</td>");
    ASSERT_GT(best, page.indexOf("<h2>120 Sekunden</h2>"));
    EXPECT_LT(best, page.indexOf("<td>Früher</td>"));
    EXPECT_LT(page.indexOf("<td>Früher</td>"), page.indexOf("<td>Später</td>"));
}

TEST(Http, SlowAndIdleClientsAreCutOff) {
    const int limitMs = kTimeoutSeconds * 1000;
    // A request that never ends, and one that trickles in a byte at a time.
    for (bool trickle : {false, true}) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, site.port_);
        ASSERT_TRUE(socket.waitForConnected(5000));
        QElapsedTimer clock;
        clock.start();
        const QByteArray head = "GET /hs.php HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Langsam: ";
        socket.write(head);
        QByteArray answer;
        while (clock.elapsed() < limitMs + 3000 && !answer.contains("\r\n\r\n")) {
            if (trickle && socket.state() == QAbstractSocket::ConnectedState) {
                socket.write("a");
                socket.flush();
            }
            if (socket.waitForReadyRead(200))
                answer += socket.readAll();
        }
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 408 ")) << trickle << answer.left(40).constData();
        EXPECT_GE(clock.elapsed(), limitMs / 2);
        EXPECT_LT(clock.elapsed(), limitMs + 1500);
    }
    // An idle connection is closed after the time limit.
    QTcpSocket idle;
    idle.connectToHost(QHostAddress::LocalHost, site.port_);
    ASSERT_TRUE(idle.waitForConnected(5000));
    EXPECT_TRUE(idle.waitForDisconnected(limitMs + 1500));
}

TEST(Http, DatabaseOutageShowsNoInternalsAndPasses) {
    if (!site.postgres_)
        GTEST_SKIP() << "an SQLite file cannot go away under the server; PostgreSQL can";
    const QString from = QStringLiteral("127.0.0.7");
    const auto fields = Filled(30, 55, "Pech", from);
    site.RunDatabase(false);
    const Reply down = site.Post(fields, from);
    EXPECT_EQ(down.status, 503);
    EXPECT_TRUE(down.body.contains("gerade nicht erreichbar"));
    ExpectOwnGermanPage(down);
    site.RunDatabase(true);
    // The same form goes through once the database is back, without a restart.
    EXPECT_EQ(site.Post(fields, from).status, 303);
}

}  // namespace
}  // namespace wf

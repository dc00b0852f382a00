// The site through HTTP on loopback as an operator runs it (SiteRig): two
// instances of the real program on one database, SQLite or, when
// WF_TEST_DATABASE is "postgres", a PostgreSQL server of their own, and nginx
// in front; started once for all cases. Requests may come from any loopback
// address, so that each test counts as a client of its own. The attacks run
// for a few seconds; WF_FULL_PROOF=1 runs them as long as docs/proof.md says.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <thread>

#include "ScoreRecord.h"
#include "SiteRig.h"
#include "TextCipher.h"

namespace wf {
namespace {

constexpr int kMaxSubmissions = 3;
int Proof(int quick, int full) {
    return qEnvironmentVariableIntValue("WF_FULL_PROOF") ? full : quick;
}

// The full proof runs with the site's default limits; the quick one cuts
// sooner, and lets a client hold few connections, so that a proxy counted
// as one client shows.
const int kTimeoutSeconds = Proof(2, 10);
const int kPerClient = Proof(4, 16);

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
    SiteRig rig_{qEnvironmentVariable("WF_TEST_DATABASE") == "postgres"};
    bool postgres_ = rig_.postgres();
    quint16 port_ = 0;

    void RunDatabase(bool run) { rig_.RunDatabase(run); }
    void SetUp() override {
        QString error = rig_.StartDatabase();
        if (error.isEmpty())
            error = rig_.StartSite(
                2,
                {"--max-connections-per-client", QString::number(kPerClient), "--max-submissions",
                 QString::number(kMaxSubmissions), "--timeout", QString::number(kTimeoutSeconds)},
                true);
        ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
        port_ = rig_.Port(0);
    }
    void TearDown() override {
        EXPECT_TRUE(rig_.StopSite()) << "the server did not end well on SIGTERM";
    }

    // One request on a connection of its own, closed after the answer.
    Reply Send(QByteArray raw, const QString& from = QStringLiteral("127.0.0.1"),
               quint16 port = 0) const {
        QTcpSocket socket;
        socket.bind(QHostAddress(from));
        socket.connectToHost(QHostAddress::LocalHost, port ? port : port_);
        socket.write(raw.insert(raw.indexOf("\r\n") + 2, "Connection: close\r\n"));
        QByteArray data;
        while (socket.waitForReadyRead((kTimeoutSeconds + 3) * 1000))
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
               const QByteArray& type = "application/x-www-form-urlencoded", quint16 port = 0,
               const QByteArray& extra = {}) const {
        return Send("POST /wfscore.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + type + extra +
                        "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
                        body,
                    from, port);
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

// A raw non-blocking connection from a loopback address of its own.
int Connect(const QByteArray& from, quint16 port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in a{AF_INET, 0, {}, {}}, to{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    inet_pton(AF_INET, from.constData(), &a.sin_addr);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
    return fd;
}

// Whether the server ended the connection; what it sent is dropped.
bool Ended(int fd) {
    char chunk[4096];
    ssize_t n;
    while ((n = recv(fd, chunk, sizeof chunk, MSG_DONTWAIT)) > 0) {
    }
    return n == 0 || (n < 0 && errno != EAGAIN && errno != ENOTCONN);
}

qint64 RssKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    status.open(QIODevice::ReadOnly);
    const auto m = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+)"))
                       .match(QString::fromLatin1(status.readAll()));
    return m.captured(1).toLongLong();
}

// Where one request ends and the next begins is never in doubt: a request
// that leaves it open is refused and its connection closed, so that what
// follows it is never answered; HTTP/1.0 ends after one answer.
TEST(Http, FramingLeavesNoDoubt) {
    const QByteArray next = "GET /stil.css HTTP/1.1\r\nHost: x\r\n\r\n";
    const QByteArray post = "POST /wfscore.php HTTP/1.1\r\nHost: x\r\n";
    const struct {
        const char* what;
        QByteArray request;
        QList<int> statuses;
        bool open;
    } cases[] = {
        {"length and chunked",
         post + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n" + next,
         {400},
         false},
        {"two lengths",
         post + "Content-Length: 5\r\nContent-Length: 41\r\n\r\nname=" + next,
         {400},
         false},
        {"the same length twice",
         post + "Content-Length: 5\r\nContent-Length: 5\r\n\r\nname=" + next,
         {400},
         false},
        {"a coding besides chunked",
         post + "Transfer-Encoding: gzip, chunked\r\n\r\n0\r\n\r\n" + next,
         {400},
         false},
        {"HTTP/1.0", "GET /hs.php HTTP/1.0\r\n\r\n" + next, {200}, false},
        {"HTTP/1.1, two in a row", next + next, {200, 200}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, site.port_);
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write(c.request);
        QByteArray data;
        QElapsedTimer clock;
        clock.start();
        while (socket.state() == QAbstractSocket::ConnectedState && clock.elapsed() < 1000) {
            if (socket.waitForReadyRead(100))
                data += socket.readAll();
        }
        QList<int> statuses;
        auto found = QRegularExpression(QStringLiteral("(?:^|\\n)HTTP/1\\.1 (\\d{3}) "))
                         .globalMatch(QString::fromLatin1(data));
        while (found.hasNext())
            statuses.append(found.next().captured(1).toInt());
        EXPECT_EQ(statuses, c.statuses);
        EXPECT_EQ(socket.state() == QAbstractSocket::ConnectedState, c.open);
    }
}

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer keeps freed memory in a quarantine of 256 MiB.
constexpr qint64 kRssBoundKiB = 1024 * 1024;
#else
constexpr qint64 kRssBoundKiB = 200 * 1024;
#endif

// Clients that send requests and never read the answers get one answer at a
// time, are cut at the time limit and cost the server next to nothing.
TEST(Http, ClientsThatDoNotReadAreCut) {
    const QByteArray get = "GET /hs.php HTTP/1.1\r\nHost: x\r\n\r\n";
    std::vector<int> fds(8, -1);
    int cuts = 0;
    qint64 peak = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < Proof(5, 15) * 1000) {
        for (size_t i = 0; i < fds.size(); ++i) {
            if (fds[i] < 0)
                fds[i] = Connect("127.0.4." + QByteArray::number(i + 1), site.port_);
            while (send(fds[i], get.constData(), size_t(get.size()), MSG_NOSIGNAL) > 0) {
            }
            if (errno != EAGAIN && errno != ENOTCONN) {
                close(fds[i]);
                fds[i] = -1;
                ++cuts;
            }
        }
        peak = std::max(peak, RssKiB(site.rig_.Pid(0)));
        QThread::msleep(50);
    }
    EXPECT_EQ(site.Get("/hs.php", QStringLiteral("127.0.4.100")).status, 200);
    for (int fd : fds)
        close(fd);
    std::printf(
        "8 clients that do not read, %d s: %d connections cut, server RSS at most %lld KiB\n",
        Proof(5, 15), cuts, peak);
    EXPECT_GE(cuts, 8);
    EXPECT_LT(peak, kRssBoundKiB);
}

// 512 idle connections from 16 addresses and 100 that send their headers
// slowly, each opened again as soon as the server ends it: players from
// other addresses still get the tables.
TEST(Http, CrowdsDoNotLockPlayersOut) {
    struct Crowd {
        int fd;
        QByteArray from;
        bool slow;
    };
    std::vector<Crowd> crowd;
    for (int i = 0; i < 612; ++i) {
        crowd.push_back({-1,
                         i < 512 ? "127.0.1." + QByteArray::number(1 + i % 16)
                                 : "127.0.2." + QByteArray::number(1 + i % 10),
                         i >= 512});
    }
    std::atomic<bool> done{false};
    int asked = 0, answered = 0, quick = 0;
    std::thread players([&] {
        while (!done) {
            QElapsedTimer clock;
            clock.start();
            const Reply reply =
                site.Get("/hs.php", QStringLiteral("127.0.3.%1").arg(1 + asked++ % 200));
            answered += reply.status == 200;
            quick += reply.status == 200 && clock.elapsed() <= 1000;
            QThread::msleep(100);
        }
    });
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < Proof(4, 30) * 1000) {
        for (Crowd& c : crowd) {
            if (c.fd >= 0 && Ended(c.fd)) {
                close(c.fd);
                c.fd = -1;
            }
            if (c.fd < 0) {
                c.fd = Connect(c.from, site.port_);
                if (c.slow)
                    send(c.fd, "GET /hs.php HTTP/1.1\r\nX-Langsam: ", 33, MSG_NOSIGNAL);
            } else if (c.slow) {
                send(c.fd, "a", 1, MSG_NOSIGNAL);
            }
        }
        QThread::msleep(200);
    }
    done = true;
    players.join();
    for (const Crowd& c : crowd)
        close(c.fd);
    std::printf("players: %d of %d answered, %d within 1 s\n", answered, asked, quick);
    EXPECT_EQ(answered, asked);
}

// nginx in front, two instances behind it: the client is the address nginx
// saw, many players through nginx are no single client, and the entry limit
// holds for both instances together.
TEST(Http, BehindTheProxyEachPlayerCounts) {
    // 64 players at once, each asking ten times; a query, so that nginx asks
    // the site instead of its cache.
    std::atomic<int> answered{0};
    std::vector<std::thread> players;
    for (int i = 0; i < 64; ++i) {
        players.emplace_back([&answered, i] {
            for (int n = 0; n < 10; ++n) {
                answered +=
                    site.Send(
                            "GET /hs.php?" + QByteArray::number(n) + " HTTP/1.1\r\nHost: x\r\n\r\n",
                            QStringLiteral("127.0.6.%1").arg(i + 1), site.rig_.NginxPort())
                        .status == 200;
            }
        });
    }
    for (std::thread& player : players)
        player.join();
    EXPECT_EQ(answered, 640) << "players through the proxy were refused";

    const quint16 nginx = site.rig_.NginxPort(), other = site.rig_.Port(1);
    const struct {
        const char* what;
        quint16 port;
        QString from;
        QByteArray forwarded;
        int status;
    } cases[] = {
        {"through nginx, 1", nginx, "127.0.5.1", {}, 303},
        {"through nginx, 2", nginx, "127.0.5.1", {}, 303},
        {"through nginx, 3", nginx, "127.0.5.1", {}, 303},
        {"through nginx, one too many", nginx, "127.0.5.1", {}, 429},
        {"a list of its own does not help", nginx, "127.0.5.1", "10.9.8.7", 429},
        {"nor the other instance directly", other, "127.0.5.1", {}, 429},
        {"a trusted proxy names it", other, "127.0.0.1", "10.0.0.1, 127.0.5.1", 429},
        {"an untrusted one names nobody", other, "127.0.5.2", "127.0.5.1", 303},
        {"through nginx, another player", nginx, "127.0.5.3", {}, 303},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray extra =
            c.forwarded.isEmpty() ? QByteArray() : "\r\nX-Forwarded-For: " + c.forwarded;
        EXPECT_EQ(site.Post(Filled(120, 500, "Proxy", c.from), c.from,
                            "application/x-www-form-urlencoded", c.port, extra)
                      .status,
                  c.status);
    }
}

// A long lock on the entries: the pages that need no database and the tables
// in memory answer at once; an entry waits the statement's time and is
// refused kindly, and goes through once the lock is gone.
TEST(Http, PagesAnswerWhileTheDatabaseIsLocked) {
    const QString from = QStringLiteral("127.0.0.8");
    const QByteArray fields = Filled(30, 77, "Geduld", from);
    const QStringList db = site.rig_.DatabaseOptions();
    QSqlDatabase locker = QSqlDatabase::addDatabase(site.postgres_ ? "QPSQL" : "QSQLITE", "locker");
    site.postgres_ ? locker.setConnectOptions(db[1]) : locker.setDatabaseName(db[1]);
    ASSERT_TRUE(locker.open());
    {
        QSqlQuery lock(locker);
        ASSERT_TRUE(site.postgres_ ? lock.exec("BEGIN") &&
                                         lock.exec("LOCK TABLE entries IN ACCESS EXCLUSIVE MODE")
                                   : lock.exec("BEGIN EXCLUSIVE"));
        Reply entry;
        std::thread submit([&] { entry = site.Post(fields, from); });
        qint64 slowest = 0;
        QElapsedTimer held;
        held.start();
        while (held.elapsed() < Proof(3, 8) * 1000) {
            for (const char* target : {"/", "/hs.php"}) {
                QElapsedTimer clock;
                clock.start();
                EXPECT_EQ(site.Get(target, from).status, 200) << target;
                slowest = std::max(slowest, clock.elapsed());
            }
            QThread::msleep(100);
        }
        submit.join();
        lock.exec("ROLLBACK");
        std::printf("a %d s lock: the slowest page took %lld ms; the entry: %d\n", Proof(3, 8),
                    slowest, entry.status);
        EXPECT_EQ(entry.status, 503);
        EXPECT_TRUE(entry.body.contains("gerade nicht erreichbar"));
    }
    locker.close();
    locker = QSqlDatabase();
    QSqlDatabase::removeDatabase("locker");
    EXPECT_EQ(site.Post(fields, from).status, 303);
}

}  // namespace
}  // namespace wf

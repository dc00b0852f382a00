#include "TestSite.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QTcpSocket>
#include <QUrl>

namespace wf {
namespace {

QByteArray PgTemp(const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral(WF_TESTS_SOURCE_DIR "/pg_temp.sh"), arguments);
    const bool ok =
        p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return ok ? p.readAllStandardOutput().trimmed() : QByteArray();
}

TestSite* site = nullptr;

class SiteEnvironment : public ::testing::Environment {
    void SetUp() override {
        site = new TestSite;
        const QString error = site->Start();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }
    void TearDown() override {
        EXPECT_TRUE(site->Stop()) << "the server did not end well on SIGTERM";
        delete site;
    }
};

[[maybe_unused]] auto* const environment = testing::AddGlobalTestEnvironment(new SiteEnvironment);

}  // namespace

TestSite& Site() {
    return *site;
}

QByteArray Reply::Header(const QByteArray& name) const {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

QString TestSite::Start() {
    QStringList database{"--sqlite", dir_.filePath("scores.sqlite")};
    if (qEnvironmentVariable("WF_TEST_DATABASE") == "postgres") {
        postgres_ =
            QString::fromLocal8Bit(PgTemp({"start", pgDir_.path(), QString::number(getpid())}));
        if (postgres_.isEmpty())
            return QStringLiteral("PostgreSQL did not start");
        database = {"--postgres", postgres_};
    }
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start(QStringLiteral(WF_SERVER_PROGRAM),
                  QStringList{"--listen", "127.0.0.1:0", "--max-submissions",
                              QString::number(kMaxSubmissions), "--timeout",
                              QString::number(kTimeoutSeconds)} +
                      database);
    // The first line names the address.
    if (!server_.waitForReadyRead(20000) && !server_.canReadLine())
        return QStringLiteral("the server did not start");
    const auto match =
        QRegularExpression(QStringLiteral("^wolkenfang-server: http://127\\.0\\.0\\.1:(\\d+)/"))
            .match(QString::fromUtf8(server_.readLine()));
    port_ = match.captured(1).toUShort();
    return port_ ? QString() : QStringLiteral("the server did not name its address");
}

bool TestSite::Stop() {
    server_.terminate();
    const bool ended = server_.waitForFinished(10000);
    if (!ended)
        server_.kill();
    if (Postgres())
        RunDatabase(false);
    return ended && server_.exitStatus() == QProcess::NormalExit && server_.exitCode() == 0;
}

void TestSite::RunDatabase(bool run) {
    PgTemp({run ? "start" : "stop", pgDir_.path()});
}

Reply TestSite::Send(const QByteArray& raw, const QString& from) const {
    QTcpSocket socket;
    socket.bind(QHostAddress(from));
    socket.connectToHost(QHostAddress::LocalHost, port_);
    socket.write(raw);
    Reply reply;
    QByteArray data;
    qsizetype need = -1;
    while ((need < 0 || data.size() < need) && socket.waitForReadyRead(5000)) {
        data += socket.readAll();
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (need < 0 && end >= 0) {
            reply.head = data.left(end);
            need = end + 4 +
                   (raw.startsWith("HEAD ") ? 0 : reply.Header("Content-Length").toLongLong());
        }
    }
    if (need >= 0) {
        reply.status = reply.head.mid(9, 3).toInt();
        reply.body = data.mid(reply.head.size() + 4);
    }
    return reply;
}

Reply TestSite::Get(const QByteArray& target, const QString& from) const {
    return Send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", from);
}

Reply TestSite::Post(const QList<std::pair<QByteArray, QByteArray>>& fields,
                     const QString& from) const {
    QByteArray body;
    for (const auto& [name, value] : fields)
        body += (body.isEmpty() ? "" : "&") + QUrl::toPercentEncoding(name) + '=' +
                QUrl::toPercentEncoding(value);
    return Send(
        "POST /wfscore.php HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
        "application/x-www-form-urlencoded\r\nContent-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body,
        from);
}

}  // namespace wf

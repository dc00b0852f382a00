#include "TestSite.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUrl>

namespace wf {
namespace {

QString PgScript() {
    return QStringLiteral(WF_TESTS_SOURCE_DIR "/pg_temp.sh");
}

QByteArray Run(const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(PgScript(), arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput().trimmed();
}

QByteArray Encode(const QByteArray& value) {
    return QUrl::toPercentEncoding(value);
}

}  // namespace

QByteArray Reply::Header(const QByteArray& name) const {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

QString TestSite::Start() {
    if (!dir_.isValid() || !pgDir_.isValid())
        return QStringLiteral("no temporary directory");
    QStringList database{"--sqlite", dir_.filePath("scores.sqlite")};
    if (qEnvironmentVariable("WF_TEST_DATABASE") == "postgres") {
        postgres_ =
            QString::fromLocal8Bit(Run({"start", pgDir_.path(), QString::number(getpid())}));
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
    const QRegularExpression address(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/"));
    while (server_.waitForReadyRead(20000) || server_.canReadLine()) {
        if (!server_.canReadLine())
            continue;
        const auto match = address.match(QString::fromUtf8(server_.readLine()));
        if (match.hasMatch()) {
            port_ = match.captured(1).toUShort();
            return {};
        }
    }
    return QStringLiteral("the server did not start");
}

bool TestSite::Stop() {
    // SIGTERM: the server must end by itself, and well.
    server_.terminate();
    const bool ended = server_.waitForFinished(10000);
    if (!ended)
        server_.kill();
    if (Postgres())
        StopDatabase();
    return ended && server_.exitStatus() == QProcess::NormalExit && server_.exitCode() == 0;
}

void TestSite::StopDatabase() {
    Run({"stop", pgDir_.path()});
}

void TestSite::StartDatabase() {
    Run({"start", pgDir_.path()});
}

Reply TestSite::Send(const QByteArray& raw, const QString& from, int timeoutMs) const {
    QTcpSocket socket;
    socket.bind(QHostAddress(from));
    socket.connectToHost(QHostAddress::LocalHost, port_);
    Reply reply;
    if (!socket.waitForConnected(timeoutMs))
        return reply;
    socket.write(raw);
    QByteArray data;
    qsizetype need = -1;
    while (socket.waitForReadyRead(timeoutMs)) {
        data += socket.readAll();
        const qsizetype end = data.indexOf("\r\n\r\n");
        if (end < 0)
            continue;
        if (need < 0) {
            reply.head = data.left(end);
            need = raw.startsWith("HEAD ") ? end + 4
                                           : end + 4 + reply.Header("Content-Length").toLongLong();
        }
        if (data.size() >= need)
            break;
    }
    if (need < 0)
        return reply;
    reply.status = reply.head.mid(9, 3).toInt();
    reply.body = data.mid(reply.head.size() + 4);
    return reply;
}

Reply TestSite::Get(const QByteArray& target, const QString& from) const {
    return Send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", from);
}

Reply TestSite::Post(const QByteArray& target,
                     const QList<std::pair<QByteArray, QByteArray>>& fields,
                     const QString& from) const {
    QByteArray body;
    for (const auto& [name, value] : fields)
        body += (body.isEmpty() ? "" : "&") + Encode(name) + '=' + Encode(value);
    return Send("POST " + target +
                    " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
                    "application/x-www-form-urlencoded\r\nContent-Length: " +
                    QByteArray::number(body.size()) + "\r\n\r\n" + body,
                from);
}

namespace {

TestSite* site = nullptr;

class SiteEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        site = new TestSite;
        const QString error = site->Start();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }
    void TearDown() override {
        EXPECT_TRUE(site->Stop()) << "the server did not end well on SIGTERM";
        delete site;
        site = nullptr;
    }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new SiteEnvironment);

}  // namespace

const TestSite& Site() {
    return *site;
}

TestSite& MutableSite() {
    return *site;
}

}  // namespace wf

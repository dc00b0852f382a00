#include "SiteRig.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace wf {
namespace {

quint16 FreePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

}  // namespace

SiteRig::SiteRig(bool postgres) : postgres_(postgres) {
    // nginx's workers run as another user when started by root.
    QFile::setPermissions(dir_.path(), QFile::Permissions(0x7755));
}

SiteRig::~SiteRig() {
    StopSite();
    if (nginx_.state() != QProcess::NotRunning) {
        nginx_.terminate();
        if (!nginx_.waitForFinished(10000))
            nginx_.kill();
    }
    if (postgres_)
        RunDatabase(false);
}

QString SiteRig::PgTemp(const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral(WF_SERVER_TESTS_DIR "/pg_temp.sh"), arguments);
    const bool ok =
        p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return ok ? QString::fromLocal8Bit(p.readAllStandardOutput().trimmed()) : QString();
}

void SiteRig::RunDatabase(bool run) {
    PgTemp({run ? "start" : "stop", pgDir_.path()});
}

QString SiteRig::StartDatabase() {
    database_ = QStringList{"--sqlite", dir_.filePath("scores.sqlite")};
    if (!postgres_)
        return {};
    const QString connection = PgTemp({"start", pgDir_.path(), QString::number(getpid())});
    database_ = QStringList{"--postgres", connection};
    return connection.isEmpty() ? QStringLiteral("PostgreSQL did not start") : QString();
}

QString SiteRig::StartSite(int count, const QStringList& options, bool withNginx) {
    for (int i = 0; i < count; ++i) {
        auto& server = servers_.emplace_back(std::make_unique<QProcess>());
        server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server->start(
            QStringLiteral(WF_SERVER_PROGRAM),
            QStringList{"--listen", "127.0.0.1:0", "--trusted-proxy", "127.0.0.1", "--access-log",
                        dir_.filePath(QStringLiteral("access%1.log").arg(i))} +
                options + database_);
        // The first line names the address.
        if (!server->waitForReadyRead(30000) && !server->canReadLine())
            return QStringLiteral("instance %1 did not start").arg(i);
        const QString line = QString::fromUtf8(server->readLine());
        ports_.push_back(
            QRegularExpression(QStringLiteral("^wolkenfang-server: http://127\\.0\\.0\\.1:(\\d+)/"))
                .match(line)
                .captured(1)
                .toUShort());
        if (ports_.back() == 0)
            return QStringLiteral("instance %1 did not name its address: %2").arg(i).arg(line);
    }
    return withNginx ? StartNginx() : QString();
}

QString SiteRig::StartNginx() {
    QFile example(QStringLiteral(WF_SOURCE_DIR "/docs/nginx-wolkenfang-server.conf"));
    if (!example.open(QIODevice::ReadOnly))
        return QStringLiteral("no docs/nginx-wolkenfang-server.conf");
    nginxPort_ = FreePort();
    staticPort_ = FreePort();
    QString site = QString::fromUtf8(example.readAll());
    const QString ports[] = {"8081", "8082"};
    for (size_t i = 0; i < ports_.size() && i < 2; ++i)
        site.replace("127.0.0.1:" + ports[i], QStringLiteral("127.0.0.1:%1").arg(ports_[i]));
    if (ports_.size() == 1)  // one instance: the second line goes
        site.remove(QRegularExpression(QStringLiteral("\\n\\s*server 127\\.0\\.0\\.1:8082;")));
    site.replace(QStringLiteral("listen 80;"),
                 QStringLiteral("listen 127.0.0.1:%1;").arg(nginxPort_))
        .remove(QStringLiteral("listen [::]:80;"))
        .replace(QStringLiteral("/var/cache/nginx/wolkenfang"), dir_.filePath("cache"));
    for (const char* sub : {"static", "cache", "tmp"}) {
        QDir().mkpath(dir_.filePath(sub));
        QFile::setPermissions(dir_.filePath(sub), QFile::Permissions(0x7777));
    }
    const QString d = dir_.path();
    const QString conf =
        QStringLiteral(
            "worker_processes 2;\npid %1/nginx.pid;\nerror_log %1/nginx-error.log;\n"
            "events { worker_connections 4096; }\nhttp {\n  access_log off;\n"
            "  client_body_temp_path %1/tmp/body;\n  proxy_temp_path %1/tmp/proxy;\n"
            "  fastcgi_temp_path %1/tmp/fastcgi;\n  uwsgi_temp_path %1/tmp/uwsgi;\n"
            "  scgi_temp_path %1/tmp/scgi;\n  include %1/site.conf;\n"
            "  server { listen 127.0.0.1:%2; root %1/static; keepalive_requests 100000; }\n}\n")
            .arg(d)
            .arg(staticPort_);
    QFile siteFile(dir_.filePath("site.conf")), confFile(dir_.filePath("nginx.conf"));
    if (!siteFile.open(QIODevice::WriteOnly) || siteFile.write(site.toUtf8()) < 0 ||
        !confFile.open(QIODevice::WriteOnly) || confFile.write(conf.toUtf8()) < 0)
        return QStringLiteral("cannot write the nginx configuration");
    siteFile.close();
    confFile.close();
    nginx_.setProcessChannelMode(QProcess::ForwardedChannels);
    nginx_.start(QStringLiteral("/usr/sbin/nginx"),
                 {"-p", d, "-c", confFile.fileName(), "-g", "daemon off;"});
    for (int i = 0; i < 100; ++i) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, nginxPort_);
        if (probe.waitForConnected(100))
            return {};
        if (nginx_.state() == QProcess::NotRunning)
            break;
        QThread::msleep(100);
    }
    return QStringLiteral("nginx did not start (tools/setup.sh installs it)");
}

bool SiteRig::StopSite() {
    bool ok = true;
    for (auto& server : servers_) {
        server->terminate();
        const bool ended = server->waitForFinished(10000);
        if (!ended)
            server->kill();
        ok = ok && ended && server->exitStatus() == QProcess::NormalExit && server->exitCode() == 0;
    }
    servers_.clear();
    ports_.clear();
    return ok;
}

}  // namespace wf

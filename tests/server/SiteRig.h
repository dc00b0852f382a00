#pragma once
// The site as an operator runs it, for the HTTP tests and server_bench: the
// real program, one or more instances on one database (an SQLite file, or a
// PostgreSQL server of its own from pg_temp.sh), and nginx in front with the
// example configuration of docs/, only its ports and paths changed. Every
// instance trusts 127.0.0.1, where nginx connects from; clients that are to
// count as others use other loopback addresses.
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace wf {

class SiteRig {
  public:
    explicit SiteRig(bool postgres);
    ~SiteRig();

    // The database alone (the tests and the benchmark may fill it first);
    // error text or empty.
    QString StartDatabase();
    // Qt SQL's view of the database: --sqlite FILE or --postgres CONNECTION.
    QStringList DatabaseOptions() const { return database_; }
    // `count` instances with these options besides the database's; nginx in
    // front when asked. Error text or empty.
    QString StartSite(int count, const QStringList& options, bool withNginx);
    // PostgreSQL stopped or started again.
    void RunDatabase(bool run);
    // Ends the instances with SIGTERM: true when each ended well.
    bool StopSite();

    quint16 Port(int instance) const { return ports_[size_t(instance)]; }
    qint64 Pid(int instance) const { return servers_[size_t(instance)]->processId(); }
    quint16 NginxPort() const { return nginxPort_; }
    // nginx serves the files of this directory on StaticPort().
    QString StaticDir() const { return dir_.filePath(QStringLiteral("static")); }
    quint16 StaticPort() const { return staticPort_; }
    bool postgres() const { return postgres_; }

  private:
    QString PgTemp(const QStringList& arguments);
    QString StartNginx();

    bool postgres_;
    QTemporaryDir dir_;
    // Not below dir_: as root the database runs as another user, who must be
    // able to reach its directory.
    QTemporaryDir pgDir_{QStringLiteral("/tmp/wf-pg-XXXXXX")};
    QStringList database_;
    std::vector<std::unique_ptr<QProcess>> servers_;
    std::vector<quint16> ports_;
    QProcess nginx_;
    quint16 nginxPort_ = 0, staticPort_ = 0;
};

}  // namespace wf

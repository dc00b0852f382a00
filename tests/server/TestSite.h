#pragma once
// The real server program on loopback for the HTTP tests: on SQLite or, when
// WF_TEST_DATABASE is "postgres", on a PostgreSQL server of its own. Started
// before the first test and stopped after the last. Its client can speak from
// any loopback address, so that each test counts as a client of its own.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace wf {

struct Reply {
    int status = 0;  // 0: no answer
    QByteArray head, body;
    QByteArray Header(const QByteArray& name) const;
};

class TestSite {
  public:
    static constexpr int kMaxSubmissions = 3;
    static constexpr int kTimeoutSeconds = 2;

    QString Start();  // "" or what failed
    bool Stop();      // false when the server did not end well on SIGTERM
    bool Postgres() const { return !postgres_.isEmpty(); }
    // Starts or stops the PostgreSQL server under the running site.
    void RunDatabase(bool run);
    quint16 Port() const { return port_; }

    // One request on a connection of its own, and its answer.
    Reply Send(const QByteArray& raw, const QString& from = QStringLiteral("127.0.0.1")) const;
    Reply Get(const QByteArray& target, const QString& from = QStringLiteral("127.0.0.1")) const;
    Reply Post(const QList<std::pair<QByteArray, QByteArray>>& fields,
               const QString& from = QStringLiteral("127.0.0.1")) const;  // the form

  private:
    QTemporaryDir dir_;
    // Not below dir_: as root the database runs as another user, who must
    // be able to reach its directory.
    QTemporaryDir pgDir_{QStringLiteral("/tmp/wf-pg-XXXXXX")};
    QString postgres_;
    QProcess server_;
    quint16 port_ = 0;
};

TestSite& Site();

}  // namespace wf

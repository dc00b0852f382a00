#pragma once
// The real server program on loopback for the HTTP tests, on SQLite or, when
// WF_TEST_DATABASE is "postgres", on a PostgreSQL server of its own; and a
// small HTTP client that can speak from any loopback address.
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace wf {

struct Reply {
    int status = 0;  // 0: no answer
    QByteArray head;
    QByteArray body;
    QByteArray Header(const QByteArray& name) const;
};

class TestSite {
  public:
    // Starts PostgreSQL (when asked for) and the server; "" or what failed.
    QString Start();
    // Stops them; false when the server did not end well.
    bool Stop();

    bool Postgres() const { return !postgres_.isEmpty(); }
    // Stops or starts the PostgreSQL server under the running site.
    void StopDatabase();
    void StartDatabase();

    // Sends raw bytes from a loopback address and reads one answer.
    Reply Send(const QByteArray& raw, const QString& from = QStringLiteral("127.0.0.1"),
               int timeoutMs = 5000) const;
    Reply Get(const QByteArray& target, const QString& from = QStringLiteral("127.0.0.1")) const;
    Reply Post(const QByteArray& target, const QList<std::pair<QByteArray, QByteArray>>& fields,
               const QString& from = QStringLiteral("127.0.0.1")) const;
    quint16 Port() const { return port_; }

    static constexpr int kMaxSubmissions = 3;
    static constexpr int kTimeoutSeconds = 2;

  private:
    QTemporaryDir dir_;
    // Its own directory (not below dir_): as root the database server runs as
    // another user, who must be able to reach it.
    QTemporaryDir pgDir_{QStringLiteral("/tmp/wf-pg-XXXXXX")};
    QString postgres_;
    QProcess server_;
    quint16 port_ = 0;
};

// The one site of this test program, started before the first test and
// stopped after the last.
const TestSite& Site();
TestSite& MutableSite();

}  // namespace wf

#pragma once
// One line per request: time (UTC), client, method, path without its query
// (the query of a form holds the player's record), status, bytes of the body
// and milliseconds. Lines are gathered and written at most a second late, so
// that a busy site does not write once per request.
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <mutex>

namespace wf {

class AccessLog {
  public:
    // "-" or empty: standard output.
    bool Open(const QString& path, QString* error);
    ~AccessLog();

    void Add(const QByteArray& client, const QByteArray& method, const QByteArray& path, int status,
             qint64 bytes, double ms);
    void Flush();

  private:
    std::mutex mutex_;
    QByteArray pending_;
    FILE* file_ = stdout;
};

}  // namespace wf

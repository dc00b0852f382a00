#pragma once
// Counts the entries that each client address stored within a sliding window
// and refuses more than the allowed number. An IPv6 client counts by its /64
// network, since one machine usually holds a whole one.
#include <QHash>
#include <QHostAddress>
#include <QList>

namespace wf {

class RateLimiter {
  public:
    // limit 0: no limit.
    RateLimiter(int limit, qint64 windowSeconds);

    // 0 when the client may store one more entry now (and counts it);
    // otherwise the seconds until it may.
    qint64 Take(const QHostAddress& client, qint64 now);

  private:
    void Forget(qint64 now);

    int limit_;
    qint64 window_;
    QHash<QByteArray, QList<qint64>> times_;  // per client, oldest first
    qint64 lastForget_ = 0;
};

}  // namespace wf

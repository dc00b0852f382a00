#include "RateLimiter.h"

namespace wf {
namespace {

QByteArray ClientKey(const QHostAddress& client) {
    bool v4 = false;
    const quint32 ip4 = client.toIPv4Address(&v4);  // also for ::ffff:a.b.c.d
    if (v4)
        return "4:" + QByteArray::number(ip4);
    const Q_IPV6ADDR ip6 = client.toIPv6Address();
    return "6:" + QByteArray(reinterpret_cast<const char*>(ip6.c), 8);
}

}  // namespace

RateLimiter::RateLimiter(int limit, qint64 windowSeconds) : limit_(limit), window_(windowSeconds) {}

qint64 RateLimiter::Take(const QHostAddress& client, qint64 now) {
    if (limit_ <= 0)
        return 0;
    // Clients that went quiet are dropped now and then, so that many
    // addresses cannot make the table grow for ever.
    if (now - lastForget_ >= window_)
        Forget(now);
    QList<qint64>& times = times_[ClientKey(client)];
    while (!times.isEmpty() && times.first() <= now - window_)
        times.removeFirst();
    if (times.size() >= limit_)
        return times.first() + window_ - now;
    times.append(now);
    return 0;
}

void RateLimiter::Forget(qint64 now) {
    lastForget_ = now;
    for (auto it = times_.begin(); it != times_.end();) {
        if (it->isEmpty() || it->last() <= now - window_)
            it = times_.erase(it);
        else
            ++it;
    }
}

}  // namespace wf

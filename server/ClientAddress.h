#pragma once
// Which client a request counts for. The connection caps and the entry limit
// count per client: an IPv4 address, or an IPv6 /64 network, since one machine
// usually holds a whole one. Behind reverse proxies that the operator trusts,
// the client is the address those proxies put into X-Forwarded-For.
#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QPair>

namespace wf {

// "4:<address>" or "6:<its first 64 bits>", both in hex.
QByteArray ClientKey(const QHostAddress& address);

class TrustedProxies {
  public:
    // "ADDRESS" or "ADDRESS/PREFIX"; false when it is neither.
    bool Add(const QString& network);
    bool Trusts(const QHostAddress& address) const;
    // The client behind a connection from `peer`: peer itself unless it is
    // trusted. From a trusted peer, the X-Forwarded-For list (its fields
    // joined by commas, in order) is read from its end, where the nearest
    // proxy wrote: the first address that is not a trusted proxy is the
    // client. What a client wrote into the list itself lies before that and
    // is never taken. An entry that is no address ends the walk at the last
    // address read.
    QHostAddress Client(const QHostAddress& peer, QByteArrayView forwardedFor) const;

  private:
    QList<QPair<QHostAddress, int>> networks_;
};

}  // namespace wf

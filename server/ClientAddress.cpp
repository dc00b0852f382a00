#include "ClientAddress.h"

namespace wf {
namespace {

// IPv4-mapped IPv6 addresses as plain IPv4, so that both spellings of one
// client are the same client.
QHostAddress Plain(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4) : address;
}

}  // namespace

QByteArray ClientKey(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    if (v4)
        return "4:" + QByteArray::number(ip4, 16);
    const Q_IPV6ADDR ip6 = address.toIPv6Address();
    return "6:" + QByteArray(reinterpret_cast<const char*>(ip6.c), 8).toHex();
}

bool TrustedProxies::Add(const QString& network) {
    const QString text = network.trimmed();
    QPair<QHostAddress, int> subnet = text.contains('/')
                                          ? QHostAddress::parseSubnet(text)
                                          : QPair<QHostAddress, int>(QHostAddress(text), -1);
    if (subnet.first.isNull())
        return false;
    subnet.first = Plain(subnet.first);
    if (subnet.second < 0)
        subnet.second = subnet.first.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128;
    networks_.append(subnet);
    return true;
}

bool TrustedProxies::Trusts(const QHostAddress& address) const {
    const QHostAddress plain = Plain(address);
    for (const auto& [network, prefix] : networks_) {
        if (plain.isInSubnet(network, prefix))
            return true;
    }
    return false;
}

QHostAddress TrustedProxies::Client(const QHostAddress& peer, QByteArrayView forwardedFor) const {
    QHostAddress client = Plain(peer);
    if (forwardedFor.isEmpty() || !Trusts(client))
        return client;
    const QList<QByteArray> hops = forwardedFor.toByteArray().split(',');
    for (auto hop = hops.crbegin(); hop != hops.crend() && Trusts(client); ++hop) {
        QByteArray text = hop->trimmed();
        if (text.startsWith('[') && text.endsWith(']'))
            text = text.mid(1, text.size() - 2);
        const QHostAddress address(QString::fromLatin1(text));
        if (address.isNull())
            break;
        client = Plain(address);
    }
    return client;
}

}  // namespace wf

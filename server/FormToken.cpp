#include "FormToken.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace wf {
namespace {

QByteArray Mac(const QByteArray& secret, QByteArrayView idAndTime, QByteArrayView digits) {
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, secret);
    mac.addData(idAndTime.data(), idAndTime.size());
    mac.addData("|", 1);
    mac.addData(digits.data(), digits.size());
    return mac.result().toHex();
}

// Compares without leaving early, so that the time taken tells nothing about
// how much of a forged MAC was right.
bool SameBytes(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

bool IsLowerHex(QByteArrayView text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

}  // namespace

QByteArray IssueToken(const QByteArray& secret, QByteArrayView digits, qint64 now) {
    quint32 random[4];
    QRandomGenerator::system()->fillRange(random);
    const QByteArray id = QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex();
    const QByteArray idAndTime = id + '-' + QByteArray::number(now);
    return idAndTime + '-' + Mac(secret, idAndTime, digits);
}

TokenCheck CheckToken(const QByteArray& secret, QByteArrayView digits, QByteArrayView token,
                      qint64 now) {
    const qsizetype firstDash = token.indexOf('-');
    const qsizetype lastDash = token.lastIndexOf('-');
    if (firstDash != 32 || lastDash <= firstDash + 1 || lastDash - firstDash > 21)
        return {};
    const QByteArrayView idAndTime = token.first(lastDash);
    const QByteArrayView id = token.first(firstDash);
    if (!IsLowerHex(id) || !SameBytes(token.sliced(lastDash + 1), Mac(secret, idAndTime, digits)))
        return {};
    bool ok = false;
    const qint64 issued = token.sliced(firstDash + 1, lastDash - firstDash - 1).toLongLong(&ok);
    if (!ok)
        return {};
    // A little slack backwards for a clock that was set back.
    if (issued > now + 300 || now - issued > kTokenLifetime)
        return {TokenCheck::Expired, {}};
    return {TokenCheck::Valid, id.toByteArray()};
}

}  // namespace wf

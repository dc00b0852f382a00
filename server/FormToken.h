#pragma once
// The token that every submit form carries. It binds the form to the record it
// was issued for and lets it be sent once: a random id (stored with the entry,
// so that a second send finds it taken), the time of issue, and a MAC over both
// and the record's digits under the site's secret. Nothing is stored before the
// form is sent, so showing forms costs the site nothing.
#include <QByteArray>
#include <QByteArrayView>

namespace wf {

inline constexpr qint64 kTokenLifetime = 24 * 60 * 60;  // seconds

QByteArray IssueToken(const QByteArray& secret, QByteArrayView digits, qint64 now);

struct TokenCheck {
    enum Status { Valid, Expired, Invalid } status = Invalid;
    QByteArray id;  // when Valid: the token's id, unique per form
};
TokenCheck CheckToken(const QByteArray& secret, QByteArrayView digits, QByteArrayView token,
                      qint64 now);

}  // namespace wf

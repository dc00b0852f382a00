#pragma once
// The one place that converts between the files' Windows-1252 bytes and Qt's
// Unicode strings.
#include <QByteArray>
#include <QString>

namespace wf {

QString FromText8(const QByteArray& bytes);
// Characters that Windows-1252 cannot hold become '?'.
QByteArray ToText8(const QString& text);

}  // namespace wf

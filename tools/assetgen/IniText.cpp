#include "IniText.h"

#include "Text8.h"

namespace wf::assetgen {

void IniText::Comment(const QString& text) {
    lines_.append("; " + text);
}

void IniText::Section(const QString& name) {
    if (!lines_.isEmpty() && !lines_.last().isEmpty())
        lines_.append(QString());
    lines_.append("[" + name + "]");
}

void IniText::Key(const QString& key, const QString& value) {
    lines_.append(key + "=" + value);
}

void IniText::Key(const QString& key, int value) {
    Key(key, QString::number(value));
}

QByteArray IniText::Bytes() const {
    return TextFileBytes(lines_);
}

QByteArray TextFileBytes(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += wf::ToText8(line) + "\r\n";
    return out;
}

}  // namespace wf::assetgen

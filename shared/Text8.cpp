#include "Text8.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace wf {

QString FromText8(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

QByteArray ToText8(const QString& text) {
    // Encode character by character so that an unmappable one can be replaced
    // by '?' instead of the encoder's substitute byte.
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        QStringEncoder encoder("windows-1252");
        const QByteArray part = encoder.encode(text.mid(i, len));
        if (encoder.hasError() || part.isEmpty()) {
            out.append('?');
        } else {
            out.append(part);
        }
        i += len - 1;
    }
    return out;
}

}  // namespace wf

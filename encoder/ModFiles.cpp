#include "ModFiles.h"

#include "Text8.h"
#include "TextCipher.h"

namespace wf {

QList<QByteArray> PlainLines(const QByteArray& content) {
    QList<QByteArray> lines = content.split('\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

QByteArray EncodeModContent(const QByteArray& plain) {
    const QByteArray key(kModKey);
    QByteArray out;
    for (const QByteArray& line : PlainLines(plain)) {
        out += EncodeText(line, key, true);
        out += "\r\n";
    }
    return out;
}

qint64 EncodedSize(const QByteArray& plain) {
    qint64 size = 0;
    for (const QByteArray& line : PlainLines(plain))
        size += 3 * qint64{line.size()} + 2;
    return size;
}

bool IsPlainDirName(const QString& name) {
    // "v1.0..2" names a directory below "mods"; only "." and ".." do not.
    if (name.isEmpty() || name.contains('/') || name.contains('\\') ||
        name == QStringLiteral("..") || name == QStringLiteral("."))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c == QChar(0x7f))
            return false;
    }
    // A name that the 8-bit files cannot hold would be registered under a
    // different spelling than the directory it names.
    return FromText8(ToText8(name)) == name;
}

QString MirrorStoredPath(const QString& dir, const QByteArray& stored) {
    QString rel = FromText8(stored);
    rel.replace('\\', '/');
    return dir + '/' + rel;
}

QList<QByteArray> FolderPrefixes(const QByteArray& stored) {
    QList<QByteArray> prefixes;
    for (qsizetype i = stored.indexOf('\\'); i >= 0; i = stored.indexOf('\\', i + 1))
        prefixes.append(stored.left(i + 1));
    return prefixes;
}

}  // namespace wf

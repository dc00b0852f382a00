#include "ModFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "Text8.h"
#include "TextCipher.h"

namespace wf::test {

QByteArray JoinLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += ToText8(l) + "\r\n";
    return out;
}

void WriteFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir + "/" + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

void WriteDefinition(const QString& dir, const QString& base, const QStringList& lines,
                     bool encoded) {
    if (!encoded) {
        WriteFile(dir, base + ".ini", JoinLines(lines));
        return;
    }
    QByteArray out;
    for (const QString& l : lines)
        out += EncodeText(ToText8(l), QByteArray(kModKey), true) + "\r\n";
    WriteFile(dir, base + ".cod", out);
}

QMap<QString, QByteArray> Snapshot(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).isDir()) {
            files.insert(QDir(dir).relativeFilePath(path), QByteArray("<dir>"));
            continue;
        }
        QFile f(path);
        files.insert(QDir(dir).relativeFilePath(path),
                     f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return files;
}

}  // namespace wf::test

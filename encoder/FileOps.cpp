#include "FileOps.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "IniAccess.h"

namespace wf {

bool FileOps::MakeDir(const QString& path) {
    return QDir().mkdir(path);
}

bool FileOps::CopyFile(const QString& from, const QString& to) {
    return QFile::copy(from, to);
}

bool FileOps::RemoveFile(const QString& path) {
    return QFile::remove(path);
}

bool FileOps::WriteFileAtomically(const QString& path, const QByteArray& content) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(content) != content.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool FileOps::WriteIni(const QString& path, const QByteArray& value, const QByteArray& section,
                       const QByteArray& key) {
    return WriteIniText(path, value, section, key);
}

}  // namespace wf

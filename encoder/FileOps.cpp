#include "FileOps.h"

#include <QDir>
#include <QFile>

namespace wf {

bool FileOps::MakeDir(const QString& path) {
    return QDir().mkdir(path);
}

bool FileOps::RemoveDir(const QString& path) {
    return QDir().rmdir(path);
}

std::optional<StagedFile> FileOps::Stage(const QString& path, const QByteArray& content,
                                         QString* why) {
    return StagedFile::Stage(path, content, why);
}

bool FileOps::Commit(StagedFile& staged, QString* why) {
    return staged.Commit(why);
}

bool FileOps::RemoveFile(const QString& path) {
    return QFile::remove(path);
}

}  // namespace wf

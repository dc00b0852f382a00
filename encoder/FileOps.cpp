#include "FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace wf {

FolderRef FileOps::MakeDir(const FolderRef& parent, const QString& name) {
    if (::mkdirat(parent->Fd(), QFile::encodeName(name).constData(), 0777) != 0)
        return nullptr;
    return Folder::OpenIn(parent, name);
}

bool FileOps::RemoveDir(const FolderRef& parent, const QString& name) {
    return ::unlinkat(parent->Fd(), QFile::encodeName(name).constData(), AT_REMOVEDIR) == 0;
}

std::optional<StagedFile> FileOps::Stage(const FolderRef& folder, const QString& name,
                                         const QByteArray& content, QString* why) {
    return StagedFile::StageIn(folder, name, content, why);
}

bool FileOps::Commit(StagedFile& staged, QString* why) {
    return staged.Commit(why);
}

bool FileOps::RemoveFile(const FolderRef& folder, const QString& name) {
    return ::unlinkat(folder->Fd(), QFile::encodeName(name).constData(), 0) == 0 && folder->Sync();
}

}  // namespace wf

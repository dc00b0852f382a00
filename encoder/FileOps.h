#pragma once
// Every change the encoder makes on disk goes through here, so that tests can
// make any single step fail and check what is left behind.
#include <QByteArray>
#include <QString>
#include <optional>

#include "SafeFile.h"

namespace wf {

class FileOps {
  public:
    virtual ~FileOps() = default;

    // Creates one directory level.
    virtual bool MakeDir(const QString& path);
    // Removes an empty directory.
    virtual bool RemoveDir(const QString& path);
    // Writes content completely beside path; path itself is not changed yet.
    // Refused for a path that is a link or not a regular file.
    virtual std::optional<StagedFile> Stage(const QString& path, const QByteArray& content,
                                            QString* why);
    // Puts a staged file in place of its path.
    virtual bool Commit(StagedFile& staged, QString* why);
    virtual bool RemoveFile(const QString& path);
};

}  // namespace wf

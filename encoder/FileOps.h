#pragma once
// Every change the encoder makes on disk goes through here, so that tests can
// make any single step fail and check what is left behind. Every change is
// made through a folder held open, so that a folder swapped for a link after
// it was found cannot lead a change elsewhere.
#include <QByteArray>
#include <QString>
#include <optional>

#include "SafeFile.h"

namespace wf {

class FileOps {
  public:
    virtual ~FileOps() = default;

    // Creates the folder name in parent and holds it open; nullptr when
    // that fails.
    virtual FolderRef MakeDir(const FolderRef& parent, const QString& name);
    // Removes an empty folder.
    virtual bool RemoveDir(const FolderRef& parent, const QString& name);
    // Writes content completely beside name in folder, which is not changed
    // yet. Refused where name is a link or not a regular file.
    virtual std::optional<StagedFile> Stage(const FolderRef& folder, const QString& name,
                                            const QByteArray& content, QString* why);
    // Puts a staged file in place of its name.
    virtual bool Commit(StagedFile& staged, QString* why);
    virtual bool RemoveFile(const FolderRef& folder, const QString& name);
};

}  // namespace wf

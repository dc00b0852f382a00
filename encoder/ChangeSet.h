#pragma once
// The changes of one encoding run, made all together or not at all. Every new
// content is first written completely beside its file; only when all of them
// are on disk are they put in place, in the order they were staged, and after
// that the files that go are removed. When a step fails, everything done so
// far is undone: old contents written back, new files and folders removed.
// Plan() is the journal of the commit: what a run that finds it after a kill
// does to finish it (see Journal.h).
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "FileOps.h"

namespace wf {

class ChangeSet {
  public:
    explicit ChangeSet(FileOps& files);
    // Drops what is staged but not committed; undoes nothing (like a run that
    // was killed).
    ~ChangeSet();
    ChangeSet(const ChangeSet&) = delete;
    ChangeSet& operator=(const ChangeSet&) = delete;

    // Creates one folder level now, so that files can be staged in it.
    FolderRef MakeDir(const FolderRef& parent, const QString& name);
    // The new content of name in folder, written and synced beside it. The
    // old content (read now, up to maxOldBytes) is kept to undo the change.
    // why: what failed. intent: the journal's line for this change in place
    // of putting the staged file in place (a change that a finishing run
    // must make afresh).
    bool Stage(const FolderRef& folder, const QString& name, const QByteArray& content,
               qint64 maxOldBytes, QString* why, const QByteArray& intent = QByteArray());
    bool IsStaged(const QString& path) const;
    // A file that is removed once everything staged is in place; content is
    // what an undo writes back.
    void RemoveAfterCommit(const FolderRef& folder, const QString& name, const QByteArray& content);

    // The journal lines of Commit, folders named relative to base.
    QByteArray Plan(const Folder& base) const;
    // Makes the staged temporaries' names durable, so that a journal never
    // names one that a crash has lost.
    bool SyncFolders() const;

    // Puts everything in place and removes the files that go. false (why
    // names the file and what failed) leaves a partial change: call Undo.
    bool Commit(QString* why);
    // Undoes every change made; the files and folders that could not be put
    // back, for the log.
    QStringList Undo();

  private:
    struct Change {
        FolderRef folder;
        QString name;
        std::optional<StagedFile> staged;  // until committed
        std::optional<QByteArray> old;     // nullopt: there was no file
        QByteArray digest;
        QByteArray intent;
        bool touched = false;  // a commit was tried
    };
    struct Removal {
        FolderRef folder;
        QString name;
        QByteArray content;
        bool removed = false;
    };
    struct MadeDir {
        FolderRef parent;
        QString name;
    };

    bool WriteBack(const FolderRef& folder, const QString& name, const QByteArray& content);

    FileOps& files_;
    QList<MadeDir> madeDirs_;
    std::vector<Change> changes_;
    QList<Removal> removals_;
};

}  // namespace wf

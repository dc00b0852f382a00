#include "ChangeSet.h"

#include <sys/stat.h>

#include <QSet>
#include <algorithm>

#include "Journal.h"

namespace wf {
namespace {

bool Exists(const Folder& folder, const QString& name) {
    return EntryTypeIn(folder, name) != 0;
}

QString Describe(const QString& path, const QString& why) {
    return QLatin1Char('\'') + path + QStringLiteral("': ") + why;
}

QString Relative(const Folder& base, const Folder& folder) {
    return folder.Path() == base.Path() ? QStringLiteral(".")
                                        : folder.Path().mid(base.Path().size() + 1);
}

}  // namespace

ChangeSet::ChangeSet(FileOps& files) : files_(files) {}

ChangeSet::~ChangeSet() = default;

FolderRef ChangeSet::MakeDir(const FolderRef& parent, const QString& name) {
    FolderRef made = files_.MakeDir(parent, name);
    if (made)
        madeDirs_.append({parent, name});
    return made;
}

bool ChangeSet::Stage(const FolderRef& folder, const QString& name, const QByteArray& content,
                      qint64 maxOldBytes, QString* why, const QByteArray& intent) {
    Change change;
    change.folder = folder;
    change.name = name;
    change.digest = JournalDigest(content);
    change.intent = intent;
    if (Exists(*folder, name)) {
        // Only a regular file is ever replaced; the staging below refuses
        // anything else and says why.
        const FileContent old = ReadRegularFileIn(*folder, name, maxOldBytes);
        if (old.error == ReadError::TooLarge || old.error == ReadError::Unreadable) {
            *why = QStringLiteral("die vorhandene Datei ist nicht lesbar oder zu groß");
            return false;
        }
        if (old.ok())
            change.old = old.bytes;
    }
    // Left over by a run that was killed while writing this file.
    RemoveStaleTemporariesIn(*folder, name);
    change.staged = files_.Stage(folder, name, content, why);
    if (!change.staged)
        return false;
    changes_.push_back(std::move(change));
    return true;
}

bool ChangeSet::IsStaged(const QString& path) const {
    return std::any_of(changes_.begin(), changes_.end(),
                       [&](const Change& c) { return c.folder->PathOf(c.name) == path; });
}

void ChangeSet::RemoveAfterCommit(const FolderRef& folder, const QString& name,
                                  const QByteArray& content) {
    removals_.append({folder, name, content});
}

QByteArray ChangeSet::Plan(const Folder& base) const {
    QByteArray plan;
    for (const Change& c : changes_) {
        plan += c.intent.isEmpty() ? JournalPut(Relative(base, *c.folder),
                                                c.staged->TemporaryName(), c.name, c.digest)
                                   : c.intent;
    }
    for (const Removal& r : removals_)
        plan += JournalDrop(Relative(base, *r.folder), r.name);
    return plan;
}

bool ChangeSet::SyncFolders() const {
    QSet<QString> synced;
    for (const Change& c : changes_) {
        if (!synced.contains(c.folder->Path()) && !c.folder->Sync())
            return false;
        synced.insert(c.folder->Path());
    }
    return true;
}

bool ChangeSet::Commit(QString* why) {
    for (Change& change : changes_) {
        change.touched = true;
        QString reason;
        if (!files_.Commit(*change.staged, &reason)) {
            *why = Describe(change.folder->PathOf(change.name), reason);
            return false;
        }
        change.staged.reset();
    }
    for (Removal& removal : removals_) {
        if (!files_.RemoveFile(removal.folder, removal.name)) {
            *why = Describe(removal.folder->PathOf(removal.name),
                            QStringLiteral("konnte nicht gelöscht werden"));
            return false;
        }
        removal.removed = true;
    }
    return true;
}

bool ChangeSet::WriteBack(const FolderRef& folder, const QString& name, const QByteArray& content) {
    std::optional<StagedFile> staged = files_.Stage(folder, name, content, nullptr);
    return staged && files_.Commit(*staged, nullptr);
}

QStringList ChangeSet::Undo() {
    QStringList failed;
    // Newest first, so that the MOD loads at every moment of the undo: the
    // plain files are back before "type" stops saying "code".
    for (auto it = removals_.rbegin(); it != removals_.rend(); ++it) {
        if (it->removed && !WriteBack(it->folder, it->name, it->content))
            failed.append(it->folder->PathOf(it->name));
    }
    removals_.clear();
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        if (it->staged) {
            it->staged->Discard();
            if (!it->touched)
                continue;
        }
        const bool undone =
            it->old ? WriteBack(it->folder, it->name, *it->old)
                    : !Exists(*it->folder, it->name) || files_.RemoveFile(it->folder, it->name);
        if (!undone)
            failed.append(it->folder->PathOf(it->name));
    }
    changes_.clear();
    for (auto it = madeDirs_.rbegin(); it != madeDirs_.rend(); ++it) {
        if (!files_.RemoveDir(it->parent, it->name))
            failed.append(it->parent->PathOf(it->name));
    }
    madeDirs_.clear();
    return failed;
}

}  // namespace wf

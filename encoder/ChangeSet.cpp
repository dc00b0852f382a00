#include "ChangeSet.h"

#include <sys/stat.h>

#include <QFile>
#include <algorithm>

namespace wf {
namespace {

bool Exists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString Describe(const QString& path, const QString& why) {
    return QLatin1Char('\'') + path + QStringLiteral("': ") + why;
}

}  // namespace

ChangeSet::ChangeSet(FileOps& files) : files_(files) {}

ChangeSet::~ChangeSet() = default;

bool ChangeSet::MakeDir(const QString& path) {
    if (!files_.MakeDir(path))
        return false;
    madeDirs_.append(path);
    return true;
}

bool ChangeSet::Stage(const QString& path, const QByteArray& content, qint64 maxOldBytes,
                      QString* why) {
    Change change;
    change.path = path;
    if (Exists(path)) {
        // Only a regular file is ever replaced; the staging below refuses
        // anything else and says why.
        const FileContent old = ReadRegularFile(path, maxOldBytes);
        if (old.error == ReadError::TooLarge || old.error == ReadError::Unreadable) {
            *why = QStringLiteral("die vorhandene Datei ist nicht lesbar oder zu groß");
            return false;
        }
        if (old.ok())
            change.old = old.bytes;
    }
    // Left over by a run that was killed while writing this file.
    RemoveStaleTemporaries(path);
    change.staged = files_.Stage(path, content, why);
    if (!change.staged)
        return false;
    changes_.push_back(std::move(change));
    return true;
}

bool ChangeSet::IsStaged(const QString& path) const {
    return std::any_of(changes_.begin(), changes_.end(),
                       [&](const Change& c) { return c.path == path; });
}

void ChangeSet::RemoveAfterCommit(const QString& path, const QByteArray& content) {
    removals_.append({path, content});
}

bool ChangeSet::Commit(QString* why) {
    for (Change& change : changes_) {
        change.touched = true;
        QString reason;
        if (!files_.Commit(*change.staged, &reason)) {
            *why = Describe(change.path, reason);
            return false;
        }
        change.staged.reset();
    }
    for (Removal& removal : removals_) {
        if (!files_.RemoveFile(removal.path)) {
            *why = Describe(removal.path, QStringLiteral("konnte nicht gelöscht werden"));
            return false;
        }
        removal.removed = true;
    }
    return true;
}

bool ChangeSet::WriteBack(const QString& path, const QByteArray& content) {
    std::optional<StagedFile> staged = files_.Stage(path, content, nullptr);
    return staged && files_.Commit(*staged, nullptr);
}

QStringList ChangeSet::Undo() {
    QStringList failed;
    // Newest first, so that the MOD loads at every moment of the undo: the
    // plain files are back before "type" stops saying "code".
    for (auto it = removals_.rbegin(); it != removals_.rend(); ++it) {
        if (it->removed && !WriteBack(it->path, it->content))
            failed.append(it->path);
    }
    removals_.clear();
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        if (it->staged) {
            it->staged->Discard();
            if (!it->touched)
                continue;
        }
        const bool undone = it->old ? WriteBack(it->path, *it->old)
                                    : !Exists(it->path) || files_.RemoveFile(it->path);
        if (!undone)
            failed.append(it->path);
    }
    changes_.clear();
    for (auto it = madeDirs_.rbegin(); it != madeDirs_.rend(); ++it) {
        if (!files_.RemoveDir(*it))
            failed.append(*it);
    }
    madeDirs_.clear();
    return failed;
}

}  // namespace wf

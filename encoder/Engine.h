#pragma once
// The encoder's work, without any window: finding the game's MODs, the
// optional backup of a MOD's plain sources and the encoding run. The wizard
// and the command line drive it and listen through an EngineSink.
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

#include "ChangeSet.h"
#include "EngineSink.h"
#include "EntryLock.h"
#include "FileOps.h"
#include "Journal.h"

namespace wf {

// The wizard's inputs for one run.
struct RunRequest {
    QString selectedMod;    // the MOD's directory name
    QString backupDirName;  // the new directory for the plain sources
    bool backupWanted = true;
};

class Engine {
  public:
    // files: where changes go; nullptr for the real file system.
    explicit Engine(EngineSink& sink, FileOps* files = nullptr);
    ~Engine();

    // Replaces the game directory that is otherwise derived from the
    // program's own location.
    void SetGameDirectory(const QString& dir);

    // Reads the installed MODs from game.ini; ends the program when there
    // are more than kMaxInstalledMods.
    void ReadModList();

    // The whole job for one MOD, all or nothing: every change is written
    // completely before the first file is replaced. Returns only when it
    // succeeded; every failure undoes what was done, shows its message and
    // ends the program. A run of the same MOD that was killed while it put
    // its changes in place is finished first; a MOD that is sealed already,
    // with the backup asked for registered, is a success with nothing to do.
    void RunEncoding(const RunRequest& request);

    void LogLine(const QString& text);
    void ShowProgress(int percent);

    // Undoes the run's changes, logs the message, shows it and ends the
    // program.
    [[noreturn]] void Fail(const QString& message);
    // The same with the general failure message; logText says what failed.
    [[noreturn]] void FailUnknown(const QString& logText);
    // Undoes the run's changes and ends the program without a message (the
    // author cancelled).
    [[noreturn]] void Abort();
    // Refuses the run: the stored name leads outside the MOD directory.
    [[noreturn]] void RefuseOutside(const QByteArray& stored);
    // Refuses the run: a directory it would write into is a link.
    [[noreturn]] void RefuseLinkedDirectory(const QString& path);
    // Refuses the run: the lock of entry in folder cannot be taken.
    [[noreturn]] void RefuseLock(const EntryLock::Outcome& outcome, const QString& busyMessage);

    const QString& GameDirectory() const { return gameDirectory_; }
    QString ModsDirectory() const { return gameDirectory_ + QStringLiteral("/mods"); }
    QString GameIniPath() const { return gameDirectory_ + QStringLiteral("/game.ini"); }
    int ModCount() const { return static_cast<int>(modNames_.size()); }
    const QList<QByteArray>& ModNames() const { return modNames_; }
    const QList<QByteArray>& ModTypes() const { return modTypes_; }
    const QString& SelectedMod() const { return selectedMod_; }
    const QString& BackupDirName() const { return backupDirName_; }
    const QString& ModDirectory() const { return modDirectory_; }
    // mods/, held open from the start of the run (nullptr when missing).
    const FolderRef& ModsFolder() const { return modsFolder_; }
    // The game directory, held open from its first use.
    const FolderRef& GameFolder();
    // What the backup copied and where it is registered, for the summary.
    const QString& BackupSummary() const { return backupSummary_; }
    void SetBackupSummary(const QString& text) { backupSummary_ = text; }
    // Everything logged so far, each entry as CR LF + line.
    const QString& Log() const { return log_; }

    QWidget* MessageOwner() const { return sink_.MessageOwner(); }
    ChangeSet& Changes() { return *changes_; }
    // Stages content for name in folder; shown: the file's name in the log
    // when that fails; intent: its journal line (see ChangeSet::Stage).
    void StageChange(const FolderRef& folder, const QString& name, const QByteArray& content,
                     const QString& shown, const QByteArray& intent = QByteArray());
    // Held until the run ends, so that runs side by side add their MODs to
    // game.ini one after the other.
    void LockGameIni();
    // A lock for a change of entry in folder; refuses the run when it cannot
    // be had within waitMs.
    std::unique_ptr<EntryLock> Lock(const FolderRef& folder, const QString& entry, int waitMs,
                                    const QString& busyMessage);

  private:
    struct Input {
        QString name;  // in the MOD's folder, as found there
        QByteArray content;
    };

    void ResolveGameDirectory();
    // Finds the MOD's folder, holds it open and locks it.
    void OpenMod();
    // Finishes the journal of a killed run on this MOD, if there is one.
    void FinishInterruptedRun();
    void FinishStep(const JournalStep& step);
    // Registers name in game.ini unless entry number names it already.
    void RegisterOnce(int number, const QString& name);
    // The MOD says "code" and has no mod.ini.
    bool IsSealed() const;
    void EndSealed(const RunRequest& request);
    // The plain inputs of the run, in encoding order: mod.ini, 1.ini ... N.ini.
    QList<Input> ReadInputs();
    // The new config.ini, and every .cod, within what the game reads.
    QByteArray SealedConfig();
    void CheckSizes(const QList<Input>& inputs, const QByteArray& config);
    void CheckBackupName();
    void EncodeModFile(const Input& input, const QByteArray& name);
    // Journal, commit, journal gone: everything in place or undone.
    void CommitAll();
    QString Shown(const QString& path) const;
    // Undoes the changes of the run and lets go of its locks.
    void Abandon();
    void ReleaseLocks();

    EngineSink& sink_;
    FileOps ownFiles_;
    FileOps* files_;
    QString gameDirectoryOverride_;
    QString gameDirectory_;
    QList<QByteArray> modNames_;
    QList<QByteArray> modTypes_;
    QString selectedMod_;
    QString backupDirName_;
    QString modDirectory_;
    QString modEntry_;  // the MOD folder's name in mods/, as found there
    QString journalName_;
    bool journalMayExist_ = false;  // this run's journal
    QString log_;
    QString backupSummary_;
    FolderRef gameFolder_;
    FolderRef modsFolder_;
    FolderRef modFolder_;
    std::unique_ptr<ChangeSet> changes_;
    std::unique_ptr<EntryLock> modLock_;
    std::unique_ptr<EntryLock> backupLock_;
    std::unique_ptr<EntryLock> gameIniLock_;
};

}  // namespace wf

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
#include "FileOps.h"

class QLockFile;

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
    // ends the program.
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

    const QString& GameDirectory() const { return gameDirectory_; }
    QString ModsDirectory() const { return gameDirectory_ + QStringLiteral("/mods"); }
    QString GameIniPath() const { return gameDirectory_ + QStringLiteral("/game.ini"); }
    int ModCount() const { return static_cast<int>(modNames_.size()); }
    const QList<QByteArray>& ModNames() const { return modNames_; }
    const QList<QByteArray>& ModTypes() const { return modTypes_; }
    const QString& SelectedMod() const { return selectedMod_; }
    const QString& BackupDirName() const { return backupDirName_; }
    const QString& ModDirectory() const { return modDirectory_; }
    // Everything logged so far, each entry as CR LF + line.
    const QString& Log() const { return log_; }

    QWidget* MessageOwner() const { return sink_.MessageOwner(); }
    ChangeSet& Changes() { return *changes_; }
    // Stages content for path, which must lie inside root (links resolved);
    // shown: the file's name in the log when that fails.
    void StageChange(const QString& root, const QString& path, const QByteArray& content,
                     const QString& shown);
    // Held until the run ends, so that runs side by side add their MODs to
    // game.ini one after the other.
    void LockGameIni();

  private:
    struct Input {
        QString path;
        QByteArray content;
    };

    void ResolveGameDirectory();
    // The plain inputs of the run, in encoding order: mod.ini, 1.ini ... N.ini.
    QList<Input> ReadInputs();
    void CheckBackupName();
    // A lock beside path; waits up to waitMs for another run to finish.
    std::unique_ptr<QLockFile> Lock(const QString& path, int waitMs, const QString& busyMessage);
    void EncodeModFile(const Input& input, const QByteArray& name);
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
    QString log_;
    std::unique_ptr<ChangeSet> changes_;
    std::unique_ptr<QLockFile> modLock_;
    std::unique_ptr<QLockFile> backupLock_;
    std::unique_ptr<QLockFile> gameIniLock_;
};

}  // namespace wf

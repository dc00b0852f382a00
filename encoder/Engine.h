#pragma once
// The encoder's work, without any window: finding the game's MODs, the
// optional backup of a MOD's plain sources and the encoding run. The wizard
// and the command line drive it and listen through an EngineSink.
#include <QByteArray>
#include <QList>
#include <QString>

#include "EngineSink.h"
#include "FileOps.h"

namespace wf {

// The wizard's inputs for one run.
struct RunRequest {
    QString selectedMod;    // the MOD's directory name
    QString backupDirName;  // the new directory for the plain sources
    bool backupWanted = true;
};

class Engine {
  public:
    // More installed MODs than this cannot be handled.
    static constexpr int kMaxModCount = 99;

    // files: where changes go; nullptr for the real file system.
    explicit Engine(EngineSink& sink, FileOps* files = nullptr);

    // Replaces the game directory that is otherwise derived from the
    // program's own location.
    void SetGameDirectory(const QString& dir);

    // Reads the installed MODs from game.ini; ends the program when there
    // are too many.
    void ReadModList();

    // The whole job for one MOD. Returns only when it succeeded; every
    // failure shows its message and ends the program.
    void RunEncoding(const RunRequest& request);

    void LogLine(const QString& text);
    void ShowProgress(int percent);

    // Logs the message, shows it and ends the program.
    [[noreturn]] void Fail(const QString& message);
    // Logs what went wrong, shows the general failure message and ends.
    [[noreturn]] void FailUnknown(const QString& logText);

    const QString& GameDirectory() const { return gameDirectory_; }
    QString ModsDirectory() const { return gameDirectory_ + QStringLiteral("/mods"); }
    QString GameIniPath() const { return gameDirectory_ + QStringLiteral("/game.ini"); }
    int ModCount() const { return modCount_; }
    const QList<QByteArray>& ModNames() const { return modNames_; }
    const QList<QByteArray>& ModTypes() const { return modTypes_; }
    const QString& SelectedMod() const { return selectedMod_; }
    const QString& BackupDirName() const { return backupDirName_; }
    const QString& ModDirectory() const { return modDirectory_; }
    // Everything logged so far, each entry as CR LF + line.
    const QString& Log() const { return log_; }

    FileOps& Files() { return *files_; }
    QWidget* MessageOwner() const { return sink_.MessageOwner(); }
    // Refuses (as an unknown failure) any change outside the MODs' tree.
    void RequireInsideMods(const QString& path);

  private:
    void ResolveGameDirectory();
    // The plain inputs of the run, in encoding order: mod.ini, 1.ini ... N.ini.
    QList<QString> CheckInputs(int backgroundCount);
    void CheckBackupName();
    void EncodeModFile(const QString& plainPath, const QByteArray& name);

    EngineSink& sink_;
    FileOps ownFiles_;
    FileOps* files_;
    QString gameDirectoryOverride_;
    QString gameDirectory_;
    int modCount_ = 0;
    QList<QByteArray> modNames_;
    QList<QByteArray> modTypes_;
    QString selectedMod_;
    QString backupDirName_;
    QString modDirectory_;
    QString log_;
};

}  // namespace wf

#pragma once
// Copies a MOD's plain sources into a new MOD directory before they are
// encoded, and registers that directory with the game as a further MOD.
#include <QByteArray>
#include <QString>

namespace wf {

class Engine;

class SourceBackup {
  public:
    // sourceDir: the MOD being encoded; destDir: the new directory.
    SourceBackup(Engine& engine, const QString& sourceDir, const QString& destDir);

    // Refuses the run (through the engine) when a file name inside the MOD
    // is absolute or climbs out of it; called before anything is copied.
    void CheckStoredNames(int backgroundCount);

    // The whole backup phase; progress 10 to 45.
    void Run(int backgroundCount);

    void EnsureFolder(const QString& path);
    // stored: a relative name as the MOD's files hold it ('\' separators).
    void BackupFile(const QByteArray& stored);

  private:
    void EnsureFoldersOf(const QByteArray& stored);
    void Register();
    void Advance(int& counter);
    QString SourcePath(const QByteArray& stored) const;
    void RefuseIfUnsafe(const QByteArray& stored);

    Engine& engine_;
    QString sourceDir_;
    QString destDir_;
};

}  // namespace wf

#pragma once
// Copies a MOD's plain sources into a new MOD directory before they are
// encoded, and registers that directory with the game as a further MOD. The
// copies and the registration are staged in the run's change set and take
// effect together with the encoding.
#include <QByteArray>
#include <QList>
#include <QString>

namespace wf {

class Engine;

class SourceBackup {
  public:
    // sourceDir: the MOD being encoded; destDir: the new directory; plain:
    // the MOD's mod.ini, 1.ini ... N.ini as read by the run.
    SourceBackup(Engine& engine, const QString& sourceDir, const QString& destDir,
                 const QList<QByteArray>& plain);

    // Refuses the run (through the engine) when a file name inside the MOD
    // is absolute or climbs out of it; called before anything is copied.
    void CheckStoredNames();

    // The whole backup phase; progress 10 to 45.
    void Run();

    void EnsureFolder(const QString& path);
    // stored: a relative name as the MOD's files hold it ('\' separators).
    void BackupFile(const QByteArray& stored);

  private:
    void EnsureFoldersOf(const QByteArray& stored);
    void Register();
    void Advance(int& counter);
    QString SourcePath(const QByteArray& stored) const;
    void RefuseIfUnsafe(const QByteArray& stored);
    int BackgroundCount() const { return static_cast<int>(plain_.size()) - 1; }

    Engine& engine_;
    QString sourceDir_;
    QString destDir_;
    QList<QByteArray> plain_;
};

}  // namespace wf

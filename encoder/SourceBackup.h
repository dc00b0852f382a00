#pragma once
// Copies a MOD's plain sources into a new MOD directory before they are
// encoded, and registers that directory with the game as a further MOD. The
// copies and the registration are staged in the run's change set and take
// effect together with the encoding. First come the files the definition
// files name, in their order, then every other file of the MOD (its hd
// twins, say), so that the copy is all of the MOD.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include "SafeFile.h"

namespace wf {

class Engine;
struct FileContent;

class SourceBackup {
  public:
    // source: the MOD being encoded, held open, found at sourceDir; destDir:
    // the new directory in mods/; plain: the MOD's mod.ini, 1.ini ... N.ini
    // as read by the run.
    SourceBackup(Engine& engine, FolderRef source, const QString& sourceDir, const QString& destDir,
                 const QList<QByteArray>& plain);

    // Refuses the run (through the engine) when a file name inside the MOD
    // is absolute or climbs out of it; called before anything is copied.
    void CheckStoredNames();

    // The whole backup phase; progress 10 to 45.
    void Run();

  private:
    // The backup's folder for a stored folder prefix ("" the backup itself,
    // "a\b\" below it), made when missing; a link there refuses the run.
    FolderRef EnsureFolder(const QString& prefix);
    void EnsureFoldersOf(const QByteArray& stored);
    // stored: a relative name as the MOD's files hold it ('\' separators).
    void BackupFile(const QByteArray& stored);
    void Copy(const QString& from, const FileContent& source, const QString& shown);
    // Every file below source that no definition file names.
    void BackupRest(const FolderRef& source, const QString& prefix);
    void Register();
    void Advance(int& counter);
    void RefuseIfUnsafe(const QByteArray& stored);
    int BackgroundCount() const { return static_cast<int>(plain_.size()) - 1; }

    Engine& engine_;
    FolderRef source_;
    QString sourceDir_;
    QString destDir_;
    QList<QByteArray> plain_;
    QMap<QString, FolderRef> folders_;
    QSet<QString> copiedSources_;  // real paths, so that no file is copied twice
    int copied_ = 0;
    int unnamed_ = 0;
};

}  // namespace wf

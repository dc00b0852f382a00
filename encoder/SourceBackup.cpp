#include "SourceBackup.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>

#include "Engine.h"
#include "FileLimits.h"
#include "IniAccess.h"
#include "Journal.h"
#include "ModFiles.h"
#include "ModRegistry.h"
#include "Paths.h"
#include "Platform.h"
#include "SafeFile.h"
#include "Text8.h"

namespace wf {
namespace {

const QString kExistsTitle = QStringLiteral("Fehler !");
const QString kExistsText = QStringLiteral(
    "Die zu kopierende Datei existiert schon im neuen Ordner. Wollen sie die Datei trotzdem "
    "kopieren ?? Sie können die Installation auch abbrechen.");

const QByteArray kSoundKeys[] = {"Musik", "SchussSound"};

QByteArray ExtraSection(int f) {
    return "extra" + QByteArray::number(f);
}

}  // namespace

SourceBackup::SourceBackup(Engine& engine, FolderRef source, const QString& sourceDir,
                           const QString& destDir, const QList<QByteArray>& plain)
    : engine_(engine),
      source_(std::move(source)),
      sourceDir_(sourceDir),
      destDir_(destDir),
      plain_(plain) {}

void SourceBackup::RefuseIfUnsafe(const QByteArray& stored) {
    if (!stored.isEmpty() && !IsSafeStoredName(stored))
        engine_.RefuseOutside(stored);
}

void SourceBackup::CheckStoredNames() {
    for (const QByteArray& key : kSoundKeys)
        RefuseIfUnsafe(ReadIniTextFromBytes(plain_[0], "sfx", key));
    for (int u = 1; u <= BackgroundCount(); ++u) {
        const QByteArray& bg = plain_[u];
        if (ReadIniTextFromBytes(bg, "hg", "type") == "BMP")
            RefuseIfUnsafe(ReadIniTextFromBytes(bg, "hg", "datei"));
        const int extras = ReadIniNumberFromBytes(bg, "hg", "extra");
        for (int f = 1; f <= extras; ++f)
            RefuseIfUnsafe(ReadIniTextFromBytes(bg, ExtraSection(f), "gfx"));
    }
}

FolderRef SourceBackup::EnsureFolder(const QString& prefix) {
    if (const auto found = folders_.constFind(prefix); found != folders_.cend())
        return *found;
    const QString trimmed = prefix.chopped(prefix.isEmpty() ? 0 : 1);
    const qsizetype cut = trimmed.lastIndexOf(QLatin1Char('\\'));
    const QString name = prefix.isEmpty() ? QFileInfo(destDir_).fileName() : trimmed.mid(cut + 1);
    const QString path =
        prefix.isEmpty() ? destDir_ : destDir_ + '/' + QString(prefix).replace('\\', '/');
    if (name == QStringLiteral(".."))
        engine_.RefuseOutside(ToText8(prefix));
    const FolderRef parent =
        prefix.isEmpty() ? engine_.ModsFolder() : EnsureFolder(trimmed.left(cut + 1));
    FolderRef folder = parent;
    if (!name.isEmpty() && name != QStringLiteral(".")) {
        // Also with "overwrite": whatever a link points to is not the backup.
        switch (EntryTypeIn(*parent, name)) {
            case S_IFLNK:
                engine_.RefuseLinkedDirectory(QDir::cleanPath(path));
            case S_IFDIR:
                folder = Folder::OpenIn(parent, name);
                break;
            case 0:
                folder = engine_.Changes().MakeDir(parent, name);
                if (folder)
                    engine_.LogLine(QStringLiteral("Erstelle Pfad: ") + path);
                break;
            default:
                folder = nullptr;
        }
    }
    if (!folder)
        engine_.FailUnknown(QStringLiteral("Fehler: Pfad '") + path +
                            QStringLiteral("' konnte nicht erstellt werden"));
    folders_.insert(prefix, folder);
    return folder;
}

void SourceBackup::EnsureFoldersOf(const QByteArray& stored) {
    for (const QByteArray& prefix : FolderPrefixes(stored))
        EnsureFolder(FromText8(prefix));
}

void SourceBackup::BackupFile(const QByteArray& stored) {
    const QString from = JoinStoredPath(sourceDir_, stored);
    if (from.isEmpty() || !(QFileInfo::exists(from) || IsSymLink(from)))
        return;
    // Pictures linked in from elsewhere are not part of the MOD.
    if (!LiesInside(sourceDir_, QFileInfo(from).canonicalFilePath()))
        engine_.RefuseOutside(stored);
    Copy(from, ReadRegularFile(from, kMaxCopiedFileBytes), FromText8(stored));
}

void SourceBackup::Copy(const QString& from, const FileContent& source, const QString& shown) {
    const qsizetype cut = shown.lastIndexOf(QLatin1Char('\\'));
    const FolderRef folder = EnsureFolder(shown.left(cut + 1));
    const QString name = shown.mid(cut + 1);
    // Named twice in the MOD (a picture of several extras): copied once.
    if (engine_.Changes().IsStaged(folder->PathOf(name)))
        return;
    if (!source.ok())
        engine_.FailUnknown(QStringLiteral("Fehler: '") + shown +
                            QStringLiteral("' ist keine lesbare Datei oder zu groß"));
    copiedSources_.insert(QFileInfo(from).canonicalFilePath());
    switch (EntryTypeIn(*folder, name)) {
        case 0:
            break;
        case S_IFREG:
            switch (Platform::Instance().MessageBox(
                engine_.MessageOwner(), MsgIcon::Exclamation, kExistsTitle,
                kExistsText + QLatin1Char('\n') + shown, MsgButtons::YesNoCancel)) {
                case MsgResult::Yes:
                    break;  // replaced together with the rest of the run
                case MsgResult::No:
                    return;
                default:
                    engine_.Abort();
            }
            break;
        default:
            engine_.FailUnknown(QStringLiteral("Fehler: '") + folder->PathOf(name) +
                                QStringLiteral("' ist ein Verweis oder keine gewöhnliche Datei"));
    }
    engine_.StageChange(folder, name, source.bytes, shown);
    ++copied_;
    engine_.LogLine(QStringLiteral("Kopiere Datei ") + shown);
}

void SourceBackup::BackupRest(const FolderRef& source, const QString& prefix) {
    for (const QString& name : EntryNamesIn(*source)) {
        // Hidden files belong to the tools that made them, not to the MOD;
        // sealed definition files left by an earlier seal are no sources.
        if (name.startsWith(QLatin1Char('.')) ||
            (prefix.isEmpty() && name.endsWith(QStringLiteral(".cod"), Qt::CaseInsensitive)))
            continue;
        const QString shown = prefix + name;
        if (EntryTypeIn(*source, name) == S_IFDIR) {
            if (const FolderRef folder = Folder::OpenIn(source, name))
                BackupRest(folder, shown + QLatin1Char('\\'));
            continue;
        }
        const QString from = source->PathOf(name);
        const QString real = QFileInfo(from).canonicalFilePath();
        if (copiedSources_.contains(real))
            continue;
        if (!IsRegularFile(from) || !LiesInside(sourceDir_, real)) {
            engine_.LogLine(QStringLiteral("Nicht gesichert (keine Datei des MODs): ") + shown);
            continue;
        }
        ++unnamed_;
        Copy(from, ReadRegularFileIn(*source, name, kMaxCopiedFileBytes), shown);
    }
}

void SourceBackup::Advance(int& counter) {
    counter += 5;
    engine_.ShowProgress(counter);
}

void SourceBackup::Register() {
    // Read and written under the lock, so that two runs side by side both
    // add their MOD.
    engine_.LockGameIni();
    const QString gameIni = QStringLiteral("game.ini");
    const FileContent now =
        ReadRegularFileIn(*engine_.GameFolder(), gameIni, kMaxDefinitionFileBytes);
    if (!now.ok() && now.error != ReadError::Missing)
        engine_.FailUnknown(QStringLiteral("Fehler: 'game.ini' konnte nicht gelesen werden"));
    int entry = 0;
    const std::optional<QByteArray> registered =
        WithModAdded(now.bytes, ToText8(engine_.BackupDirName()), &entry);
    if (!registered)
        engine_.FailUnknown(QStringLiteral("Fehler: 'game.ini' konnte nicht geschrieben werden"));
    // A run that finishes this one after a kill registers the backup in
    // game.ini as it is then, and only once.
    engine_.StageChange(engine_.GameFolder(), gameIni, *registered, gameIni,
                        JournalRegister(entry, engine_.BackupDirName()));
    engine_.SetBackupSummary(
        QStringLiteral("%1 Dateien nach '%2' gesichert, %3 davon nennt keine Definitionsdatei "
                       "(etwa hd-Bilder); in game.ini als ModName%4 eingetragen.")
            .arg(copied_)
            .arg(engine_.BackupDirName())
            .arg(unnamed_)
            .arg(entry));
}

void SourceBackup::Run() {
    engine_.LogLine(QStringLiteral("\r\nFange an mit dem Sichern\r\n"));
    EnsureFolder(QString());
    BackupFile("mod.ini");
    BackupFile("config.ini");
    engine_.LogLine(QStringLiteral("Suche zu sichernde Dateien..."));

    for (const QByteArray& key : kSoundKeys) {
        const QByteArray file = ReadIniTextFromBytes(plain_[0], "sfx", key);
        EnsureFoldersOf(file);
        if (!file.isEmpty())
            BackupFile(file);
    }
    engine_.ShowProgress(10);
    engine_.LogLine(QStringLiteral("Suche zu sichernde Dateien..."));

    // Not limited: a large MOD drives the bar past 100, which just fills it.
    int counter = 10;
    for (int u = 1; u <= BackgroundCount(); ++u) {
        BackupFile(QByteArray::number(u) + ".ini");
        engine_.LogLine(QStringLiteral("Untersuche Hintergrund"));
        Advance(counter);
        const QByteArray& bg = plain_[u];
        if (ReadIniTextFromBytes(bg, "hg", "type") == "BMP") {
            const QByteArray picture = ReadIniTextFromBytes(bg, "hg", "datei");
            EnsureFoldersOf(picture);
            BackupFile(picture);
            Advance(counter);
        }
        const QByteArray extra = ReadIniTextFromBytes(bg, "hg", "extra");
        if (!extra.isEmpty()) {
            const int extras = LeadingNumber(extra);
            for (int f = 1; f <= extras; ++f) {
                const QByteArray gfx = ReadIniTextFromBytes(bg, ExtraSection(f), "gfx");
                EnsureFoldersOf(gfx);
                Advance(counter);
                BackupFile(gfx);
            }
        }
    }
    engine_.ShowProgress(45);
    BackupRest(source_, QString());
    Register();
    engine_.LogLine(QStringLiteral("\r\nSicherung abgeschlossen !!\r\n"));
    engine_.LogLine(engine_.BackupSummary());
}

}  // namespace wf

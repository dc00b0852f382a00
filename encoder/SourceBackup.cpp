#include "SourceBackup.h"

#include <QDir>
#include <QFileInfo>

#include "Engine.h"
#include "FileLimits.h"
#include "IniAccess.h"
#include "ModFiles.h"
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

SourceBackup::SourceBackup(Engine& engine, const QString& sourceDir, const QString& destDir,
                           const QList<QByteArray>& plain)
    : engine_(engine), sourceDir_(sourceDir), destDir_(destDir), plain_(plain) {}

QString SourceBackup::SourcePath(const QByteArray& stored) const {
    return JoinStoredPath(sourceDir_, stored);
}

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

void SourceBackup::EnsureFolder(const QString& path) {
    const QString folder = QDir::cleanPath(path);
    // Also with "overwrite": whatever a link points to is not the backup.
    if (IsSymLink(folder))
        engine_.RefuseLinkedDirectory(folder);
    if (QFileInfo(folder).isDir())
        return;
    const QString root = folder == destDir_ ? engine_.ModsDirectory() : destDir_;
    if (!LiesInside(root, folder) || !engine_.Changes().MakeDir(folder))
        engine_.FailUnknown(QStringLiteral("Fehler: Pfad '") + path +
                            QStringLiteral("' konnte nicht erstellt werden"));
    engine_.LogLine(QStringLiteral("Erstelle Pfad: ") + path);
}

void SourceBackup::EnsureFoldersOf(const QByteArray& stored) {
    for (const QByteArray& prefix : FolderPrefixes(stored))
        EnsureFolder(MirrorStoredPath(destDir_, prefix));
}

void SourceBackup::BackupFile(const QByteArray& stored) {
    const QString from = SourcePath(stored);
    if (from.isEmpty() || !(QFileInfo::exists(from) || IsSymLink(from)))
        return;
    // Pictures linked in from elsewhere are not part of the MOD.
    if (!LiesInside(sourceDir_, QFileInfo(from).canonicalFilePath()))
        engine_.RefuseOutside(stored);
    const QString to = MirrorStoredPath(destDir_, stored);
    // Named twice in the MOD (a picture of several extras): copied once.
    if (engine_.Changes().IsStaged(to))
        return;
    const FileContent source = ReadRegularFile(from, kMaxCopiedFileBytes);
    if (!source.ok())
        engine_.FailUnknown(QStringLiteral("Fehler: '") + FromText8(stored) +
                            QStringLiteral("' ist keine lesbare Datei oder zu groß"));
    if (QFileInfo::exists(to) || IsSymLink(to)) {
        if (IsSymLink(to) || !IsRegularFile(to))
            engine_.FailUnknown(QStringLiteral("Fehler: '") + to +
                                QStringLiteral("' ist ein Verweis oder keine gewöhnliche Datei"));
        switch (Platform::Instance().MessageBox(
            engine_.MessageOwner(), MsgIcon::Exclamation, kExistsTitle,
            kExistsText + QLatin1Char('\n') + FromText8(stored), MsgButtons::YesNoCancel)) {
            case MsgResult::Yes:
                break;  // replaced together with the rest of the run
            case MsgResult::No:
                return;
            default:
                engine_.Abort();
        }
    }
    engine_.StageChange(destDir_, to, source.bytes, FromText8(stored));
    engine_.LogLine(QStringLiteral("Kopiere Datei ") + FromText8(stored));
}

void SourceBackup::Advance(int& counter) {
    counter += 5;
    engine_.ShowProgress(counter);
}

void SourceBackup::Register() {
    // Read and written under the lock, so that two runs side by side both
    // add their MOD.
    engine_.LockGameIni();
    const QString gameIni = engine_.GameIniPath();
    const FileContent now = ReadRegularFile(gameIni, kMaxDefinitionFileBytes);
    if (!now.ok() && now.error != ReadError::Missing)
        engine_.FailUnknown(QStringLiteral("Fehler: 'game.ini' konnte nicht gelesen werden"));
    const int n = LeadingNumber(ReadIniTextFromBytes(now.bytes, "Mods", "ModAnzahl"));
    std::optional<QByteArray> registered = IniTextWithValue(
        now.bytes, ToText8(engine_.BackupDirName()), "Mods", "ModName" + QByteArray::number(n + 1));
    if (registered)
        registered = IniTextWithValue(*registered, QByteArray::number(n + 1), "Mods", "ModAnzahl");
    if (!registered)
        engine_.FailUnknown(QStringLiteral("Fehler: 'game.ini' konnte nicht geschrieben werden"));
    engine_.StageChange(engine_.GameDirectory(), gameIni, *registered, QStringLiteral("game.ini"));
}

void SourceBackup::Run() {
    engine_.LogLine(QStringLiteral("\r\nFange an mit dem Sichern\r\n"));
    EnsureFolder(destDir_);
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
    Register();
    engine_.LogLine(QStringLiteral("\r\nSicherung abgeschlossen !!\r\n"));
}

}  // namespace wf

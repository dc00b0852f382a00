#include "SourceBackup.h"

#include <QFileInfo>

#include "Engine.h"
#include "IniAccess.h"
#include "ModFiles.h"
#include "Paths.h"
#include "Platform.h"
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

SourceBackup::SourceBackup(Engine& engine, const QString& sourceDir, const QString& destDir)
    : engine_(engine), sourceDir_(sourceDir), destDir_(destDir) {}

QString SourceBackup::SourcePath(const QByteArray& stored) const {
    return JoinStoredPath(sourceDir_, stored);
}

void SourceBackup::RefuseIfUnsafe(const QByteArray& stored) {
    if (stored.isEmpty() || IsSafeStoredName(stored))
        return;
    engine_.Fail(QStringLiteral("Die Datei '") + FromText8(stored) +
                 QStringLiteral("' des MODs '") + engine_.SelectedMod() +
                 QStringLiteral("' liegt außerhalb des MOD-Verzeichnisses und wird nicht "
                                "kopiert. Es wurde nichts verändert."));
}

void SourceBackup::CheckStoredNames(int backgroundCount) {
    const QString modIni = SourcePath("mod.ini");
    for (const QByteArray& key : kSoundKeys)
        RefuseIfUnsafe(ReadIniText(modIni, "sfx", key));
    for (int u = 1; u <= backgroundCount; ++u) {
        const QString bg = SourcePath(QByteArray::number(u) + ".ini");
        if (ReadIniText(bg, "hg", "type") == "BMP")
            RefuseIfUnsafe(ReadIniText(bg, "hg", "datei"));
        const int extras = LeadingNumber(ReadIniText(bg, "hg", "extra"));
        for (int f = 1; f <= extras; ++f)
            RefuseIfUnsafe(ReadIniText(bg, ExtraSection(f), "gfx"));
    }
}

void SourceBackup::EnsureFolder(const QString& path) {
    if (QFileInfo(path).isDir())
        return;
    engine_.RequireInsideMods(path);
    if (!engine_.Files().MakeDir(path))
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
    if (from.isEmpty() || !QFileInfo(from).isFile())
        return;
    const QString to = MirrorStoredPath(destDir_, stored);
    engine_.RequireInsideMods(to);
    if (QFileInfo::exists(to)) {
        switch (Platform::Instance().MessageBox(engine_.MessageOwner(), MsgIcon::Exclamation,
                                                kExistsTitle, kExistsText,
                                                MsgButtons::YesNoCancel)) {
            case MsgResult::Yes:
                if (!engine_.Files().RemoveFile(to))
                    engine_.FailUnknown(QStringLiteral("Fehler: '") + to +
                                        QStringLiteral("' konnte nicht gelöscht werden"));
                break;
            case MsgResult::No:
                return;
            default:
                Platform::Instance().ExitProgram(1);
        }
    }
    if (!engine_.Files().CopyFile(from, to))
        engine_.FailUnknown(QStringLiteral("Fehler: '") + FromText8(stored) +
                            QStringLiteral("' konnte nicht kopiert werden"));
    engine_.LogLine(QStringLiteral("Kopiere Datei ") + FromText8(stored));
}

void SourceBackup::Advance(int& counter) {
    counter += 5;
    engine_.ShowProgress(counter);
}

void SourceBackup::Register() {
    const QString gameIni = engine_.GameIniPath();
    const int n = LeadingNumber(ReadIniText(gameIni, "Mods", "ModAnzahl"));
    const bool named = engine_.Files().WriteIni(gameIni, ToText8(engine_.BackupDirName()), "Mods",
                                                "ModName" + QByteArray::number(n + 1));
    if (!named ||
        !engine_.Files().WriteIni(gameIni, QByteArray::number(n + 1), "Mods", "ModAnzahl"))
        engine_.FailUnknown(QStringLiteral("Fehler: 'game.ini' konnte nicht geschrieben werden"));
}

void SourceBackup::Run(int backgroundCount) {
    engine_.LogLine(QStringLiteral("\r\nFange an mit dem Sichern\r\n"));
    EnsureFolder(destDir_);
    BackupFile("mod.ini");
    BackupFile("config.ini");
    engine_.LogLine(QStringLiteral("Suche zu sichernde Dateien..."));

    const QString modIni = SourcePath("mod.ini");
    for (const QByteArray& key : kSoundKeys) {
        const QByteArray file = ReadIniText(modIni, "sfx", key);
        EnsureFoldersOf(file);
        if (!file.isEmpty())
            BackupFile(file);
    }
    engine_.ShowProgress(10);
    engine_.LogLine(QStringLiteral("Suche zu sichernde Dateien..."));

    // Not limited: a large MOD drives the bar past 100, which just fills it.
    int counter = 10;
    for (int u = 1; u <= backgroundCount; ++u) {
        const QByteArray bgName = QByteArray::number(u) + ".ini";
        BackupFile(bgName);
        engine_.LogLine(QStringLiteral("Untersuche Hintergrund"));
        Advance(counter);
        const QString bg = SourcePath(bgName);
        if (ReadIniText(bg, "hg", "type") == "BMP") {
            const QByteArray picture = ReadIniText(bg, "hg", "datei");
            EnsureFoldersOf(picture);
            BackupFile(picture);
            Advance(counter);
        }
        const QByteArray extra = ReadIniText(bg, "hg", "extra");
        if (!extra.isEmpty()) {
            const int extras = LeadingNumber(extra);
            for (int f = 1; f <= extras; ++f) {
                const QByteArray gfx = ReadIniText(bg, ExtraSection(f), "gfx");
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

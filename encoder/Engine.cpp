#include "Engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

#include "IniAccess.h"
#include "ModFiles.h"
#include "Paths.h"
#include "Platform.h"
#include "SourceBackup.h"
#include "Text8.h"

namespace wf {
namespace {

const QString kErrorTitle = QStringLiteral("Fehler");
const QString kTooManyMods = QStringLiteral(
    "Fehler ModAnzahl ist zu hoch um mit diesem Programm Codierungsvorgänge durchzuführen !!!");
const QString kUnknownError = QStringLiteral("Ein unbekannter Fehler ist aufgetreten !!!");

QString Quoted(const QByteArray& name) {
    return QLatin1Char('\'') + FromText8(name) + '\'';
}

}  // namespace

Engine::Engine(EngineSink& sink, FileOps* files)
    : sink_(sink), files_(files ? files : &ownFiles_) {}

void Engine::SetGameDirectory(const QString& dir) {
    gameDirectoryOverride_ = dir;
    gameDirectory_.clear();
}

void Engine::ResolveGameDirectory() {
    if (!gameDirectoryOverride_.isEmpty()) {
        gameDirectory_ = QDir::cleanPath(QDir(gameDirectoryOverride_).absolutePath());
        return;
    }
    // The encoder lives in a sub-directory of the game.
    const QString own = QDir::cleanPath(QDir(ProgramDirectory()).absolutePath());
    gameDirectory_ = wf::GameDirectory(QFileInfo(own).path());
}

void Engine::ReadModList() {
    ResolveGameDirectory();
    const QString gameIni = GameIniPath();
    modCount_ = ReadIniNumber(gameIni, "Mods", "ModAnzahl");
    if (modCount_ > kMaxModCount) {
        Platform::Instance().MessageBox(sink_.MessageOwner(), MsgIcon::Exclamation, kErrorTitle,
                                        kTooManyMods);
        Platform::Instance().ExitProgram(1);
    }
    modNames_.clear();
    modTypes_.clear();
    for (int j = 0; j < modCount_; ++j) {
        const QByteArray name = ReadIniText(gameIni, "Mods", "ModName" + QByteArray::number(j + 1));
        modNames_.append(name);
        // An empty or unsafe name resolves to no file and reads as "".
        const QString config = JoinStoredPath(ModsDirectory(), name + "\\config.ini");
        modTypes_.append(ReadIniText(config, "game", "type"));
    }
}

void Engine::LogLine(const QString& text) {
    const QString entry = QStringLiteral("\r\n") + text;
    log_ += entry;
    sink_.OnLogLine(entry);
}

void Engine::ShowProgress(int percent) {
    sink_.OnProgress(percent < 0 ? 0 : percent);
}

void Engine::Fail(const QString& message) {
    LogLine(message);
    Platform::Instance().MessageBox(sink_.MessageOwner(), MsgIcon::Exclamation, kErrorTitle,
                                    message);
    Platform::Instance().ExitProgram(1);
    std::abort();  // not reached: ExitProgram does not return
}

void Engine::FailUnknown(const QString& logText) {
    LogLine(logText);
    Platform::Instance().MessageBox(sink_.MessageOwner(), MsgIcon::Exclamation, kErrorTitle,
                                    kUnknownError);
    Platform::Instance().ExitProgram(1);
    std::abort();  // not reached: ExitProgram does not return
}

void Engine::RequireInsideMods(const QString& path) {
    if (!IsInsideDirectory(ModsDirectory(), path))
        FailUnknown(QStringLiteral("Fehler: '") + path +
                    QStringLiteral("' liegt nicht im Verzeichnis der MODs"));
}

QList<QString> Engine::CheckInputs(int backgroundCount) {
    QList<QString> inputs;
    const auto need = [&](const QByteArray& name) {
        const QString path = JoinStoredPath(modDirectory_, name);
        QFile file(path);
        if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            Fail(QStringLiteral("Die Datei ") + Quoted(name) + QStringLiteral(" des MODs '") +
                 selectedMod_ +
                 QStringLiteral("' fehlt oder ist nicht lesbar. Es wurde nichts "
                                "verändert."));
        }
        inputs.append(path);
    };
    need("mod.ini");
    for (int i = 1; i <= backgroundCount; ++i)
        need(QByteArray::number(i) + ".ini");
    return inputs;
}

void Engine::CheckBackupName() {
    if (IsPlainDirName(backupDirName_) &&
        backupDirName_.compare(selectedMod_, Qt::CaseInsensitive) != 0)
        return;
    Fail(QStringLiteral("Das Sicherungsverzeichnis '") + backupDirName_ +
         QStringLiteral("' ist nicht zulässig: Der Name darf nicht leer sein, keinen Pfadtrenner "
                        "und kein \"..\" enthalten und nicht das MOD selbst bezeichnen. Es wurde "
                        "nichts verändert."));
}

void Engine::EncodeModFile(const QString& plainPath, const QByteArray& name) {
    const QString nameText = FromText8(name);
    const QString codPath = modDirectory_ + '/' + nameText + QStringLiteral(".cod");
    RequireInsideMods(codPath);
    QByteArray plain;
    {
        QFile in(plainPath);
        if (!in.open(QIODevice::ReadOnly))
            FailUnknown(QStringLiteral("Fehler: '") + nameText +
                        QStringLiteral(".ini' konnte nicht gelesen werden"));
        plain = in.readAll();
        if (in.error() != QFileDevice::NoError)
            FailUnknown(QStringLiteral("Fehler: '") + nameText +
                        QStringLiteral(".ini' konnte nicht gelesen werden"));
    }
    LogLine(QStringLiteral("Veschlüssele ") + nameText + QStringLiteral(".ini zu ") + nameText +
            QStringLiteral(".cod"));
    if (!files_->WriteFileAtomically(codPath, EncodeModContent(plain)))
        FailUnknown(QStringLiteral("Fehler: '") + nameText +
                    QStringLiteral(".cod' konnte nicht geschrieben werden"));
}

void Engine::RunEncoding(const RunRequest& request) {
    if (gameDirectory_.isEmpty())
        ResolveGameDirectory();
    selectedMod_ = request.selectedMod;
    backupDirName_ = request.backupDirName;

    LogLine(QString::number(modCount_) + QStringLiteral(" Mod(s) gefunden..."));
    LogLine(QStringLiteral("MOD '") + selectedMod_ + QStringLiteral("' ausgewählt"));
    LogLine(QStringLiteral("Sichere dieses MOD im Verzeichnis '") + backupDirName_ + '\'');
    ShowProgress(5);

    // Everything is checked before the first change, so that a refused run
    // leaves the game directory exactly as it was.
    if (!IsPlainDirName(selectedMod_)) {
        Fail(QStringLiteral("Der MOD-Name '") + selectedMod_ +
             QStringLiteral("' ist nicht zulässig: Er darf nicht leer sein und keinen Pfadtrenner "
                            "und kein \"..\" enthalten. Es wurde nichts verändert."));
    }
    modDirectory_ = JoinStoredPath(ModsDirectory(), ToText8(selectedMod_));
    const int backgroundCount = LeadingNumber(
        ReadIniText(JoinStoredPath(modDirectory_, "mod.ini"), "Hintergrund", "Anzahl"));
    const QList<QString> inputs = CheckInputs(backgroundCount);

    if (request.backupWanted) {
        CheckBackupName();
        SourceBackup backup(*this, modDirectory_,
                            JoinStoredPath(ModsDirectory(), ToText8(backupDirName_)));
        backup.CheckStoredNames(backgroundCount);
        backup.Run(backgroundCount);
    }

    ShowProgress(50);
    LogLine(QStringLiteral("\r\nBeginne Verschlüsselung\r\n"));
    EncodeModFile(inputs[0], "mod");
    ShowProgress(60);
    for (int m = 1; m <= backgroundCount; ++m) {
        EncodeModFile(inputs[m], QByteArray::number(m));
        ShowProgress(60 + 5 * m);
    }
    ShowProgress(80);
    LogLine(QStringLiteral("Abschließende Konfigurationen werden durchgeführt\r\n"));

    // Until "type" says "code" the game reads the plain files, afterwards the
    // .cod files: both are complete at every moment of this order.
    const QString config = JoinStoredPath(modDirectory_, "config.ini");
    RequireInsideMods(config);
    if (!files_->WriteIni(config, "code", "game", "type"))
        FailUnknown(QStringLiteral("Fehler: 'config.ini' konnte nicht geschrieben werden"));
    bool allRemoved = true;
    for (const QString& path : inputs) {
        RequireInsideMods(path);
        if (!files_->RemoveFile(path)) {
            LogLine(QStringLiteral("Fehler: '") + QFileInfo(path).fileName() +
                    QStringLiteral("' konnte nicht gelöscht werden"));
            allRemoved = false;
        }
    }
    if (!allRemoved)
        FailUnknown(QStringLiteral("Das MOD ist codiert, aber nicht alle Sourcen wurden entfernt"));

    ShowProgress(100);
    LogLine(QStringLiteral("FERTIG\r\n\r\n"));
}

}  // namespace wf

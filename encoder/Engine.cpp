#include "Engine.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <cstdlib>

#include "FileLimits.h"
#include "IniAccess.h"
#include "ModFiles.h"
#include "ModRegistry.h"
#include "Paths.h"
#include "Platform.h"
#include "SafeFile.h"
#include "SourceBackup.h"
#include "Text8.h"

namespace wf {
namespace {

const QString kErrorTitle = QStringLiteral("Fehler");
const QString kTooManyMods = QStringLiteral(
    "Fehler ModAnzahl ist zu hoch um mit diesem Programm Codierungsvorgänge durchzuführen !!!");
const QString kUnknownError = QStringLiteral("Ein unbekannter Fehler ist aufgetreten !!!");
const QString kNothingChanged = QStringLiteral(" Es wurde nichts verändert.");

// Another run adds its MOD to game.ini in a moment; a run never waits for
// the author while it holds game.ini.
constexpr int kGameIniWaitMs = 30000;
constexpr int kOwnerlessLockWaitMs = 500;

QString Quoted(const QByteArray& name) {
    return QLatin1Char('\'') + FromText8(name) + '\'';
}

QString Busy(const QString& name) {
    return QStringLiteral("Das MOD '") + name +
           QStringLiteral("' wird gerade von einem anderen Lauf von modsiegel bearbeitet.") +
           kNothingChanged;
}

// The content of a definition file, "" when it is missing or no regular file.
QByteArray DefinitionBytes(const QString& path) {
    return ReadRegularFile(path, kMaxDefinitionFileBytes).bytes;
}

}  // namespace

Engine::Engine(EngineSink& sink, FileOps* files)
    : sink_(sink), files_(files ? files : &ownFiles_) {}

Engine::~Engine() = default;

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
    const ModRegistry registry = ReadModRegistry(DefinitionBytes(GameIniPath()));
    if (registry.tooMany) {
        Platform::Instance().MessageBox(sink_.MessageOwner(), MsgIcon::Exclamation, kErrorTitle,
                                        kTooManyMods);
        Platform::Instance().ExitProgram(1);
    }
    modNames_ = registry.names;
    modTypes_.clear();
    for (const QByteArray& name : modNames_) {
        // An empty or unsafe name resolves to no file and reads as "".
        const QString config = JoinStoredPath(ModsDirectory(), name + "\\config.ini");
        modTypes_.append(ReadIniTextFromBytes(DefinitionBytes(config), "game", "type"));
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

void Engine::ReleaseLocks() {
    gameIniLock_.reset();
    backupLock_.reset();
    modLock_.reset();
}

void Engine::Abandon() {
    if (changes_) {
        for (const QString& path : changes_->Undo())
            LogLine(QStringLiteral("Fehler: '") + path +
                    QStringLiteral("' konnte nicht wiederhergestellt werden"));
        changes_.reset();
    }
    ReleaseLocks();
}

void Engine::Fail(const QString& message) {
    Abandon();
    LogLine(message);
    Platform::Instance().MessageBox(sink_.MessageOwner(), MsgIcon::Exclamation, kErrorTitle,
                                    message);
    Platform::Instance().ExitProgram(1);
    std::abort();  // not reached: ExitProgram does not return
}

void Engine::FailUnknown(const QString& logText) {
    LogLine(logText);
    Abandon();
    Platform::Instance().MessageBox(sink_.MessageOwner(), MsgIcon::Exclamation, kErrorTitle,
                                    kUnknownError);
    Platform::Instance().ExitProgram(1);
    std::abort();  // not reached: ExitProgram does not return
}

void Engine::Abort() {
    Abandon();
    Platform::Instance().ExitProgram(1);
    std::abort();  // not reached: ExitProgram does not return
}

void Engine::RefuseOutside(const QByteArray& stored) {
    Fail(QStringLiteral("Die Datei ") + Quoted(stored) + QStringLiteral(" des MODs '") +
         selectedMod_ +
         QStringLiteral("' liegt außerhalb des MOD-Verzeichnisses oder verweist dorthin und wird "
                        "nicht verwendet.") +
         kNothingChanged);
}

void Engine::RefuseLinkedDirectory(const QString& path) {
    Fail(QStringLiteral("Das Verzeichnis '") + QDir(ModsDirectory()).relativeFilePath(path) +
         QStringLiteral("' ist ein Verweis auf ein anderes Verzeichnis und wird nicht "
                        "beschrieben.") +
         kNothingChanged);
}

void Engine::StageChange(const QString& root, const QString& path, const QByteArray& content,
                         const QString& shown) {
    // A link in place of the file is refused by the staging, which says so.
    if (!IsSymLink(path) && !LiesInside(root, path))
        FailUnknown(QStringLiteral("Fehler: '") + path + QStringLiteral("' liegt nicht in '") +
                    root + '\'');
    QString why;
    if (!changes_->Stage(path, content, kMaxCopiedFileBytes, &why))
        FailUnknown(QStringLiteral("Fehler: '") + shown +
                    QStringLiteral("' konnte nicht geschrieben werden: ") + why);
}

std::unique_ptr<QLockFile> Engine::Lock(const QString& path, int waitMs,
                                        const QString& busyMessage) {
    const QFileInfo info(path);
    auto lock = std::make_unique<QLockFile>(info.absolutePath() + QStringLiteral("/.") +
                                            info.fileName() + QStringLiteral(".lock"));
    // A run may wait for the author's answer for any time: only the lock of
    // a run that is gone is stale.
    lock->setStaleLockTime(0);
    // A lock file that names no owner was left by a run killed while it made
    // it, or is being made right now (a run names itself at once). Only when
    // it still names nobody a moment later, and no process holds it, is it
    // removed.
    if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError &&
        !lock->getLockInfo(nullptr, nullptr, nullptr)) {
        QThread::msleep(kOwnerlessLockWaitMs);
        if (!lock->getLockInfo(nullptr, nullptr, nullptr))
            lock->removeStaleLockFile();
    }
    if (lock->isLocked() || lock->tryLock(waitMs))
        return lock;
    if (lock->error() == QLockFile::LockFailedError)
        Fail(busyMessage);
    FailUnknown(QStringLiteral("Fehler: '") + info.fileName() +
                QStringLiteral("' konnte nicht gesperrt werden"));
}

void Engine::LockGameIni() {
    if (!gameIniLock_)
        gameIniLock_ =
            Lock(GameIniPath(), kGameIniWaitMs,
                 QStringLiteral("'game.ini' wird gerade von einem anderen Lauf von modsiegel "
                                "geändert.") +
                     kNothingChanged);
}

QList<Engine::Input> Engine::ReadInputs() {
    QList<Input> inputs;
    const auto read = [&](const QByteArray& name) {
        const QString path = JoinStoredPath(modDirectory_, name);
        const FileContent file = ReadRegularFile(path, kMaxDefinitionFileBytes);
        if (!file.ok()) {
            Fail(QStringLiteral("Die Datei ") + Quoted(name) + QStringLiteral(" des MODs '") +
                 selectedMod_ + QStringLiteral("' fehlt oder ist nicht lesbar.") + kNothingChanged);
        }
        if (!LiesInside(modDirectory_, QFileInfo(path).canonicalFilePath()))
            RefuseOutside(name);
        inputs.append({path, file.bytes});
    };
    read("mod.ini");
    const int backgroundCount = ReadIniNumberFromBytes(inputs[0].content, "Hintergrund", "Anzahl");
    for (int i = 1; i <= backgroundCount; ++i)
        read(QByteArray::number(i) + ".ini");
    return inputs;
}

void Engine::CheckBackupName() {
    if (IsPlainDirName(backupDirName_) &&
        backupDirName_.compare(selectedMod_, Qt::CaseInsensitive) != 0)
        return;
    Fail(QStringLiteral("Das Sicherungsverzeichnis '") + backupDirName_ +
         QStringLiteral("' ist nicht zulässig: Der Name darf nicht leer sein, keinen Pfadtrenner "
                        "enthalten, nicht \".\" oder \"..\" sein und nicht das MOD selbst "
                        "bezeichnen.") +
         kNothingChanged);
}

void Engine::EncodeModFile(const Input& input, const QByteArray& name) {
    const QString nameText = FromText8(name);
    LogLine(QStringLiteral("Veschlüssele ") + nameText + QStringLiteral(".ini zu ") + nameText +
            QStringLiteral(".cod"));
    StageChange(modDirectory_, modDirectory_ + '/' + nameText + QStringLiteral(".cod"),
                EncodeModContent(input.content), nameText + QStringLiteral(".cod"));
}

void Engine::RunEncoding(const RunRequest& request) {
    if (gameDirectory_.isEmpty())
        ResolveGameDirectory();
    selectedMod_ = request.selectedMod;
    // Blanks around a value are lost when game.ini is read: with them the
    // copy would be registered under a name that finds no directory.
    backupDirName_ = request.backupDirName.trimmed();
    changes_ = std::make_unique<ChangeSet>(*files_);

    LogLine(QString::number(ModCount()) + QStringLiteral(" Mod(s) gefunden..."));
    LogLine(QStringLiteral("MOD '") + selectedMod_ + QStringLiteral("' ausgewählt"));
    LogLine(QStringLiteral("Sichere dieses MOD im Verzeichnis '") + request.backupDirName + '\'');
    ShowProgress(5);

    // Everything is checked and written beside its place before the first
    // file changes, so that a refused or failed run leaves the game
    // directory exactly as it was.
    if (!IsPlainDirName(selectedMod_)) {
        Fail(QStringLiteral("Der MOD-Name '") + selectedMod_ +
             QStringLiteral("' ist nicht zulässig: Er darf nicht leer sein, keinen Pfadtrenner "
                            "enthalten und nicht \".\" oder \"..\" sein.") +
             kNothingChanged);
    }
    modDirectory_ = JoinStoredPath(ModsDirectory(), ToText8(selectedMod_));
    // The MODs shipped with an installed game are links into its read-only
    // tree; what they point to is never changed.
    if (IsSymLink(modDirectory_)) {
        Fail(QStringLiteral("Das MOD '") + selectedMod_ +
             QStringLiteral("' ist ein Verweis auf ein anderes Verzeichnis, etwa ein "
                            "installiertes MOD, und kann hier nicht codiert werden.") +
             kNothingChanged);
    }
    if (QFileInfo(modDirectory_).isDir())
        modLock_ = Lock(modDirectory_, 0, Busy(selectedMod_));
    const QList<Input> inputs = ReadInputs();
    const int backgroundCount = static_cast<int>(inputs.size()) - 1;

    if (request.backupWanted) {
        CheckBackupName();
        const QString backupDir = JoinStoredPath(ModsDirectory(), ToText8(backupDirName_));
        if (IsSymLink(backupDir))
            RefuseLinkedDirectory(backupDir);
        backupLock_ = Lock(backupDir, 0, Busy(backupDirName_));
        QList<QByteArray> plain;
        for (const Input& input : inputs)
            plain.append(input.content);
        SourceBackup backup(*this, modDirectory_, backupDir, plain);
        backup.CheckStoredNames();
        backup.Run();
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

    const QString config = JoinStoredPath(modDirectory_, "config.ini");
    const FileContent current = ReadRegularFile(config, kMaxDefinitionFileBytes);
    if (!current.ok() && current.error != ReadError::Missing)
        FailUnknown(QStringLiteral("Fehler: 'config.ini' konnte nicht gelesen werden"));
    StageChange(modDirectory_, config,
                IniTextWithValue(current.bytes, "code", "game", "type").value_or(QByteArray()),
                QStringLiteral("config.ini"));
    // Until "type" says "code" the game reads the plain files, afterwards the
    // .cod files: config.ini goes in place after every .cod file, and the
    // plain files go only after it.
    for (const Input& input : inputs)
        changes_->RemoveAfterCommit(input.path, input.content);
    QString why;
    if (!changes_->Commit(&why))
        FailUnknown(QStringLiteral("Fehler: ") + why);
    changes_.reset();
    ReleaseLocks();

    ShowProgress(100);
    LogLine(QStringLiteral("FERTIG\r\n\r\n"));
}

}  // namespace wf

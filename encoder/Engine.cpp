#include "Engine.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cstdlib>
#include <cstring>
#include <set>

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
// A game holds a MOD's lock shared while it reads the definition files and
// checks the pictures' headers: well under a second even for a MOD at every
// limit. Waiting many times that long only fails where a reader hangs.
constexpr int kSwitchWaitMs = 10000;

QString Quoted(const QByteArray& name) {
    return QLatin1Char('\'') + FromText8(name) + '\'';
}

QString Busy(const QString& name) {
    return QStringLiteral("Das MOD '") + name +
           QStringLiteral("' wird gerade von einem anderen Lauf von modsiegel bearbeitet.");
}

QString Bytes(qint64 n) {
    return QLocale(QLocale::German).toString(n) + QStringLiteral(" Bytes");
}

// The content of a definition file, "" when it is missing or no regular file.
QByteArray DefinitionBytes(const QString& path) {
    return ReadRegularFile(path, kMaxDefinitionFileBytes).bytes;
}

// "a.ini" → "a"
QByteArray Stem(const QString& name) {
    return ToText8(name.left(name.lastIndexOf(QLatin1Char('.'))));
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
    // Gone before anything is undone: a journal of an undone run must never
    // be finished.
    if (std::exchange(journalMayExist_, false))
        files_->RemoveFile(modsFolder_, journalName_);
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

void Engine::RefuseLock(const EntryLock::Outcome& outcome, const QString& busyMessage) {
    const QString file = Shown(outcome.file);
    switch (outcome.status) {
        case EntryLock::Status::Busy:
            Fail(busyMessage +
                 (outcome.holder.isEmpty()
                      ? QString()
                      : QStringLiteral(" (Sperre '%1': %2)").arg(file, outcome.holder)) +
                 kNothingChanged);
        case EntryLock::Status::Unsafe:
            Fail(QStringLiteral("Die Sperrdatei '") + file +
                 QStringLiteral("' ist keine gewöhnliche Datei (ein Verweis, eine FIFO, ein Gerät "
                                "oder ein Verzeichnis) und wird nicht benutzt. Entfernen Sie sie, "
                                "dann kann modsiegel hier wieder arbeiten.") +
                 kNothingChanged);
        default:
            FailUnknown(QStringLiteral("Fehler: '") + file +
                        QStringLiteral("' konnte nicht gesperrt werden: ") +
                        QString::fromLocal8Bit(std::strerror(outcome.error)));
    }
}

QString Engine::Shown(const QString& path) const {
    return QDir(gameDirectory_).relativeFilePath(path);
}

void Engine::RefuseLinkedDirectory(const QString& path) {
    Fail(QStringLiteral("Das Verzeichnis '") + QDir(ModsDirectory()).relativeFilePath(path) +
         QStringLiteral("' ist ein Verweis auf ein anderes Verzeichnis und wird nicht "
                        "beschrieben.") +
         kNothingChanged);
}

void Engine::StageChange(const FolderRef& folder, const QString& name, const QByteArray& content,
                         const QString& shown, const QByteArray& intent) {
    // A link in place of the file is refused by the staging, which says so.
    QString why;
    if (!changes_->Stage(folder, name, content, kMaxCopiedFileBytes, &why, intent))
        FailUnknown(QStringLiteral("Fehler: '") + shown +
                    QStringLiteral("' konnte nicht geschrieben werden: ") + why);
}

std::unique_ptr<EntryLock> Engine::Lock(const FolderRef& folder, const QString& entry, int waitMs,
                                        const QString& busyMessage) {
    EntryLock::Outcome outcome;
    std::unique_ptr<EntryLock> lock = EntryLock::ForChange(folder, entry, waitMs, &outcome);
    if (!lock)
        RefuseLock(outcome, busyMessage);
    return lock;
}

const FolderRef& Engine::GameFolder() {
    if (!gameFolder_)
        gameFolder_ = Folder::Open(gameDirectory_);
    if (!gameFolder_)
        FailUnknown(QStringLiteral("Fehler: '") + gameDirectory_ +
                    QStringLiteral("' ist kein lesbares Verzeichnis"));
    return gameFolder_;
}

void Engine::LockGameIni() {
    if (!gameIniLock_)
        gameIniLock_ = Lock(GameFolder(), QStringLiteral("game.ini"), kGameIniWaitMs,
                            QStringLiteral("'game.ini' wird gerade von einem anderen Lauf von "
                                           "modsiegel geändert."));
}

void Engine::OpenMod() {
    modsFolder_ = Folder::Open(ModsDirectory());
    modDirectory_ = JoinStoredPath(ModsDirectory(), ToText8(selectedMod_));
    modEntry_ = QFileInfo(modDirectory_).fileName();
    const QString linked =
        QStringLiteral("Das MOD '") + selectedMod_ +
        QStringLiteral(
            "' ist ein Verweis auf ein anderes Verzeichnis, etwa ein installiertes "
            "MOD, und kann hier nicht codiert werden.") +
        kNothingChanged;
    // The MODs shipped with an installed game are links into its read-only
    // tree; what they point to is never changed.
    if (IsSymLink(modDirectory_))
        Fail(linked);
    // A missing MOD is reported as its missing mod.ini.
    if (!modsFolder_ || EntryTypeIn(*modsFolder_, modEntry_) != S_IFDIR)
        return;
    modLock_ = Lock(modsFolder_, modEntry_, 0, Busy(selectedMod_));
    // Held from here on: a swap of the name for a link now is not followed.
    modFolder_ = Folder::OpenIn(modsFolder_, modEntry_);
    if (!modFolder_)
        Fail(linked);
    journalName_ = JournalFileName(modEntry_);
    // A journal being written when its run was killed never took effect.
    RemoveStaleTemporariesIn(*modsFolder_, journalName_);
}

void Engine::FinishInterruptedRun() {
    const FileContent journal =
        ReadRegularFileIn(*modsFolder_, journalName_, kMaxDefinitionFileBytes);
    if (journal.error == ReadError::Missing)
        return;
    const QString shown = Shown(modsFolder_->PathOf(journalName_));
    const std::optional<QList<JournalStep>> steps =
        journal.ok() ? ParseJournal(journal.bytes) : std::nullopt;
    if (!steps)
        Fail(QStringLiteral("Das Protokoll '") + shown +
             QStringLiteral("' eines unterbrochenen Laufs ist nicht lesbar oder nicht von "
                            "modsiegel. Entfernen Sie es, wenn das MOD so bleiben soll, wie es "
                            "ist.") +
             kNothingChanged);
    LogLine(QStringLiteral("Ein unterbrochener Lauf von modsiegel wird abgeschlossen (") + shown +
            QStringLiteral(")"));
    // The other MODs it changes (its backup) are locked as for a run of their own.
    std::vector<std::unique_ptr<EntryLock>> others;
    std::set<QString> locked{QStringLiteral("."), modEntry_};
    for (const JournalStep& step : *steps) {
        const QString top = step.folder.section(QLatin1Char('/'), 0, 0);
        if (step.kind != JournalStep::Kind::Register && locked.insert(top).second)
            others.push_back(Lock(modsFolder_, top, 0, Busy(top)));
    }
    if (!modLock_->BeginSwitch(kSwitchWaitMs))
        FailUnknown(QStringLiteral("Fehler: das MOD wird zu lange gelesen"));
    for (const auto& lock : others) {
        if (!lock->BeginSwitch(kSwitchWaitMs))
            FailUnknown(QStringLiteral("Fehler: die Sicherung wird zu lange gelesen"));
    }
    for (const JournalStep& step : *steps)
        FinishStep(step);
    if (!files_->RemoveFile(modsFolder_, journalName_))
        FailUnknown(QStringLiteral("Fehler: '") + shown +
                    QStringLiteral("' konnte nicht gelöscht werden"));
    modLock_->EndSwitch();
    LogLine(QStringLiteral("Der unterbrochene Lauf ist abgeschlossen."));
}

void Engine::FinishStep(const JournalStep& step) {
    if (step.kind == JournalStep::Kind::Register)
        return RegisterOnce(step.number, step.name);
    FolderRef folder = modsFolder_;
    for (const QString& part : step.folder.split(QLatin1Char('/'))) {
        if (folder && part != QStringLiteral("."))
            folder = Folder::OpenIn(folder, part);
    }
    const QString path = folder ? folder->PathOf(step.name) : step.folder + '/' + step.name;
    const QString cannot =
        QStringLiteral(
            "Ein unterbrochener Lauf von modsiegel kann nicht abgeschlossen werden: "
            "'%1' ist nicht, was er dort hinterlassen hat. Entfernen Sie '%2', wenn "
            "das MOD so bleiben soll, wie es ist.")
            .arg(Shown(path), Shown(modsFolder_->PathOf(journalName_)));
    if (!folder)
        Fail(cannot);
    QString why;
    if (step.kind == JournalStep::Kind::Drop) {
        if (EntryTypeIn(*folder, step.name) != 0 && !files_->RemoveFile(folder, step.name))
            FailUnknown(QStringLiteral("Fehler: '") + path +
                        QStringLiteral("' konnte nicht gelöscht werden"));
        return;
    }
    if (std::optional<StagedFile> staged = StagedFile::Adopt(folder, step.name, step.temporary)) {
        if (!files_->Commit(*staged, &why))
            FailUnknown(QStringLiteral("Fehler: '") + path + QStringLiteral("': ") + why);
        return;
    }
    // Put in place before the kill, unless something else has been since.
    const FileContent now = ReadRegularFileIn(*folder, step.name, kMaxCopiedFileBytes);
    if (!now.ok() || JournalDigest(now.bytes) != step.digest)
        Fail(cannot);
}

void Engine::RegisterOnce(int number, const QString& name) {
    LockGameIni();
    // What the killed run staged for game.ini is not used: game.ini may have
    // changed since.
    RemoveStaleTemporariesIn(*GameFolder(), QStringLiteral("game.ini"));
    const FileContent now =
        ReadRegularFileIn(*GameFolder(), QStringLiteral("game.ini"), kMaxDefinitionFileBytes);
    const ModRegistry registry = ReadModRegistry(now.bytes);
    if (registry.names.size() >= number && registry.names[number - 1] == ToText8(name))
        return;
    int entry = 0;
    const std::optional<QByteArray> registered = WithModAdded(now.bytes, ToText8(name), &entry);
    QString why;
    std::optional<StagedFile> staged =
        registered ? files_->Stage(GameFolder(), QStringLiteral("game.ini"), *registered, &why)
                   : std::nullopt;
    if (!staged || !files_->Commit(*staged, &why))
        FailUnknown(QStringLiteral("Fehler: 'game.ini' konnte nicht geschrieben werden: ") + why);
}

bool Engine::IsSealed() const {
    const FileContent config = ReadRegularFileIn(
        *modFolder_, QFileInfo(JoinStoredPath(modDirectory_, "config.ini")).fileName(),
        kMaxDefinitionFileBytes);
    return ReadIniTextFromBytes(config.bytes, "game", "type") == "code" &&
           !IsRegularFile(JoinStoredPath(modDirectory_, "mod.ini"));
}

void Engine::EndSealed(const RunRequest& request) {
    // Under the locks the run would take: a killed run's are taken over.
    if (request.backupWanted) {
        CheckBackupName();
        backupLock_ =
            Lock(modsFolder_,
                 QFileInfo(JoinStoredPath(ModsDirectory(), ToText8(backupDirName_))).fileName(), 0,
                 Busy(backupDirName_));
        LockGameIni();
    }
    const ModRegistry registry = ReadModRegistry(DefinitionBytes(GameIniPath()));
    const QString backupIni =
        JoinStoredPath(JoinStoredPath(ModsDirectory(), ToText8(backupDirName_)), "mod.ini");
    if (request.backupWanted &&
        !(registry.names.contains(ToText8(backupDirName_)) && IsRegularFile(backupIni))) {
        Fail(QStringLiteral("Das MOD '") + selectedMod_ +
             QStringLiteral("' ist bereits codiert; seine Sourcen liegen hier nicht mehr, also "
                            "kann es nicht nach '") +
             backupDirName_ + QStringLiteral("' gesichert werden.") + kNothingChanged);
    }
    LogLine(QStringLiteral("Das MOD '") + selectedMod_ +
            QStringLiteral("' ist bereits codiert; es gibt nichts mehr zu tun."));
    changes_.reset();
    ReleaseLocks();
    ShowProgress(100);
    LogLine(QStringLiteral("FERTIG\r\n\r\n"));
}

QList<Engine::Input> Engine::ReadInputs() {
    QList<Input> inputs;
    const auto read = [&](const QByteArray& name) {
        const QString path = JoinStoredPath(modDirectory_, name);
        const FileContent file = modFolder_
                                     ? ReadRegularFileIn(*modFolder_, QFileInfo(path).fileName(),
                                                         kMaxDefinitionFileBytes)
                                     : FileContent{ReadError::Missing, {}};
        if (!file.ok()) {
            Fail(QStringLiteral("Die Datei ") + Quoted(name) + QStringLiteral(" des MODs '") +
                 selectedMod_ + QStringLiteral("' fehlt oder ist nicht lesbar.") + kNothingChanged);
        }
        if (!LiesInside(modDirectory_, QFileInfo(path).canonicalFilePath()))
            RefuseOutside(name);
        inputs.append({QFileInfo(path).fileName(), file.bytes});
    };
    read("mod.ini");
    const int backgroundCount = ReadIniNumberFromBytes(inputs[0].content, "Hintergrund", "Anzahl");
    for (int i = 1; i <= backgroundCount; ++i)
        read(QByteArray::number(i) + ".ini");
    return inputs;
}

QByteArray Engine::SealedConfig() {
    const FileContent current = ReadRegularFileIn(
        *modFolder_, QFileInfo(JoinStoredPath(modDirectory_, "config.ini")).fileName(),
        kMaxDefinitionFileBytes);
    if (!current.ok() && current.error != ReadError::Missing)
        FailUnknown(QStringLiteral("Fehler: 'config.ini' konnte nicht gelesen werden"));
    return IniTextWithValue(current.bytes, "code", "game", "type").value_or(QByteArray());
}

void Engine::CheckSizes(const QList<Input>& inputs, const QByteArray& config) {
    // What the seal writes must be what the game reads: it reads no
    // definition file beyond this limit, and a .cod is three times its .ini.
    const auto refuse = [&](const QString& from, const QString& to, qint64 size) {
        Fail(QStringLiteral("Die Datei '%1' des MODs '%2' würde als '%3' %4 groß; das Spiel liest "
                            "höchstens %5 (32 MiB) je Datei und könnte das MOD nicht mehr laden. "
                            "Kürzen Sie die Datei oder verteilen Sie ihren Inhalt.")
                 .arg(from, selectedMod_, to, Bytes(size), Bytes(kMaxDefinitionFileBytes)) +
             kNothingChanged);
    };
    for (const Input& input : inputs) {
        const qint64 size = EncodedSize(input.content);
        if (size > kMaxDefinitionFileBytes)
            refuse(input.name, FromText8(Stem(input.name)) + QStringLiteral(".cod"), size);
    }
    if (config.size() > kMaxDefinitionFileBytes)
        refuse(QStringLiteral("config.ini"), QStringLiteral("config.ini"), config.size());
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
    StageChange(modFolder_, nameText + QStringLiteral(".cod"), EncodeModContent(input.content),
                nameText + QStringLiteral(".cod"));
}

void Engine::CommitAll() {
    // Readers (a game starting) see the MOD and the backup before or after,
    // never half switched.
    if (!modLock_->BeginSwitch(kSwitchWaitMs) ||
        (backupLock_ && !backupLock_->BeginSwitch(kSwitchWaitMs)))
        FailUnknown(QStringLiteral("Fehler: das MOD wird zu lange gelesen"));
    QString why;
    const QByteArray plan = JournalHeader() + changes_->Plan(*modsFolder_);
    std::optional<StagedFile> journal = changes_->SyncFolders()
                                            ? files_->Stage(modsFolder_, journalName_, plan, &why)
                                            : std::nullopt;
    journalMayExist_ = journal.has_value();
    if (!journal || !files_->Commit(*journal, &why))
        FailUnknown(QStringLiteral("Fehler: das Protokoll des Laufs konnte nicht geschrieben "
                                   "werden: ") +
                    why);
    if (!changes_->Commit(&why))
        FailUnknown(QStringLiteral("Fehler: ") + why);
    if (!files_->RemoveFile(modsFolder_, journalName_))
        FailUnknown(QStringLiteral("Fehler: das Protokoll des Laufs konnte nicht gelöscht werden"));
    journalMayExist_ = false;
    changes_.reset();
    ReleaseLocks();
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
    OpenMod();
    if (modFolder_) {
        FinishInterruptedRun();
        if (IsSealed())
            return EndSealed(request);
    }
    const QList<Input> inputs = ReadInputs();
    const int backgroundCount = static_cast<int>(inputs.size()) - 1;
    const QByteArray config = SealedConfig();
    CheckSizes(inputs, config);

    if (request.backupWanted) {
        CheckBackupName();
        const QString backupDir = JoinStoredPath(ModsDirectory(), ToText8(backupDirName_));
        if (IsSymLink(backupDir))
            RefuseLinkedDirectory(backupDir);
        backupLock_ = Lock(modsFolder_, QFileInfo(backupDir).fileName(), 0, Busy(backupDirName_));
        QList<QByteArray> plain;
        for (const Input& input : inputs)
            plain.append(input.content);
        SourceBackup backup(*this, modFolder_, modDirectory_, backupDir, plain);
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

    StageChange(modFolder_, QFileInfo(JoinStoredPath(modDirectory_, "config.ini")).fileName(),
                config, QStringLiteral("config.ini"));
    // Until "type" says "code" the game reads the plain files, afterwards the
    // .cod files: config.ini goes in place after every .cod file, and the
    // plain files go only after it.
    for (const Input& input : inputs)
        changes_->RemoveAfterCommit(modFolder_, input.name, input.content);
    CommitAll();

    ShowProgress(100);
    LogLine(QStringLiteral("FERTIG\r\n\r\n"));
}

}  // namespace wf

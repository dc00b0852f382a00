#include "ModInstall.h"

#include <stdio.h>
#include <sys/stat.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "EntryLock.h"
#include "FileLimits.h"
#include "ModArchive.h"
#include "ModLoader.h"
#include "ModRegistry.h"
#include "SafeFile.h"
#include "Text8.h"

namespace wf {
namespace {

// Another install or a seal of the same MOD, or a registration in game.ini,
// takes moments; a player does not wait longer.
constexpr int kLockWaitMs = 5000;

const QString kNothingChanged = QStringLiteral(" Es wurde nichts verändert.");

bool Rename(const Folder& from, const QString& fromName, const Folder& to, const QString& toName) {
    return ::renameat(from.Fd(), QFile::encodeName(fromName).constData(), to.Fd(),
                      QFile::encodeName(toName).constData()) == 0;
}

QString LockProblem(const EntryLock::Outcome& outcome, const QString& what) {
    switch (outcome.status) {
        case EntryLock::Status::Busy:
            return QStringLiteral("%1 wird gerade von einem anderen Programm bearbeitet (%2).")
                       .arg(what, outcome.file) +
                   kNothingChanged;
        case EntryLock::Status::Unsafe:
            return QStringLiteral(
                       "Die Sperrdatei '%1' ist keine gewöhnliche Datei; bitte "
                       "entfernen Sie sie.")
                       .arg(outcome.file) +
                   kNothingChanged;
        default:
            return QStringLiteral("Die Sperrdatei '%1' kann nicht angelegt werden: %2")
                       .arg(outcome.file, QString::fromLocal8Bit(std::strerror(outcome.error))) +
                   kNothingChanged;
    }
}

bool Registered(const ModRegistry& registry, const QString& name) {
    for (const QByteArray& entry : registry.names) {
        if (FromText8(entry).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace

InstallOutcome InstallModArchive(const QString& archivePath, const QString& gameDir,
                                 const std::function<bool(const QString& modName)>& replace) {
    InstallOutcome out;
    const auto refuse = [&out](const QString& why) {
        out.problem = why;
        return out;
    };
    const ArchiveListing listing = ListModArchive(archivePath);
    out.modName = listing.modName;
    if (!listing.problem.isEmpty())
        return refuse(listing.problem + kNothingChanged);

    const FolderRef game = Folder::Open(gameDir);
    const FolderRef mods = game ? Folder::OpenIn(game, QStringLiteral("mods")) : nullptr;
    if (!mods) {
        return refuse(QStringLiteral("'%1/mods' ist kein Verzeichnis, in das ein MOD kommen kann.")
                          .arg(gameDir) +
                      kNothingChanged);
    }
    const QString name = listing.modName;
    EntryLock::Outcome outcome;
    const std::unique_ptr<EntryLock> modLock =
        EntryLock::ForChange(mods, name, kLockWaitMs, &outcome);
    if (!modLock)
        return refuse(LockProblem(outcome, QStringLiteral("Das MOD '%1'").arg(name)));

    // Beside mods/, so that mods/ sees only the finished MOD; a staging
    // folder a killed install left behind goes first.
    const QString staging = HiddenNameBeside(name, QStringLiteral(".install"));
    RemoveTreeIn(*game, staging);
    struct Cleanup {
        const Folder& folder;
        const QString& name;
        ~Cleanup() { RemoveTreeIn(folder, name); }
    } cleanup{*game, staging};
    QString problem;
    if (!UnpackModArchive(archivePath, listing, game, staging, &problem))
        return refuse(problem + kNothingChanged);
    const ModCheck check = CheckMod(game->PathOf(staging));
    out.notes = check.notes;
    if (!check.Playable()) {
        return refuse(QStringLiteral("Das MOD '%1' im Archiv lädt so nicht:\n").arg(name) +
                      check.problems.join('\n') + '\n' + kNothingChanged.trimmed());
    }

    const int existing = EntryTypeIn(*mods, name);
    if (existing == S_IFLNK) {
        return refuse(
            QStringLiteral("'%1' ist ein mitgeliefertes MOD und wird nicht ersetzt.").arg(name) +
            kNothingChanged);
    }
    if (existing != 0 && existing != S_IFDIR)
        return refuse(QStringLiteral("In mods/ steht schon '%1'.").arg(name) + kNothingChanged);
    if (existing == S_IFDIR && !(replace && replace(name))) {
        out.kept = true;
        return refuse(QStringLiteral("Ein MOD namens '%1' ist schon installiert.").arg(name) +
                      kNothingChanged);
    }
    out.replaced = existing == S_IFDIR;

    const std::unique_ptr<EntryLock> iniLock =
        EntryLock::ForChange(game, QStringLiteral("game.ini"), kLockWaitMs, &outcome);
    if (!iniLock)
        return refuse(LockProblem(outcome, QStringLiteral("game.ini")));
    const FileContent ini =
        ReadRegularFileIn(*game, QStringLiteral("game.ini"), kMaxDefinitionFileBytes);
    if (!ini.ok() && ini.error != ReadError::Missing)
        return refuse(QStringLiteral("game.ini kann nicht gelesen werden.") + kNothingChanged);
    const ModRegistry registry = ReadModRegistry(ini.bytes);
    if (registry.tooMany) {
        return refuse(QStringLiteral("game.ini nennt mehr MODs als erlaubt (höchstens %1).")
                          .arg(kMaxInstalledMods) +
                      kNothingChanged);
    }
    std::optional<StagedFile> newIni;
    if (!Registered(registry, name)) {
        if (registry.names.size() >= kMaxInstalledMods) {
            return refuse(QStringLiteral("game.ini nennt schon %1 MODs, mehr gehen nicht.")
                              .arg(kMaxInstalledMods) +
                          kNothingChanged);
        }
        int entry = 0;
        const std::optional<QByteArray> content = WithModAdded(ini.bytes, ToText8(name), &entry);
        if (content)
            newIni = StagedFile::StageIn(game, QStringLiteral("game.ini"), *content, &problem);
        if (!newIni) {
            return refuse(
                QStringLiteral("game.ini kann nicht geschrieben werden: %1").arg(problem) +
                kNothingChanged);
        }
        out.registeredAs = entry;
    }

    // The switch: readers of the MOD see the old one or the new one whole.
    if (!modLock->BeginSwitch(kLockWaitMs))
        return refuse(LockProblem({EntryLock::Status::Busy, {}, {}, 0}, name));
    const QString old = HiddenNameBeside(name, QStringLiteral(".old"));
    RemoveTreeIn(*mods, old);
    if (out.replaced && !Rename(*mods, name, *mods, old)) {
        modLock->EndSwitch();
        return refuse(QStringLiteral("Das alte MOD '%1' kann nicht ersetzt werden.").arg(name) +
                      kNothingChanged);
    }
    const auto undo = [&] {
        if (out.replaced)
            Rename(*mods, old, *mods, name);
    };
    if (!Rename(*game, staging, *mods, name)) {
        const int error = errno;
        undo();
        modLock->EndSwitch();
        return refuse(QStringLiteral("Das MOD '%1' kann nicht nach mods/ gelegt werden: %2")
                          .arg(name, QString::fromLocal8Bit(std::strerror(error))) +
                      kNothingChanged);
    }
    if (newIni && !newIni->Commit(&problem)) {
        Rename(*mods, name, *game, staging);
        undo();
        modLock->EndSwitch();
        return refuse(QStringLiteral("game.ini kann nicht geschrieben werden: %1").arg(problem) +
                      kNothingChanged);
    }
    mods->Sync();
    game->Sync();
    modLock->EndSwitch();
    RemoveTreeIn(*mods, old);
    out.installed = true;
    return out;
}

}  // namespace wf

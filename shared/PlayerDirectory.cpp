#include "PlayerDirectory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

#include "FileLimits.h"
#include "Paths.h"
#include "SafeFile.h"

namespace wf {
namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString Reason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QStringLiteral("keine Berechtigung");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("kein Platz mehr auf dem Datenträger");
        case EROFS:
            return QStringLiteral("das Dateisystem ist schreibgeschützt");
        case ENOTDIR:
        case EEXIST:
            return QStringLiteral("dort steht etwas anderes als ein Verzeichnis");
        case ELOOP:
            return QStringLiteral("dort steht eine Verknüpfung");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

// A name no other run and no planted link can have.
QByteArray TemporaryName(const char* name) {
    return QByteArray(".") + name + '.' +
           QByteArray::number(QRandomGenerator::system()->generate64(), 16) + ".tmp";
}

bool Present(int dirFd, const char* name, struct stat* st = nullptr) {
    struct stat own;
    return ::fstatat(dirFd, name, st ? st : &own, AT_SYMLINK_NOFOLLOW) == 0;
}

// Every missing level of dir, as the player's own directories. Levels that
// exist are taken as they are: they are the player's choice of place.
int MakePath(const QString& dir) {
    const QStringList parts = dir.split('/', Qt::SkipEmptyParts);
    QString path;
    for (const QString& part : parts) {
        path += '/' + part;
        if (::mkdir(Native(path).constData(), 0755) != 0 && errno != EEXIST)
            return errno;
    }
    return 0;
}

// The installation's file under its own name, when the player has none:
// written completely under a new name, then linked into place without ever
// replacing what another start may have put there meanwhile.
int CopyOnce(int dirFd, const char* name, const QString& source) {
    if (Present(dirFd, name))
        return 0;
    const FileContent content = ReadRegularFile(source, kMaxDefinitionFileBytes);
    if (!content.ok())
        return ENOENT;
    const QByteArray temporary = TemporaryName(name);
    int error = 0;
    const int fd = ::openat(dirFd, temporary.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    const char* data = content.bytes.constData();
    qsizetype left = content.bytes.size();
    while (left > 0 && error == 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno != EINTR)
            error = errno;
        if (n > 0)
            data += n, left -= n;
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    ::close(fd);
    if (error == 0 && ::linkat(dirFd, temporary.constData(), dirFd, name, 0) != 0 &&
        errno != EEXIST)
        error = errno;
    ::unlinkat(dirFd, temporary.constData(), 0);
    ::fsync(dirFd);
    return error;
}

QString LinkTarget(int dirFd, const char* name) {
    char target[4096];
    const ssize_t n = ::readlinkat(dirFd, name, target, sizeof target);
    return n > 0 && n < static_cast<ssize_t>(sizeof target)
               ? QFile::decodeName(QByteArray(target, n))
               : QString();
}

// A link into the installation, when the player has nothing of that name.
// replaceable: also in place of a regular file or of a link to nothing (an
// old copy of a text that now follows the package).
int LinkOnce(int dirFd, const char* name, const QString& target, bool replaceable = false) {
    struct stat st;
    if (!Present(dirFd, name, &st)) {
        if (::symlinkat(Native(target).constData(), dirFd, name) == 0 || errno == EEXIST)
            return 0;
        return errno;
    }
    if (!replaceable)
        return 0;
    if (S_ISLNK(st.st_mode)) {
        // Only a link of the installation's kind (absolute) that leads
        // nowhere is replaced; the player's own links stay.
        const QString now = LinkTarget(dirFd, name);
        if (now == target || QFileInfo(now).isRelative() || QFileInfo::exists(now))
            return 0;
    } else if (!S_ISREG(st.st_mode)) {
        return 0;
    }
    const QByteArray temporary = TemporaryName(name);
    if (::symlinkat(Native(target).constData(), dirFd, temporary.constData()) != 0)
        return errno;
    if (::renameat(dirFd, temporary.constData(), dirFd, name) != 0) {
        const int error = errno;
        ::unlinkat(dirFd, temporary.constData(), 0);
        return error;
    }
    return 0;
}

// Links to MODs that the installation no longer ships: choosing one would
// only say that files are missing.
void RemoveDroppedMods(int modsFd, const QString& installedMods) {
    DIR* dir = ::fdopendir(::dup(modsFd));
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st;
        if (!Present(modsFd, entry->d_name, &st) || !S_ISLNK(st.st_mode))
            continue;
        const QString target = LinkTarget(modsFd, entry->d_name);
        if (target.startsWith(installedMods + '/') && !QFileInfo::exists(target))
            ::unlinkat(modsFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace

QString InstalledDataDirectory(const QString& programDir) {
    // A system install keeps its programs in PREFIX/lib/games/wolkenfang.
    if (!QDir::cleanPath(programDir).endsWith(QStringLiteral("/lib/games/wolkenfang")))
        return QString();
    const QString data =
        QDir::cleanPath(programDir + QStringLiteral("/../../../share/games/wolkenfang"));
    return IsRegularFile(data + QStringLiteral("/game.ini")) ? data : QString();
}

QString PlayerGameDirectory() {
    const QString named = qEnvironmentVariable(kGameDirectoryVariable);
    if (!named.isEmpty())
        return QDir::cleanPath(QDir(named).absolutePath());
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.startsWith('/'))
        return QDir::cleanPath(dataHome + QStringLiteral("/wolkenfang"));
    const QString home = qEnvironmentVariable("HOME");
    if (home.startsWith('/'))
        return QDir::cleanPath(home + QStringLiteral("/.local/share/wolkenfang"));
    return QString();
}

PlayerDirectory PreparePlayerDirectory(const QString& dataDir) {
    PlayerDirectory result;
    result.gameDir = PlayerGameDirectory();
    if (result.gameDir.isEmpty()) {
        result.problem = QStringLiteral(
            "HOME ist nicht gesetzt, das Spielverzeichnis kann nicht angelegt werden");
        return result;
    }
    const auto fail = [&result](const QString& what, int error) {
        result.problem = QStringLiteral("Das Spielverzeichnis %1 kann nicht angelegt werden: %2")
                             .arg(what, Reason(error));
        return result;
    };
    if (const int error = MakePath(result.gameDir))
        return fail(result.gameDir, error);
    const FolderRef dir = Folder::Open(result.gameDir);
    if (!dir)
        return fail(result.gameDir, errno);
    if (::mkdirat(dir->Fd(), "mods", 0755) != 0 && errno != EEXIST)
        return fail(result.gameDir + QStringLiteral("/mods"), errno);
    const FolderRef mods = Folder::OpenIn(dir, QStringLiteral("mods"));
    if (!mods)
        return fail(result.gameDir + QStringLiteral("/mods"), errno);

    if (const int error = CopyOnce(dir->Fd(), "game.ini", dataDir + QStringLiteral("/game.ini")))
        return fail(result.gameDir + QStringLiteral("/game.ini"), error);
    const struct {
        int dirFd;
        QString name;
        QString target;
        bool replaceable;
    } links[] = {
        {dir->Fd(), QStringLiteral("Info.txt"), dataDir + QStringLiteral("/Info.txt"), true},
        {dir->Fd(), QStringLiteral("Grafiken"), dataDir + QStringLiteral("/Grafiken"), false}};
    for (const auto& link : links) {
        if (const int error =
                LinkOnce(link.dirFd, Native(link.name).constData(), link.target, link.replaceable))
            return fail(result.gameDir + '/' + link.name, error);
    }
    const QString installedMods = dataDir + QStringLiteral("/mods");
    for (const QString& mod : QDir(installedMods).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (const int error =
                LinkOnce(mods->Fd(), Native(mod).constData(), installedMods + '/' + mod))
            return fail(result.gameDir + QStringLiteral("/mods/") + mod, error);
    }
    RemoveDroppedMods(mods->Fd(), installedMods);
    return result;
}

PlayerDirectory SetUpInstalledGameDirectory(const QString& programDir) {
    const QString data = InstalledDataDirectory(programDir);
    if (data.isEmpty())
        return {};
    PlayerDirectory player = PreparePlayerDirectory(data);
    if (player.problem.isEmpty())
        qputenv(kGameDirectoryVariable, QFile::encodeName(player.gameDir));
    return player;
}

}  // namespace wf

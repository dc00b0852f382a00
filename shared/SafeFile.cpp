#include "SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace wf {
namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

void Tell(QString* why, const QString& text) {
    if (why)
        *why = text;
}

QString ErrnoText(const char* what, int error) {
    return QString::fromLatin1(what) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(error));
}

void CloseQuietly(int fd) {
    if (fd >= 0)
        ::close(fd);
}

// Writes all of data, retrying short writes and interruptions.
bool WriteAll(int fd, const QByteArray& data, off_t offset, bool positioned) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n =
            positioned ? ::pwrite(fd, data.constData() + done, data.size() - done, offset + done)
                       : ::write(fd, data.constData() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// The target may be missing or a regular file, never a link or anything else.
bool TargetAcceptable(int dirFd, const QByteArray& name, QString* why) {
    struct stat st;
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (S_ISLNK(st.st_mode)) {
        Tell(why, QStringLiteral("ist ein Verweis (Link)"));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        Tell(why, QStringLiteral("ist keine gewöhnliche Datei"));
        return false;
    }
    return true;
}

bool TargetAcceptable(const QString& path, QString* why) {
    return TargetAcceptable(AT_FDCWD, Native(path), why);
}

// Temporaries have a random tail of this many characters.
constexpr int kTemporaryTail = 6;

QString TemporaryPrefix(const QString& name) {
    return HiddenNameBeside(name, QStringLiteral(".tmp-"), kTemporaryTail);
}

// A new, locked temporary for name in dirFd; its descriptor, or -1.
int CreateTemporary(int dirFd, const QString& name, QString* temporary, mode_t mode) {
    const QString prefix = TemporaryPrefix(name);
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 64; ++attempt) {
        QString candidate = prefix;
        for (int i = 0; i < kTemporaryTail; ++i)
            candidate += QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]);
        const int fd = ::openat(dirFd, Native(candidate).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
        // Held until the temporary is renamed or removed, so that a cleaner
        // can tell a live temporary from one whose process died.
        ::flock(fd, LOCK_EX | LOCK_NB);
        *temporary = candidate;
        return fd;
    }
    errno = EEXIST;
    return -1;
}

mode_t ModeFor(int dirFd, const QByteArray& name) {
    struct stat st;
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    return 0644;
}

// Rewrites a writable file whose directory takes no new files. Its space is
// reserved before the first byte changes, so a full disk leaves it as it was.
bool RewriteInPlace(const QString& path, const QByteArray& content, QString* why) {
    const int fd = ::open(Native(path).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        Tell(why, ErrnoText("öffnen", errno));
        return false;
    }
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && content.size() > st.st_size) {
        const int error = ::posix_fallocate(fd, 0, content.size());
        ok = error == 0;
        if (!ok)
            Tell(why, ErrnoText("Platz reservieren", error));
    }
    if (ok && !(WriteAll(fd, content, 0, true) && ::ftruncate(fd, content.size()) == 0 &&
                ::fsync(fd) == 0)) {
        Tell(why, ErrnoText("schreiben", errno));
        ok = false;
    }
    ::close(fd);
    return ok;
}

// name relative to dirFd (AT_FDCWD: a path); a link is followed.
FileContent ReadAt(int dirFd, const QByteArray& native, qint64 maxBytes) {
    FileContent result;
    struct stat st;
    if (native.isEmpty() || ::fstatat(dirFd, native.constData(), &st, 0) != 0) {
        result.error = errno == ENOENT || errno == ENOTDIR || native.isEmpty()
                           ? ReadError::Missing
                           : ReadError::Unreadable;
        return result;
    }
    // Checked before opening: opening a FIFO for reading waits for a writer.
    if (!S_ISREG(st.st_mode)) {
        result.error = ReadError::NotRegular;
        return result;
    }
    const int fd =
        ::openat(dirFd, native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.error = ReadError::Unreadable;
        return result;
    }
    // The name may have been swapped for something else since the check.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = ReadError::NotRegular;
        return result;
    }
    if (st.st_size > maxBytes) {
        ::close(fd);
        result.error = ReadError::TooLarge;
        return result;
    }
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(st.st_size));
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size()) {
            // The file may have grown since it was measured: read on, but
            // never more than one byte past the limit.
            bytes.resize(std::min<qint64>(maxBytes + 1, done + 65536));
            if (done == bytes.size())
                break;
        }
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            result.error = ReadError::Unreadable;
            return result;
        }
        if (n == 0)
            break;
        done += n;
    }
    ::close(fd);
    if (done > maxBytes) {
        result.error = ReadError::TooLarge;
        return result;
    }
    bytes.truncate(done);
    result.bytes = std::move(bytes);
    return result;
}

}  // namespace

FolderRef Folder::Open(const QString& path, bool followLink) {
    const int fd = ::open(Native(path).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    return fd < 0 ? nullptr : FolderRef(new Folder(fd, path));
}

FolderRef Folder::OpenIn(const FolderRef& parent, const QString& name) {
    const int fd = ::openat(parent->fd_, Native(name).constData(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return fd < 0 ? nullptr : FolderRef(new Folder(fd, parent->PathOf(name)));
}

Folder::~Folder() {
    ::close(fd_);
}

bool Folder::Sync() const {
    return ::fsync(fd_) == 0 || errno == EINVAL;  // some file systems cannot
}

QString HiddenNameBeside(const QString& entry, const QString& suffix, int reserve) {
    // The longest name most file systems take, in bytes.
    constexpr qsizetype kNameMax = 255;
    const QString whole = QLatin1Char('.') + entry + suffix;
    if (Native(whole).size() + reserve <= kNameMax)
        return whole;
    const QString tag =
        QLatin1Char('~') +
        QString::fromLatin1(
            QCryptographicHash::hash(Native(entry), QCryptographicHash::Sha256).toHex().left(16));
    QString head = entry;
    while (!head.isEmpty() &&
           Native(QLatin1Char('.') + head + tag + suffix).size() + reserve > kNameMax)
        head.chop(head.size() > 1 && head.back().isLowSurrogate() ? 2 : 1);
    return QLatin1Char('.') + head + tag + suffix;
}

FileContent ReadRegularFile(const QString& path, qint64 maxBytes) {
    return ReadAt(AT_FDCWD, path.isEmpty() ? QByteArray() : Native(path), maxBytes);
}

FileContent ReadRegularFileIn(const Folder& folder, const QString& name, qint64 maxBytes) {
    return ReadAt(folder.Fd(), Native(name), maxBytes);
}

QStringList EntryNamesIn(const Folder& folder) {
    QStringList names;
    const int listFd = ::openat(folder.Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!d) {
        CloseQuietly(listFd);
        return names;
    }
    while (const dirent* entry = ::readdir(d)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(d);
    names.sort();
    return names;
}

int EntryTypeIn(const Folder& folder, const QString& name) {
    struct stat st;
    if (::fstatat(folder.Fd(), Native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return static_cast<int>(st.st_mode & S_IFMT);
    return errno == ENOENT ? 0 : -1;
}

bool IsRegularFile(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(Native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsSymLink(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::lstat(Native(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool LiesInside(const QString& root, const QString& path) {
    // An empty root has no canonical path and is refused below.
    if (path.isEmpty() || IsSymLink(path))
        return false;
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    const QString realDir = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    if (realRoot.isEmpty() || realDir.isEmpty())
        return false;
    return realDir == realRoot ||
           realDir.startsWith(realRoot == QStringLiteral("/") ? realRoot
                                                              : realRoot + QLatin1Char('/'));
}

StagedFile::StagedFile(FolderRef folder, QString name, QString temporary, int lockFd)
    : folder_(std::move(folder)),
      name_(std::move(name)),
      path_(folder_->PathOf(name_)),
      temporary_(std::move(temporary)),
      lockFd_(lockFd) {}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : folder_(std::move(other.folder_)),
      name_(std::move(other.name_)),
      path_(std::move(other.path_)),
      temporary_(std::exchange(other.temporary_, QString())),
      lockFd_(std::exchange(other.lockFd_, -1)) {}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        Discard();
        folder_ = std::move(other.folder_);
        name_ = std::move(other.name_);
        path_ = std::move(other.path_);
        temporary_ = std::exchange(other.temporary_, QString());
        lockFd_ = std::exchange(other.lockFd_, -1);
    }
    return *this;
}

StagedFile::~StagedFile() {
    Discard();
}

QString StagedFile::TemporaryPath() const {
    return temporary_.isEmpty() ? QString() : folder_->PathOf(temporary_);
}

std::optional<StagedFile> StagedFile::Stage(const QString& path, const QByteArray& content,
                                            QString* why) {
    const QFileInfo info(path);
    const FolderRef folder = Folder::Open(info.absolutePath());
    if (!folder) {
        Tell(why, ErrnoText("anlegen", errno));
        return std::nullopt;
    }
    std::optional<StagedFile> staged = StageIn(folder, info.fileName(), content, why);
    if (staged)
        staged->path_ = path;
    return staged;
}

std::optional<StagedFile> StagedFile::StageIn(const FolderRef& folder, const QString& name,
                                              const QByteArray& content, QString* why) {
    const QByteArray native = Native(name);
    if (!TargetAcceptable(folder->Fd(), native, why))
        return std::nullopt;
    QString temporary;
    const int fd = CreateTemporary(folder->Fd(), name, &temporary, ModeFor(folder->Fd(), native));
    if (fd < 0) {
        Tell(why, ErrnoText("anlegen", errno));
        return std::nullopt;
    }
    StagedFile staged(folder, name, temporary, fd);
    struct stat st;
    // Every write is checked, and the size on disk after the sync as well: a
    // buffered writer on a full disk can report success for a short file.
    if (!WriteAll(fd, content, 0, false) || ::fsync(fd) != 0 || ::fstat(fd, &st) != 0 ||
        st.st_size != content.size()) {
        Tell(why, ErrnoText("schreiben", errno ? errno : EIO));
        return std::nullopt;  // staged discards the temporary
    }
    return staged;
}

std::optional<StagedFile> StagedFile::Adopt(const FolderRef& folder, const QString& name,
                                            const QString& temporaryName) {
    if (!temporaryName.startsWith(TemporaryPrefix(name)))
        return std::nullopt;
    const int fd = ::openat(folder->Fd(), Native(temporaryName).constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        CloseQuietly(fd);
        return std::nullopt;
    }
    return StagedFile(folder, name, temporaryName, fd);
}

bool StagedFile::Commit(QString* why) {
    if (temporary_.isEmpty()) {
        Tell(why, QStringLiteral("nichts vorbereitet"));
        return false;
    }
    // Checked again: the target may have been replaced by a link meanwhile.
    if (!TargetAcceptable(folder_->Fd(), Native(name_), why)) {
        Discard();
        return false;
    }
    if (::renameat(folder_->Fd(), Native(temporary_).constData(), folder_->Fd(),
                   Native(name_).constData()) != 0) {
        Tell(why, ErrnoText("umbenennen", errno));
        Discard();
        return false;
    }
    temporary_.clear();
    CloseQuietly(std::exchange(lockFd_, -1));
    if (!folder_->Sync()) {
        Tell(why, ErrnoText("Verzeichnis sichern", errno));
        return false;
    }
    return true;
}

void StagedFile::Discard() {
    if (!temporary_.isEmpty())
        ::unlinkat(folder_->Fd(), Native(temporary_).constData(), 0);
    temporary_.clear();
    CloseQuietly(std::exchange(lockFd_, -1));
}

void RemoveStaleTemporaries(const QString& path) {
    const QFileInfo info(path);
    if (const FolderRef folder = Folder::Open(info.absolutePath()))
        RemoveStaleTemporariesIn(*folder, info.fileName());
}

void RemoveStaleTemporariesIn(const Folder& folder, const QString& name) {
    const QByteArray prefix = Native(TemporaryPrefix(name));
    const int listFd = ::openat(folder.Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!d) {
        CloseQuietly(listFd);
        return;
    }
    while (const dirent* entry = ::readdir(d)) {
        const size_t len = std::strlen(entry->d_name);
        if (len != static_cast<size_t>(prefix.size()) + kTemporaryTail ||
            std::strncmp(entry->d_name, prefix.constData(), prefix.size()) != 0)
            continue;
        const int fd =
            ::openat(folder.Fd(), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        // Only a regular file nobody holds any more is left over.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folder.Fd(), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(d);
}

bool ReplaceFile(const QString& path, const QByteArray& content, ReplaceMode mode, QString* why) {
    if (!TargetAcceptable(path, why))
        return false;
    RemoveStaleTemporaries(path);
    std::optional<StagedFile> staged = StagedFile::Stage(path, content, why);
    if (staged)
        return staged->Commit(why);
    // A directory that takes no new files (shared score files) while the
    // file itself may still be written.
    const QByteArray dir = Native(QFileInfo(path).absolutePath());
    if (mode == ReplaceMode::AllowInPlace && ::access(dir.constData(), W_OK) != 0 &&
        IsRegularFile(path) && ::access(Native(path).constData(), W_OK) == 0)
        return RewriteInPlace(path, content, why);
    return false;
}

}  // namespace wf

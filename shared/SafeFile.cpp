#include "SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool SyncDirectoryOf(const QString& path) {
    const int fd = ::open(Native(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot
    ::close(fd);
    return ok;
}

// The target may be missing or a regular file, never a link or anything else.
bool TargetAcceptable(const QString& path, QString* why) {
    struct stat st;
    if (::lstat(Native(path).constData(), &st) != 0)
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

QString TemporaryPrefix(const QString& path) {
    const QFileInfo info(path);
    return QLatin1Char('.') + info.fileName() + QStringLiteral(".tmp-");
}

// A new, locked temporary beside path; its descriptor, or -1.
int CreateTemporary(const QString& path, QString* temporary, mode_t mode) {
    const QString dir = QFileInfo(path).absolutePath();
    const QString prefix = TemporaryPrefix(path);
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 64; ++attempt) {
        QString name = prefix;
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]);
        const QString candidate = dir + QLatin1Char('/') + name;
        const int fd = ::open(Native(candidate).constData(),
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

mode_t ModeFor(const QString& path) {
    struct stat st;
    if (::lstat(Native(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
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

}  // namespace

FileContent ReadRegularFile(const QString& path, qint64 maxBytes) {
    FileContent result;
    const QByteArray native = Native(path);
    struct stat st;
    if (path.isEmpty() || ::stat(native.constData(), &st) != 0) {
        result.error = errno == ENOENT || errno == ENOTDIR || path.isEmpty()
                           ? ReadError::Missing
                           : ReadError::Unreadable;
        return result;
    }
    // Checked before opening: opening a FIFO for reading waits for a writer.
    if (!S_ISREG(st.st_mode)) {
        result.error = ReadError::NotRegular;
        return result;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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
            // The file may have grown since it was measured.
            if (done > maxBytes)
                break;
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

bool IsRegularFile(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(Native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsSymLink(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::lstat(Native(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool LiesInside(const QString& root, const QString& path) {
    if (root.isEmpty() || path.isEmpty() || IsSymLink(path))
        return false;
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    const QString realDir = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    if (realRoot.isEmpty() || realDir.isEmpty())
        return false;
    return realDir == realRoot ||
           realDir.startsWith(realRoot == QStringLiteral("/") ? realRoot
                                                              : realRoot + QLatin1Char('/'));
}

StagedFile::StagedFile(QString path, QString temporary, int lockFd)
    : path_(std::move(path)), temporary_(std::move(temporary)), lockFd_(lockFd) {}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : path_(std::move(other.path_)),
      temporary_(std::exchange(other.temporary_, QString())),
      lockFd_(std::exchange(other.lockFd_, -1)) {}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        Discard();
        path_ = std::move(other.path_);
        temporary_ = std::exchange(other.temporary_, QString());
        lockFd_ = std::exchange(other.lockFd_, -1);
    }
    return *this;
}

StagedFile::~StagedFile() {
    Discard();
}

std::optional<StagedFile> StagedFile::Stage(const QString& path, const QByteArray& content,
                                            QString* why) {
    if (!TargetAcceptable(path, why))
        return std::nullopt;
    QString temporary;
    const int fd = CreateTemporary(path, &temporary, ModeFor(path));
    if (fd < 0) {
        Tell(why, ErrnoText("anlegen", errno));
        return std::nullopt;
    }
    StagedFile staged(path, temporary, fd);
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

bool StagedFile::Commit(QString* why) {
    if (temporary_.isEmpty()) {
        Tell(why, QStringLiteral("nichts vorbereitet"));
        return false;
    }
    // Checked again: the target may have been replaced by a link meanwhile.
    if (!TargetAcceptable(path_, why)) {
        Discard();
        return false;
    }
    if (::rename(Native(temporary_).constData(), Native(path_).constData()) != 0) {
        Tell(why, ErrnoText("umbenennen", errno));
        Discard();
        return false;
    }
    temporary_.clear();
    CloseQuietly(std::exchange(lockFd_, -1));
    if (!SyncDirectoryOf(path_)) {
        Tell(why, ErrnoText("Verzeichnis sichern", errno));
        return false;
    }
    return true;
}

void StagedFile::Discard() {
    if (!temporary_.isEmpty())
        ::unlink(Native(temporary_).constData());
    temporary_.clear();
    CloseQuietly(std::exchange(lockFd_, -1));
}

void RemoveStaleTemporaries(const QString& path) {
    const QString dir = QFileInfo(path).absolutePath();
    const QByteArray prefix = Native(TemporaryPrefix(path));
    DIR* d = ::opendir(Native(dir).constData());
    if (!d)
        return;
    const int dirFd = ::dirfd(d);
    while (const dirent* entry = ::readdir(d)) {
        const size_t len = std::strlen(entry->d_name);
        if (len != static_cast<size_t>(prefix.size()) + 6 ||
            std::strncmp(entry->d_name, prefix.constData(), prefix.size()) != 0)
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        // Only a regular file nobody holds any more is left over.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
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

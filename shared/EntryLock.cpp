#include "EntryLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>

namespace wf {
namespace {

constexpr off_t kChangeByte = 0;
constexpr off_t kSwitchByte = 1;
constexpr off_t kGateByte = 2;
constexpr int kPollMs = 20;
// What a holder writes about itself is one short line; more is not read.
constexpr qsizetype kHolderBytes = 256;
// Readers hold byte 1 while they read a MOD's definition files (well under a
// second); a change run waits that long to remove the file, else leaves it.
constexpr int kRemoveWaitMs = 2000;
// Each round follows a holder that removed the file while this one waited.
constexpr int kMaxRounds = 100;
// A reader that leaves removes the file holding all of it for an instant;
// even a caller that will not wait rides that out.
constexpr int kLeavingReaderMs = 200;

bool SetLock(int fd, short type, off_t start, off_t length) {
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Polls: a blocking wait could not end at the deadline.
bool LockWithin(int fd, short type, off_t start, off_t length, const QDeadlineTimer& deadline) {
    for (;;) {
        if (SetLock(fd, type, start, length))
            return true;
        if (errno != EAGAIN && errno != EACCES && errno != EINTR)
            return false;
        if (deadline.hasExpired()) {
            errno = EAGAIN;
            return false;
        }
        QThread::msleep(kPollMs);
    }
}

// Whether the name still leads to the open file: a holder removes the file
// while it holds all of it, and whoever waited on it then takes the new one.
bool StillNamed(const Folder& folder, const QByteArray& name, int fd) {
    struct stat named, open;
    return ::fstatat(folder.Fd(), name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(fd, &open) == 0 && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

QString ReadHolder(int fd) {
    QByteArray bytes(kHolderBytes, '\0');
    const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), 0);
    QString text = QString::fromUtf8(bytes.left(n < 0 ? 0 : n)).trimmed();
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    return text;
}

void WriteHolder(int fd) {
    const QByteArray line =
        (QStringLiteral("Rechner %1, Prozess %2, seit %3\n")
             .arg(QSysInfo::machineHostName())
             .arg(::getpid())
             .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))))
            .toUtf8();
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, line.constData(), line.size(), 0) < 0)
        return;  // only for messages: a lock without it is still a lock
}

}  // namespace

EntryLock::EntryLock(FolderRef folder, QString name, int fd, bool writable, bool change)
    : folder_(std::move(folder)),
      name_(std::move(name)),
      fd_(fd),
      writable_(writable),
      change_(change) {}

QString EntryLock::FileName(const QString& entry) {
    return HiddenNameBeside(entry, QStringLiteral(".lock"));
}

std::unique_ptr<EntryLock> EntryLock::ForChange(const FolderRef& folder, const QString& entry,
                                                int waitMs, Outcome* outcome) {
    return Take(folder, entry, true, waitMs, outcome);
}

std::unique_ptr<EntryLock> EntryLock::ForReading(const FolderRef& folder, const QString& entry,
                                                 int waitMs, Outcome* outcome) {
    return Take(folder, entry, false, waitMs, outcome);
}

std::unique_ptr<EntryLock> EntryLock::Take(const FolderRef& folder, const QString& entry,
                                           bool change, int waitMs, Outcome* outcome) {
    const QString name = FileName(entry);
    const QByteArray native = QFile::encodeName(name);
    *outcome = Outcome{Status::Failed, folder->PathOf(name), QString(), 0};
    const auto fail = [&](Status status, int fd) -> std::unique_ptr<EntryLock> {
        outcome->status = status;
        outcome->error = errno;
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    };
    const QDeadlineTimer deadline(std::max(waitMs, kLeavingReaderMs));
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    for (int round = 0; round < kMaxRounds; ++round) {
        // Checked before opening: opening a FIFO or device may wait or act.
        const int type = EntryTypeIn(*folder, name);
        if (type != 0 && type != S_IFREG)
            return fail(type < 0 ? Status::Failed : Status::Unsafe, -1);
        bool writable = true;
        int fd = ::openat(folder->Fd(), native.constData(), O_RDWR | O_CREAT | kFlags, 0644);
        if (fd < 0 && !change && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            // A reader in a folder it may not write locks the file of a
            // change run that may.
            writable = false;
            fd = ::openat(folder->Fd(), native.constData(), O_RDONLY | kFlags);
            if (fd < 0 && errno == ENOENT)
                return fail(Status::NoFile, -1);
        }
        if (fd < 0)
            return fail(errno == ELOOP || errno == ENXIO ? Status::Unsafe : Status::Failed, -1);
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            return fail(Status::Unsafe, fd);
        // A reader passes the gate first, so that a change waiting there is
        // not starved by readers that come one after the other.
        const bool locked = change ? LockWithin(fd, F_WRLCK, kChangeByte, 1, deadline)
                                   : LockWithin(fd, F_RDLCK, kGateByte, 1, deadline) &&
                                         LockWithin(fd, F_RDLCK, kSwitchByte, 1, deadline) &&
                                         SetLock(fd, F_UNLCK, kGateByte, 1);
        if (!locked) {
            if (errno == EAGAIN)
                outcome->holder = ReadHolder(fd);
            return fail(errno == EAGAIN ? Status::Busy : Status::Failed, fd);
        }
        if (!StillNamed(*folder, native, fd)) {
            ::close(fd);
            continue;
        }
        if (change)
            WriteHolder(fd);
        outcome->status = Status::Held;
        return std::unique_ptr<EntryLock>(new EntryLock(folder, name, fd, writable, change));
    }
    errno = EAGAIN;
    return fail(Status::Busy, -1);
}

bool EntryLock::BeginSwitch(int waitMs) {
    const QDeadlineTimer deadline(waitMs);
    if (LockWithin(fd_, F_WRLCK, kGateByte, 1, deadline) &&
        LockWithin(fd_, F_WRLCK, kSwitchByte, 1, deadline))
        return true;
    EndSwitch();
    return false;
}

void EntryLock::EndSwitch() {
    SetLock(fd_, F_UNLCK, kSwitchByte, 2);
}

EntryLock::~EntryLock() {
    const QByteArray native = QFile::encodeName(name_);
    if (writable_ &&
        LockWithin(fd_, F_WRLCK, kChangeByte, 3, QDeadlineTimer(change_ ? kRemoveWaitMs : 0)) &&
        StillNamed(*folder_, native, fd_)) {
        ::unlinkat(folder_->Fd(), native.constData(), 0);
    }
    ::close(fd_);
}

}  // namespace wf

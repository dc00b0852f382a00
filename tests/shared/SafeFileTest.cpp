// Replacing and reading files against real links, FIFOs, devices and a real
// full file system.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <functional>

#include "SafeFile.h"

namespace wf {
namespace {

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Put(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(content), content.size());
}

QStringList Temporaries(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral(".*.tmp-*")}, QDir::Files | QDir::Hidden);
}

TEST(SafeFile, NeverWritesThroughLinksOrIntoSpecialFiles) {
    QTemporaryDir dir;
    const QString outside = dir.filePath(QStringLiteral("outside"));
    Put(outside, "keep me");
    struct Case {
        const char* what;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"link to a file outside", [&](const QString& p) { QFile::link(outside, p); }},
        {"dangling link", [&](const QString& p) { QFile::link(dir.filePath("nowhere"), p); }},
        {"FIFO", [](const QString& p) { ::mkfifo(QFile::encodeName(p).constData(), 0644); }},
        {"directory", [](const QString& p) { QDir().mkdir(p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString target = dir.filePath(QString::fromLatin1(c.what).replace(' ', '_'));
        c.make(target);
        for (ReplaceMode mode : {ReplaceMode::RenameOnly, ReplaceMode::AllowInPlace}) {
            QString why;
            EXPECT_FALSE(ReplaceFile(target, "new", mode, &why));
            EXPECT_FALSE(why.isEmpty());
        }
        EXPECT_FALSE(StagedFile::Stage(target, "new").has_value());
    }
    EXPECT_EQ(Bytes(outside), "keep me");
    EXPECT_TRUE(Temporaries(dir.path()).isEmpty());

    // A link put in place between staging and committing is not followed.
    const QString late = dir.filePath(QStringLiteral("late"));
    Put(late, "old");
    std::optional<StagedFile> staged = StagedFile::Stage(late, "new");
    ASSERT_TRUE(staged);
    QFile::remove(late);
    QFile::link(outside, late);
    EXPECT_FALSE(staged->Commit());
    EXPECT_EQ(Bytes(outside), "keep me");
    EXPECT_TRUE(Temporaries(dir.path()).isEmpty());
}

TEST(SafeFile, ReadsOnlyRegularFilesWithinTheirLimit) {
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    Put(plain, "12345");
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ::mkfifo(QFile::encodeName(fifo).constData(), 0644);
    const QString toPlain = dir.filePath(QStringLiteral("toPlain"));
    QFile::link(plain, toPlain);
    const QString toZero = dir.filePath(QStringLiteral("toZero"));
    QFile::link(QStringLiteral("/dev/zero"), toZero);
    struct Case {
        QString path;
        qint64 limit;
        ReadError error;
    };
    const Case cases[] = {
        {plain, 5, ReadError::None},
        {plain, 4, ReadError::TooLarge},
        {toPlain, 5, ReadError::None},
        {fifo, 100, ReadError::NotRegular},
        {toZero, 100, ReadError::NotRegular},
        {dir.path(), 100, ReadError::NotRegular},
        {dir.filePath("none"), 5, ReadError::Missing},
        {QString(), 5, ReadError::Missing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const FileContent read = ReadRegularFile(c.path, c.limit);
        EXPECT_EQ(read.error, c.error);
        EXPECT_EQ(read.bytes, c.error == ReadError::None ? QByteArray("12345") : QByteArray());
        EXPECT_EQ(IsRegularFile(c.path),
                  c.error == ReadError::None || c.error == ReadError::TooLarge);
    }
}

TEST(SafeFile, StaleTemporariesGoButLiveOnesStay) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("score1.sre"));
    Put(dir.filePath(QStringLiteral(".score1.sre.tmp-AbC123")), "left by a killed save");
    Put(dir.filePath(QStringLiteral(".score2.sre.tmp-AbC123")), "another file's");
    Put(dir.filePath(QStringLiteral("score1.sre.backup")), "the player's own");
    std::optional<StagedFile> live = StagedFile::Stage(target, "in progress");
    ASSERT_TRUE(live);
    RemoveStaleTemporaries(target);
    EXPECT_EQ(Temporaries(dir.path()), QStringList({QFileInfo(live->TemporaryPath()).fileName(),
                                                    QStringLiteral(".score2.sre.tmp-AbC123")}));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("score1.sre.backup"))));
    EXPECT_TRUE(live->Commit());
    EXPECT_EQ(Bytes(target), "in progress");
}

// Runs f in a child process as the unprivileged user; its exit status.
int AsNobody(const std::function<bool()>& f) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(2);
        ::_exit(f() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

// A small tmpfs of its own in a private mount namespace; false when this
// process may not make one.
bool MountSmallFileSystem(const QString& at, QString* why) {
    if (::geteuid() != 0) {
        *why = QStringLiteral("needs root for a private mount namespace");
        return false;
    }
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", 0, "size=128k,mode=0755") !=
            0) {
        *why = QStringLiteral("no private tmpfs here: ") + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    return true;
}

qint64 FreeBytes(const QString& dir) {
    struct statvfs vfs;
    ::statvfs(QFile::encodeName(dir).constData(), &vfs);
    return static_cast<qint64>(vfs.f_bavail) * vfs.f_frsize;
}

TEST(SafeFile, FullDiskKeepsTheOldFileOrWritesTheWholeNewOne) {
    QTemporaryDir mountPoint;
    QString why;
    if (!MountSmallFileSystem(mountPoint.path(), &why))
        GTEST_SKIP() << why.toStdString();
    struct Unmount {
        QString at;
        ~Unmount() { ::umount2(QFile::encodeName(at).constData(), MNT_DETACH); }
    } unmount{mountPoint.path()};
    const QString root = mountPoint.path();
    const QByteArray oldContent(6000, 'o');
    const QByteArray newContent(20000, 'n');
    struct Way {
        const char* what;
        bool sharedDirectory;  // the directory takes no new files, the file is writable
    };
    for (const Way way : {Way{"replace by rename", false}, Way{"rewrite in place", true}}) {
        SCOPED_TRACE(way.what);
        int succeeded = 0;
        int refused = 0;
        for (qint64 free = 0; free <= 40960; free += 2048) {
            SCOPED_TRACE(free);
            const QString dir = root + QStringLiteral("/d");
            QDir(dir).removeRecursively();
            QFile::remove(root + QStringLiteral("/filler"));
            ASSERT_TRUE(QDir().mkdir(dir));
            const QString target = dir + QStringLiteral("/score1.sre");
            Put(target, oldContent);
            const qint64 filler = FreeBytes(root) - free;
            if (filler > 0)
                Put(root + QStringLiteral("/filler"), QByteArray(filler, 'f'));
            bool ok = false;
            if (way.sharedDirectory) {
                ::chown(QFile::encodeName(target).constData(), 65534, 65534);
                ::chmod(QFile::encodeName(dir).constData(), 0755);
                ok = AsNobody([&] {
                         return ReplaceFile(target, newContent, ReplaceMode::AllowInPlace);
                     }) == 0;
            } else {
                ok = ReplaceFile(target, newContent);
            }
            EXPECT_EQ(Bytes(target), ok ? newContent : oldContent);
            EXPECT_TRUE(Temporaries(dir).isEmpty());
            ok ? ++succeeded : ++refused;
        }
        // The sweep reaches both sides of the boundary.
        EXPECT_GT(succeeded, 0);
        EXPECT_GT(refused, 0);
    }
}

}  // namespace
}  // namespace wf

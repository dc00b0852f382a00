// Replacing and reading files against real links, FIFOs, devices and a real
// full file system.
#include <gtest/gtest.h>

#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <functional>

#include "EntryLock.h"
#include "SafeFile.h"

namespace wf {
namespace {

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Put(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                f.write(content) == content.size());
}

QStringList Temporaries(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral(".*.tmp-*")}, QDir::Files | QDir::Hidden);
}

TEST(SafeFile, NeverReplacesThroughLinksOrSpecialFilesAndReadsOnlyRegularOnes) {
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    Put(at("plain"), "12345");
    ASSERT_TRUE(QFile::link(at("plain"), at("link")) &&
                QFile::link(at("nowhere"), at("dangling")) &&
                QFile::link("/dev/zero", at("zero")) && QDir().mkdir(at("dir")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("fifo")).constData(), 0644), 0);
    const struct {
        const char* name;
        qint64 limit;
        ReadError read;
    } cases[] = {{"plain", 5, ReadError::None},        {"plain", 4, ReadError::TooLarge},
                 {"link", 5, ReadError::None},         {"dangling", 5, ReadError::Missing},
                 {"fifo", 100, ReadError::NotRegular}, {"zero", 100, ReadError::NotRegular},
                 {"dir", 100, ReadError::NotRegular},  {"none", 5, ReadError::Missing}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileContent read = ReadRegularFile(at(c.name), c.limit);
        EXPECT_TRUE(read.error == c.read &&
                    read.bytes == (c.read == ReadError::None ? "12345" : QByteArray()));
        EXPECT_EQ(IsRegularFile(at(c.name)),
                  c.read == ReadError::None || c.read == ReadError::TooLarge);
        if (std::strcmp(c.name, "plain") == 0 || std::strcmp(c.name, "none") == 0)
            continue;
        for (ReplaceMode mode : {ReplaceMode::RenameOnly, ReplaceMode::AllowInPlace}) {
            QString why;
            EXPECT_TRUE(!ReplaceFile(at(c.name), "new", mode, &why) && !why.isEmpty());
        }
        EXPECT_FALSE(StagedFile::Stage(at(c.name), "new").has_value());
    }
    EXPECT_EQ(ReadRegularFile(QString(), 5).error, ReadError::Missing);
    // A file that grew after it was measured is read to its end and still held
    // to the limit; the kernel's own files always do, reporting a size of 0.
    EXPECT_TRUE(ReadRegularFile("/proc/self/status", 1 << 20).bytes.startsWith("Name:"));
    EXPECT_EQ(ReadRegularFile("/proc/self/status", 16).error, ReadError::TooLarge);

    // Inside the root or below it; never through a link, a folder whose name
    // merely starts like the root's, or an empty name (which would resolve
    // to the working directory).
    ASSERT_TRUE(QDir().mkdir(at("dirx")));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const struct {
        QString root, path;
        bool inside;
    } places[] = {{dir.path(), at("plain"), true}, {dir.path(), at("dir/new"), true},
                  {at("dir"), at("plain"), false}, {at("dir"), at("dirx/new"), false},
                  {dir.path(), at("link"), false}, {dir.path(), QString(), false},
                  {QString(), at("plain"), false}, {at("none"), at("plain"), false}};
    for (const auto& p : places)
        EXPECT_EQ(LiesInside(p.root, p.path), p.inside)
            << p.root.toStdString() << " " << p.path.toStdString();
    QDir::setCurrent(cwd);

    // A link put in place between staging and committing is not followed.
    std::optional<StagedFile> staged = StagedFile::Stage(at("late"), "new");
    ASSERT_TRUE(staged);
    QFile::link(at("plain"), at("late"));
    EXPECT_FALSE(staged->Commit());
    EXPECT_EQ(Bytes(at("plain")), "12345");
    EXPECT_TRUE(Temporaries(dir.path()).isEmpty());
}

// Runs f in a child process, which f ends; the child's wait status.
int InChild(const std::function<void()>& f) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        f();
        ::_exit(4);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(SafeFile, StaleTemporariesGoButLiveOnesStay) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("score1.sre"));
    // A save killed between staging and committing leaves its temporary behind.
    const int status = InChild([&] {
        std::optional<StagedFile> staged = StagedFile::Stage(target, "killed");
        ::kill(::getpid(), SIGKILL);
    });
    ASSERT_TRUE(WIFSIGNALED(status) && Temporaries(dir.path()).size() == 1);
    Put(dir.filePath(QStringLiteral(".score2.sre.tmp-AbC123")), "another file's");
    Put(dir.filePath(QStringLiteral("score1.sre.backup")), "the player's own");
    std::optional<StagedFile> live = StagedFile::Stage(target, "in progress");
    ASSERT_TRUE(live);
    RemoveStaleTemporaries(target);
    EXPECT_EQ(Temporaries(dir.path()), QStringList({QFileInfo(live->TemporaryPath()).fileName(),
                                                    QStringLiteral(".score2.sre.tmp-AbC123")}));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("score1.sre.backup"))));
    EXPECT_TRUE(live->Commit() && Bytes(target) == "in progress");
}

// Runs f as the unprivileged user; its exit status.
int AsNobody(const std::function<bool()>& f) {
    const int status = InChild([&] {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(2);
        ::_exit(f() ? 0 : 1);
    });
    return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

TEST(SafeFile, FullDiskKeepsTheOldFileOrWritesTheWholeNewOne) {
    // A small tmpfs of its own in a private mount namespace.
    QTemporaryDir mountPoint;
    const QByteArray root = QFile::encodeName(mountPoint.path());
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", root.constData(), "tmpfs", 0, "size=128k,mode=0755") != 0)
        GTEST_SKIP() << "no private tmpfs here: " << strerror(errno);
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{root};
    const QString dir = mountPoint.path() + "/d", target = dir + "/score1.sre";
    const QByteArray oldContent(6000, 'o'), newContent(20000, 'n');
    // Replaced by renaming, and rewritten in place where the directory takes
    // no new file but the file is writable.
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace);
        int succeeded = 0, refused = 0;
        for (qint64 free = 0; free <= 40960; free += 2048) {
            SCOPED_TRACE(free);
            QDir(dir).removeRecursively();
            QFile::remove(mountPoint.path() + "/filler");
            ASSERT_TRUE(QDir().mkdir(dir));
            Put(target, oldContent);
            struct statvfs vfs;
            ::statvfs(root.constData(), &vfs);
            if (const qint64 filler = qint64(vfs.f_bavail) * vfs.f_frsize - free; filler > 0)
                Put(mountPoint.path() + "/filler", QByteArray(filler, 'f'));
            ASSERT_TRUE(!inPlace ||
                        (::chown(QFile::encodeName(target).constData(), 65534, 65534) == 0 &&
                         ::chmod(QFile::encodeName(dir).constData(), 0755) == 0));
            const bool ok =
                inPlace ? AsNobody([&] {
                              return ReplaceFile(target, newContent, ReplaceMode::AllowInPlace);
                          }) == 0
                        : ReplaceFile(target, newContent);
            EXPECT_EQ(Bytes(target), ok ? newContent : oldContent);
            EXPECT_TRUE(Temporaries(dir).isEmpty());
            ok ? ++succeeded : ++refused;
        }
        EXPECT_TRUE(succeeded > 0 && refused > 0) << "the sweep reaches both sides of the boundary";
    }
}

// Who gets an entry's lock, who waits, who is refused; the file goes with its
// last holder.
TEST(EntryLock, ChangeRunsReadersAndWhatStandsInTheWay) {
    QTemporaryDir dir;
    const FolderRef folder = Folder::Open(dir.path());
    const QString file = dir.filePath(QStringLiteral(".welt.lock"));
    EntryLock::Outcome o;
    using S = EntryLock::Status;
    const auto change = [&] { return EntryLock::ForChange(folder, "welt", 0, &o); };
    // Only root can become another user; as anyone else those rows pass by.
    const auto asNobody = [](const std::function<bool()>& f) {
        return ::geteuid() != 0 || AsNobody(f) == 0;
    };
    const auto reads = [&](int waitMs) {
        return EntryLock::ForReading(folder, "welt", waitMs, &o) != nullptr;
    };
    {
        const auto run = change();
        ASSERT_TRUE(run);
        EXPECT_TRUE(reads(0)) << "a run that is not switching lets readers in";
        EXPECT_TRUE(!change() && o.status == S::Busy &&
                    o.holder.contains(QStringLiteral(", Prozess %1, seit ").arg(::getpid())))
            << o.holder.toStdString();
        ASSERT_TRUE(run->BeginSwitch(0));
        EXPECT_TRUE(!reads(100) && o.status == S::Busy) << "readers wait out a switch";
        run->EndSwitch();
        EXPECT_TRUE(reads(0));
        // A folder the reader may not write: it locks the run's file.
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        EXPECT_TRUE(asNobody([&] { return reads(0) && !QFileInfo(file).isWritable(); }));
    }
    EXPECT_FALSE(QFileInfo::exists(file)) << "gone with its last holder";
    EXPECT_TRUE(asNobody([&] { return !reads(0) && o.status == S::NoFile; }));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
    EXPECT_TRUE(!change() && o.status == S::Unsafe && !reads(0) && o.status == S::Unsafe);
}

}  // namespace
}  // namespace wf

// MODs installed from archives by the real program, refused archives that
// change nothing, and the check that lists every problem of a MOD at once.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>

#include <QRandomGenerator>
#include <QThread>

#include "EncoderRun.h"
#include "ModLoader.h"

namespace wf::test {
namespace {

struct Entry {
    QString name;
    QByteArray data;
    int type = AE_IFREG;
    qint64 zeros = 0;  // after the data
};

// A zip (sizes left out of the headers, so that only the data tells) or a
// .tar.gz of the entries.
void WriteArchive(const QString& path, const QList<Entry>& entries, bool zip = true) {
    archive* a = archive_write_new();
    if (zip) {
        archive_write_set_format_zip(a);
    } else {
        archive_write_set_format_pax_restricted(a);
        archive_write_add_filter_gzip(a);
    }
    ASSERT_EQ(archive_write_open_filename(a, QFile::encodeName(path).constData()), ARCHIVE_OK);
    const QByteArray mib(1 << 20, '\0');
    for (const Entry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.toUtf8().constData());
        archive_entry_set_filetype(entry, static_cast<unsigned>(e.type));
        archive_entry_set_perm(entry, 0644);
        if (e.type == AE_IFLNK)
            archive_entry_set_symlink(entry, e.data.constData());
        if (e.type == AE_IFREG && !zip)
            archive_entry_set_size(entry, e.data.size() + e.zeros);
        archive_write_header(a, entry);
        if (e.type == AE_IFREG) {
            archive_write_data(a, e.data.constData(), static_cast<size_t>(e.data.size()));
            for (qint64 left = e.zeros; left > 0; left -= mib.size())
                archive_write_data(a, mib.constData(),
                                   static_cast<size_t>(std::min<qint64>(left, mib.size())));
        }
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// The files of a MOD written as GameFiles writes it, below folder.
QList<Entry> ModEntries(const QString& folder, const ModDraft& draft = MakeMod()) {
    GameFiles source;
    source.WriteMod("m", draft);
    QList<Entry> entries;
    const auto files = GameFiles::SnapshotOf(source.ModPath("m"));
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (!it.key().endsWith('/'))
            entries.append({folder + it.key(), it.value()});
    }
    return entries;
}

class Install : public ::testing::Test {
  protected:
    void SetUp() override { g.WriteGame(); }
    Result Run(const QString& archive, const QStringList& more = {}) {
        return Modsiegel(QStringList{"--install", archive, "--game-dir", g.Path()} + more);
    }
    QString Archive(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    GameFiles g;
    QTemporaryDir dir;
};

TEST_F(Install, AGoodArchiveInstallsAndEveryHostileOneChangesNothing) {
    const QList<Entry> good = ModEntries("meinmod/");
    ModDraft brokenIni = MakeMod();
    Set(brokenIni.mod, "Hintergrund", "Anzahl", "-1");
    ModDraft hugePicture = MakeMod();
    hugePicture.media["bilder\\hg1.png"] = QSize(9000, 20);
    const struct {
        const char* what;
        QList<Entry> entries;
        bool zip;
        QString says;
    } rows[] = {
        {"a path climbing out", good + QList<Entry>{{"meinmod/../../boese.txt", "x"}}, true,
         "führt mit '..' aus dem Verzeichnis des MODs heraus"},
        {"an absolute path", good + QList<Entry>{{"/tmp/boese.txt", "x"}}, false, "absoluter Pfad"},
        {"a link", good + QList<Entry>{{"meinmod/mod2.ini", "/etc/passwd", AE_IFLNK}}, false,
         "ist ein Verweis (Link)"},
        {"a FIFO", good + QList<Entry>{{"meinmod/rohr", "", AE_IFIFO}}, false, "ist eine FIFO"},
        {"1 GiB of zeros", good + QList<Entry>{{"meinmod/nullen.bin", "", AE_IFREG, 1LL << 30}},
         true, "'meinmod/nullen.bin' im Archiv ist größer als erlaubt"},
        {"a picture past the limits", ModEntries("meinmod/", hugePicture), true,
         "bilder\\hg1.png: 9000 × 20"},
        {"a broken mod.ini", ModEntries("meinmod/", brokenIni), true,
         "mod.ini [Hintergrund] Anzahl: \"-1\" ist negativ (Zeile"},
        {"two top folders", good + QList<Entry>{{"anderes/x.txt", "x"}}, true,
         "mehrere oberste Verzeichnisse (anderes, meinmod)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const QString archive = Archive(row.zip ? "mod.zip" : "mod.tar.gz");
        WriteArchive(archive, row.entries, row.zip);
        const auto before = g.Snapshot();
        const Result r = Run(archive);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(row.says)) << r.err.toStdString();
        EXPECT_EQ(Differences(before, g.Snapshot()), "");
    }
    WriteArchive(Archive("meinmod.zip"), good);
    ASSERT_EQ(Run(Archive("meinmod.zip")).exitCode, 0);
    EXPECT_EQ(GameIniValue(g, "ModName2"), "meinmod");
    // The real game starts on it.
    QProcess game;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WOLKENFANG_DIR", g.Path());
    env.insert("WF_EXIT_AFTER_SHOW", "1");
    game.setProcessEnvironment(env);
    game.start(WOLKENFANG_BINARY, {"-mod:meinmod"});
    ASSERT_TRUE(game.waitForFinished(30000));
    EXPECT_EQ(game.exitCode(), 0) << game.readAllStandardError().toStdString();
    // The same name again: kept without --overwrite, replaced with it, and
    // registered once either way.
    const Result again = Run(Archive("meinmod.zip"));
    EXPECT_TRUE(again.exitCode == 1 && again.err.contains("--overwrite"))
        << again.err.toStdString();
    EXPECT_EQ(Run(Archive("meinmod.zip"), {"--overwrite"}).exitCode, 0);
    EXPECT_EQ(GameIniValue(g, "ModAnzahl"), "2");
}

// A full disk midway: a small tmpfs of its own in a private mount namespace.
TEST_F(Install, AFullDiskMidwayChangesNothing) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", QFile::encodeName(g.Path()).constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "no private tmpfs here";
    InstallWelt(g);
    QList<Entry> big = ModEntries("meinmod/");
    big.append({"meinmod/gross.bin", QByteArray(200 * 1024, 'x')});
    WriteArchive(Archive("meinmod.zip"), big);
    const auto before = g.Snapshot();
    const Result r = Run(Archive("meinmod.zip"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("kein Platz mehr")) << r.err.toStdString();
    EXPECT_EQ(Differences(before, g.Snapshot()), "");
    ::umount(QFile::encodeName(g.Path()).constData());
}

// Killed at random moments: the MOD is registered only when all of it is in
// mods/, and a rerun installs it.
TEST_F(Install, AKillLeavesNoHalfModRegistered) {
    QList<Entry> entries = ModEntries("meinmod/");
    for (int i = 0; i < 20; ++i)
        entries.append(
            {QStringLiteral("meinmod/hd/bild%1.bin").arg(i), QByteArray(256 * 1024, 'y')});
    WriteArchive(Archive("meinmod.zip"), entries);
    for (int run = 0; run < 12; ++run) {
        SCOPED_TRACE(run);
        QProcess p;
        p.start(MODSIEGEL_BINARY,
                {"--install", Archive("meinmod.zip"), "--game-dir", g.Path(), "--overwrite"});
        p.waitForStarted();
        QThread::msleep(QRandomGenerator::global()->bounded(2, 80));
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        p.waitForFinished();
        const bool registered = GameIniValue(g, "ModName2") == "meinmod";
        EXPECT_TRUE(!registered || CheckMod(g.ModPath("meinmod")).Playable());
        EXPECT_EQ(Run(Archive("meinmod.zip"), {"--overwrite"}).exitCode, 0);
        EXPECT_TRUE(CheckMod(g.ModPath("meinmod")).Playable());
    }
}

TEST(Check, FindsEveryPlantedProblemInOneRun) {
    GameFiles g;
    InstallWelt(g);
    ModDraft mod = MakeMod();
    Set(mod.backgrounds[0], "extra1", "destructable", "vielleicht");
    Set(mod.backgrounds[0], "extra2", "typ", "Sequenziell");
    Set(mod.backgrounds[0], "extra1", "gfxx", "2000000");
    Set(mod.backgrounds[1], "hg", "type", "JPG");
    g.WriteMod("kaputt", mod);
    g.Remove("mods/kaputt/" + QString::fromLatin1(ExtraPicture(1, 2)).replace('\\', '/'));
    const Result r = Modsiegel({"--check", "kaputt", "--game-dir", g.Path()});
    EXPECT_EQ(r.exitCode, 1);
    for (const char* says :
         {"1.ini [extra1] destructable: \"vielleicht\" ist kein Wahrheitswert (Zeile",
          "1.ini [extra2] typ: \"Sequenziell\" ist weder", "1.ini [extra1] gfxx: 2000000 ist mehr",
          "2.ini [hg] type: \"JPG\" ist weder", "1.ini [extra2] gfx: "})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(says))) << says << "\n" << r.out.toStdString();
    EXPECT_EQ(Modsiegel({"--check", "welt", "--game-dir", g.Path()}).exitCode, 0);
}

}  // namespace
}  // namespace wf::test

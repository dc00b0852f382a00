// A run is all or nothing: what it refuses, and any single change that
// fails, leave the game directory (and what links lead to) as it was; a kill
// at any moment leaves a MOD the game loads, plain or encoded.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <tuple>

#include "EncoderRun.h"
#include "IniAccess.h"

namespace wf::test {
namespace {

const QString kUnknown = "Ein unbekannter Fehler ist aufgetreten !!!";
const QString kUnchanged = " Es wurde nichts verändert.";

const QString kTooMany =
    "Fehler ModAnzahl ist zu hoch um mit diesem Programm Codierungsvorgänge durchzuführen !!!";

QString Missing(const QString& file, const QString& mod) {
    return "Die Datei '" + file + "' des MODs '" + mod + "' fehlt oder ist nicht lesbar." +
           kUnchanged;
}

using Prepare = std::function<void(const GameFiles&, const QString& outside)>;
const Prepare none = [](const GameFiles&, const QString&) {};

struct Case {
    Prepare prepare;
    QString says;  // a part of the message
    bool backupWanted = true;
    QString mod = "welt";
    QString backup = "welt.src";
};

// In place of rel: nothing, a folder, a FIFO or the null device (a FIFO
// opened would wait for ever), or a link to outside/ziel, now holding rel.
Prepare Replace(const char* rel, mode_t mode) {
    return [rel, mode](const GameFiles& g, const QString& outside) {
        const QString path = g.Path(rel), target = outside + "/ziel";
        QDir().mkpath(QFileInfo(path).path());
        if (mode == S_IFLNK || mode == (S_IFLNK | S_IFDIR)) {
            if (!QDir().rename(path, target))
                (mode & S_IFDIR) ? QDir().mkpath(target) : QFile(target).open(QIODevice::WriteOnly);
            ASSERT_TRUE(QFile::link(target, path));
            return;
        }
        g.Remove(rel);
        if (mode == S_IFDIR)
            QDir().mkpath(path);
        else if (mode && ::mknod(QFile::encodeName(path).data(), mode, makedev(1, 3)))
            GTEST_SKIP() << "cannot make a special file here: " << strerror(errno);
    };
}
constexpr mode_t kFileLink = S_IFLNK, kDirLink = S_IFLNK | S_IFDIR;

Prepare Edit(const QString& rel, const QByteArray& from, const QByteArray& to) {
    return [=](const GameFiles& g, const QString&) { g.Write(rel, g.Read(rel).replace(from, to)); };
}

std::vector<Case> Cases() {
    const QString linked = "' ist ein Verweis auf ein anderes Verzeichnis";
    std::vector<Case> cases = {
        {Edit("game.ini", "ModAnzahl=1", "ModAnzahl=100"), kTooMany},
        {Replace("mods/welt/2.ini", 0), Missing("2.ini", "welt")},
        {Replace("mods/welt/1.ini", S_IFDIR), Missing("1.ini", "welt")},
        {none, Missing("mod.ini", "nirgends"), true, "nirgends"},
        {Replace("mods/welt/extras/e1_1.png", kFileLink), "'extras\\e1_1.png'"},
        {Replace("mods/welt/2.ini", kFileLink), "'2.ini'"},
        {Replace("mods/welt", kDirLink), "'welt" + linked + ", etwa ein installiertes MOD", false},
        {Replace("mods/welt.src", kDirLink), "'welt.src" + linked},
        {Replace("mods/welt.src/sounds", kDirLink), "'welt.src/sounds" + linked},
        {Replace("mods/welt/1.cod", kFileLink), kUnknown, false},
        {Replace("mods/welt/config.ini", kFileLink), kUnknown, false},
        {Replace("game.ini", kFileLink), kUnknown},
        {Replace("mods/welt.src/schuss.wav", kFileLink), kUnknown},
    };
    // A stored name leads outside the MOD, at once or later in the run.
    for (const auto& [file, from, to] :
         {std::tuple{"mod.ini", "sounds\\musik.mid", "..\\..\\g.ini"},
          {"mod.ini", "schuss.wav", "/etc/hostname"},
          {"1.ini", "bilder\\hg1.png", "C:\\bild.png"},
          {"2.ini", "extras\\e2_1.png", "extras\\..\\..\\x"}})
        cases.push_back({Edit(QString("mods/welt/") + file, from, to), "'" + QString(to) + "'"});
    // The message names the refused name; "WELT" is the MOD itself.
    for (const QString& name : QStringList{"", "a/b", "a\\b", "..", ".", "a/..", "../welt2",
                                           "/tmp/abs", "WELT", "Wolke\u2601"})
        cases.push_back({none, "'" + name + "'", true, "welt", name});
    for (const QString& name : QStringList{"", "..", "../welt", "mods/welt", "welt\\..\\welt"})
        cases.push_back({none, "'" + name + "'", false, name, "kopie"});
    // Last: they skip the rest where special files cannot be made.
    for (const auto& [rel, backup] : {std::pair{"mods/welt/mod.cod", false},
                                      {"mods/welt/config.ini", false},
                                      {"game.ini", true},
                                      {"mods/welt.src/mod.ini", true}}) {
        for (const mode_t mode : {S_IFIFO | 0644, S_IFCHR | 0644})
            cases.push_back({Replace(rel, mode), kUnknown, backup});
    }
    return cases;
}

TEST(Refusal, ChangesNothingAndSaysWhy) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE((c.says + " " + c.mod + " " + c.backup).toStdString());
        ScriptedPlatform platform;
        GameFiles g;
        InstallWelt(g);
        QTemporaryDir outside;
        c.prepare(g, outside.path());
        if (::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure())
            return;
        const auto before = g.Snapshot();
        const auto elsewhere = GameFiles::SnapshotOf(outside.path());
        EngineRun run(g);
        EXPECT_FALSE(run.Run(c.mod, c.backup, c.backupWanted));
        ASSERT_EQ(platform.messages.size(), 1);
        const QString& text = platform.messages[0].text;
        EXPECT_EQ(platform.messages[0].title, "Fehler");
        EXPECT_TRUE(text.contains(c.says)) << text.toStdString();
        EXPECT_TRUE(text == kUnknown || text == kTooMany || text.endsWith(kUnchanged))
            << text.toStdString();
        EXPECT_EQ(platform.exits, QList<int>{1});
        EXPECT_EQ(Differences(before, g.Snapshot()), "");
        EXPECT_EQ(Differences(elsewhere, GameFiles::SnapshotOf(outside.path())), "");
    }
}

// Dots that do not climb out are part of a name; blanks around it, lost in
// game.ini anyway, are dropped. A colour background's picture is never
// copied, so its name does not matter.
TEST(Refusal, NamesThatStayInsideAreTaken) {
    for (const auto& [typed, registered, count] :
         {std::tuple{"v1.0..2", "v1.0..2", true}, {" kopie\t", "kopie", false}}) {
        SCOPED_TRACE(typed);
        ScriptedPlatform platform;
        GameFiles g;
        InstallWelt(g);
        g.Write("game.ini", ModList({"welt"}, count));
        ModDraft draft = MakeMod();
        Set(draft.backgrounds[1], "hg", "datei", "..\\..\\blau.png");
        const auto plain = g.WriteMod("welt", draft, false);
        ASSERT_TRUE(EngineRun(g).Run("welt", typed, true));
        const QString ini = g.Path("game.ini");
        EXPECT_EQ(ReadIniText(ini, "Mods", count ? "ModName2" : "ModName1"), registered);
        EXPECT_EQ(ReadIniText(ini, "Mods", "ModAnzahl"), count ? "2" : "1");
        EXPECT_EQ(g.HowItLoads(registered, plain), LoadsAs::Plain);
        EXPECT_TRUE(platform.messages.isEmpty());
    }
}

struct Killed {};  // thrown to stop a run dead, as if the process had been killed

// Real file changes, but change number failAt fails, or the process "dies".
struct FaultyFiles : FileOps {
    using F = FileOps;
    using R = const FolderRef&;
    FaultyFiles(int k, bool d) : failAt(k), die(d) {}
    FolderRef MakeDir(R p, const QString& n) override {
        return Step("mkdir " + p->PathOf(n)) ? F::MakeDir(p, n) : nullptr;
    }
    bool RemoveDir(R p, const QString& n) override {
        return Step("rmdir " + p->PathOf(n)) && F::RemoveDir(p, n);
    }
    std::optional<StagedFile> Stage(R f, const QString& n, const QByteArray& b,
                                    QString* why) override {
        return Step("write " + f->PathOf(n)) ? F::Stage(f, n, b, why) : std::nullopt;
    }
    bool Commit(StagedFile& f, QString* why) override {
        return Step("commit " + f.Path()) && F::Commit(f, why);
    }
    bool RemoveFile(R f, const QString& n) override {
        return Step("remove " + f->PathOf(n)) && F::RemoveFile(f, n);
    }
    const int failAt;
    const bool die;
    QStringList changes;
    bool Step(const QString& what) {
        changes.append(what);
        if (changes.size() == failAt && die)
            throw Killed{};
        return changes.size() != failAt;
    }
};

class CrashSafety : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(CrashSafety, EveryStepInTurn) {
    const auto [die, backup] = GetParam();
    int steps = 0;
    for (int k = 1; k < 100; ++k, ++steps) {
        SCOPED_TRACE(k);
        ScriptedPlatform platform;
        GameFiles g;
        const auto plain = InstallWelt(g);
        // A stale .cod from earlier work is replaced, and put back on failure.
        g.Write("mods/welt/1.cod", "veraltet");
        const auto before = g.Snapshot();
        FaultyFiles files(k, die);
        EngineRun run(g, &files);
        bool finished = false;
        try {
            finished = run.Run("welt", "welt.src", backup);
        } catch (const Killed&) {
        }
        const LoadsAs loads = g.HowItLoads("welt", plain);
        if (finished) {
            EXPECT_EQ(loads, LoadsAs::Encoded);
            EXPECT_EQ(files.changes.size(), k - 1);
            break;
        }
        // The run failed on its own before step k: its log says why.
        ASSERT_GE(files.changes.size(), k) << run.engine.Log().toStdString();
        SCOPED_TRACE(files.changes[k - 1].toStdString());
        if (die) {
            const qsizetype sealedAt =
                files.changes.indexOf("commit " + g.ModPath("welt") + "/config.ini");
            EXPECT_EQ(loads, sealedAt >= 0 && sealedAt < k - 1 ? LoadsAs::Encoded : LoadsAs::Plain);
            continue;
        }
        EXPECT_EQ(Differences(before, g.Snapshot()), "");
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].text, "Ein unbekannter Fehler ist aufgetreten !!!");
        EXPECT_EQ(platform.exits, QList<int>{1});
        EXPECT_FALSE(run.engine.Log().contains("FERTIG"));
    }
    // Three .cod and config.ini written and put in place, three .ini removed,
    // the journal written, put in place and removed; with the backup also its
    // 4 folders, 11 copies (the colour background's picture too) and game.ini.
    EXPECT_EQ(steps, backup ? 4 + 2 * (4 + 12) + 3 + 3 : 2 * 4 + 3 + 3);
}

INSTANTIATE_TEST_SUITE_P(FailsOrDies_WithBackup, CrashSafety,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace
}  // namespace wf::test

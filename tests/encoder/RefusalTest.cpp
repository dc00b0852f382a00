// Names, links and special files that would lead a run outside the game's
// MOD directory, or onto something that is no file, are refused before
// anything changes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "IniAccess.h"
#include "ModFixture.h"
#include "RunHelpers.h"
#include "ScriptedPlatform.h"

namespace wf::test {
namespace {

const QString kUnknownError = QStringLiteral("Ein unbekannter Fehler ist aufgetreten !!!");

// Runs and expects one message that says `says`, exit 1 and no change at
// all. Every message but the general one ends by saying so.
void ExpectRefused(ModFixture& fx, const QString& mod, const QString& backup, bool backupWanted,
                   const QString& says) {
    ScriptedPlatform platform;
    const auto before = fx.Snapshot();
    EngineRun run(fx);
    EXPECT_FALSE(run.Run(mod, backup, backupWanted));
    ASSERT_EQ(platform.messages.size(), 1);
    const QString& text = platform.messages[0].text;
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fehler"));
    EXPECT_TRUE(text.contains(says)) << text.toStdString();
    EXPECT_TRUE(text == kUnknownError ||
                text.endsWith(QStringLiteral("Es wurde nichts verändert.")))
        << text.toStdString();
    EXPECT_EQ(platform.exits, QList<int>{1});
    EXPECT_EQ(fx.Snapshot(), before);
}

QString Quoted(const QString& name) {
    return QLatin1Char('\'') + name + '\'';
}

// The message names the refused name itself.
TEST(Refusal, ModAndBackupNames) {
    const QString backups[] = {"",
                               "a/b",
                               "a\\b",
                               "..",
                               ".",
                               "a/..",
                               "../welt2",
                               "/tmp/abs",
                               "WELT" /* the MOD itself */,
                               QStringLiteral("Wolke\u2601") /* game.ini cannot hold it */};
    const QString mods[] = {"", "..", "../welt", "mods/welt", "welt\\..\\welt"};
    for (const bool backupWanted : {true, false}) {
        for (const QString& name : backupWanted
                                       ? QList<QString>(std::begin(backups), std::end(backups))
                                       : QList<QString>(std::begin(mods), std::end(mods))) {
            SCOPED_TRACE(name.toStdString());
            ModFixture fx;
            fx.WriteGameIni({"welt"});
            fx.AddMod(QStringLiteral("welt"), StandardMod());
            if (backupWanted)
                ExpectRefused(fx, QStringLiteral("welt"), name, true, Quoted(name));
            else
                ExpectRefused(fx, name, QStringLiteral("kopie"), false, Quoted(name));
        }
    }
}

// Dots that do not climb out are part of a name; blanks around it would be
// lost when game.ini is read, so the name is registered without them.
TEST(Refusal, BackupNamesThatStayInside) {
    const struct {
        const char* typed;
        const char* registered;
    } cases[] = {{"v1.0..2", "v1.0..2"}, {" kopie\t", "kopie"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ScriptedPlatform platform;
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        const auto plain = fx.AddMod(QStringLiteral("welt"), StandardMod());
        EngineRun run(fx);
        ASSERT_TRUE(run.Run(QStringLiteral("welt"), QString::fromLatin1(c.typed), true));
        EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModName2"), c.registered);
        EXPECT_EQ(HowItLoads(fx, QString::fromLatin1(c.registered), plain), LoadsAs::Plain);
    }
}

TEST(Refusal, StoredNamesThatLeaveTheMod) {
    QTemporaryDir outside;
    const QString elsewhere = outside.filePath(QStringLiteral("bild.bmp"));
    QFile f(elsewhere);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("fremd") == 5);
    f.close();
    struct Case {
        const char* what;
        std::function<void(ModLayout&)> set;
        const char* linked;  // a file of the MOD made a link to one outside
        const char* shown;
    };
    const Case cases[] = {
        {"music climbs out", [](ModLayout& s) { s.musik = "..\\..\\game.ini"; }, nullptr,
         "..\\..\\game.ini"},
        {"shot sound absolute", [](ModLayout& s) { s.schussSound = "/etc/hostname"; }, nullptr,
         "/etc/hostname"},
        {"picture with drive", [](ModLayout& s) { s.backgrounds[0].datei = "C:\\bild.bmp"; },
         nullptr, "C:\\bild.bmp"},
        {"extra climbs out later",
         [](ModLayout& s) { s.backgrounds[1].extras[0].gfx = "extras\\..\\..\\x.bmp"; }, nullptr,
         "extras\\..\\..\\x.bmp"},
        {"picture linked to a file outside", [](ModLayout&) {}, "extras/ziel1.bmp",
         "extras\\ziel1.bmp"},
        {"background file linked to a file outside", [](ModLayout&) {}, "2.ini", "2.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        ModLayout layout = StandardMod();
        c.set(layout);
        fx.AddMod(QStringLiteral("welt"), StandardMod());
        // The definition files name the unsafe file; no media is written for it.
        fx.AddMod(QStringLiteral("welt"), layout, false);
        if (c.linked) {
            const QString path = fx.ModDir(QStringLiteral("welt")) + '/' + c.linked;
            ASSERT_TRUE(QFile::remove(path) && QFile::link(elsewhere, path));
        }
        ExpectRefused(fx, QStringLiteral("welt"), QStringLiteral("welt.src"), true,
                      Quoted(QString::fromLatin1(c.shown)));
    }
}

TEST(Refusal, UnsafeNamesThatAreNeverCopiedDoNotStopTheRun) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    ModLayout layout = StandardMod();
    // A colour background's picture is never copied.
    layout.backgrounds[1].datei = "..\\..\\blau.bmp";
    fx.AddMod(QStringLiteral("welt"), StandardMod());
    fx.AddMod(QStringLiteral("welt"), layout, false);
    EngineRun run(fx);
    EXPECT_TRUE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// Whatever the run would write: in its place a link leads elsewhere. Nothing
// there changes, also with "Yes" to every question.
TEST(Refusal, LinksInPlaceOfWhatIsWritten) {
    const struct {
        const char* what;
        const char* rel;  // below the game directory
        bool toDirectory;
        bool backup;
        QString says;
    } cases[] = {
        {"MOD directory", "mods/welt", true, false,
         "'welt' ist ein Verweis auf ein anderes Verzeichnis, etwa ein installiertes MOD"},
        {"backup directory", "mods/welt.src", true, true,
         "'welt.src' ist ein Verweis auf ein anderes Verzeichnis"},
        {"folder in the backup", "mods/welt.src/sounds", true, true,
         "'welt.src/sounds' ist ein Verweis auf ein anderes Verzeichnis"},
        {".cod file", "mods/welt/1.cod", false, false, kUnknownError},
        {"config.ini", "mods/welt/config.ini", false, false, kUnknownError},
        {"game.ini", "game.ini", false, true, kUnknownError},
        {"copy in the backup", "mods/welt.src/shot.wav", false, true, kUnknownError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        fx.AddMod(QStringLiteral("welt"), StandardMod());
        QTemporaryDir outside;
        const QString target = outside.filePath(QStringLiteral("ziel"));
        QDir().mkpath(QFileInfo(fx.Path(c.rel)).path());
        if (c.rel == QStringLiteral("mods/welt")) {
            // The MOD itself lies there, so that only the link stops the run.
            ASSERT_TRUE(QDir().rename(fx.Path(c.rel), target));
        } else if (c.toDirectory) {
            ASSERT_TRUE(QDir().mkpath(target));
        } else {
            // What was there, or an empty file.
            if (!QFile::rename(fx.Path(c.rel), target)) {
                QFile f(target);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            }
        }
        ASSERT_TRUE(QFile::link(target, fx.Path(c.rel)));
        const QMap<QString, QByteArray> elsewhere = ModFixture::SnapshotOf(outside.path());
        ExpectRefused(fx, QStringLiteral("welt"), QStringLiteral("welt.src"), c.backup, c.says);
        EXPECT_EQ(ModFixture::SnapshotOf(outside.path()), elsewhere);
    }
}

// A FIFO or a device in place of a file the run writes: refused at once,
// never opened (opening a FIFO would wait for ever).
TEST(Refusal, SpecialFilesInPlaceOfWhatIsWritten) {
    const struct {
        const char* rel;
        bool backup;
    } targets[] = {{"mods/welt/mod.cod", false},
                   {"mods/welt/config.ini", false},
                   {"game.ini", true},
                   {"mods/welt.src/mod.ini", true}};
    const struct {
        const char* what;
        mode_t mode;
    } kinds[] = {{"FIFO", S_IFIFO | 0644}, {"device", S_IFCHR | 0644}};
    for (const auto& kind : kinds) {
        for (const auto& t : targets) {
            SCOPED_TRACE(std::string(kind.what) + " as " + t.rel);
            ModFixture fx;
            fx.WriteGameIni({"welt"});
            fx.AddMod(QStringLiteral("welt"), StandardMod());
            QDir().mkpath(QFileInfo(fx.Path(t.rel)).path());
            QFile::remove(fx.Path(t.rel));
            // The null device: nothing happens should it be written after all.
            if (::mknod(QFile::encodeName(fx.Path(t.rel)).constData(), kind.mode, makedev(1, 3)) !=
                0)
                GTEST_SKIP() << "cannot make a " << kind.what << " here: " << strerror(errno);
            ExpectRefused(fx, QStringLiteral("welt"), QStringLiteral("welt.src"), t.backup,
                          kUnknownError);
        }
    }
}

}  // namespace
}  // namespace wf::test

#include <gtest/gtest.h>

#include "HighscoreTestSupport.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <limits>
#include <optional>

#include "Highscore.h"

namespace wf {
namespace {

using test::Lines;
using test::ReadBytes;
using test::WriteBytes;

struct Defaults {
    int table;
    std::array<qint32, 4> scores;
    QByteArray file;
};

const Defaults kDefaults[] = {
    {1,
     {120, 90, 70, 50},
     Lines({"NoBody", " 120 ", "NoBody", " 90 ", "NoBody", " 70 ", "NoBody", " 50 "})},
    {2,
     {240, 180, 140, 100},
     Lines({"NoBody", " 240 ", "NoBody", " 180 ", "NoBody", " 140 ", "NoBody", " 100 "})},
    {3,
     {480, 360, 280, 200},
     Lines({"NoBody", " 480 ", "NoBody", " 360 ", "NoBody", " 280 ", "NoBody", " 200 "})},
};

class HighscoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        tables.InitTables();
    }
    QString Path(int table) const { return dir.filePath(QStringLiteral("score%1.sre").arg(table)); }
    int LoadWithDefaults(int table) {
        const auto d = Highscore::DefaultScores(table);
        return tables.LoadTableOrDefaults(Path(table), table, d[0], d[1], d[2], d[3]);
    }
    QStringList Column(int table, int kind) {
        QStringList out;
        for (int place = 1; place <= 4; ++place)
            out << tables.GetEntry(table, kind, place);
        return out;
    }

    QTemporaryDir dir;
    Highscore& tables = Highscore::Instance();
    // The name question: answers with the next of names, counts the asking.
    QStringList names;
    int asked = 0;
    const Highscore::NameQuestion ask = [this](int) {
        ++asked;
        return names.isEmpty() ? QString() : names.takeFirst();
    };
};

TEST_F(HighscoreTest, NoFilesGiveDefaultsAndTheFirstSaveWritesEightLines) {
    for (const Defaults& d : kDefaults) {
        SCOPED_TRACE(d.table);
        EXPECT_EQ(tables.LoadTable(Path(d.table), d.table), 2);
        EXPECT_EQ(LoadWithDefaults(d.table), 1);
        EXPECT_EQ(Column(d.table, 1), QStringList(4, "NoBody"));
        QStringList scores;
        for (qint32 s : d.scores)
            scores << QString::number(s);
        EXPECT_EQ(Column(d.table, 0), scores);
        EXPECT_EQ(tables.SaveTable(Path(d.table), d.table), 1);
        EXPECT_EQ(ReadBytes(Path(d.table)), d.file);
        // What was written loads back completely.
        EXPECT_EQ(tables.LoadTable(Path(d.table), d.table), 1);
        EXPECT_EQ(Column(d.table, 0), QStringList({" " + scores[0] + " ", " " + scores[1] + " ",
                                                   " " + scores[2] + " ", " " + scores[3] + " "}));
    }
}

TEST_F(HighscoreTest, ShortFileGetsTheFullDefaultsAndTheNextTableStillLoads) {
    WriteBytes(Path(1), Lines({"Ann", " 500 ", "Bob", " 400 ", "Cy"}));
    WriteBytes(Path(2), Lines({"Dee", " 300 ", "Eli", "250", "Fay", " 20 ", "Gil", " -4 "}));
    EXPECT_EQ(LoadWithDefaults(1), 1);
    EXPECT_EQ(Column(1, 1), QStringList(4, "NoBody"));
    EXPECT_EQ(Column(1, 0), QStringList({"120", "90", "70", "50"}));
    EXPECT_EQ(LoadWithDefaults(2), 1);
    EXPECT_EQ(Column(2, 1), QStringList({"Dee", "Eli", "Fay", "Gil"}));
    EXPECT_EQ(Column(2, 0), QStringList({" 300 ", "250", " 20 ", " -4 "}));
}

TEST_F(HighscoreTest, LoadResultsForTheFileShapes) {
    // Place 4 as read; nullopt where the file ends before it.
    const struct {
        const char* what;
        QByteArray content;
        int result;
        std::optional<QString> name4, score4;
    } cases[] = {
        {"empty file", "", 2, std::nullopt, std::nullopt},
        {"seven lines", Lines({"a", "1", "b", "2", "c", "3", "d"}), 2, "d", std::nullopt},
        {"eight lines", Lines({"a", "1", "b", "2", "c", "3", "d", "4"}), 1, "d", "4"},
        {"last line not ended", "a\r\n1\r\nb\r\n2\r\nc\r\n3\r\nd\r\n4", 1, "d", "4"},
        {"lines beyond the eighth", Lines({"a", "1", "b", "2", "c", "3", "d", "4", "e", "5", "f"}),
         1, "d", "4"},
        {"empty last lines", Lines({"a", "1", "b", "2", "c", "3", "", ""}), 1, "", ""},
        {"LF only", "a\n1\nb\n2\nc\n3\nd\n4\n", 1, "d", "4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tables.InitTables();
        WriteBytes(Path(1), c.content);
        EXPECT_EQ(tables.LoadTable(Path(1), 1), c.result);
        EXPECT_TRUE(tables.TableValid(1));
        if (c.name4) {
            EXPECT_EQ(tables.GetEntry(1, 1, 4), *c.name4);
        }
        if (c.score4) {
            EXPECT_EQ(tables.GetEntry(1, 0, 4), *c.score4);
        }
        if (!c.content.isEmpty()) {
            EXPECT_EQ(tables.GetEntry(1, 1, 1), "a");
        }
    }
}

TEST_F(HighscoreTest, TextScoresAndNamesAreWrittenBackUnchanged) {
    const QByteArray content =
        Lines({"M\xfcller", " 95 ", "", "abc", " two  blanks ", "12abc", "Zo\x80", "  -7"});
    WriteBytes(Path(1), content);
    ASSERT_EQ(tables.LoadTable(Path(1), 1), 1);
    EXPECT_EQ(tables.GetEntry(1, 1, 1), QString::fromUtf8("Müller"));
    EXPECT_EQ(tables.GetEntry(1, 0, 1), " 95 ");
    EXPECT_EQ(tables.GetEntry(1, 1, 4), QString::fromUtf8("Zo€"));
    ASSERT_EQ(tables.SaveTable(Path(1), 1), 1);
    EXPECT_EQ(ReadBytes(Path(1)), content);
}

TEST_F(HighscoreTest, ScoreLinesCompareAsTheirLeadingNumber) {
    constexpr qint32 kMax = std::numeric_limits<qint32>::max();
    constexpr qint32 kMin = std::numeric_limits<qint32>::min();
    const struct {
        QByteArray line;
        qint32 number;
    } cases[] = {
        {" 95 ", 95},
        {"-120 ", -120},
        {"abc", 0},
        {"12abc", 12},
        {"", 0},
        {"   ", 0},
        {"- 7", -7},
        {"\t42\t", 42},
        {"-", 0},
        {"7-3", 7},
        {"0099", 99},
        {"99999999999", kMax},
        {"2147483647", kMax},
        {"-2147483648", kMin},
        {"-99999999999", kMin},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Highscore::ScoreNumber(c.line), c.number) << c.line.constData();
    }
}

TEST_F(HighscoreTest, DamagedScoresRankLikeTheirNumberAndLeaveOtherTablesAlone) {
    WriteBytes(Path(1), Lines({"A", "abc", "B", "12abc", "C", "x", "D", ""}));
    ASSERT_EQ(tables.LoadTable(Path(1), 1), 1);
    ASSERT_EQ(LoadWithDefaults(2), 1);
    names = {"N1", "N2"};
    // 13 beats "abc" (0): place 1; then 5 beats "abc" now on place 2.
    EXPECT_EQ(tables.InsertScore(1, 13, ask), 1);
    EXPECT_EQ(tables.InsertScore(1, 5, ask), 1);
    EXPECT_EQ(Column(1, 1), QStringList({"N1", "N2", "A", "B"}));
    EXPECT_EQ(Column(1, 0), QStringList({"13", "5", "abc", "12abc"}));
    EXPECT_EQ(Column(2, 0), QStringList({"240", "180", "140", "100"}));
    ASSERT_EQ(tables.SaveTable(Path(1), 1), 1);
    EXPECT_EQ(ReadBytes(Path(1)), Lines({"N1", " 13 ", "N2", " 5 ", "A", "abc", "B", "12abc"}));
}

TEST_F(HighscoreTest, SavedOrUnloadedTablesAreNotValid) {
    EXPECT_EQ(tables.GetEntry(1, 0, 1), "0");
    EXPECT_EQ(tables.GetEntry(1, 1, 1), "0");
    EXPECT_EQ(tables.ApplyDefaults(1, 2, 3, 4, 1), 0);
    EXPECT_EQ(tables.SaveTable(Path(1), 1), 0);
    EXPECT_FALSE(QFile::exists(Path(1)));

    ASSERT_EQ(LoadWithDefaults(1), 1);
    EXPECT_EQ(tables.GetEntry(1, 2, 1), "");
    ASSERT_EQ(tables.SaveTable(Path(1), 1), 1);
    const QByteArray saved = ReadBytes(Path(1));
    EXPECT_EQ(tables.SaveTable(Path(1), 1), 0);
    EXPECT_EQ(tables.GetEntry(1, 0, 1), "0");
    EXPECT_EQ(tables.GetEntry(1, 1, 2), "0");
    EXPECT_EQ(tables.InsertScore(1, 1000, ask), 0);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ReadBytes(Path(1)), saved);
}

TEST_F(HighscoreTest, NumbersOutsideTheTablesAreRefused) {
    for (int table : {-1, 5, 100}) {
        SCOPED_TRACE(table);
        EXPECT_EQ(tables.LoadTable(Path(1), table), 0);
        EXPECT_EQ(tables.ApplyDefaults(1, 2, 3, 4, table), 0);
        EXPECT_EQ(tables.LoadTableOrDefaults(Path(1), table, 1, 2, 3, 4), 0);
        EXPECT_EQ(tables.SaveTable(Path(1), table), 0);
        EXPECT_EQ(tables.InsertScore(table, 1000, ask), 0);
        EXPECT_EQ(tables.GetEntry(table, 0, 1), "");
        EXPECT_FALSE(tables.TableValid(table));
    }
    ASSERT_EQ(LoadWithDefaults(1), 1);
    EXPECT_EQ(tables.GetEntry(1, 0, 5), "");
    EXPECT_EQ(tables.GetEntry(1, 1, -1), "");
    EXPECT_FALSE(QFile::exists(Path(1)));
}

// Made in place of a score file, for the tests of loading and saving.
struct Intruder {
    const char* what;
    std::function<bool(const QString& path, const QString& outside)> make;
};

const Intruder kIntruders[] = {
    {"directory", [](const QString& p, const QString&) { return QDir().mkdir(p); }},
    {"FIFO", [](const QString& p,
                const QString&) { return ::mkfifo(QFile::encodeName(p).constData(), 0644) == 0; }},
    {"endless device",
     [](const QString& p, const QString&) { return QFile::link(QStringLiteral("/dev/zero"), p); }},
    {"link to a file elsewhere",
     [](const QString& p, const QString& outside) { return QFile::link(outside, p); }},
};

void RemoveAny(const QString& path) {
    QDir(path).removeRecursively();
    QFile::remove(path);
}

// Never waits on a FIFO, never reads a device or a huge file: each is a load
// failure, the table stays as it was. A link to a table is read like it.
TEST_F(HighscoreTest, OnlyARegularFileOfATableLoads) {
    const QString outside = dir.filePath(QStringLiteral("elsewhere"));
    WriteBytes(outside, kDefaults[0].file);
    for (const Intruder& intruder : kIntruders) {
        SCOPED_TRACE(intruder.what);
        tables.InitTables();
        RemoveAny(Path(1));
        ASSERT_TRUE(intruder.make(Path(1), outside));
        const int expected = QFileInfo(Path(1)).isSymLink() && QFileInfo(Path(1)).isFile() ? 1 : 0;
        EXPECT_EQ(tables.LoadTable(Path(1), 1), expected);
        EXPECT_EQ(tables.TableValid(1), expected == 1);
    }
    tables.InitTables();
    RemoveAny(Path(1));
    {
        QFile huge(Path(1));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(64 * 1024 * 1024));
    }
    EXPECT_EQ(LoadWithDefaults(1), 0);
    EXPECT_FALSE(tables.TableValid(1));
}

// Whatever stands in place of the file, a save neither replaces it nor
// writes through it, and leaves no temporary file; the table stays valid for
// another try.
TEST_F(HighscoreTest, ASaveReplacesNothingButAScoreFile) {
    const QString outside = dir.filePath(QStringLiteral("elsewhere"));
    WriteBytes(outside, "the player's own file");
    for (const Intruder& intruder : kIntruders) {
        SCOPED_TRACE(intruder.what);
        tables.InitTables();
        RemoveAny(Path(1));
        ASSERT_EQ(LoadWithDefaults(1), 1);
        ASSERT_TRUE(intruder.make(Path(1), outside));
        const QFileInfo before(Path(1));
        EXPECT_EQ(tables.SaveTable(Path(1), 1), 0);
        EXPECT_TRUE(tables.TableValid(1));
        const QFileInfo after(Path(1));
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.isDir(), before.isDir());
        EXPECT_EQ(ReadBytes(outside), "the player's own file");
        EXPECT_EQ(QDir(dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList());
    }
}

TEST_F(HighscoreTest, ASaveThatCannotReplaceTheFileKeepsTheOldOne) {
    // The disk runs full while the new table is written.
    const QByteArray old = Lines({"Keep", " 77 ", "Me", " 66 ", "As", " 55 ", "Is", " 44 "});
    WriteBytes(Path(2), old);
    ASSERT_EQ(tables.LoadTable(Path(2), 2), 1);
    ASSERT_EQ(tables.ApplyDefaults(1000, 900, 800, 700, 2), 1);
    {
        test::FileSizeLimit full(8);
        if (!full.Active())
            GTEST_SKIP() << "cannot limit the file size";
        EXPECT_EQ(tables.SaveTable(Path(2), 2), 0);
    }
    EXPECT_EQ(ReadBytes(Path(2)), old);
    EXPECT_TRUE(tables.TableValid(2));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"score2.sre"}));
    // The table is still there and saves once there is room.
    EXPECT_EQ(tables.SaveTable(Path(2), 2), 1);
    EXPECT_EQ(ReadBytes(Path(2)),
              Lines({"NoBody", " 1000 ", "NoBody", " 900 ", "NoBody", " 800 ", "NoBody", " 700 "}));
}

}  // namespace
}  // namespace wf

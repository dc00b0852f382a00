// The highscore tables and their files, the ranking of a new score and the
// online link.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <limits>
#include <vector>

#include "GameFiles.h"
#include "Highscore.h"
#include "OnlineLink.h"
#include "TextCipher.h"

namespace wf {
namespace {

using test::Join;

class HighscoreTest : public ::testing::Test {
  protected:
    void SetUp() override { tables.InitTables(); }
    QString Path(int table = 1) const { return Highscore::ScoreFilePath(game.Path(), table); }
    QString File(int table = 1) const { return QStringLiteral("score%1.sre").arg(table); }
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
    // Answers the name question with the next name ("" when none is left)
    // and records the places asked for.
    int Insert(int table, qint32 score, QStringList names = {"Neu"}) {
        return tables.InsertScore(table, score, [this, names](int place) mutable {
            asked.push_back(place);
            return names.isEmpty() ? QString() : names.takeFirst();
        });
    }

    test::GameFiles game;
    Highscore& tables = Highscore::Instance();
    std::vector<int> asked;  // not a QList: an empty one hands memcmp a null pointer
};

// A short file is a missing one (defaults for all); lines past the eighth
// do not count; the last line needs no line end.
TEST_F(HighscoreTest, LoadResultsForTheFileShapes) {
    const std::pair<QByteArray, int> cases[] = {
        {Join({"a", "1", "b", "2", "c", "3", "d"}), 2},
        {"a\r\n1\r\nb\r\n2\r\nc\r\n3\r\nd\r\n4", 1},
        {Join({"a", "1", "b", "2", "c", "3", "d", "4", "e", "5"}), 1},
        {"a\n1\nb\n2\nc\n3\nd\n4\n", 1}};
    for (const auto& [content, result] : cases) {
        SCOPED_TRACE(content.constData());
        game.Write(File(), content);
        EXPECT_EQ(tables.LoadTable(Path(), 1), result);
        EXPECT_EQ(LoadWithDefaults(1), 1);
        EXPECT_EQ(Column(1, 1),
                  result == 1 ? QStringList({"a", "b", "c", "d"}) : QStringList(4, "NoBody"));
        EXPECT_EQ(Column(1, 0)[3], result == 1 ? "4" : "50");
    }
}

// A line read from the file compares as its leading number.
TEST(Highscore, ScoreLinesCompareAsTheirLeadingNumber) {
    constexpr qint32 kMax = std::numeric_limits<qint32>::max();
    constexpr qint32 kMin = std::numeric_limits<qint32>::min();
    // clang-format off
    const std::pair<QByteArray, qint32> numbers[] = {
        {" 95 ", 95}, {"-120 ", -120}, {"abc", 0}, {"12abc", 12}, {"   ", 0}, {"- 7", -7},
        {"\t42\t", 42}, {"7-3", 7}, {"0099", 99}, {"2147483647", kMax}, {"99999999999", kMax},
        {"-2147483648", kMin}, {"-2147483649", kMin}, {"-99999999999999999999999", kMin},
        {"99999999999999999999999", kMax}};
    // clang-format on
    for (const auto& [line, number] : numbers)
        EXPECT_EQ(Highscore::ScoreNumber(line), number) << line.constData();
}

// A new score ranks below equal ones and the places below move down, each
// name with its score. The name is stored on one line in the files' code page
// (an empty line when cancelled); lines read are written back as they were,
// new scores with a blank or the sign in front.
TEST_F(HighscoreTest, InsertsBelowEqualScoresAndWritesTheFileBack) {
    const test::Lines abcd = {"A", "120", "B", "90", "C", "70", "D", "50"};
    const struct {
        test::Lines file;
        std::vector<std::pair<qint32, QString>> inserts;  // score and the name typed
        std::vector<int> asked;
        test::Lines after;
    } cases[] = {
        {abcd, {{100, "Neu"}}, {2}, {"A", "120", "Neu", " 100 ", "B", "90", "C", "70"}},
        {abcd, {{120, "Neu"}}, {2}, {"A", "120", "Neu", " 120 ", "B", "90", "C", "70"}},
        {abcd, {{121, "Neu"}}, {1}, {"Neu", " 121 ", "A", "120", "B", "90", "C", "70"}},
        {abcd, {{71, "Neu"}}, {3}, {"A", "120", "B", "90", "Neu", " 71 ", "C", "70"}},
        {abcd, {{51, "Neu"}}, {4}, {"A", "120", "B", "90", "C", "70", "Neu", " 51 "}},
        {abcd, {{50, "Neu"}, {-32768, "Neu"}}, {}, abcd},
        {abcd,
         {{1000, QString()}, {95, "Jo\r\nhn\n € 漢 Ä\r"}},
         {1, 3},
         {"", " 1000 ", "A", "120", "John \x80 ? \xc4", " 95 ", "B", "90"}},
        // Damaged lines count as their leading number: 13 beats "abc" (0).
        {{"M\xfcller", " 95 ", "", "abc", " two  blanks ", "12abc", "Zo\x80", "  -7"},
         {{13, "N1"}, {5, "N2"}},
         {2, 3},
         {"M\xfcller", " 95 ", "N1", " 13 ", "N2", " 5 ", "", "abc"}},
        {{"A", "-10 ", "B", "-20", "C", "-30", "D", "-40"},
         {{-15, "Min"}},
         {2},
         {"A", "-10 ", "Min", "-15 ", "B", "-20", "C", "-30"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Join(c.after).constData());
        game.Write(File(), c.file);
        ASSERT_EQ(tables.LoadTable(Path(), 1), 1);
        asked.clear();
        int placed = 0;
        for (const auto& [score, name] : c.inserts)
            placed += Insert(1, score, {name});
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(placed, static_cast<int>(c.asked.size()));
        ASSERT_EQ(tables.SaveTable(Path(), 1), 1);
        EXPECT_EQ(game.Read(File()), Join(c.after));
        ASSERT_EQ(tables.LoadTable(Path(), 1), 1);
        EXPECT_EQ(tables.GetEntry(1, 1, 1), QString::fromLatin1(c.after[0]));
    }
    game.Write(File(), cases[6].after);
    ASSERT_EQ(tables.LoadTable(Path(), 1), 1);
    EXPECT_EQ(tables.GetEntry(1, 1, 3), QString::fromUtf8("John € ? Ä"));
}

// A saved table takes nothing until loaded again; unknown tables and places
// take nothing at all.
TEST_F(HighscoreTest, SavedUnloadedAndUnknownTablesAreNotValid) {
    EXPECT_EQ(tables.ApplyDefaults(1, 2, 3, 4, 1), 0);
    EXPECT_EQ(tables.SaveTable(Path(), 1), 0);
    ASSERT_EQ(LoadWithDefaults(1), 1);
    ASSERT_EQ(tables.SaveTable(Path(), 1), 1);
    EXPECT_EQ(tables.SaveTable(Path(), 1), 0);
    EXPECT_EQ(Insert(1, 1000), 0);
    EXPECT_TRUE(asked.empty());
    for (int table : {-1, 5})
        EXPECT_EQ(tables.LoadTableOrDefaults(Path(), table, 1, 2, 3, 4), 0) << table;
    ASSERT_EQ(LoadWithDefaults(1), 1);
    for (const auto& [table, place] : {std::pair{1, 0}, {1, 5}, {5, 1}})
        EXPECT_EQ(tables.InsertEntry(table, place, "x", 1), 0) << table << " " << place;
    EXPECT_EQ(tables.GetEntry(1, 0, 5), "");
    EXPECT_EQ(tables.GetEntry(5, 0, 1), "");
}

// Loading never waits on a FIFO nor reads a device or a huge file: each is
// a load failure that leaves the table as it was; a link to a table is read
// like it. A save neither replaces nor writes through whatever stands in
// place of the file, and leaves no temporary file.
TEST_F(HighscoreTest, OnlyARegularFileIsLoadedOrReplaced) {
    const QString outside = game.Path("elsewhere");
    const std::pair<const char*, std::function<bool(const QString&)>> intruders[] = {
        {"directory", [](const QString& p) { return QDir().mkdir(p); }},
        {"FIFO", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0644) == 0; }},
        {"endless device", [](const QString& p) { return QFile::link("/dev/zero", p); }},
        {"link to a file elsewhere", [&](const QString& p) { return QFile::link(outside, p); }},
    };
    for (const auto& [what, make] : intruders) {
        SCOPED_TRACE(what);
        for (const bool save : {false, true}) {
            game.Write("elsewhere", Join({"a", "1", "b", "2", "c", "3", "d", "4"}));
            const QByteArray own = game.Read("elsewhere");
            tables.InitTables();
            QDir(Path()).removeRecursively();
            QFile::remove(Path());
            if (save) {
                ASSERT_EQ(LoadWithDefaults(1), 1);
            }
            ASSERT_TRUE(make(Path()));
            const QFileInfo before(Path());
            if (!save) {
                const int expected = before.isSymLink() && before.isFile() ? 1 : 0;
                EXPECT_EQ(tables.LoadTable(Path(), 1), expected);
                EXPECT_EQ(tables.TableValid(1), expected == 1);
                continue;
            }
            EXPECT_EQ(tables.SaveTable(Path(), 1), 0);
            EXPECT_TRUE(tables.TableValid(1));
            const QFileInfo after(Path());
            EXPECT_TRUE(after.isSymLink() == before.isSymLink() && after.isDir() == before.isDir());
            EXPECT_EQ(game.Read("elsewhere"), own);
            EXPECT_TRUE(QDir(game.Path()).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());
        }
    }
    tables.InitTables();
    QFile::remove(Path());
    QFile huge(Path());
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(64 * 1024 * 1024));  // sparse
    EXPECT_EQ(LoadWithDefaults(1), 0);
    EXPECT_FALSE(tables.TableValid(1));
}

// The record is the table's seconds, the score and a check sum of its first
// three digits (the last repeated), encoded as digits after the address.
TEST(OnlineLink, SubmitAddressCarriesTheEncodedRecordAsDigits) {
    const QString site = QStringLiteral("http://scores.example:8080");
    const QString submit = site + QStringLiteral("/wfscore.php?punkte=");
    const struct {
        int table;
        qint32 score;
        QByteArray record;
    } cases[] = {
        {2, 245, "wfgbeta|60|245|11|"},
        {3, 1000, "wfgbeta|120|1000|1|"},
        {1, 7, "wfgbeta|30|7|21|"},
        {1, -12, "wfgbeta|30|-12|5|"},
        {2, -32768, "wfgbeta|60|-32768|12|"},
        {4, 5, "wfgbeta|0|5|15|"},
        {1, 0, "wfgbeta|30|0|0|"},
        {1, 95, "wfgbeta|30|95|19|"},
        {1, -2147483647 - 1, "wfgbeta|30|-2147483648|7|"},
    };
    const QRegularExpression wellFormed(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(submit) + QStringLiteral("[0-9]+")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.constData());
        const QString url = SubmitUrl(c.table, c.score, site);
        ASSERT_TRUE(wellFormed.match(url).hasMatch()) << url.toStdString();
        const QByteArray digits = url.mid(submit.size()).toLatin1();
        EXPECT_EQ(digits.size(), 3 * c.record.size());
        EXPECT_EQ(DecodeText(digits, ScoreKey, true), c.record);
    }
    EXPECT_EQ(ViewUrl(site), site + "/hs.php");
}

// The environment wins when it holds a web address, then game.ini; none
// set up is none, whatever the build.
TEST(OnlineLink, SiteComesFromTheEnvironmentOrGameIniAndNeverFromTheBuild) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("game.ini");
    const struct {
        const char* env;  // nullptr: not set
        QByteArray ini;   // the value of "highscoreseite"; nullptr: no such key
        std::optional<QString> site;
    } cases[] = {
        {nullptr, nullptr, std::nullopt},
        {" http://127.0.0.1:9090/ ", "https://ini.example", "http://127.0.0.1:9090"},
        {"https://example.org/wolkenfang//", nullptr, "https://example.org/wolkenfang"},
        {"file:///etc/passwd", "https://ini.example/", "https://ini.example"},
        {"http://user:pw@example.org", nullptr, std::nullopt},
        {"http://example.org/?x=1", "javascript:alert(1)", std::nullopt},
        {nullptr, "http://example.org/#top", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.env ? c.env : "(not set)") << " / "
                                        << (c.ini.isNull() ? "(no key)" : c.ini.constData()));
        if (c.env)
            qputenv("WF_HIGHSCORE_SITE", c.env);
        else
            qunsetenv("WF_HIGHSCORE_SITE");
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[game]\r\nwerbung=ja\r\n" +
                (c.ini.isNull() ? QByteArray() : "highscoreseite=" + c.ini + "\r\n"));
        f.close();
        EXPECT_EQ(HighscoreSite(ini), c.site);
    }
    qunsetenv("WF_HIGHSCORE_SITE");
}

}  // namespace
}  // namespace wf

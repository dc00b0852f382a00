#include <gtest/gtest.h>

#include "HighscoreTestSupport.h"

#include <QTemporaryDir>

#include "Highscore.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

using test::Lines;
using test::ReadBytes;

QString Prompt(int place) {
    return QStringLiteral(
               "Wow !!! Sie haben eine neue Highscore aufgestellt . Bitte tippen sie ihren "
               "Namen ein ! (Platz %1)")
        .arg(place);
}

class InsertScoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        tables.InitTables();
        // Table 1 with its defaults 120, 90, 70, 50.
        ASSERT_EQ(tables.LoadTableOrDefaults(Path(), 1, 120, 90, 70, 50), 1);
    }
    QString Path() const { return dir.filePath("score1.sre"); }
    QStringList Column(int kind) {
        QStringList out;
        for (int place = 1; place <= 4; ++place)
            out << tables.GetEntry(1, kind, place);
        return out;
    }

    QTemporaryDir dir;
    Highscore& tables = Highscore::Instance();
    ScriptedPlatform platform;
};

TEST_F(InsertScoreTest, RanksBelowEqualScoresAndShiftsThePlacesBelow) {
    const struct {
        qint32 score;
        int place;  // 0: no place
        QStringList scores;
        QStringList names;
    } cases[] = {
        {100, 2, {"120", "100", "90", "70"}, {"NoBody", "Neu", "NoBody", "NoBody"}},
        {120, 2, {"120", "120", "90", "70"}, {"NoBody", "Neu", "NoBody", "NoBody"}},
        {121, 1, {"121", "120", "90", "70"}, {"Neu", "NoBody", "NoBody", "NoBody"}},
        {71, 3, {"120", "90", "71", "70"}, {"NoBody", "NoBody", "Neu", "NoBody"}},
        {51, 4, {"120", "90", "70", "51"}, {"NoBody", "NoBody", "NoBody", "Neu"}},
        {50, 0, {"120", "90", "70", "50"}, QStringList(4, "NoBody")},
        {-5, 0, {"120", "90", "70", "50"}, QStringList(4, "NoBody")},
        {-32768, 0, {"120", "90", "70", "50"}, QStringList(4, "NoBody")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.score);
        tables.InitTables();
        ASSERT_EQ(tables.LoadTableOrDefaults(Path(), 1, 120, 90, 70, 50), 1);
        platform.prompts.clear();
        platform.inputAnswers = {QString("Neu")};
        EXPECT_EQ(tables.InsertScore(1, c.score), c.place != 0 ? 1 : 0);
        if (c.place != 0) {
            ASSERT_EQ(platform.prompts.size(), 1);
            EXPECT_EQ(platform.prompts[0].title, "Neue Highscore");
            EXPECT_EQ(platform.prompts[0].prompt, Prompt(c.place));
            EXPECT_EQ(platform.prompts[0].preset, "Default");
        } else {
            EXPECT_TRUE(platform.prompts.isEmpty());
        }
        EXPECT_EQ(Column(0), c.scores);
        EXPECT_EQ(Column(1), c.names);
    }
}

TEST_F(InsertScoreTest, CancelStoresAnEmptyNameWrittenAsAnEmptyLine) {
    platform.inputAnswers = {std::nullopt};
    EXPECT_EQ(tables.InsertScore(1, 1000), 1);
    EXPECT_EQ(tables.GetEntry(1, 1, 1), "");
    ASSERT_EQ(tables.SaveTable(Path(), 1), 1);
    EXPECT_EQ(ReadBytes(Path()),
              Lines({"", " 1000 ", "NoBody", " 120 ", "NoBody", " 90 ", "NoBody", " 70 "}));
}

TEST_F(InsertScoreTest, TypedNamesAreStoredOnOneLineInTheFilesCodePage) {
    platform.inputAnswers = {QString::fromUtf8("Jo\r\nhn\n € 漢 Ä\r")};
    EXPECT_EQ(tables.InsertScore(1, 95), 1);
    EXPECT_EQ(tables.GetEntry(1, 1, 2), QString::fromUtf8("John € ? Ä"));
    ASSERT_EQ(tables.SaveTable(Path(), 1), 1);
    EXPECT_EQ(ReadBytes(Path()), Lines({"NoBody", " 120 ", "John \x80 ? \xc4", " 95 ", "NoBody",
                                        " 90 ", "NoBody", " 70 "}));
    ASSERT_EQ(tables.LoadTable(Path(), 1), 1);
    EXPECT_EQ(tables.GetEntry(1, 1, 2), QString::fromUtf8("John € ? Ä"));
    EXPECT_EQ(tables.GetEntry(1, 1, 3), "NoBody");
}

TEST_F(InsertScoreTest, NegativeScoresAreWrittenWithTheSignInFront) {
    ASSERT_EQ(tables.ApplyDefaults(-10, -20, -30, -40, 1), 1);
    platform.inputAnswers = {QString("Min")};
    EXPECT_EQ(tables.InsertScore(1, -15), 1);
    ASSERT_EQ(tables.SaveTable(Path(), 1), 1);
    EXPECT_EQ(ReadBytes(Path()),
              Lines({"NoBody", "-10 ", "Min", "-15 ", "NoBody", "-20 ", "NoBody", "-30 "}));
}

}  // namespace
}  // namespace wf

#include <gtest/gtest.h>
#include <vector>

#include "HighscoreTestSupport.h"

#include <QTemporaryDir>

#include "Highscore.h"

namespace wf {
namespace {

using test::Lines;
using test::ReadBytes;

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

    // Answers the name question with the next name (the empty one when none
    // is left) and records the places asked for.
    int Insert(qint32 score, QStringList names = {"Neu"}) {
        return tables.InsertScore(1, score, [this, names](int place) mutable {
            asked << place;
            return names.isEmpty() ? QString() : names.takeFirst();
        });
    }

    QTemporaryDir dir;
    Highscore& tables = Highscore::Instance();
    QList<int> asked;
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
        asked.clear();
        EXPECT_EQ(tables.RankScore(1, c.score), c.place);
        EXPECT_EQ(Insert(c.score), c.place != 0 ? 1 : 0);
        // Element-wise: comparing a cleared list with an empty one hands memcmp a null pointer.
        EXPECT_EQ(std::vector<int>(asked.begin(), asked.end()),
                  c.place != 0 ? std::vector<int>{c.place} : std::vector<int>{});
        EXPECT_EQ(Column(0), c.scores);
        EXPECT_EQ(Column(1), c.names);
    }
}

TEST_F(InsertScoreTest, CancelStoresAnEmptyNameWrittenAsAnEmptyLine) {
    EXPECT_EQ(Insert(1000, {}), 1);
    EXPECT_EQ(tables.GetEntry(1, 1, 1), "");
    ASSERT_EQ(tables.SaveTable(Path(), 1), 1);
    EXPECT_EQ(ReadBytes(Path()),
              Lines({"", " 1000 ", "NoBody", " 120 ", "NoBody", " 90 ", "NoBody", " 70 "}));
}

TEST_F(InsertScoreTest, TypedNamesAreStoredOnOneLineInTheFilesCodePage) {
    EXPECT_EQ(Insert(95, {QString::fromUtf8("Jo\r\nhn\n € 漢 Ä\r")}), 1);
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
    EXPECT_EQ(Insert(-15, {"Min"}), 1);
    ASSERT_EQ(tables.SaveTable(Path(), 1), 1);
    EXPECT_EQ(ReadBytes(Path()),
              Lines({"NoBody", "-10 ", "Min", "-15 ", "NoBody", "-20 ", "NoBody", "-30 "}));
}

}  // namespace
}  // namespace wf

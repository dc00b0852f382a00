// The highscore window: the entry of a finished game and a table that
// cannot be loaded (a full disk on saving is measured on a real one).
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "GameFiles.h"
#include "Highscore.h"
#include "HighscoreEntry.h"
#include "HighscoreWindow.h"
#include "OnlineStrip.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

const QString kView = QStringLiteral("Online Highscore - Jetzt ansehen !!!");
const QString kEnter = QStringLiteral("Online Highscore - Jetzt eintragen !!!");

class HighscoreWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Highscore::Instance().InitTables();
        mainWindow.show();
        qputenv("WF_HIGHSCORE_SITE", "https://scores.example");
    }
    void TearDown() override { qunsetenv("WF_HIGHSCORE_SITE"); }
    static QStringList Shown(const std::array<QLabel*, 4>& labels) {
        return {labels[0]->text(), labels[1]->text(), labels[2]->text(), labels[3]->text()};
    }
    // Every message has the window's title and OK only.
    QStringList Messages() const {
        QStringList out;
        for (const ShownMessage& m : platform.messages) {
            EXPECT_EQ(m.title, "SWK Wolkenfang 3.63 Release C");
            EXPECT_EQ(m.buttons, MsgButtons::Ok);
            out << m.text;
        }
        return out;
    }

    test::GameFiles game;
    ScriptedPlatform platform;
    QWidget mainWindow;
    HighscoreEntry entry;
};

// The window opens on the table of the game (the first from the menu or for
// an unknown table) with its option checked in red; a place is asked for and
// saved before OK.
TEST_F(HighscoreWindowTest, OpensOnTheTableOfTheGameAndSavesTheEntryBeforeOk) {
    const struct {
        int table;  // 0: opened from the menu
        int score;
        int place, shown;
        QStringList scores;
    } cases[] = {
        {0, 0, 0, 1, {" 120 ", " 90 ", " 70 ", " 50 "}},
        {4, 500, 0, 1, {" 120 ", " 90 ", " 70 ", " 50 "}},
        {-1, 500, 0, 1, {" 120 ", " 90 ", " 70 ", " 50 "}},
        {2, 100, 0, 2, {" 240 ", " 180 ", " 140 ", " 100 "}},
        {3, -40, 0, 3, {" 480 ", " 360 ", " 280 ", " 200 "}},
        {1, 121, 1, 1, {" 121 ", " 120 ", " 90 ", " 70 "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        Highscore::Instance().InitTables();
        platform.prompts.clear();
        if (c.table)
            entry.HandOver(c.table, c.score);
        platform.inputAnswers = {QString("Eva")};
        HighscoreWindow form(&mainWindow, entry, game.Path());
        ASSERT_TRUE(form.Open());
        EXPECT_FALSE(mainWindow.isEnabled());
        EXPECT_EQ(form.onlineStrip->Text(), c.table ? kEnter : kView);
        EXPECT_EQ(form.ShownTable(), c.shown);
        for (int n = 1; n <= 3; ++n) {
            const QRadioButton* option = form.tableOptions[n - 1];
            EXPECT_EQ(option->isChecked(), n == c.shown);
            EXPECT_EQ(option->palette().color(QPalette::WindowText),
                      n == c.shown ? Qt::red : Qt::white);
        }
        EXPECT_EQ(Shown(form.scores), c.scores);
        EXPECT_EQ(game.Read(QStringLiteral("score%1.sre").arg(c.table)).contains("Eva"),
                  c.place != 0);
        ASSERT_EQ(platform.prompts.size(), c.place ? 1 : 0);
        if (c.place) {
            EXPECT_EQ(Shown(form.names)[c.place - 1], "Eva");
            EXPECT_EQ(platform.prompts[0].title, "Neue Highscore");
            EXPECT_EQ(platform.prompts[0].prompt,
                      QStringLiteral("Wow !!! Sie haben eine neue Highscore aufgestellt . Bitte "
                                     "tippen sie ihren Namen ein ! (Platz %1)")
                          .arg(c.place));
            EXPECT_EQ(platform.prompts[0].preset, "Default");
        }
        form.okButton->click();
        EXPECT_FALSE(entry.pending);
        EXPECT_TRUE(mainWindow.isEnabled());
    }
}

// Without a site the strip says so and its click sends nothing anywhere.
TEST_F(HighscoreWindowTest, WithoutASiteTheStripSaysSoAndSendsNothing) {
    qunsetenv("WF_HIGHSCORE_SITE");
    entry.HandOver(1, 50);
    HighscoreWindow form(&mainWindow, entry, game.Path());
    ASSERT_TRUE(form.Open());
    EXPECT_EQ(form.onlineStrip->Text(), "Online Highscore - keine Seite eingerichtet");
    form.OpenOnline();
    EXPECT_TRUE(platform.openedUrls.isEmpty());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].text.contains("highscoreseite="))
        << platform.messages[0].text.toStdString();
    qputenv("WF_HIGHSCORE_SITE", "https://scores.example");
    form.OpenOnline();
    ASSERT_EQ(platform.openedUrls.size(), 1);
    EXPECT_TRUE(platform.openedUrls[0].startsWith("https://scores.example/wfscore.php?punkte="));
}

TEST_F(HighscoreWindowTest, ATableThatCannotBeLoadedClosesTheWindow) {
    ASSERT_TRUE(QDir(game.Path()).mkdir("score2.sre"));
    entry.HandOver(1, 500);
    EXPECT_TRUE(
        QPointer<HighscoreWindow>(HighscoreWindow::ShowWindow(&mainWindow, entry, game.Path()))
            .isNull());
    EXPECT_EQ(Messages(), QStringList({"Fehler beim Laden einer Highscore-Tabelle. Highscore wird "
                                       "nicht angezeigt"}));
    EXPECT_TRUE(platform.prompts.isEmpty());
    EXPECT_FALSE(entry.pending);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_FALSE(game.Exists("score1.sre"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace wf

// The highscore window: its opening and closing steps, the entry of a
// finished game, failures of the files and the strip to the online pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "FileSizeLimit.h"
#include "Form2.h"
#include "GameFiles.h"
#include "Highscore.h"
#include "HighscoreEntry.h"
#include "OnlineLink.h"
#include "OnlineStrip.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

using test::Join;

const QString kView = QStringLiteral("Online Highscore - Jetzt ansehen !!!");
const QString kEnter = QStringLiteral("Online Highscore - Jetzt eintragen !!!");
const QString kSaveFailed = QStringLiteral(
    "Fehler beim Speichern einer Highscore-Tabelle (Es werden keine neuen Scores gespeichert)");

class Form2Test : public ::testing::Test {
  protected:
    void SetUp() override {
        Highscore::Instance().InitTables();
        mainWindow.show();
    }
    QByteArray Files() const {
        return game.Read("score1.sre") + game.Read("score2.sre") + game.Read("score3.sre");
    }
    static QStringList Shown(const std::array<QLabel*, 4>& labels) {
        QStringList out;
        for (const QLabel* label : labels)
            out << label->text();
        return out;
    }
    // The option in red (the others white), and that it is the one checked
    // and the one shown.
    static void ExpectShown(const Form2& form, int table) {
        int n = 1;
        for (const QRadioButton* option : {form.Option1, form.Option2, form.Option3}) {
            EXPECT_EQ(option->palette().color(QPalette::WindowText),
                      n == table ? QColor(255, 0, 0) : QColor(255, 255, 255))
                << n;
            EXPECT_EQ(option->isChecked(), n++ == table);
        }
        EXPECT_EQ(form.ShownTable(), table);
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

TEST_F(Form2Test, FromTheMenuItShowsTheFirstTableAndSavesNothingNew) {
    Form2 form(&mainWindow, entry, game.Path());
    ASSERT_TRUE(form.Open());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_EQ(form.Picture1->Text(), kView);
    ExpectShown(form, 1);
    EXPECT_EQ(Shown(form.Nam), QStringList(4, "NoBody"));
    // Shown as reloaded from the files the opening just saved.
    EXPECT_EQ(Shown(form.Scor), QStringList({" 120 ", " 90 ", " 70 ", " 50 "}));
    EXPECT_TRUE(platform.prompts.isEmpty() && platform.messages.isEmpty());
    const QByteArray saved = Files();
    EXPECT_EQ(saved.count("\r\n"), 24);
    // Switching only changes what is shown; OK saves the same tables again.
    for (auto [option, table] : {std::pair{form.Option3, 3}, {form.Option2, 2}}) {
        option->click();
        ExpectShown(form, table);
        EXPECT_EQ(Shown(form.Scor)[3], table == 3 ? " 200 " : " 100 ");
    }
    form.Command1->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(Files(), saved);
}

// After a game the window opens on its table, whether or not the score took
// a place; a place is asked for and saved before OK.
TEST_F(Form2Test, AfterAGameTheScoreIsSavedBeforeOkAndItsTableShown) {
    const struct {
        int table;
        const char* score;
        int place;  // 0: none
        QStringList scores;
        int shown;  // an unknown table shows the first
    } cases[] = {
        {4, "500", 0, {" 120 ", " 90 ", " 70 ", " 50 "}, 1},
        {0, "500", 0, {" 120 ", " 90 ", " 70 ", " 50 "}, 1},
        {2, "200", 2, {" 240 ", " 200 ", " 180 ", " 140 "}, 2},
        {3, "-40", 0, {" 480 ", " 360 ", " 280 ", " 200 "}, 3},
        {1, "121", 1, {" 121 ", " 120 ", " 90 ", " 70 "}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.score);
        Highscore::Instance().InitTables();
        platform.prompts.clear();
        entry.HandOver(c.table, c.score);
        platform.inputAnswers = {QString("Eva")};
        Form2 form(&mainWindow, entry, game.Path());
        ASSERT_TRUE(form.Open());
        EXPECT_EQ(form.Picture1->Text(), kEnter);
        ExpectShown(form, c.shown);
        EXPECT_EQ(Shown(form.Scor), c.scores);
        const QByteArray file = game.Read(QStringLiteral("score%1.sre").arg(c.table));
        EXPECT_EQ(file.contains("Eva"), c.place != 0);
        ASSERT_EQ(platform.prompts.size(), c.place ? 1 : 0);
        if (c.place) {
            EXPECT_EQ(Shown(form.Nam)[c.place - 1], "Eva");
            EXPECT_EQ(platform.prompts[0].title, "Neue Highscore");
            EXPECT_EQ(platform.prompts[0].prompt,
                      QStringLiteral("Wow !!! Sie haben eine neue Highscore aufgestellt . Bitte "
                                     "tippen sie ihren Namen ein ! (Platz %1)")
                          .arg(c.place));
            EXPECT_EQ(platform.prompts[0].preset, "Default");
        }
        EXPECT_TRUE(entry.EntryPending);
        form.Command1->click();
        EXPECT_FALSE(entry.EntryPending);
    }
}

TEST_F(Form2Test, ATableThatCannotBeLoadedClosesTheWindow) {
    ASSERT_TRUE(QDir(game.Path()).mkdir("score2.sre"));
    entry.HandOver(1, "500");
    QPointer<Form2> form = Form2::ShowWindow(&mainWindow, entry, game.Path());
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(Messages(), QStringList({"Fehler beim Laden einer Highscore-Tabelle. Highscore wird "
                                       "nicht angezeigt"}));
    EXPECT_TRUE(platform.prompts.isEmpty());
    EXPECT_FALSE(entry.EntryPending);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_FALSE(game.Exists("score1.sre"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Form2Test, AFailedSaveKeepsTheWindowOpenOnTheTableAsReloaded) {
    const QByteArray old = Join({"Old", " 300 ", "Old", " 200 ", "Old", " 100 ", "Old", " 0 "});
    for (int t = 1; t <= 3; ++t)
        game.Write(QStringLiteral("score%1.sre").arg(t), old);
    entry.HandOver(1, "250");
    platform.inputAnswers = {QString("Neu")};
    Form2 form(&mainWindow, entry, game.Path());
    {
        test::FileSizeLimit full(4);
        if (!full.Active())
            GTEST_SKIP() << "cannot limit the file size";
        ASSERT_TRUE(form.Open());
    }
    EXPECT_EQ(platform.prompts.size(), 1);
    EXPECT_EQ(Messages(), QStringList(3, kSaveFailed));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Shown(form.Nam), QStringList(4, "Old"));
    EXPECT_EQ(Files(), old + old + old);
    platform.messages.clear();
    {
        test::FileSizeLimit full(4);
        form.Command1->click();
    }
    EXPECT_EQ(Messages(), QStringList(3, kSaveFailed));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
}

void Click(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// After a game the strip submits once, then shows the list; closing the
// frame ends the entry, so reopening asks nothing and shows the list.
TEST_F(Form2Test, TheStripSubmitsOnceThenShowsTheList) {
    entry.HandOver(3, "1000");
    platform.inputAnswers = {QString("Max")};
    {
        Form2 form(&mainWindow, entry, game.Path());
        ASSERT_TRUE(form.Open());
        Click(form.Picture1);
        EXPECT_FALSE(entry.EntryPending);
        Click(form.Picture1);
        EXPECT_EQ(platform.openedUrls, QStringList({SubmitUrl(3, 1000), ViewUrl()}));
        EXPECT_EQ(form.Picture1->Text(), kEnter);  // not redrawn after the submit
        form.close();
        EXPECT_TRUE(mainWindow.isEnabled());
    }
    Form2 again(&mainWindow, entry, game.Path());
    ASSERT_TRUE(again.Open());
    EXPECT_EQ(again.Picture1->Text(), kView);
    EXPECT_EQ(platform.prompts.size(), 1);
    ExpectShown(again, 1);
    Click(again.Picture1);
    EXPECT_EQ(platform.openedUrls.last(), ViewUrl());
}

}  // namespace
}  // namespace wf

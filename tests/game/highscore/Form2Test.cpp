#include <gtest/gtest.h>

#include "HighscoreTestSupport.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "Form2.h"
#include "Highscore.h"
#include "HighscoreEntry.h"
#include "OnlineLink.h"
#include "OnlineStrip.h"
#include "ScriptedPlatform.h"
#include "TextCipher.h"

namespace wf {
namespace {

using test::Lines;
using test::ReadBytes;
using test::WriteBytes;

const QString kTitle = QStringLiteral("SWK Wolkenfang 3.63 Release C");
const QString kLoadFailed =
    QStringLiteral("Fehler beim Laden einer Highscore-Tabelle. Highscore wird nicht angezeigt");
const QString kSaveFailed = QStringLiteral(
    "Fehler beim Speichern einer Highscore-Tabelle (Es werden keine neuen Scores gespeichert)");
const QString kView = QStringLiteral("Online Highscore - Jetzt ansehen !!!");
const QString kEnter = QStringLiteral("Online Highscore - Jetzt eintragen !!!");
const QColor kRed(255, 0, 0);
const QColor kWhite(255, 255, 255);

QColor TextColour(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

class Form2Test : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Highscore::Instance().InitTables();
        mainWindow.show();
    }

    QString Path(int table) const { return dir.filePath(QStringLiteral("score%1.sre").arg(table)); }
    void EndGame(int table, const QString& score) { entry.HandOver(table, score); }
    static QStringList Shown(const std::array<QLabel*, 4>& labels) {
        QStringList out;
        for (const QLabel* label : labels)
            out << label->text();
        return out;
    }
    // Which option is red, and that the other two are white.
    static int RedOption(const Form2& form) {
        int red = 0;
        int n = 1;
        for (const QRadioButton* option : {form.Option1, form.Option2, form.Option3}) {
            const QColor colour = TextColour(option);
            if (colour == kRed) {
                red = red == 0 ? n : -1;
            } else if (colour != kWhite) {
                return -2;
            }
            ++n;
        }
        return red;
    }
    QStringList MessageTexts() const {
        QStringList out;
        for (const ShownMessage& m : platform.messages) {
            EXPECT_EQ(m.title, kTitle);
            EXPECT_EQ(m.buttons, MsgButtons::Ok);
            out << m.text;
        }
        return out;
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    QWidget mainWindow;
    HighscoreEntry entry;
};

TEST_F(Form2Test, OpeningFromTheMenuShowsTheFirstTable) {
    Form2 form(&mainWindow, entry, dir.path());
    ASSERT_TRUE(form.Open());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), "Highscore");
    EXPECT_EQ(form.Picture1->Text(), kView);
    EXPECT_EQ(form.ShownTable(), 1);
    EXPECT_TRUE(form.Option1->isChecked());
    EXPECT_EQ(RedOption(form), 1);
    EXPECT_EQ(Shown(form.Nam), QStringList(4, "NoBody"));
    // Shown as reloaded from the files the opening just saved.
    EXPECT_EQ(Shown(form.Scor), QStringList({" 120 ", " 90 ", " 70 ", " 50 "}));
    EXPECT_TRUE(platform.prompts.isEmpty());
    EXPECT_TRUE(platform.messages.isEmpty());
    // The opening save already created complete files.
    EXPECT_EQ(ReadBytes(Path(3)),
              Lines({"NoBody", " 480 ", "NoBody", " 360 ", "NoBody", " 280 ", "NoBody", " 200 "}));

    // Switching only changes what is shown.
    const QByteArray before = ReadBytes(Path(1)) + ReadBytes(Path(2)) + ReadBytes(Path(3));
    form.Option3->click();
    EXPECT_EQ(form.ShownTable(), 3);
    EXPECT_EQ(RedOption(form), 3);
    EXPECT_EQ(Shown(form.Scor), QStringList({" 480 ", " 360 ", " 280 ", " 200 "}));
    form.Option2->click();
    EXPECT_EQ(RedOption(form), 2);
    EXPECT_EQ(Shown(form.Scor), QStringList({" 240 ", " 180 ", " 140 ", " 100 "}));
    EXPECT_EQ(ReadBytes(Path(1)) + ReadBytes(Path(2)) + ReadBytes(Path(3)), before);

    form.Command1->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(ReadBytes(Path(1)) + ReadBytes(Path(2)) + ReadBytes(Path(3)), before);
}

TEST_F(Form2Test, AfterAGameTheScoreIsSavedBeforeOkAndItsTableShown) {
    EndGame(2, "200");
    platform.inputAnswers = {QString("Eva")};
    Form2 form(&mainWindow, entry, dir.path());
    ASSERT_TRUE(form.Open());
    ASSERT_EQ(platform.prompts.size(), 1);
    EXPECT_EQ(platform.prompts[0].title, "Neue Highscore");
    EXPECT_EQ(platform.prompts[0].prompt,
              "Wow !!! Sie haben eine neue Highscore aufgestellt . Bitte tippen sie ihren Namen "
              "ein ! (Platz 2)");
    EXPECT_EQ(platform.prompts[0].preset, "Default");
    EXPECT_EQ(form.Picture1->Text(), kEnter);
    EXPECT_EQ(form.ShownTable(), 2);
    EXPECT_TRUE(form.Option2->isChecked());
    EXPECT_EQ(RedOption(form), 2);
    EXPECT_EQ(Shown(form.Nam), QStringList({"NoBody", "Eva", "NoBody", "NoBody"}));
    EXPECT_EQ(Shown(form.Scor), QStringList({" 240 ", " 200 ", " 180 ", " 140 "}));
    EXPECT_EQ(ReadBytes(Path(2)),
              Lines({"NoBody", " 240 ", "Eva", " 200 ", "NoBody", " 180 ", "NoBody", " 140 "}));
    EXPECT_TRUE(entry.EntryPending);
    form.Command1->click();
    EXPECT_FALSE(entry.EntryPending);
}

TEST_F(Form2Test, AScoreWithoutAPlaceStillOpensOnItsTable) {
    EndGame(3, "-40");
    Form2 form(&mainWindow, entry, dir.path());
    ASSERT_TRUE(form.Open());
    EXPECT_TRUE(platform.prompts.isEmpty());
    EXPECT_EQ(form.Picture1->Text(), kEnter);
    EXPECT_EQ(RedOption(form), 3);
    EXPECT_EQ(Shown(form.Scor), QStringList({" 480 ", " 360 ", " 280 ", " 200 "}));
}

TEST_F(Form2Test, ClosingTheFrameEndsTheEntrySoReopeningAsksNothing) {
    EndGame(1, "130");
    platform.inputAnswers = {QString("Ida")};
    {
        Form2 form(&mainWindow, entry, dir.path());
        ASSERT_TRUE(form.Open());
        form.close();
        EXPECT_FALSE(entry.EntryPending);
    }
    Form2 again(&mainWindow, entry, dir.path());
    ASSERT_TRUE(again.Open());
    EXPECT_EQ(platform.prompts.size(), 1);
    EXPECT_EQ(again.Picture1->Text(), kView);
    EXPECT_EQ(again.ShownTable(), 1);
    EXPECT_EQ(Shown(again.Nam), QStringList({"Ida", "NoBody", "NoBody", "NoBody"}));
}

TEST_F(Form2Test, ATableThatCannotBeLoadedClosesTheWindow) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("score2.sre"));
    EndGame(1, "500");
    QPointer<Form2> form = Form2::ShowWindow(&mainWindow, entry, dir.path());
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(MessageTexts(), QStringList({kLoadFailed}));
    EXPECT_TRUE(platform.prompts.isEmpty());
    EXPECT_FALSE(entry.EntryPending);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_FALSE(QFile::exists(Path(1)));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Form2Test, AFailedSaveKeepsTheWindowOpenOnTheTableAsReloaded) {
    const QByteArray old = Lines({"Old", " 300 ", "Old", " 200 ", "Old", " 100 ", "Old", " 0 "});
    for (int t = 1; t <= 3; ++t)
        WriteBytes(Path(t), old);
    EndGame(1, "250");
    platform.inputAnswers = {QString("Neu")};
    Form2 form(&mainWindow, entry, dir.path());
    {
        test::FileSizeLimit full(4);
        if (!full.Active())
            GTEST_SKIP() << "cannot limit the file size";
        ASSERT_TRUE(form.Open());
    }
    EXPECT_EQ(platform.prompts.size(), 1);
    EXPECT_EQ(MessageTexts(), QStringList(3, kSaveFailed));
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_EQ(Shown(form.Nam), QStringList(4, "Old"));
    EXPECT_EQ(Shown(form.Scor), QStringList({" 300 ", " 200 ", " 100 ", " 0 "}));
    for (int t = 1; t <= 3; ++t)
        EXPECT_EQ(ReadBytes(Path(t)), old);

    platform.messages.clear();
    {
        test::FileSizeLimit full(4);
        form.Command1->click();
    }
    EXPECT_EQ(MessageTexts(), QStringList(3, kSaveFailed));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
}

void Click(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

TEST_F(Form2Test, TheStripSubmitsOnceThenShowsTheList) {
    EndGame(3, "1000");
    platform.inputAnswers = {QString("Max")};
    Form2 form(&mainWindow, entry, dir.path());
    ASSERT_TRUE(form.Open());
    Click(form.Picture1);
    EXPECT_FALSE(entry.EntryPending);
    Click(form.Picture1);
    ASSERT_EQ(platform.openedUrls.size(), 2);
    EXPECT_EQ(platform.openedUrls[0], SubmitUrl(3, 1000));
    EXPECT_TRUE(platform.openedUrls[0].endsWith(
        QString::fromLatin1(EncodeText("wfgbeta|120|1000|1|", ScoreKey, true))));
    EXPECT_EQ(platform.openedUrls[1], ViewUrl());
    // The strip keeps its text; a reopening offers the list only.
    EXPECT_EQ(form.Picture1->Text(), kEnter);
    form.Command1->click();
    Form2 again(&mainWindow, entry, dir.path());
    ASSERT_TRUE(again.Open());
    EXPECT_EQ(again.Picture1->Text(), kView);
    EXPECT_EQ(platform.prompts.size(), 1);
}

TEST_F(Form2Test, FromTheMenuTheStripOpensTheListWithoutQuery) {
    Form2 form(&mainWindow, entry, dir.path());
    ASSERT_TRUE(form.Open());
    Click(form.Picture1);
    EXPECT_EQ(platform.openedUrls, QStringList({ViewUrl()}));
    EXPECT_FALSE(platform.openedUrls[0].contains('?'));
}

TEST_F(Form2Test, TheStripTextIsCentred) {
    OnlineStrip strip;
    strip.resize(440, 38);
    strip.SetText(kEnter);
    const QImage image = strip.grab().toImage();
    const QRgb background = image.pixel(image.width() / 2, 2);
    // The ink of the text: pixels with a strong red share, unlike the band.
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > 150 && p != background) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, left) << "no text drawn";
    EXPECT_NEAR(left, image.width() - 1 - right, 6);
    EXPECT_NEAR((top + bottom) / 2.0, image.height() / 2.0, 4);
}

}  // namespace
}  // namespace wf

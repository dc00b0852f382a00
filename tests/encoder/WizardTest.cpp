// The wizard: the pages, the run and the chooser; the progress bar's fill.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleHints>
#include <QThread>
#include <QWindow>

#include "GameFiles.h"
#include "ProgressBox.h"
#include "ScriptedPlatform.h"
#include "frmAssistentCOD.h"

namespace wf::test {
namespace {

class Wizard : public ::testing::Test {
  protected:
    void SetUp() override {
        // game.ini holds names in Windows-1252.
        g.Write("game.ini", ModList({"welt", "geheim", "Wiese \xE4"}));
        plain = g.WriteMod("welt", MakeMod());
        ModSpec encoded = MakeMod();
        encoded.encoded = true;
        g.WriteMod("geheim", encoded);
        wizard = std::make_unique<frmAssistentCOD>(g.Path());
        QObject::connect(wizard.get(), &frmAssistentCOD::programEnds, [this] { ++ends; });
        wizard->show();
    }
    void GoTo(int page) {
        while (wizard->pCP < page)
            wizard->Command2_Click();
    }

    ScriptedPlatform platform;
    GameFiles g;
    QMap<QByteArray, QByteArray> plain;
    std::unique_ptr<frmAssistentCOD> wizard;
    int ends = 0;
};

// Page 1 looks for the MODs each time it is entered.
TEST_F(Wizard, PageOneReadsTheModsOnEveryEntry) {
    EXPECT_FALSE(wizard->Command3->isEnabled());
    EXPECT_EQ(wizard->engine().ModCount(), 0);
    wizard->Command2_Click();
    EXPECT_EQ(wizard->VisiblePage(), 1);
    EXPECT_TRUE(wizard->Command3->isEnabled());
    EXPECT_EQ(wizard->engine().ModCount(), 3);
    wizard->Command2_Click();
    g.Write("game.ini", ModList({"welt", "geheim", "neu", "x"}));
    wizard->Command3_Click();
    EXPECT_EQ(wizard->VisiblePage(), 1);
    EXPECT_EQ(wizard->engine().ModCount(), 4);
    wizard->Command3_Click();
    EXPECT_EQ(wizard->VisiblePage(), 0);
    EXPECT_FALSE(wizard->Command3->isEnabled());
    EXPECT_EQ(ends, 0);
}

TEST_F(Wizard, RunEndsOnTheSummaryWithTheLogOneClickAway) {
    const QString backup = "welt.quelltexte.gesichert.am.ersten.mai";
    GoTo(1);
    wizard->Text1->setText("welt");
    GoTo(2);
    wizard->Text2->setText(backup);
    // A double click: the first runs at once and moves on, the second meets
    // the summary and leaves it open.
    wizard->Command2->click();
    wizard->Command2->click();
    EXPECT_TRUE(wizard->isVisible());

    EXPECT_EQ(wizard->pCP, 4);
    EXPECT_EQ(wizard->VisiblePage(), 4);
    EXPECT_FALSE(wizard->Command1->isEnabled());
    EXPECT_EQ(wizard->Label12->text(), "welt");
    EXPECT_EQ(wizard->Label13->text(), backup);

    QString log = wizard->engine().Log();
    log.replace("\r\n", "\n");
    EXPECT_EQ(wizard->txtLog->toPlainText(), log);
    EXPECT_TRUE(wizard->txtLog->textCursor().atEnd());
    EXPECT_TRUE(log.contains("\nSicherung abgeschlossen !!\n"));
    EXPECT_EQ(wizard->Picture1->Percent(), 100);
    EXPECT_EQ(g.HowItLoads("welt", plain), LoadsAs::Encoded);
    EXPECT_TRUE(g.Exists("mods/" + backup + "/mod.ini"));

    wizard->Command3_Click();  // "Logdatei"
    EXPECT_EQ(wizard->VisiblePage(), 3);
    EXPECT_EQ(wizard->pCP, 4);
    EXPECT_FALSE(wizard->Command3->isEnabled());
    EXPECT_TRUE(wizard->Command2->isEnabled());
    // Long lines wrap in a narrow window instead of scrolling sideways.
    wizard->resize(460, 450);
    QCoreApplication::processEvents();
    int widest = 0;
    for (const QString& line : wizard->txtLog->toPlainText().split('\n'))
        widest = std::max(widest, wizard->txtLog->fontMetrics().horizontalAdvance(line));
    ASSERT_GT(widest, wizard->txtLog->viewport()->width());
    EXPECT_EQ(wizard->txtLog->horizontalScrollBar()->maximum(), 0);

    // A deliberate click on "Assistent schließen" ends the program.
    QThread::msleep(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    wizard->Command2->click();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Wizard, WithoutBackupTheSummaryHidesTheSourceDirectory) {
    GoTo(1);
    wizard->Text1->setText("welt");
    GoTo(2);
    wizard->Check1->setChecked(false);
    EXPECT_FALSE(wizard->Frame2->isEnabled());
    GoTo(3);
    EXPECT_EQ(wizard->pCP, 4);
    EXPECT_TRUE(wizard->Label13->isHidden());
    EXPECT_FALSE(g.Exists("mods/wolkfng4.src"));
    EXPECT_EQ(g.HowItLoads("welt", plain), LoadsAs::Encoded);
}

TEST_F(Wizard, AbbrechenEnds) {
    GoTo(2);
    wizard->Command1_Click();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(g.Exists("mods/welt/mod.cod"));
}

TEST_F(Wizard, WechselnOpensTheChooserAndDisablesTheWizard) {
    GoTo(1);
    wizard->Command4_Click();
    frmMODwaehlen* chooser = wizard->Chooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(wizard->isEnabled());
    EXPECT_EQ(chooser->windowHandle()->transientParent(), wizard->windowHandle());
    ASSERT_EQ(chooser->List1->count(), 3);
    EXPECT_EQ(chooser->List1->item(2)->text(), "Wiese ä");

    chooser->List1->setCurrentRow(1);  // encoded: refused, stays open
    chooser->Command1_Click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Codiert");
    EXPECT_EQ(platform.messages[0].text, "Ein codiertes MOD kann nicht noch mal codiert werden !");
    EXPECT_FALSE(wizard->isEnabled());
    EXPECT_EQ(wizard->Text1->text(), "wolkfng4");

    chooser->List1->setCurrentRow(0);
    chooser->Command1_Click();
    EXPECT_TRUE(wizard->isEnabled());
    EXPECT_EQ(wizard->Text1->text(), "welt");
    EXPECT_EQ(wizard->Chooser(), nullptr);

    // Abbrechen leaves Text1 as it is.
    wizard->Command4_Click();
    ASSERT_NE(wizard->Chooser(), nullptr);
    wizard->Chooser()->List1->setCurrentRow(1);
    wizard->Chooser()->Command2_Click();
    EXPECT_TRUE(wizard->isEnabled());
    EXPECT_EQ(wizard->Text1->text(), "welt");

    // OK with nothing selected closes and changes nothing either.
    wizard->Command4_Click();
    ASSERT_NE(wizard->Chooser(), nullptr);
    wizard->Chooser()->List1->setCurrentRow(-1);
    wizard->Chooser()->Command1_Click();
    EXPECT_EQ(wizard->Chooser(), nullptr);
    EXPECT_TRUE(wizard->isEnabled());
    EXPECT_EQ(wizard->Text1->text(), "welt");
    EXPECT_EQ(platform.messages.size(), 1);
}

// The bar fills the inside of the border, and never beyond it.
TEST(ProgressBox, BarRect) {
    const QRect full(QPoint(1, 1), QPoint(198, 18));
    const std::pair<int, QRect> cases[] = {
        {0, QRect()},
        {1, QRect()} /* 2 - 2 = 0 */,
        {5, QRect(QPoint(1, 1), QPoint(8, 18))},
        {100, full},
        {385, full},
        {2000000000, full},
        {-5, QRect()},
    };
    for (const auto& [percent, bar] : cases)
        EXPECT_EQ(ProgressBox::BarRect(QSize(200, 20), percent), bar) << percent;
}

}  // namespace
}  // namespace wf::test

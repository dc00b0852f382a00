// The wizard: the navigation, the run and the chooser.
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

#include "ModFixture.h"
#include "ProgressBox.h"
#include "ScriptedPlatform.h"
#include "SealAnimation.h"
#include "frmAssistentCOD.h"

namespace wf::test {
namespace {

class Wizard : public ::testing::Test {
  protected:
    void SetUp() override {
        fx.WriteGameIni({"welt", "geheim"});
        plain = fx.AddMod(QStringLiteral("welt"), StandardMod());
        ModLayout encoded = StandardMod();
        encoded.type = "code";
        fx.AddMod(QStringLiteral("geheim"), encoded);
        wizard = std::make_unique<frmAssistentCOD>(fx.GameDir());
        QObject::connect(wizard.get(), &frmAssistentCOD::programEnds, [this] { ++ends; });
        wizard->show();
    }
    void GoTo(int page) {
        while (wizard->pCP < page)
            wizard->Command2_Click();
    }

    ScriptedPlatform platform;
    ModFixture fx;
    QMap<QByteArray, QByteArray> plain;
    std::unique_ptr<frmAssistentCOD> wizard;
    int ends = 0;
};

TEST_F(Wizard, NavigationAndDiscoveryOnEveryEntryOfPageOne) {
    EXPECT_EQ(wizard->pCP, 0);
    EXPECT_EQ(wizard->VisiblePage(), 0);
    EXPECT_FALSE(wizard->Command3->isEnabled());
    EXPECT_EQ(wizard->engine().ModCount(), 0);  // not yet looked for
    EXPECT_EQ(wizard->Text1->text(), QStringLiteral("wolkfng4"));
    EXPECT_EQ(wizard->Text2->text(), QStringLiteral("wolkfng4.src"));

    wizard->Command2_Click();
    EXPECT_EQ(wizard->pCP, 1);
    EXPECT_TRUE(wizard->picContainer[1]->isVisible());
    EXPECT_FALSE(wizard->picContainer[0]->isVisible());
    EXPECT_TRUE(wizard->Command3->isEnabled());
    EXPECT_EQ(wizard->engine().ModCount(), 2);

    wizard->Command2_Click();
    EXPECT_EQ(wizard->pCP, 2);
    fx.WriteGameIni({"welt", "geheim", "neu"});
    wizard->Command3_Click();
    EXPECT_EQ(wizard->pCP, 1);
    EXPECT_EQ(wizard->engine().ModCount(), 3);
    wizard->Command3_Click();
    EXPECT_EQ(wizard->pCP, 0);
    EXPECT_FALSE(wizard->Command3->isEnabled());
    EXPECT_EQ(ends, 0);
}

TEST_F(Wizard, RunEndsOnTheSummaryWithTheLogOneClickAway) {
    const QString backup = QStringLiteral("welt.quelltexte.gesichert.am.ersten.mai");
    GoTo(1);
    wizard->Text1->setText(QStringLiteral("welt"));
    GoTo(2);
    wizard->Text2->setText(backup);
    // A double click: the first runs at once and moves on, the second meets
    // the summary and leaves it open.
    wizard->Command2->click();
    wizard->Command2->click();
    EXPECT_TRUE(wizard->isVisible());

    EXPECT_EQ(wizard->pCP, 4);
    EXPECT_EQ(wizard->VisiblePage(), 4);
    EXPECT_EQ(wizard->Command2->text(), QStringLiteral("Assistent schließen"));
    EXPECT_EQ(wizard->Command3->text(), QStringLiteral("Logdatei"));
    EXPECT_FALSE(wizard->Command1->isEnabled());
    EXPECT_EQ(wizard->Label12->text(), QStringLiteral("welt"));
    EXPECT_EQ(wizard->Label13->text(), backup);
    EXPECT_FALSE(wizard->Label13->isHidden());
    EXPECT_TRUE(wizard->Image2->IsRunning());

    QString log = wizard->engine().Log();
    log.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(wizard->txtLog->toPlainText(), log);
    EXPECT_TRUE(wizard->txtLog->textCursor().atEnd());
    EXPECT_TRUE(log.contains(QStringLiteral("\nSicherung abgeschlossen !!\n")));
    EXPECT_EQ(wizard->Picture1->Percent(), 100);
    EXPECT_EQ(HowItLoads(fx, QStringLiteral("welt"), plain), LoadsAs::Encoded);
    EXPECT_TRUE(fx.Exists("mods/" + backup + "/mod.ini"));

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
    wizard->Text1->setText(QStringLiteral("welt"));
    GoTo(2);
    wizard->Check1->setChecked(false);
    EXPECT_FALSE(wizard->Frame2->isEnabled());
    GoTo(3);
    EXPECT_EQ(wizard->pCP, 4);
    EXPECT_TRUE(wizard->Label11->isHidden());
    EXPECT_TRUE(wizard->Label13->isHidden());
    EXPECT_FALSE(fx.Exists(QStringLiteral("mods/wolkfng4.src")));
    EXPECT_EQ(HowItLoads(fx, QStringLiteral("welt"), plain), LoadsAs::Encoded);
}

TEST_F(Wizard, AbbrechenEnds) {
    GoTo(2);
    wizard->Command1_Click();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(fx.Exists(QStringLiteral("mods/welt/mod.cod")));
}

TEST_F(Wizard, WechselnOpensTheChooserAndDisablesTheWizard) {
    GoTo(1);
    wizard->Command4_Click();
    frmMODwaehlen* chooser = wizard->Chooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(wizard->isEnabled());
    EXPECT_EQ(chooser->windowHandle()->transientParent(), wizard->windowHandle());
    ASSERT_EQ(chooser->List1->count(), 2);

    chooser->List1->setCurrentRow(1);  // encoded: refused, stays open
    chooser->Command1_Click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Codiert"));
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("Ein codiertes MOD kann nicht noch mal codiert werden !"));
    EXPECT_FALSE(wizard->isEnabled());
    EXPECT_EQ(wizard->Text1->text(), QStringLiteral("wolkfng4"));

    chooser->List1->setCurrentRow(0);
    chooser->Command1_Click();
    EXPECT_TRUE(wizard->isEnabled());
    EXPECT_EQ(wizard->Text1->text(), QStringLiteral("welt"));
    EXPECT_EQ(wizard->Chooser(), nullptr);

    // Abbrechen leaves Text1 as it is.
    wizard->Command4_Click();
    ASSERT_NE(wizard->Chooser(), nullptr);
    wizard->Chooser()->List1->setCurrentRow(1);
    wizard->Chooser()->Command2_Click();
    EXPECT_TRUE(wizard->isEnabled());
    EXPECT_EQ(wizard->Text1->text(), QStringLiteral("welt"));

    // OK with nothing selected closes and changes nothing either.
    wizard->Command4_Click();
    ASSERT_NE(wizard->Chooser(), nullptr);
    wizard->Chooser()->List1->setCurrentRow(-1);
    wizard->Chooser()->Command1_Click();
    EXPECT_EQ(wizard->Chooser(), nullptr);
    EXPECT_TRUE(wizard->isEnabled());
    EXPECT_EQ(wizard->Text1->text(), QStringLiteral("welt"));
    EXPECT_EQ(platform.messages.size(), 1);
}

TEST(SealAnimation, PressesAndLifts) {
    EXPECT_DOUBLE_EQ(SealAnimation::Lift(0), 1.0);
    EXPECT_DOUBLE_EQ(SealAnimation::Lift(35), 0.0);
    EXPECT_DOUBLE_EQ(SealAnimation::Lift(SealAnimation::kFrames - 1), 1.0);
    SealAnimation anim;
    for (int i = 0; i < SealAnimation::kFrames; ++i)
        anim.Advance();
    EXPECT_EQ(anim.Frame(), 0);
}

}  // namespace
}  // namespace wf::test

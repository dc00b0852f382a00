// The wizard: its pages, the run and the chooser.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QThread>
#include <QWindow>
#include <string>

#include "GameFiles.h"
#include "ScriptedPlatform.h"
#include "SealWizard.h"

namespace wf::test {
namespace {

class Wizard : public ::testing::Test {
  protected:
    void SetUp() override {
        // game.ini holds names in Windows-1252.
        g.Write("game.ini", ModList({"welt", "geheim", "Wiese \xE4"}));
        plain = g.WriteMod("welt", MakeMod());
        ModDraft encoded = MakeMod();
        encoded.encoded = true;
        g.WriteMod("geheim", encoded);
        wizard = std::make_unique<SealWizard>(g.Path());
        QObject::connect(wizard.get(), &SealWizard::programEnds, [this] { ++ends; });
        wizard->show();
    }
    void GoTo(int page) {
        while (wizard->currentPage < page)
            wizard->OnNext();
    }

    ScriptedPlatform platform;
    GameFiles g;
    QMap<QByteArray, QByteArray> plain;
    std::unique_ptr<SealWizard> wizard;
    int ends = 0;
};

// Page 1 rereads game.ini; Abbrechen ends the program with nothing encoded.
TEST_F(Wizard, PageOneRereadsAndAbbrechenEnds) {
    GoTo(2);
    g.Write("game.ini", ModList({"welt", "geheim", "neu", "x"}));
    wizard->OnBack();
    EXPECT_EQ(wizard->engine().ModCount(), 4);
    wizard->OnCancel();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(g.HowItLoads("welt", plain), LoadsAs::Plain);
}

TEST_F(Wizard, RunEndsOnTheSummaryWithTheLogOneClickAway) {
    GoTo(1);
    wizard->modNameEdit->setText("welt");
    GoTo(2);
    wizard->backupNameEdit->setText("welt.src");
    // A double click: the second meets the summary and leaves it open.
    wizard->nextButton->click();
    wizard->nextButton->click();
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(wizard->VisiblePage(), 4);
    QString log = wizard->engine().Log();
    EXPECT_TRUE(log.contains("\r\nSicherung abgeschlossen !!\r\n"));
    EXPECT_EQ(wizard->logView->toPlainText(), log.replace("\r\n", "\n"));
    EXPECT_TRUE(wizard->logView->textCursor().atEnd());
    EXPECT_EQ(g.HowItLoads("welt", plain), LoadsAs::Encoded);
    EXPECT_EQ(g.HowItLoads("welt.src", plain), LoadsAs::Plain);
    wizard->OnBack();  // the log
    EXPECT_EQ(wizard->VisiblePage(), 3);
    // A deliberate click on the last page ends the program.
    QThread::msleep(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    wizard->nextButton->click();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(platform.messages.isEmpty());
}

// The chooser is modal, decodes the names (Windows-1252) and takes only a
// plain MOD; Abbrechen, and OK without a choice, take none.
TEST_F(Wizard, ChooserTakesOnlyAPlainMod) {
    GoTo(1);
    const std::tuple<int, bool, const char*> tries[] = {{1, true, "wolkfng4"},
                                                        {1, false, "wolkfng4"},
                                                        {-1, true, "wolkfng4"},
                                                        {0, true, "welt"},
                                                        {1, false, "welt"}};
    for (const auto& [row, ok, taken] : tries) {
        SCOPED_TRACE("row " + std::to_string(row) + (ok ? " OK" : " Abbrechen") + " -> " + taken);
        wizard->OnChangeMod();
        ModChooser* chooser = wizard->Chooser();
        EXPECT_FALSE(wizard->isEnabled());
        EXPECT_EQ(chooser->windowHandle()->transientParent(), wizard->windowHandle());
        EXPECT_EQ(chooser->modList->item(2)->text(), "Wiese ä");
        chooser->modList->setCurrentRow(row);
        ok ? chooser->OnOk() : chooser->OnCancel();
        if (row == 1 && ok)  // refused: stays open
            chooser->OnCancel();
        EXPECT_EQ(wizard->Chooser(), nullptr);
        EXPECT_TRUE(wizard->isEnabled());
        EXPECT_EQ(wizard->modNameEdit->text(), taken);
    }
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Codiert");
    EXPECT_EQ(platform.messages[0].text, "Ein codiertes MOD kann nicht noch mal codiert werden !");
}

}  // namespace
}  // namespace wf::test

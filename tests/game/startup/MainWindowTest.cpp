// The main window: its shortcuts and the close question.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>

#include "GameFiles.h"
#include "MainWindow.h"
#include "ScriptedPlatform.h"
#include "SilentAudio.h"

namespace wf {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { game.WriteGame(test::MakeMod({{"BMP", 320, 200}})); }

    ScriptedPlatform platform;
    test::GameFiles game;
    MainWindow form{game.Path(), std::make_unique<SilentSound>(), std::make_unique<SilentMusic>()};
};

TEST_F(MainWindowTest, EveryMenuShortcutIsUnique) {
    QStringList shortcuts;
    for (QAction* a : form.menuBar()->findChildren<QAction*>()) {
        if (a->isSeparator() || a->menu())
            continue;
        const QString keys = a->shortcut().toString();
        EXPECT_TRUE(!keys.isEmpty() && !shortcuts.contains(keys)) << a->objectName().toStdString();
        shortcuts << keys;
    }
    EXPECT_GT(shortcuts.size(), kBackgroundEntries);
}

TEST_F(MainWindowTest, ClosingAsksOnlyDuringAGame) {
    form.show();
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(platform.messages.isEmpty());
    form.show();
    form.State().phase = GamePhase::Running;
    platform.messageAnswers = {MsgResult::No};
    EXPECT_FALSE(form.close());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Wirklich??");
    EXPECT_EQ(platform.messages[0].text, "Wollen Sie wirklich das laufende Spiel beenden ???");
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(form.isVisible() && form.State().Running());
    form.findChild<QAction*>("quit")->trigger();  // "Beenden" asks the same way; Yes ends
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_FALSE(form.isVisible());
}

}  // namespace
}  // namespace wf

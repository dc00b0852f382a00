// The main window: its shortcuts, the close question and the windows that
// borrow it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QWindow>

#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "Form9.h"
#include "GameFiles.h"
#include "ScriptedPlatform.h"
#include "SilentAudio.h"

namespace wf {
namespace {

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override { game.WriteGame(test::MakeMod({{"BMP", 320, 200}})); }
    QAction* Action(const char* name) { return form.findChild<QAction*>(name); }

    ScriptedPlatform platform;
    test::GameFiles game;
    Form1 form{game.Path(), std::make_unique<SilentSound>(), std::make_unique<SilentMusic>()};
};

// The visible top-level windows of the given kind.
template <typename Window = QWidget>
QList<Window*> Open() {
    QList<Window*> open;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && qobject_cast<Window*>(w))
            open << qobject_cast<Window*>(w);
    }
    return open;
}

// The window that action opens, or nullptr.
QWidget* Opens(const std::function<void()>& action) {
    const QList<QWidget*> before = Open();
    action();
    for (QWidget* w : Open()) {
        if (!before.contains(w))
            return w;
    }
    return nullptr;
}

TEST_F(Form1Test, EveryMenuShortcutIsUnique) {
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

TEST_F(Form1Test, ClosingAsksOnlyDuringAGame) {
    form.show();
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(platform.messages.isEmpty());
    form.show();
    form.State().gameRunning = true;
    platform.messageAnswers = {MsgResult::No};
    EXPECT_FALSE(form.close());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Wirklich??");
    EXPECT_EQ(platform.messages[0].text, "Wollen Sie wirklich das laufende Spiel beenden ???");
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(form.isVisible() && form.State().gameRunning);
    Action("erwer")->trigger();  // "Beenden" asks the same way; Yes ends
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_FALSE(form.isVisible());
}

// Every window that borrows the main window, opened from the menu and closed
// in every way: the main window takes input exactly when none is open.
TEST_F(Form1Test, BorrowingWindowsGiveTheMainWindowBackHoweverTheyClose) {
    form.show();
    const std::pair<const char*, std::function<QPushButton*(QWidget*)>> windows[] = {
        {"gdsf", [](QWidget* w) { return qobject_cast<Form2*>(w)->Command1; }},
        {"erte", [](QWidget* w) { return qobject_cast<Form3*>(w)->Command1; }},
        {"info", [](QWidget* w) { return qobject_cast<Form4*>(w)->Command1; }},
        {"kjhk", [](QWidget* w) { return qobject_cast<Form5*>(w)->Command4; }},
        {"mod", [](QWidget* w) { return qobject_cast<Form9*>(w)->Command3; }},
    };
    for (const auto& [entry, button] : windows) {
        for (const char* way : {"own button", "window frame"}) {
            SCOPED_TRACE(testing::Message() << entry << ", " << way);
            const QList<QWidget*> before = Open();
            QWidget* opened = Opens([&] { Action(entry)->trigger(); });
            ASSERT_NE(opened, nullptr);
            EXPECT_TRUE(!form.isEnabled() && opened->isEnabled());
            EXPECT_EQ(opened->windowHandle()->transientParent(), form.windowHandle());
            if (way[0] == 'o')
                button(opened)->click();
            else
                opened->windowHandle()->close();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(form.isEnabled());
            EXPECT_EQ(Open(), before);
        }
    }
}

}  // namespace
}  // namespace wf

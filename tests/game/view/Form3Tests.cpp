// The user-defined mode dialog driven through its controls.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

#include "Form3.h"

namespace wf {
namespace {

class Form3Test : public ::testing::Test {
  protected:
    // Opens the dialog, checks what it shows, sets the bars and leaves it by
    // 2 (OK), 1 (Cancel) or 0 (the close control).
    void Use(int shownSeconds, int shownFps, int seconds, int fps, int leaveBy) {
        QPointer<Form3> form = new Form3(&mainWindow, state, menu, [this] { ++menuChanges; });
        form->show();
        EXPECT_EQ(form->Label3->text(), QString::number(shownSeconds));
        EXPECT_EQ(form->HScroll1->value(), shownSeconds);
        EXPECT_EQ(form->Label4->text(), QString::number(shownFps));
        EXPECT_EQ(form->HScroll2->value(), shownFps);
        form->HScroll1->setValue(seconds);
        form->HScroll2->setValue(fps);
        if (leaveBy == 0)
            form->close();
        else
            (leaveBy == 2 ? form->Command2 : form->Command1)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(form.isNull()) << "the dialog is destroyed when it closes";
    }
    bool AnyLengthMark() const { return menu.trz.checked || menu.wtu.checked || menu.wetz.checked; }

    QWidget mainWindow;
    GameState state;
    MenuModel menu;
    int menuChanges = 0;
};

TEST_F(Form3Test, FirstOpeningShowsTheInitialValuesAndRanges) {
    Form3 form(&mainWindow, state, menu, [] {});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Benutzerdefieniert "));
    const struct {
        QScrollBar* bar;
        QLabel* label;
        int minimum, maximum, page;
    } bars[] = {{form.HScroll1, form.Label3, 10, 360, 40},
                {form.HScroll2, form.Label4, 5, 100, 10}};
    for (const auto& b : bars) {
        EXPECT_EQ(b.label->text(), QString::number(b.minimum));
        EXPECT_EQ(b.bar->value(), b.minimum);
        EXPECT_EQ(b.bar->pageStep(), b.page);
        EXPECT_EQ(b.bar->singleStep(), 1);
        b.bar->setValue(b.minimum - 1);
        EXPECT_EQ(b.label->text(), QString::number(b.minimum))
            << "the bar keeps the value in range";
        b.bar->setValue(1000);
        EXPECT_EQ(b.label->text(), QString::number(b.maximum));
    }
}

TEST_F(Form3Test, ConfirmSelectsTheModeCancelClearsItCloseChangesNothing) {
    Use(10, 5, 200, 50, 1);  // cancelled before any confirmation
    EXPECT_FALSE(state.customMode);
    EXPECT_TRUE(menu.trz.checked);
    EXPECT_TRUE(state.customTime.isEmpty());
    EXPECT_EQ(menuChanges, 0);

    Use(10, 5, 125, 33, 2);
    EXPECT_TRUE(state.customMode);
    EXPECT_EQ(state.customTime, "125");
    EXPECT_EQ(state.customFps, "33");
    EXPECT_FALSE(AnyLengthMark());
    EXPECT_EQ(menuChanges, 1);

    Use(125, 33, 10, 100, 0);
    EXPECT_TRUE(state.customMode);
    EXPECT_EQ(state.customTime, "125");
    EXPECT_EQ(menuChanges, 1);

    Use(125, 33, 300, 20, 1);  // after a confirmation the values and marks stay
    EXPECT_FALSE(state.customMode);
    EXPECT_FALSE(AnyLengthMark());
    EXPECT_EQ(state.customTime, "125");
    EXPECT_EQ(state.customFps, "33");

    state.customTime = "0";  // a stored length of 0 shows the initial values
    state.customFps = "50";
    Use(10, 5, 360, 100, 2);
    EXPECT_EQ(state.customTime, "360");
    EXPECT_EQ(state.customFps, "100");
}

}  // namespace
}  // namespace wf

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
    QPointer<Form3> Open() {
        auto* form = new Form3(&mainWindow, state, menu, [this] { ++menuChanges; });
        form->show();
        return form;
    }
    static void RunDeferredDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Confirm(int seconds, int fps) {
        QPointer<Form3> form = Open();
        form->HScroll1->setValue(seconds);
        form->HScroll2->setValue(fps);
        form->Command2->click();
        RunDeferredDeletes();
    }
    bool AnyLengthMark() const { return menu.trz.checked || menu.wtu.checked || menu.wetz.checked; }

    QWidget mainWindow;
    GameState state;
    MenuModel menu;
    int menuChanges = 0;
};

TEST_F(Form3Test, FirstOpeningShowsTheInitialValuesAndRanges) {
    QPointer<Form3> form = Open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Benutzerdefieniert "));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("10"));
    EXPECT_EQ(form->Label4->text(), QStringLiteral("5"));
    const struct {
        QScrollBar* bar;
        int minimum, maximum, page;
    } bars[] = {{form->HScroll1, 10, 360, 40}, {form->HScroll2, 5, 100, 10}};
    for (const auto& b : bars) {
        EXPECT_EQ(b.bar->minimum(), b.minimum);
        EXPECT_EQ(b.bar->maximum(), b.maximum);
        EXPECT_EQ(b.bar->value(), b.minimum);
        EXPECT_EQ(b.bar->pageStep(), b.page);
        EXPECT_EQ(b.bar->singleStep(), 1);
    }
    form->HScroll1->setValue(1000);
    EXPECT_EQ(form->Label3->text(), QStringLiteral("360")) << "the bar keeps the value in range";
    form->HScroll2->setValue(42);
    EXPECT_EQ(form->Label4->text(), QStringLiteral("42"));
    form->close();
}

TEST_F(Form3Test, ConfirmingSelectsTheUserDefinedModeAndCloses) {
    QPointer<Form3> form = Open();
    form->HScroll1->setValue(360);
    form->HScroll2->setValue(100);
    form->Command2->click();
    RunDeferredDeletes();

    EXPECT_TRUE(state.customMode);
    EXPECT_EQ(state.customTime, QStringLiteral("360"));
    EXPECT_EQ(state.customFps, QStringLiteral("100"));
    EXPECT_FALSE(AnyLengthMark());
    EXPECT_EQ(menuChanges, 1);
    EXPECT_TRUE(form.isNull()) << "the dialog is destroyed when it closes";
}

TEST_F(Form3Test, ReopeningShowsTheConfirmedValues) {
    Confirm(125, 33);
    QPointer<Form3> form = Open();
    EXPECT_EQ(form->HScroll1->value(), 125);
    EXPECT_EQ(form->Label3->text(), QStringLiteral("125"));
    EXPECT_EQ(form->HScroll2->value(), 33);
    EXPECT_EQ(form->Label4->text(), QStringLiteral("33"));
    form->close();
}

TEST_F(Form3Test, AStoredLengthOfZeroKeepsTheInitialValues) {
    state.customTime = QStringLiteral("0");
    state.customFps = QStringLiteral("50");
    QPointer<Form3> form = Open();
    EXPECT_EQ(form->Label3->text(), QStringLiteral("10"));
    EXPECT_EQ(form->Label4->text(), QStringLiteral("5"));
    form->close();
}

TEST_F(Form3Test, CancelClearsTheModeButKeepsMarksAndValues) {
    {
        SCOPED_TRACE("before any confirmation");
        QPointer<Form3> form = Open();
        form->HScroll1->setValue(200);
        form->Command1->click();
        RunDeferredDeletes();
        EXPECT_FALSE(state.customMode);
        EXPECT_TRUE(menu.trz.checked);
        EXPECT_TRUE(state.customTime.isEmpty());
        EXPECT_TRUE(form.isNull());
    }
    {
        SCOPED_TRACE("after a confirmation");
        Confirm(90, 20);
        QPointer<Form3> form = Open();
        form->HScroll1->setValue(300);
        form->Command1->click();
        RunDeferredDeletes();
        EXPECT_FALSE(state.customMode);
        EXPECT_FALSE(AnyLengthMark());
        EXPECT_EQ(state.customTime, QStringLiteral("90"));
        EXPECT_EQ(state.customFps, QStringLiteral("20"));
    }
}

TEST_F(Form3Test, TheCloseControlChangesNothing) {
    Confirm(60, 25);
    const int changes = menuChanges;
    QPointer<Form3> form = Open();
    form->HScroll1->setValue(10);
    form->close();
    RunDeferredDeletes();
    EXPECT_TRUE(state.customMode);
    EXPECT_EQ(state.customTime, QStringLiteral("60"));
    EXPECT_FALSE(AnyLengthMark());
    EXPECT_EQ(menuChanges, changes);
    EXPECT_TRUE(form.isNull());
}

}  // namespace
}  // namespace wf

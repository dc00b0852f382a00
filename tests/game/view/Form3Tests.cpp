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

TEST(Form3, ConfirmSelectsTheModeCancelClearsItCloseChangesNothing) {
    QWidget mainWindow;
    GameState state;
    MenuModel menu;
    int menuChanges = 0;
    // Shown values (time, fps: 0 a stored length of 0 shows 10 and 5), the
    // values set (beyond the ranges 10..360 and 5..100), the way out (2 OK,
    // 1 Cancel, 0 the close control), then what is kept.
    for (auto [stored, shown, set, leaveBy, mode, kept, changes] :
         {std::tuple{"", "10 5", QPoint(9, 4), 1, false, "", 0},  // cancelled before confirming
          {"", "10 5", QPoint(125, 33), 2, true, "125 33", 1},
          {"125 33", "125 33", QPoint(10, 100), 0, true, "125 33", 1},
          {"125 33", "125 33", QPoint(300, 20), 1, false, "125 33", 1},  // the values stay
          {"0 50", "10 5", QPoint(1000, 1000), 2, true, "360 100", 2}}) {
        SCOPED_TRACE(shown);
        state.customTime = QString(stored).section(' ', 0, 0);
        state.customFps = QString(stored).section(' ', 1, 1);
        QPointer<Form3> form = new Form3(&mainWindow, state, menu, [&] { ++menuChanges; });
        form->show();
        EXPECT_EQ(form->Label3->text() + " " + form->Label4->text(), shown);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Benutzerdefieniert "));
        form->HScroll1->setValue(set.x());
        form->HScroll2->setValue(set.y());
        if (leaveBy == 0)
            form->close();
        else
            (leaveBy == 2 ? form->Command2 : form->Command1)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(form.isNull()) << "the dialog is destroyed when it closes";
        EXPECT_EQ(state.customMode, mode);
        EXPECT_EQ(state.customTime + " " + state.customFps, QString(*kept ? kept : " "));
        EXPECT_EQ(menu.trz.checked, !*kept) << "confirming once clears the length marks for good";
        EXPECT_FALSE(menu.wtu.checked || menu.wetz.checked);
        EXPECT_EQ(menuChanges, changes);
    }
}

}  // namespace
}  // namespace wf

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "Form6.h"
#include "Form8.h"
#include "Form9.h"
#include "GameController.h"
#include "GameDirectory.h"
#include "Highscore.h"
#include "OnlineStrip.h"
#include "PlaySurface.h"
#include "QtPlatform.h"
#include "ScriptedPlatform.h"
#include "SilentAudio.h"

namespace wf {
namespace {

using test::BackgroundSpec;
using test::GameDirectory;

class Form1Test : public ::testing::Test {
  protected:
    ScriptedPlatform platform;
    GameDirectory dir{{{"Wiese", "BMP", 320, 200}, {"Nacht", "COLOR", 320, 200}}};
    Form1 form{dir.Path(), std::make_unique<SilentSound>(), std::make_unique<SilentMusic>()};

    QAction* Action(const char* name) {
        QAction* a = form.findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
};

// Runs the event loop until done() holds; false when it did not in time.
bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void RunDeferredDeletes() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QList<QWidget*> OpenWindows() {
    QList<QWidget*> open;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            open << w;
    }
    return open;
}

// The window that action opens, or nullptr.
QWidget* Opens(const std::function<void()>& action) {
    const QList<QWidget*> before = OpenWindows();
    action();
    for (QWidget* w : OpenWindows()) {
        if (!before.contains(w))
            return w;
    }
    return nullptr;
}

QList<Form2*> HighscoreWindows() {
    QList<Form2*> found;
    for (QWidget* w : OpenWindows()) {
        if (auto* form2 = qobject_cast<Form2*>(w))
            found << form2;
    }
    return found;
}

struct EntryCase {
    const char* name;
    const char* caption;
    QKeySequence shortcut;
};

// Every window that names the version names the same one; the title gives
// it as major number and two-digit minor number.
TEST_F(Form1Test, EveryWindowNamesTheOneVersion) {
    Form6 splash;
    const QString version = splash.Label2->text();
    const QStringList number = version.section(' ', 0, 0).split('.');
    ASSERT_EQ(number.size(), 3) << version.toStdString();
    const QString suffix = version.section(' ', 1);
    EXPECT_FALSE(suffix.isEmpty());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Wolkenfang %1.%2 %3")
                                      .arg(number[0])
                                      .arg(number[1].toInt(), 2, 10, QChar('0'))
                                      .arg(suffix));
    QPointer<Form4> info = new Form4(&form);
    EXPECT_EQ(info->versionLabel->text(), version);
    info->close();
    EXPECT_TRUE(TitleSequence::DefaultCredits().contains("Version " + version));
}

TEST_F(Form1Test, HasTheWholeMenuTree) {
    const EntryCase entries[] = {
        {"ter", "Spielen", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"gdsf", "Highscore", QKeySequence(Qt::CTRL | Qt::Key_H)},
        {"erwer", "Beenden", QKeySequence(Qt::CTRL | Qt::Key_B)},
        {"hgw", "Hintergrund wählen", QKeySequence(Qt::Key_F12)},
        {"trz", "30 Sekunden", QKeySequence(Qt::CTRL | Qt::Key_F1)},
        {"wtu", "60 Sekunden", QKeySequence(Qt::CTRL | Qt::Key_F2)},
        {"wetz", "120 Sekunden", QKeySequence(Qt::CTRL | Qt::Key_F3)},
        {"mnuMusik", "Musik", QKeySequence(Qt::CTRL | Qt::Key_M)},
        {"mnuSound", "Sound", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"erte", "Benutzerdefieniert", QKeySequence(Qt::CTRL | Qt::Key_F4)},
        {"mod", "Mod wechseln...", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"minimize", "Minimieren", QKeySequence(Qt::ALT | Qt::Key_Backspace)},
        {"vollbild", "Vollbild", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"kjhk", "Hilfe", QKeySequence(Qt::CTRL | Qt::Key_K)},
        {"hgjg", "Info Datei des Spiels anzeigen", QKeySequence(Qt::CTRL | Qt::Key_I)},
        {"info", "Info", QKeySequence(Qt::CTRL | Qt::Key_J)},
    };
    for (const EntryCase& e : entries) {
        QAction* a = Action(e.name);
        if (!a)
            continue;
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_EQ(a->shortcut(), e.shortcut) << e.name;
    }
    const Qt::Key keys[] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5,
                            Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F11};
    for (int i = 1; i <= 10; ++i) {
        QAction* a = form.findChild<QAction*>(QStringLiteral("hinterg%1").arg(i));
        ASSERT_NE(a, nullptr) << i;
        EXPECT_EQ(a->text(), QStringLiteral("#HG%1").arg(i));
        EXPECT_EQ(a->shortcut(), QKeySequence(keys[i - 1])) << i;
        EXPECT_FALSE(a->isVisible()) << i;
    }

    // The menus in their order, the entries and separators of each.
    const auto names = [](QMenu* m) {
        QStringList out;
        for (QAction* a : m->actions())
            out.append(a->isSeparator() ? "-" + a->objectName() : a->objectName());
        return out;
    };
    QStringList top;
    for (QAction* a : form.menuBar()->actions())
        top.append(a->text());
    EXPECT_EQ(top, QStringList({"Spiel", "Optionen", "Ansicht", "?"}));
    EXPECT_EQ(names(form.findChild<QMenu*>("fghgh")),
              QStringList({"ter", "-dsaf", "gdsf", "-dsf", "erwer"}));
    EXPECT_EQ(names(form.findChild<QMenu*>("fghfgh")),
              QStringList({"hintergrund", "-fdgdfd", "trz", "wtu", "wetz", "-ertw", "mnuMusik",
                           "mnuSound", "-strichsx", "erte", "mod"}));
    EXPECT_EQ(form.findChild<QMenu*>("hintergrund")->title(), QString::fromUtf8("Hintergründe"));
}

TEST_F(Form1Test, StartUpShowsTheModsBackgroundsAndSizesTheWindow) {
    dir.WriteSettings("werbung=ja\r\nsound=yes\r\n");
    form.Form_Load({});
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(form.ModDir(), dir.ModPath());
    EXPECT_TRUE(Action("hinterg2")->isVisible());
    EXPECT_EQ(Action("hinterg2")->text(), "Nacht");
    EXPECT_TRUE(Action("hinterg1")->isChecked());
    EXPECT_FALSE(Action("hinterg3")->isVisible());
    EXPECT_TRUE(Action("mnuSound")->isChecked());
    EXPECT_FALSE(Action("mnuMusik")->isChecked());

    form.show();
    QApplication::processEvents();
    // Below the menu bar the client area is exactly the playing surface.
    const int bar = form.menuBar()->height();
    EXPECT_EQ(form.Picture1()->geometry(), QRect(0, bar, 320, 200));
    EXPECT_EQ(form.size(), QSize(320, 200 + bar));
    EXPECT_EQ(form.WindowSurface().size(), QSize(320, 200));
}

TEST_F(Form1Test, StartUpFailureEndsTheProgram) {
    dir.WriteSettings("sound=yes\r\n");
    EXPECT_THROW(form.Form_Load({}), ProgramExit);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_EQ(platform.exits, QList<int>({1}));
}

TEST_F(Form1Test, KeepsTheSurfaceExactOnANarrowWindow) {
    form.SizeWindowToSurface(60, 50);  // narrower than the menu bar
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.Picture1()->size(), QSize(60, 50));
    EXPECT_EQ(form.Picture1()->geometry().bottom(), form.height() - 1);
    EXPECT_EQ(form.Picture1()->y(), form.menuBar()->geometry().bottom() + 1);
}

TEST_F(Form1Test, LengthEntriesFormOneChoice) {
    EXPECT_TRUE(Action("trz")->isChecked());
    Action("wtu")->trigger();
    Action("wtu")->trigger();  // a second time changes nothing
    EXPECT_TRUE(form.Menu().wtu.checked);
    EXPECT_FALSE(form.Menu().trz.checked);
    EXPECT_FALSE(Action("trz")->isChecked());

    // After the user-defined mode no entry is marked; a length brings one back.
    form.Menu().wtu.checked = false;
    form.State().customMode = true;
    form.SyncMenu();
    EXPECT_FALSE(Action("wtu")->isChecked());
    Action("wetz")->trigger();
    EXPECT_FALSE(form.State().customMode);
    EXPECT_TRUE(Action("wetz")->isChecked());
}

TEST_F(Form1Test, TogglesTheMarksOfMusicSoundAndFullScreen) {
    for (const char* name : {"mnuMusik", "mnuSound", "vollbild"}) {
        QAction* a = Action(name);
        a->trigger();
        EXPECT_TRUE(a->isChecked()) << name;
        a->trigger();
        EXPECT_FALSE(a->isChecked()) << name;
    }
    Action("vollbild")->trigger();
    EXPECT_TRUE(form.Menu().vollbild.checked);
}

TEST_F(Form1Test, DisabledMenusTakeTheirEntriesAlong) {
    form.Menu().fghfgh.enabled = false;
    form.Menu().ansicht.enabled = false;
    form.SyncMenu();
    EXPECT_FALSE(form.findChild<QMenu*>("fghfgh")->menuAction()->isEnabled());
    for (const char* n : {"trz", "hinterg1", "mod", "vollbild", "minimize"})
        EXPECT_FALSE(Action(n)->isEnabled()) << n;
    EXPECT_TRUE(Action("ter")->isEnabled());
    EXPECT_TRUE(Action("kjhk")->isEnabled());

    form.Menu().fghfgh.enabled = true;
    form.Menu().ansicht.enabled = true;
    form.Menu().ter.caption = QStringLiteral("Spiel abbrechen");
    form.SyncMenu();
    EXPECT_TRUE(Action("vollbild")->isEnabled());
    EXPECT_EQ(Action("ter")->text(), "Spiel abbrechen");
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
    EXPECT_TRUE(form.isVisible());

    platform.messageAnswers = {MsgResult::Yes};
    Action("erwer")->trigger();  // "Beenden" closes the window the same way
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Form1Test, OpensTheInformationFile) {
    Action("hgjg")->trigger();
    EXPECT_EQ(platform.openedTextFiles, QStringList({dir.Path() + "/Info.txt"}));
}

TEST_F(Form1Test, RunsTheTimersTheGameNeeds) {
    EXPECT_TRUE(form.Timer2()->isActive());
    EXPECT_EQ(form.Timer2()->interval(), 40);
    EXPECT_FALSE(form.tmrSpiel()->isActive());
    EXPECT_FALSE(form.Timer1()->isActive());
    EXPECT_EQ(form.Timer1()->interval(), 1000);
    for (QTimer* t : {form.tmrSpiel(), form.Timer1(), form.Timer2()})
        EXPECT_EQ(t->timerType(), Qt::PreciseTimer);
    form.SetTickInterval(33);
    form.SetTickTimerEnabled(true);
    EXPECT_TRUE(form.tmrSpiel()->isActive());
    EXPECT_EQ(form.tmrSpiel()->interval(), 33);
}

TEST_F(Form1Test, TitleTickDrawsTheFirstLogoOnTheSurface) {
    form.Form_Load({});
    form.Timer2_Timer();
    // The maker's logo (slot 12) is centred on the black surface.
    const QImage& surface = form.WindowSurface();
    EXPECT_EQ(surface.pixel(160, 100), qRgb(120, 0, 0));
    EXPECT_EQ(surface.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(form.Title().titleTicks, 1);

    form.State().gameRunning = true;  // paused during a game
    form.Timer2_Timer();
    EXPECT_EQ(form.Title().titleTicks, 1);
}

TEST_F(Form1Test, HidesThePointerOverTheSurfaceDuringAGame) {
    form.SetSurfaceCursorInvisible(true);
    const QPixmap pointer = form.Picture1()->cursor().pixmap();
    ASSERT_EQ(pointer.size(), QSize(32, 32));
    const QImage img = pointer.toImage();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(qAlpha(img.pixel(x, y)), 0);
    form.SetSurfaceCursorInvisible(false);
    EXPECT_FALSE(form.Picture1()->testAttribute(Qt::WA_SetCursor));
}

TEST_F(Form1Test, SurfaceInputReachesTheGame) {
    form.Form_Load({});
    PlaySurface* surface = form.Picture1();
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(1, 18), surface->mapToGlobal(QPointF(1, 18)),
                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &up);
    EXPECT_TRUE(form.State().shotPending);
    EXPECT_EQ(form.State().shotCellX, 1);
    EXPECT_EQ(form.State().shotCellY, 2);
}

// Every window that borrows the main window, opened from the menu and closed
// in every way: the main window takes input exactly when none is open.
TEST_F(Form1Test, BorrowingWindowsGiveTheMainWindowBackHoweverTheyClose) {
    form.show();
    // Each window by its menu entry, with its own closing button.
    const std::pair<const char*, std::function<QPushButton*(QWidget*)>> windows[] = {
        {"gdsf", [](QWidget* w) { return qobject_cast<Form2*>(w)->Command1; }},
        {"erte", [](QWidget* w) { return qobject_cast<Form3*>(w)->Command1; }},
        {"info", [](QWidget* w) { return qobject_cast<Form4*>(w)->Command1; }},
        {"kjhk", [](QWidget* w) { return qobject_cast<Form5*>(w)->Command4; }},
        {"mod", [](QWidget* w) { return qobject_cast<Form9*>(w)->Command3; }},
    };
    enum Way { OwnButton, WindowFrame, Deleted };
    for (const auto& [entry, button] : windows) {
        for (Way way : {OwnButton, WindowFrame, Deleted}) {
            SCOPED_TRACE(testing::Message() << entry << ", way " << way);
            const QList<QWidget*> before = OpenWindows();
            QWidget* opened = Opens([&] { Action(entry)->trigger(); });
            ASSERT_NE(opened, nullptr);
            EXPECT_FALSE(form.isEnabled());
            EXPECT_TRUE(opened->isEnabled());
            EXPECT_EQ(opened->windowHandle()->transientParent(), form.windowHandle());
            if (way == OwnButton)
                button(opened)->click();
            else if (way == WindowFrame)
                opened->windowHandle()->close();
            else
                delete opened;
            RunDeferredDeletes();
            EXPECT_TRUE(form.isEnabled());
            EXPECT_EQ(OpenWindows(), before);
        }
    }
}

// Answers the real message and input boxes while the event loop runs: the
// close question only once the game has ended behind it (it lets the clock
// run fast until then), the name prompt with a name. A box that cannot be
// answered is a lock-up: it is noted and rejected after a while.
class Answerer {
  public:
    Answerer(Form1& form, MsgResult answer) : form_(form), answer_(answer) {
        clock_.start();
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start(20);
    }
    int questions = 0;
    bool questionEnabled = true;
    int prompts = 0;
    bool lockedUp = false;

  private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (clock_.elapsed() > 8000) {
            lockedUp = true;
            qobject_cast<QDialog*>(modal)->reject();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (form_.State().gameRunning) {
                form_.Timer1()->setInterval(5);
                return;
            }
            ++questions;
            questionEnabled = box->isEnabled();
            box->button(answer_ == MsgResult::Yes ? QMessageBox::Yes : QMessageBox::No)->click();
        } else if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
            ++prompts;
            prompt->setTextValue(QStringLiteral("Eva"));
            prompt->accept();
        }
    }

    Form1& form_;
    MsgResult answer_;
    QElapsedTimer clock_;
    QTimer poll_;
};

// A game that ends while a question or another window is open: nothing
// locks, there is one highscore window, and it takes the entry unless the
// player chose to end the program.
TEST_F(Form1Test, TheEndOfAGameBehindAQuestionOrWindowLocksNothing) {
    const struct {
        const char* name;
        const char* opened;  // menu entry chosen during the game
        bool closeQuestion;  // "Beenden" during the game
        MsgResult answer;
    } cases[] = {
        {"close question, Nein", nullptr, true, MsgResult::No},
        {"close question, Ja", nullptr, true, MsgResult::Yes},
        {"highscore window", "gdsf", false, MsgResult::No},
        {"help window and the close question", "kjhk", true, MsgResult::No},
    };
    QtPlatform desktop;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int t = 1; t <= 3; ++t)
            dir.Remove(QStringLiteral("score%1.sre").arg(t));
        Highscore::Instance().InitTables();
        Platform::SetInstance(&desktop);
        Form1 game(dir.Path(), std::make_unique<SilentSound>(), std::make_unique<SilentMusic>());
        game.Form_Load({});
        game.show();
        game.ter_Click();
        game.State().score = 500;
        QPointer<QWidget> opened;
        if (c.opened)
            opened = Opens([&] { game.findChild<QAction*>(c.opened)->trigger(); });
        Answerer answerer(game, c.answer);
        if (c.closeQuestion) {
            EXPECT_EQ(game.close(), c.answer == MsgResult::Yes);
        } else {
            game.Timer1()->setInterval(5);
        }
        const bool ends = c.answer == MsgResult::Yes;
        EXPECT_TRUE(WaitFor([&] {
            return !game.State().gameRunning && !QApplication::activeModalWidget() &&
                   (ends || game.HighscoreWindow());
        }));
        WaitFor([] { return false; }, 200);  // nothing more opens

        EXPECT_FALSE(answerer.lockedUp);
        EXPECT_EQ(answerer.questions, c.closeQuestion ? 1 : 0);
        EXPECT_TRUE(answerer.questionEnabled);
        EXPECT_EQ(game.isVisible(), !ends);
        if (ends) {
            EXPECT_TRUE(HighscoreWindows().isEmpty());
            EXPECT_FALSE(QFile::exists(dir.Path() + "/score1.sre")) << "the score was entered";
        } else {
            ASSERT_EQ(HighscoreWindows().size(), 1);
            Form2* entry = HighscoreWindows()[0];
            if (qobject_cast<Form2*>(opened)) {
                EXPECT_EQ(entry, opened.data()) << "the open window takes the entry";
            }
            EXPECT_EQ(answerer.prompts, 1);
            EXPECT_EQ(entry->Picture1->Text(), "Online Highscore - Jetzt eintragen !!!");
            EXPECT_EQ(Highscore::Instance().GetEntry(1, 1, 1), "Eva");
            EXPECT_FALSE(game.isEnabled());
            entry->Command1->click();
            EXPECT_EQ(game.isEnabled(), !opened || opened.data() == entry);
        }
        if (opened)
            opened->close();
        RunDeferredDeletes();
        EXPECT_TRUE(game.isEnabled());
        Platform::SetInstance(&platform);
    }
}

TEST_F(Form1Test, FullScreenGameCoversTheScreenAndEscEndsIt) {
    form.Form_Load({});
    form.show();
    Action("vollbild")->trigger();
    Action("ter")->trigger();
    ASSERT_TRUE(form.State().gameRunning);
    Form8* full = form.FullScreenWindow();
    ASSERT_NE(full, nullptr);
    const QRect screen = form.screen()->geometry();
    EXPECT_TRUE(full->isVisible());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(full->geometry(), screen);
    EXPECT_EQ(full->Picture1->Image().size(), screen.size());

    // Pointer and clicks in screen pixels, divided by the display scale: the
    // cross-hair, drawn at the scaled position, stays under the pointer.
    QMouseEvent move(QEvent::MouseMove, QPointF(500, 300), QPointF(500, 300), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(full->Picture1, &move);
    const GameState& state = form.State();
    EXPECT_LT(state.mouseX, 500) << "taken without rescaling";
    EXPECT_NEAR(state.scaleX.Apply(state.mouseX), 500, 1);
    EXPECT_NEAR(state.scaleY.Apply(state.mouseY), 300, 1);
    form.State().magazine = 0;
    QMouseEvent right(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(full->Picture1, &right);
    EXPECT_EQ(form.State().magazine, 6);

    QKeyEvent other(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(full, &other);
    EXPECT_TRUE(form.State().gameRunning);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    QApplication::sendEvent(full, &esc);
    EXPECT_FALSE(form.State().gameRunning);
    EXPECT_FALSE(full->isVisible());
    EXPECT_TRUE(form.isVisible());

    // Closing the full-screen window goes the same way, without a question,
    // and the program goes on.
    bool lastClosed = false;
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, full, [&] { lastClosed = true; });
    Action("ter")->trigger();
    ASSERT_TRUE(full->isVisible());
    full->windowHandle()->close();
    EXPECT_FALSE(form.State().gameRunning);
    EXPECT_FALSE(full->isVisible());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(lastClosed);
    EXPECT_TRUE(platform.messages.isEmpty());
}

}  // namespace
}  // namespace wf

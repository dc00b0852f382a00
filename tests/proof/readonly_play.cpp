// Plays timed games on the real main window in a game directory that may be
// read-only, and reports what the highscore window said at the end of each.
// The clock handler is driven faster than real time once the game has run
// for a while, so that a 30-second game ends within seconds by the same code.
//
//   readonly_play --game-dir DIR [--games N]
//
// Prints "games N, ended N, save messages M" and exits 0 when every game
// started, was shot at and ended with the highscore window shown.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "Form1.h"
#include "Form2.h"
#include "GameController.h"
#include "PlaySurface.h"
#include "ScriptedPlatform.h"
#include "SilentAudio.h"

namespace {

const QString kSaveFailed = QStringLiteral(
    "Fehler beim Speichern einer Highscore-Tabelle (Es werden keine neuen Scores gespeichert)");

// Runs the event loop for ms milliseconds.
void Run(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int CloseHighscoreWindows() {
    int shown = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<wf::Form2*>(w) && w->isVisible()) {
            ++shown;
            w->close();
        }
    }
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("SDL_AUDIODRIVER"))
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);
    QString gameDir;
    int games = 1;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--game-dir")
            gameDir = args[i + 1];
        else if (args[i] == "--games")
            games = args[i + 1].toInt();
    }
    if (gameDir.isEmpty() || games < 1) {
        std::fprintf(stderr, "usage: readonly_play --game-dir DIR [--games N]\n");
        return 2;
    }

    wf::ScriptedPlatform platform;
    wf::Form1 form(gameDir, std::make_unique<wf::SilentSound>(),
                   std::make_unique<wf::SilentMusic>());
    try {
        form.Form_Load({});
    } catch (const wf::ProgramExit&) {
        for (const wf::ShownMessage& m : platform.messages)
            std::fprintf(stderr, "readonly_play: start-up: %s\n", qPrintable(m.text));
        return 1;
    }
    form.show();
    wf::GameState& state = form.State();
    wf::GameController& controller = form.Controller();
    const int w = form.Picture1()->width(), h = form.Picture1()->height();

    int ended = 0, saveMessages = 0, otherMessages = 0;
    for (int game = 1; game <= games; ++game) {
        const qsizetype before = platform.messages.size();
        platform.inputAnswers.push_back(QStringLiteral("Prüfer %1").arg(game));
        form.trz_Click();  // 30 seconds: a timed game goes to the highscores
        form.ter_Click();
        if (!state.gameRunning) {
            std::fprintf(stderr, "readonly_play: game %d did not start\n", game);
            break;
        }
        // Shots across the surface, then the clock hurried to the end.
        for (int i = 0; i < 20; ++i) {
            const double x = (i * 37) % w, y = (i * 53) % h;
            controller.MouseMove(x, y);
            controller.MouseUp(state.magazine == 0 ? 2 : 1, x, y);
            Run(50);
        }
        for (int i = 0; i < 40 && state.gameRunning; ++i) {
            form.Timer1_Timer();
            Run(20);
        }
        Run(200);
        const int windows = CloseHighscoreWindows();
        if (!state.gameRunning && windows == 1)
            ++ended;
        else
            std::fprintf(stderr, "readonly_play: game %d: running %d, highscore windows %d\n", game,
                         state.gameRunning, windows);
        for (qsizetype i = before; i < platform.messages.size(); ++i) {
            if (platform.messages[i].text == kSaveFailed)
                ++saveMessages;
            else
                ++otherMessages;
        }
        Run(100);
    }
    std::printf("games %d, ended %d, save messages %d, other messages %d\n", games, ended,
                saveMessages, otherMessages);
    return ended == games && otherMessages == 0 ? 0 : 1;
}

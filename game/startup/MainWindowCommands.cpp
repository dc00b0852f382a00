// The main window's commands that open other windows. Each of these windows
// borrows the main window: it takes no input while any of them is open.
#include <QApplication>
#include <QTimer>

#include "Backgrounds.h"
#include "CustomModeDialog.h"
#include "HelpWindow.h"
#include "HighscoreWindow.h"
#include "InfoWindow.h"
#include "MainWindow.h"
#include "ModWindow.h"

namespace wf {

void MainWindow::ChooseBackground(int index) {
    BackgroundCommands().ChoosePreset(index);
}

void MainWindow::ChooseOwnBackground() {
    BackgroundCommands().ChooseOwnPicture(this);
}

// Highscore window in its viewing state (not modal). While it is open the
// main window takes no input, so it cannot be opened twice this way.
void MainWindow::ShowHighscores() {
    highscoreWindow_ = HighscoreWindow::ShowWindow(this, entry_, ProgramDir());
}

void MainWindow::ShowHelp() {
    (new HelpWindow(this))->show();
}

void MainWindow::ShowInfo() {
    (new InfoWindow(this))->show();
}

// Confirming chooses the user-defined mode with its values; cancelling
// leaves the length as it was but no longer counts the mode as confirmed.
void MainWindow::OpenCustomMode() {
    auto* dialog = new CustomModeDialog(
        this, settings_.userDefined,
        [this](UserDefinedMode mode) {
            Run([this, mode] {
                settings_.userDefined = mode;
                settings_.gameLength = kUserDefinedLength;
                settings_.userDefinedConfirmed = true;
            });
        },
        [this] { Run([this] { settings_.userDefinedConfirmed = false; }); });
    dialog->show();
}

void MainWindow::OpenModWindow() {
    auto* window = new ModWindow(this, ProgramDir());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

// A closed window lingers until its deferred deletion: it is not open.
HighscoreWindow* MainWindow::OpenHighscoreWindow() const {
    return highscoreWindow_ && highscoreWindow_->isVisible() ? highscoreWindow_.data() : nullptr;
}

// Highscore window after a timed game, with its table and score. An open
// window (viewing, from the menu during the game) takes the entry: it runs
// its opening steps again, so there is never a second one.
void MainWindow::OfferScore(int entryTable, int score) {
    entry_.HandOver(entryTable, score);
    if (HighscoreWindow* open = OpenHighscoreWindow()) {
        open->Open();
        return;
    }
    highscoreWindow_ = HighscoreWindow::ShowWindow(this, entry_, ProgramDir());
}

// A game can end while a modal question is open ("Wirklich??" above all).
// The highscore window would borrow the main window and so disable the
// question, whose modality in turn blocks the highscore window. The hand-over
// waits until no modal question is open: after "Nein" the end of the game
// takes its course; after "Ja" the program ends without it.
void MainWindow::DeliverHandOver() {
    if (!heldHandOver_ || closing_)
        return;
    if (QApplication::activeModalWidget()) {
        if (!handOverRetry_->isActive())
            handOverRetry_->start();
        return;
    }
    handOverRetry_->stop();
    const HandOver handOver = *heldHandOver_;
    heldHandOver_.reset();
    OfferScore(handOver.entryTable, handOver.score);
}

}  // namespace wf

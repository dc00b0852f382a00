// The main window's commands that open other windows. Each of these windows
// borrows the main window: it takes no input while any of them is open.
#include <QApplication>
#include <QTimer>

#include "Backgrounds.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "Form9.h"

namespace wf {

void Form1::hinterg_Click(int index) {
    BackgroundCommands().hinterg_Click(index);
}

void Form1::hgw_Click() {
    BackgroundCommands().hgw_Click(this);
}

// Highscore window in its viewing state (not modal). While it is open the
// main window takes no input, so it cannot be opened twice this way.
void Form1::gdsf_Click() {
    form2_ = Form2::ShowWindow(this, entry_, ProgramDir());
}

void Form1::kjhk_Click() {
    (new Form5(this))->show();
}

void Form1::info_Click() {
    (new Form4(this))->show();
}

void Form1::erte_Click() {
    (new Form3(this, state_, menu_, [this] { SyncMenu(); }))->show();
}

void Form1::mod_Click() {
    auto* window = new Form9(this, ProgramDir());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

// A closed window lingers until its deferred deletion: it is not open.
Form2* Form1::HighscoreWindow() const {
    return form2_ && form2_->isVisible() ? form2_.data() : nullptr;
}

// Highscore window after a timed game, with the hand-over values. An open
// window (viewing, from the menu during the game) takes the entry: it runs
// its opening steps again, so there is never a second one.
void Form1::ShowForm2(int entryTable, const QString& entryScore) {
    entry_.HandOver(entryTable, entryScore);
    if (Form2* open = HighscoreWindow()) {
        open->Open();
        return;
    }
    form2_ = Form2::ShowWindow(this, entry_, ProgramDir());
}

// A game can end while a modal question is open ("Wirklich??" above all).
// The highscore window would borrow the main window and so disable the
// question, whose modality in turn blocks the highscore window. The hand-over
// waits until no modal question is open: after "Nein" the end of the game
// takes its course; after "Ja" the program ends without it.
void Form1::DeliverHandOver() {
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
    ShowForm2(handOver.entryTable, handOver.entryScore);
}

}  // namespace wf

// The main window's commands that open other windows. Each of these windows
// borrows the main window: it takes no input while any of them is open.
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

// Highscore window in its viewing state (not modal).
void Form1::gdsf_Click() {
    Form2::ShowWindow(this, ProgramDir());
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

// Highscore window after a timed game, with the hand-over values.
void Form1::ShowForm2(int entryTable, const QString& entryScore) {
    Form2::EntryTable = entryTable;
    Form2::EntryPending = true;
    Form2::EntryScore = entryScore;
    Form2::ShowWindow(this, ProgramDir());
}

}  // namespace wf

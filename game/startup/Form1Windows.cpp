// The main window's commands that open other windows.
#include "Backgrounds.h"
#include "Form1.h"

namespace wf {

void Form1::hinterg_Click(int index) {
    BackgroundCommands().hinterg_Click(index);
}

void Form1::hgw_Click() {
    BackgroundCommands().hgw_Click(this);
}

// Highscore window in its viewing state.
void Form1::gdsf_Click() {}

// Help window; the main window takes no input while it is open.
void Form1::kjhk_Click() {}

// Information window, likewise.
void Form1::info_Click() {}

// User-defined mode dialog, likewise.
void Form1::erte_Click() {}

// MOD manager window, not modal; the main window takes no input meanwhile.
void Form1::mod_Click() {}

// Highscore window after a timed game, with the hand-over values.
void Form1::ShowForm2(int entryTable, const QString& entryScore) {
    Q_UNUSED(entryTable);
    Q_UNUSED(entryScore);
}

}  // namespace wf

#pragma once
// A finished timed game's score on its way into the highscore window. The
// main window keeps one for the whole run, whether or not the window is
// open, and lends it to every highscore window it opens.
#include <QtGlobal>

namespace wf {

struct HighscoreEntry {
    int table = 1;  // 1, 2 or 3
    // Waits to be entered, and may still be submitted online.
    bool pending = false;
    qint32 score = 0;

    // The end of a timed game: the table of its length and its score.
    void HandOver(int gameTable, qint32 gameScore) {
        table = gameTable;
        pending = true;
        score = gameScore;
    }
};

}  // namespace wf

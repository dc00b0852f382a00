#pragma once
// A finished timed game's score on its way into the highscore window. The
// main window keeps one for the whole run, whether or not the window is
// open, and lends it to every highscore window it opens.
#include <QString>

#include "Highscore.h"

namespace wf {

struct HighscoreEntry {
    int EntryTable = 1;  // 1, 2 or 3
    // Waits to be entered, and may still be submitted online.
    bool EntryPending = false;
    QString EntryScore;  // decimal text

    // The end of a timed game: the table of its length and its score.
    void HandOver(int table, const QString& score) {
        EntryTable = table;
        EntryPending = true;
        EntryScore = score;
    }
    qint32 Score() const { return Highscore::ScoreNumber(EntryScore.toLatin1()); }
};

}  // namespace wf

#pragma once
// The three highscore tables (30, 60 and 120 seconds), their score files and
// the ranking of a new score. Plain state and file handling; the highscore
// window asks for the name and shows the results.
#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <variant>

#include "GameLengths.h"

namespace wf {

// A score is a whole number, or the line it was read from (kept byte for
// byte so that a file is written back as it was read).
using ScoreValue = std::variant<qint32, QByteArray>;

class Highscore {
  public:
    static constexpr int kSlots = 5;  // tables and places 0..4; 0 and table 4 unused
    static constexpr int kTables = kHighscoreTables;  // one per timed game length
    static constexpr int kPlaces = 4;

    // The scores a table starts with, place 1 to 4 (all 0 for another table).
    static std::array<qint32, kPlaces> DefaultScores(int table);
    // The table's score file in the program's directory.
    static QString ScoreFilePath(const QString& programDir, int table);

    // The one set of tables the program keeps.
    static Highscore& Instance();

    void InitTables();
    // 1 all eight lines read; 2 file missing or shorter than eight lines (what
    // was read is kept, the caller applies the defaults); 0 unreadable.
    int LoadTable(const QString& path, int table);
    int ApplyDefaults(qint32 s1, qint32 s2, qint32 s3, qint32 s4, int table);
    int LoadTableOrDefaults(const QString& path, int table, qint32 s1, qint32 s2, qint32 s3,
                            qint32 s4);
    // Replaces the file as a whole; a failed write leaves the old file as it
    // was. A saved table must be loaded again before it is read or saved.
    int SaveTable(const QString& path, int table);
    // kind 0: score, kind 1: name, other kinds: "". "0" for a table not valid.
    QString GetEntry(int table, int kind, int place);

    // The place (1..4) a new score takes: the first one holding a lower
    // score, so that a tie ranks below the holder. 0 for no place or a table
    // that is not valid.
    int RankScore(int table, qint32 score);
    // Moves the places from place on down by one (the old place 4 drops out)
    // and stores the entry in place. 1 done; 0 for a table that is not valid
    // or a place outside 1..4.
    int InsertEntry(int table, int place, const QString& typedName, qint32 score);
    // Asked for the name of a new entry with the place it takes; returns the
    // name as typed (empty when the player cancelled).
    using NameQuestion = std::function<QString(int place)>;
    // Ranks the score, asks for the name only when it took a place, then
    // inserts it. 1 when it took a place.
    int InsertScore(int table, qint32 score, const NameQuestion& askName);

    bool TableValid(int table);
    bool Initialised() const { return initialised_; }

    // How a score compares: its leading number, blanks and a '-' allowed,
    // 0 when there is none, limited to the 32-bit range.
    static qint32 ScoreNumber(const QByteArray& text);
    static qint32 ScoreNumber(const ScoreValue& value);
    // The line a score is written as: " 120 ", "-120 ", or the text as read.
    static QByteArray ScoreLine(const ScoreValue& value);
    // A name as typed, made fit for a line of the file.
    static QByteArray NameFromInput(const QString& typed);

  private:
    static bool InRange(int index) { return index >= 0 && index < kSlots; }
    void EnsureInit();

    bool initialised_ = false;
    std::array<bool, kSlots> valid_{};
    std::array<std::array<QByteArray, kSlots>, kSlots> names_{};
    std::array<std::array<ScoreValue, kSlots>, kSlots> scores_{};
};

}  // namespace wf

#pragma once
// The music of a MOD: a short piece for a small band of General MIDI
// instruments, composed from a chord progression and a written melody.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace wf::assetgen {

struct MusicTheme {
    QByteArray title;
    int beatsPerMinute = 116;
    int keySharps = 0;  // key signature: sharps (negative: flats)
    bool minor = false;
    // Bars separated by '|', chord names such as G, Em, F#m; two chords in a
    // bar share it evenly.
    QString progression;
    // Bars separated by '|', notes such as D5:2 (name, octave, length in
    // eighths) or r:2 for a rest; every bar holds 8 eighths.
    QString melody;
    int leadProgram = 73;      // flute
    int arpeggioProgram = 24;  // nylon guitar
    int padProgram = 48;       // strings
    int bassProgram = 32;      // acoustic bass
    // Index into the chord tones for each eighth of a bar (root, third,
    // fifth, then the same an octave up); -1 lets the previous note ring.
    std::vector<int> arpeggio{0, 2, 3, 4, 5, 4, 3, 2};
    int padFromBar = 8;    // the strings come in here
    bool brushes = false;  // ride cymbal and soft kit instead of hi-hat
    std::vector<int> crashBars{0};
    // Channel volumes are the band's balance times this: a softer band (pads,
    // brushes) is turned up to sit as loud in the game as a brighter one.
    double level = 1.0;
    uint64_t seed = 1;
};

MusicTheme SummerTheme();
MusicTheme NightTheme();

// Standard MIDI File, format 1; throws std::invalid_argument for a theme
// whose melody or progression cannot be read.
QByteArray ComposeMidi(const MusicTheme& theme);

// MIDI key number of a note name such as "F#5" (A4 = 69); -1 when unreadable.
int NoteNumber(const QString& name);

}  // namespace wf::assetgen

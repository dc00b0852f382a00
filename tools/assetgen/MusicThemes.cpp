// The two pieces: a bright summer tune for the default MOD and a calmer
// night variation in the relative minor for "nachtflug".
#include "MidiComposer.h"

namespace wf::assetgen {

MusicTheme SummerTheme() {
    MusicTheme t;
    t.title = "Wolkenfang - Sommerwind";
    t.beatsPerMinute = 116;
    t.keySharps = 1;  // G major
    const QString a = "G | Em | C | D | G | Em | ";
    t.progression = a + "Am D | G | " + a + "C D | G | " + "C | D | Bm | Em | C | D | Am | D | " +
                    "G | Em | C | D | C | D | C D | G";
    const QString tune =
        "D5:2 B4:1 D5:1 G5:3 F#5:1 | E5:2 D5:1 B4:1 G4:2 B4:2 | "
        "C5:2 E5:1 G5:1 E5:2 C5:2 | D5:3 E5:1 F#5:2 A5:2 | "
        "B5:2 A5:1 G5:1 D5:3 B4:1 | E5:2 G5:1 E5:1 B4:4 | ";
    t.melody = tune + "C5:2 E5:1 A5:1 F#5:2 E5:1 D5:1 | G5:6 r:2 | " + tune +
               "E5:1 D5:1 C5:1 E5:1 D5:2 F#5:2 | G5:4 D5:2 B4:2 | " +
               "E5:3 G5:1 C6:2 B5:1 A5:1 | A5:3 F#5:1 D5:4 | F#5:2 D5:1 F#5:1 B5:2 A5:2 | "
               "G5:6 E5:2 | E5:2 G5:1 E5:1 C5:2 E5:2 | F#5:2 A5:1 F#5:1 D5:4 | "
               "C5:2 E5:2 A5:2 G5:1 F#5:1 | A5:4 F#5:2 D5:2 | "
               "D5:2 B4:1 D5:1 G5:3 F#5:1 | E5:2 D5:1 B4:1 G4:2 B4:2 | "
               "C5:2 E5:1 G5:1 E5:2 C5:2 | D5:3 E5:1 F#5:2 A5:2 | "
               "E5:2 G5:1 E5:1 C6:4 | B5:2 A5:1 G5:1 F#5:2 A5:2 | G5:2 E5:2 D5:2 F#5:2 | G5:8";
    t.crashBars = {0, 16, 24};
    t.level = 1.15;
    t.seed = 11;
    return t;
}

MusicTheme NightTheme() {
    MusicTheme t;
    t.title = "Nachtflug - Mondlicht";
    t.beatsPerMinute = 88;
    t.keySharps = 0;  // A minor
    t.minor = true;
    const QString a = "Am | F | C | G | Am | F | Dm E | Am | ";
    t.progression = a + "F | G | Em | Am | F | G | E | E | " + a.left(a.size() - 3);
    const QString tune =
        "E5:3 C5:1 A4:2 C5:2 | F5:3 E5:1 C5:4 | E5:2 G5:2 E5:1 D5:1 C5:2 | "
        "D5:6 B4:2 | E5:3 A5:1 G5:2 E5:2 | F5:2 E5:1 D5:1 C5:4 | "
        "D5:2 F5:2 E5:2 B4:2 | ";
    t.melody = tune + "A4:6 r:2 | " +
               "A5:3 G5:1 F5:2 C5:2 | D5:3 E5:1 G5:4 | B5:2 G5:2 E5:2 G5:2 | A5:6 E5:2 | "
               "F5:2 A5:2 C6:2 A5:2 | B5:3 A5:1 G5:4 | G#5:2 B5:2 E5:2 G#5:2 | B5:4 E5:4 | " +
               tune + "A4:8";
    t.leadProgram = 11;     // vibraphone
    t.arpeggioProgram = 4;  // electric piano
    t.padProgram = 89;      // warm pad
    t.bassProgram = 35;     // fretless bass
    t.arpeggio = {0, -1, 2, 3, 4, -1, 3, 2};
    t.padFromBar = 0;
    t.brushes = true;
    t.crashBars = {8, 16};
    t.level = 1.27;
    t.seed = 22;
    return t;
}

}  // namespace wf::assetgen

#include "MidiComposer.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "MidiFile.h"
#include "Rng.h"

namespace wf::assetgen {

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr uint32_t kEighth = kTicksPerQuarter / 2;
constexpr uint32_t kBar = 8 * kEighth;

enum Channel { kLead = 0, kArpeggio = 1, kPad = 2, kBass = 3, kDrums = 9 };
enum Drum {
    kKick = 36,
    kSideStick = 37,
    kSnare = 38,
    kClosedHat = 42,
    kOpenHat = 46,
    kLowTom = 45,
    kHighTom = 50,
    kCrash = 49,
    kRide = 51,
};

struct Chord {
    int root;  // pitch class, C = 0
    bool minor;
};

struct ChordSpan {
    Chord chord;
    uint32_t start;
    uint32_t length;
};

int PitchClass(const QString& name, int* consumed) {
    static const int kLetters[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.isEmpty() || name[0] < 'A' || name[0] > 'G')
        return -1;
    int pc = kLetters[name[0].unicode() - 'A'];
    *consumed = 1;
    if (name.size() > 1 && (name[1] == '#' || name[1] == 'b')) {
        pc += name[1] == '#' ? 1 : -1;
        *consumed = 2;
    }
    return (pc + 12) % 12;
}

std::vector<std::vector<Chord>> ParseProgression(const QString& text) {
    std::vector<std::vector<Chord>> bars;
    for (const QString& bar : text.split('|')) {
        std::vector<Chord> chords;
        for (const QString& name : bar.split(' ', Qt::SkipEmptyParts)) {
            int used = 0;
            const int pc = PitchClass(name, &used);
            const QString rest = name.mid(used);
            if (pc < 0 || (rest != "" && rest != "m")) {
                throw std::invalid_argument("unreadable chord " + name.toStdString());
            }
            chords.push_back({pc, rest == "m"});
        }
        if (chords.empty())
            throw std::invalid_argument("empty bar in progression");
        bars.push_back(chords);
    }
    return bars;
}

// The chord tones from a root in the given register: root, third, fifth and
// the same an octave higher.
std::vector<int> ChordTones(const Chord& c, int lowest) {
    const int root = lowest + ((c.root - lowest) % 12 + 12) % 12;
    const int third = root + (c.minor ? 3 : 4);
    return {root, third, root + 7, root + 12, third + 12, root + 19};
}

}  // namespace

int NoteNumber(const QString& name) {
    int used = 0;
    const int pc = PitchClass(name, &used);
    bool ok = false;
    const int octave = name.mid(used).toInt(&ok);
    if (pc < 0 || !ok)
        return -1;
    return 12 * (octave + 1) + pc;
}

QByteArray ComposeMidi(const MusicTheme& theme) {
    const auto progression = ParseProgression(theme.progression);
    const QStringList melodyBars = theme.melody.split('|');
    if (melodyBars.size() != static_cast<qsizetype>(progression.size())) {
        throw std::invalid_argument("melody and progression differ in length");
    }
    const int bars = static_cast<int>(progression.size());
    const uint32_t end = bars * kBar;
    Rng rng(theme.seed);
    const auto humanise = [&rng](int velocity) { return velocity + rng.Int(-5, 5); };

    std::vector<ChordSpan> spans;
    for (int b = 0; b < bars; ++b) {
        const uint32_t part = kBar / progression[b].size();
        for (size_t k = 0; k < progression[b].size(); ++k) {
            spans.push_back({progression[b][k], b * kBar + static_cast<uint32_t>(k) * part, part});
        }
    }

    MidiTrack conductor;
    conductor.Name(theme.title);
    conductor.Tempo(0, theme.beatsPerMinute);
    conductor.TimeSignature(0, 4, 2);
    conductor.KeySignature(0, theme.keySharps, theme.minor);

    // Instruments, volumes, a little reverb and a spread across the stereo field.
    std::vector<MidiTrack> parts(5);
    const int channels[] = {kLead, kArpeggio, kPad, kBass, kDrums};
    const int programs[] = {theme.leadProgram, theme.arpeggioProgram, theme.padProgram,
                            theme.bassProgram, 0};
    const QByteArray names[] = {"Melodie", "Begleitung", "Flaeche", "Bass", "Schlagzeug"};
    const int volumes[] = {100, 82, 70, 96, 84};
    const int pans[] = {70, 44, 84, 64, 64};
    for (int i = 0; i < 5; ++i) {
        parts[i].Name(names[i]);
        if (channels[i] != kDrums)
            parts[i].Program(0, channels[i], programs[i]);
        parts[i].Controller(
            0, channels[i], 7,
            std::clamp(static_cast<int>(std::lround(volumes[i] * theme.level)), 0, 127));
        parts[i].Controller(0, channels[i], 10, pans[i]);
        parts[i].Controller(0, channels[i], 91, 48);
    }
    MidiTrack& lead = parts[0];
    MidiTrack& arpeggio = parts[1];
    MidiTrack& pad = parts[2];
    MidiTrack& bass = parts[3];
    MidiTrack& drums = parts[4];

    for (int b = 0; b < bars; ++b) {
        uint32_t at = b * kBar;
        for (const QString& token : melodyBars[b].split(' ', Qt::SkipEmptyParts)) {
            const QStringList pieces = token.split(':');
            const uint32_t length = pieces.size() == 2 ? pieces[1].toUInt() * kEighth : 0;
            const int key = pieces[0] == "r" ? 0 : NoteNumber(pieces[0]);
            if (length == 0 || key < 0) {
                throw std::invalid_argument("unreadable note " + token.toStdString());
            }
            if (key > 0) {
                const bool downbeat = (at % (2 * kEighth)) == 0;
                lead.Note(at, kLead, key, humanise(downbeat ? 92 : 82), length - 24);
            }
            at += length;
        }
        if (at != (b + 1) * kBar) {
            throw std::invalid_argument("melody bar " + std::to_string(b + 1) +
                                        " is not 8 eighths");
        }
    }

    for (size_t i = 0; i < spans.size(); ++i) {
        const ChordSpan& s = spans[i];
        const bool finalChord = i + 1 == spans.size();
        const auto tones = ChordTones(s.chord, 48);
        const auto padTones = ChordTones(s.chord, 55);
        const auto bassTones = ChordTones(s.chord, 36);
        if (finalChord) {
            // A strummed tonic chord that rings to the very end of the piece.
            for (int k = 0; k < 4; ++k) {
                arpeggio.Note(s.start + k * 30, kArpeggio, tones[k], humanise(76),
                              end - s.start - k * 30);
            }
            bass.Note(s.start, kBass, bassTones[0], humanise(96), end - s.start);
        } else {
            const uint32_t steps = s.length / kEighth;
            const uint32_t first = (s.start % kBar) / kEighth;
            for (uint32_t e = 0; e < steps; ++e) {
                const int index = theme.arpeggio[(first + e) % theme.arpeggio.size()];
                if (index < 0)
                    continue;
                uint32_t ring = 1;
                while (e + ring < steps &&
                       theme.arpeggio[(first + e + ring) % theme.arpeggio.size()] < 0) {
                    ++ring;
                }
                const bool beat = ((first + e) % 2) == 0;
                arpeggio.Note(s.start + e * kEighth, kArpeggio, tones[index],
                              humanise(beat ? 72 : 60), ring * kEighth - 10);
            }
            // Bass: root, a pickup on the root, the fifth and the third.
            if (s.length == kBar) {
                bass.Note(s.start, kBass, bassTones[0], humanise(100), 3 * kEighth - 20);
                bass.Note(s.start + 3 * kEighth, kBass, bassTones[0], humanise(78), kEighth - 10);
                bass.Note(s.start + 4 * kEighth, kBass, bassTones[2], humanise(90),
                          2 * kEighth - 20);
                bass.Note(s.start + 6 * kEighth, kBass, bassTones[1], humanise(80),
                          2 * kEighth - 20);
            } else {
                bass.Note(s.start, kBass, bassTones[0], humanise(98), s.length / 2 - 20);
                bass.Note(s.start + s.length / 2, kBass, bassTones[2], humanise(84),
                          s.length / 2 - 20);
            }
        }
        const int bar = static_cast<int>(s.start / kBar);
        if (bar >= theme.padFromBar) {
            const uint32_t length = finalChord ? end - s.start : s.length - 6;
            for (int k = 0; k < 3; ++k)
                pad.Note(s.start, kPad, padTones[k], humanise(52), length);
        }
    }

    for (int b = 0; b < bars; ++b) {
        const uint32_t bar = b * kBar;
        const bool crash =
            std::find(theme.crashBars.begin(), theme.crashBars.end(), b) != theme.crashBars.end();
        if (b == bars - 1) {
            // The last bar: one accent, then the band holds the tonic.
            drums.Note(bar, kDrums, kKick, humanise(100), kEighth);
            drums.Note(bar, kDrums, kCrash, humanise(90), 4 * kEighth);
            continue;
        }
        if (crash)
            drums.Note(bar, kDrums, kCrash, humanise(96), 2 * kEighth);
        const bool fill = b % 8 == 7;
        for (int e = 0; e < 8; ++e) {
            const uint32_t at = bar + e * kEighth;
            if (fill && e >= 6) {
                drums.Note(at, kDrums, e == 6 ? kHighTom : kLowTom, humanise(88), kEighth - 20);
                continue;
            }
            if (e == 0 || e == 4 || (!theme.brushes && e == 7 && b % 2 == 1)) {
                drums.Note(at, kDrums, kKick, humanise(theme.brushes ? 80 : 98), kEighth - 20);
            }
            if (e == 2 || e == 6) {
                drums.Note(at, kDrums, theme.brushes ? kSideStick : kSnare,
                           humanise(theme.brushes ? 62 : 74), kEighth - 20);
            }
            if (theme.brushes) {
                if (e % 2 == 0 || e == 5)
                    drums.Note(at, kDrums, kRide, humanise(e % 2 ? 48 : 62), kEighth);
            } else if (!(crash && e == 0)) {
                const bool open = e == 7 && b % 4 == 3;
                drums.Note(at, kDrums, open ? kOpenHat : kClosedHat, humanise(e % 2 ? 46 : 64),
                           kEighth - 30);
            }
        }
    }

    std::vector<MidiTrack> tracks;
    tracks.push_back(conductor);
    for (const MidiTrack& t : parts)
        tracks.push_back(t);
    return MidiFileBytes(tracks, kTicksPerQuarter, end);
}

}  // namespace wf::assetgen

#pragma once
// Media files of the shapes that once kept the game busy for minutes, made
// the way an attacker makes them: small, and within every size limit.
#include <QByteArray>
#include <QSize>

namespace wf::test {

// A progressive JPEG of one colour whose scans, repeated before its end,
// number `scans`: each costs a few bytes and a pass over every block.
QByteArray ScanBombJpeg(QSize size, int scans);

// A MIDI file of one track: `noteOns` note-ons over four octaves, at full
// strength, `ticksApart` ticks apart, at 480 ticks a quarter and the tempo
// given (microseconds a quarter); released all at once a quarter after the
// last when told.
QByteArray NoteBombMidi(int noteOns, int ticksApart, int microsPerQuarter = 500000,
                        bool released = false);

}  // namespace wf::test

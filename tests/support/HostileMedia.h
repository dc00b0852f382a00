#pragma once
// Media files of the shapes that once kept the game busy for minutes, made
// the way an attacker makes them: small, and within every size limit.
#include <QByteArray>
#include <QSize>

namespace wf::test {

// A progressive JPEG of one colour of `scans` scans, its own repeated: each
// a few bytes and a pass over every block; with everyComponent the first,
// a few bits of every block of every component, the costliest. With
// restarts each repeated scan ends on a restart marker, as a camera's do.
QByteArray ScanBombJpeg(QSize size, int scans, bool everyComponent = false, bool restarts = false);

// A MIDI file of `noteOns` note-ons over four octaves at full strength,
// `ticksApart` ticks apart at 480 a quarter and the tempo given; released
// all at once a quarter after the last when told.
QByteArray NoteBombMidi(int noteOns, int ticksApart, int microsPerQuarter = 500000,
                        bool released = false);

}  // namespace wf::test

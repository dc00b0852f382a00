#pragma once
// Building Standard MIDI Files: tracks of timed events, written as format 1.
#include <QByteArray>

#include <cstdint>
#include <vector>

namespace wf::assetgen {

class MidiTrack {
  public:
    void Note(uint32_t tick, int channel, int key, int velocity, uint32_t length);
    void Program(uint32_t tick, int channel, int program);
    void Controller(uint32_t tick, int channel, int controller, int value);
    void Tempo(uint32_t tick, int beatsPerMinute);
    void TimeSignature(uint32_t tick, int numerator, int denominatorPower);
    void KeySignature(uint32_t tick, int sharps, bool minor);
    void Name(const QByteArray& name);

    // The track chunk; end-of-track at endTick or after the last event.
    QByteArray Chunk(uint32_t endTick) const;

  private:
    struct Event {
        uint32_t tick;
        int order;  // at the same tick: meta first, then note-offs, then the rest
        QByteArray bytes;
    };
    void Add(uint32_t tick, int order, QByteArray bytes);
    std::vector<Event> events_;
};

// A format 1 file of the given tracks (the first is the tempo track).
QByteArray MidiFileBytes(const std::vector<MidiTrack>& tracks, int ticksPerQuarter,
                         uint32_t endTick);

}  // namespace wf::assetgen

#include "MidiFile.h"

#include <algorithm>

namespace wf::assetgen {

namespace {

void AppendVarLen(QByteArray& out, uint32_t v) {
    char groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<char>(v & 0x7F);
        v >>= 7;
    } while (v != 0);
    while (n > 1)
        out.append(static_cast<char>(groups[--n] | 0x80));
    out.append(groups[0]);
}

void AppendBE32(QByteArray& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((v >> shift) & 0xFF));
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v & 0xFF));
    return b;
}

QByteArray Meta(int type, const QByteArray& data) {
    QByteArray b = Bytes({0xFF, type});
    AppendVarLen(b, static_cast<uint32_t>(data.size()));
    return b + data;
}

}  // namespace

void MidiTrack::Add(uint32_t tick, int order, QByteArray bytes) {
    events_.push_back({tick, order, std::move(bytes)});
}

void MidiTrack::Note(uint32_t tick, int channel, int key, int velocity, uint32_t length) {
    Add(tick, 2, Bytes({0x90 | channel, key, std::clamp(velocity, 1, 127)}));
    Add(tick + length, 1, Bytes({0x80 | channel, key, 64}));
}

void MidiTrack::Program(uint32_t tick, int channel, int program) {
    Add(tick, 0, Bytes({0xC0 | channel, program}));
}

void MidiTrack::Controller(uint32_t tick, int channel, int controller, int value) {
    Add(tick, 0, Bytes({0xB0 | channel, controller, value}));
}

void MidiTrack::Tempo(uint32_t tick, int beatsPerMinute) {
    const uint32_t micros = 60000000u / static_cast<uint32_t>(beatsPerMinute);
    Add(tick, 0, Meta(0x51, Bytes({int(micros >> 16), int(micros >> 8), int(micros)})));
}

void MidiTrack::TimeSignature(uint32_t tick, int numerator, int denominatorPower) {
    Add(tick, 0, Meta(0x58, Bytes({numerator, denominatorPower, 24, 8})));
}

void MidiTrack::KeySignature(uint32_t tick, int sharps, bool minor) {
    Add(tick, 0, Meta(0x59, Bytes({sharps, minor ? 1 : 0})));
}

void MidiTrack::Name(const QByteArray& name) {
    Add(0, 0, Meta(0x03, name));
}

QByteArray MidiTrack::Chunk(uint32_t endTick) const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    QByteArray body;
    uint32_t now = 0;
    for (const Event& e : sorted) {
        AppendVarLen(body, e.tick - now);
        body += e.bytes;
        now = e.tick;
    }
    AppendVarLen(body, endTick > now ? endTick - now : 0);
    body += Bytes({0xFF, 0x2F, 0x00});
    QByteArray chunk("MTrk");
    AppendBE32(chunk, static_cast<uint32_t>(body.size()));
    return chunk + body;
}

QByteArray MidiFileBytes(const std::vector<MidiTrack>& tracks, int ticksPerQuarter,
                         uint32_t endTick) {
    QByteArray out("MThd");
    AppendBE32(out, 6);
    out += Bytes({0, 1});
    out += Bytes({static_cast<int>(tracks.size()) >> 8, static_cast<int>(tracks.size())});
    out += Bytes({ticksPerQuarter >> 8, ticksPerQuarter});
    for (const MidiTrack& t : tracks)
        out += t.Chunk(endTick);
    return out;
}

}  // namespace wf::assetgen

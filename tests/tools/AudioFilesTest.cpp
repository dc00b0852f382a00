// The shot sounds and the music of both MODs, parsed from their files.
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "FluidMusic.h"
#include "GeneratedGame.h"
#include "IniAccess.h"
#include "Paths.h"

namespace wf::assetgen::testing {
namespace {

QString ModFile(const char* mod, const char* key) {
    const QString dir = Generated().dir + "/mods/" + mod;
    return JoinStoredPath(dir, ReadIniTextFromBytes(ReadDefinition(dir, "mod"), "sfx", key));
}

uint32_t LE32(const QByteArray& b, int at) {
    return qFromLittleEndian<uint32_t>(b.constData() + at);
}
uint16_t LE16(const QByteArray& b, int at) {
    return qFromLittleEndian<uint16_t>(b.constData() + at);
}

TEST(ShotSound, ShortSixteenBitPcm) {
    for (const char* mod : {"wolkfng4", "nachtflug"}) {
        SCOPED_TRACE(mod);
        const QByteArray wav = ReadFileBytes(ModFile(mod, "SchussSound"));
        ASSERT_GE(wav.size(), 44);
        EXPECT_EQ(wav.left(4), "RIFF");
        EXPECT_EQ(LE32(wav, 4), static_cast<uint32_t>(wav.size() - 8));
        EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(LE32(wav, 16), 16u);
        EXPECT_EQ(LE16(wav, 20), 1);  // PCM
        EXPECT_EQ(LE16(wav, 22), 1);  // mono
        const uint32_t rate = LE32(wav, 24);
        EXPECT_EQ(rate, 44100u) << "the mixer's own rate, no dull resampling";
        EXPECT_EQ(LE32(wav, 28), rate * 2);
        EXPECT_EQ(LE16(wav, 32), 2);
        EXPECT_EQ(LE16(wav, 34), 16);
        ASSERT_EQ(wav.mid(36, 4), "data");
        const uint32_t bytes = LE32(wav, 40);
        ASSERT_EQ(bytes, static_cast<uint32_t>(wav.size() - 44));
        const int n = static_cast<int>(bytes / 2);
        EXPECT_LT(n, static_cast<int>(rate / 2)) << "longer than half a second";
        EXPECT_GT(n, static_cast<int>(rate / 10));
        // Loud at the start, dying away, silent at the end.
        const auto rms = [&](int from, int to) {
            double s = 0;
            for (int i = from; i < to; ++i)
                s += std::pow(static_cast<int16_t>(LE16(wav, 44 + 2 * i)), 2);
            return std::sqrt(s / (to - from));
        };
        const int tenth = n / 10;
        EXPECT_GT(rms(0, tenth), 3000);
        EXPECT_LT(rms(n - tenth, n), rms(0, tenth) / 8);
        EXPECT_EQ(static_cast<int16_t>(LE16(wav, 44 + 2 * (n - 1))), 0);
    }
}

// Level of 16-bit samples as RMS in dB below full scale.
double RmsDbfs(const int16_t* samples, size_t count) {
    double sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return 20 * std::log10(std::sqrt(sum / std::max<size_t>(count, 1)) / 32768.0 + 1e-12);
}

// The mix as the player hears it: the music rendered through the game's own
// synthesizer path (sound font and gain as in a game), the shot as the
// mixer plays it, at full volume on top.
TEST(Mix, TheMusicIsHeardAndTheShotStandsOutWithoutClipping) {
    for (const char* mod : {"wolkfng4", "nachtflug"}) {
        SCOPED_TRACE(mod);
        const std::vector<int16_t> music = FluidMusic::RenderPiece(ModFile(mod, "Musik"), 44100);
        ASSERT_GT(music.size(), 2u * 44100 * 10) << "no sound font, or the piece did not play";
        const double musicDb = RmsDbfs(music.data(), music.size());
        const auto loudest = std::max_element(
            music.begin(), music.end(), [](int a, int b) { return std::abs(a) < std::abs(b); });
        EXPECT_LT(std::abs(int{*loudest}), 32767) << "the music clips";

        const QByteArray wav = ReadFileBytes(ModFile(mod, "SchussSound"));
        ASSERT_GT(wav.size(), 44);
        ASSERT_EQ(LE32(wav, 24), 44100u);
        std::vector<int16_t> shot((wav.size() - 44) / 2);
        int peak = 0;
        for (size_t i = 0; i < shot.size(); ++i) {
            shot[i] = static_cast<int16_t>(LE16(wav, 44 + 2 * static_cast<int>(i)));
            peak = std::max(peak, std::abs(int{shot[i]}));
        }
        const double peakDb = 20 * std::log10(peak / 32768.0);
        const double shotDb = RmsDbfs(shot.data(), std::min<size_t>(shot.size(), 4410));
        std::cout << "[ measured ] " << mod << ": music " << musicDb << " dBFS RMS, shot peak "
                  << peakDb << " dBFS, shot's first 100 ms " << shotDb << " dBFS RMS\n";
        EXPECT_GE(musicDb, -22.0);
        EXPECT_LE(peakDb, -1.0);
        EXPECT_LE(shotDb - musicDb, 10.0);
        EXPECT_GE(shotDb - musicDb, 3.0) << "the shot drowns in the music";
    }
}

// What a Standard MIDI File holds, as far as the checks need it.
struct Smf {
    int format = -1;
    int division = 0;
    std::vector<uint32_t> trackEnds;      // tick of each end-of-track
    std::map<uint32_t, uint32_t> tempos;  // tick -> microseconds per quarter
    std::set<int> programChannels;
    std::optional<std::pair<int, bool>> key;  // sharps, minor
    struct Note {
        int channel, key;
        uint32_t on, off;
    };
    std::vector<Note> notes;
    int danglingNotes = 0;
};

uint32_t BE(const QByteArray& b, int at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}

// Parses the file; fails the test on anything malformed.
Smf ParseSmf(const QByteArray& f) {
    Smf smf;
    EXPECT_EQ(f.left(4), "MThd");
    EXPECT_EQ(BE(f, 4, 4), 6u);
    smf.format = static_cast<int>(BE(f, 8, 2));
    const int tracks = static_cast<int>(BE(f, 10, 2));
    smf.division = static_cast<int>(BE(f, 12, 2));
    int at = 14;
    for (int t = 0; t < tracks; ++t) {
        EXPECT_EQ(f.mid(at, 4), "MTrk") << "track " << t;
        const int end = at + 8 + static_cast<int>(BE(f, at + 4, 4));
        if (end > f.size()) {
            ADD_FAILURE() << "track " << t << " runs past the file";
            return smf;
        }
        int p = at + 8;
        uint32_t tick = 0;
        int status = 0;
        bool ended = false;
        std::map<std::pair<int, int>, uint32_t> open;
        const auto varLen = [&]() {
            uint32_t v = 0;
            for (int i = 0; i < 4 && p < end; ++i) {
                const uint8_t b = static_cast<uint8_t>(f[p++]);
                v = (v << 7) | (b & 0x7F);
                if (!(b & 0x80))
                    break;
            }
            return v;
        };
        while (p < end && !ended) {
            tick += varLen();
            if (static_cast<uint8_t>(f[p]) & 0x80)
                status = static_cast<uint8_t>(f[p++]);
            if (status == 0xFF) {
                const int type = static_cast<uint8_t>(f[p++]);
                const int len = static_cast<int>(varLen());
                if (type == 0x2F) {
                    ended = true;
                    smf.trackEnds.push_back(tick);
                } else if (type == 0x51) {
                    smf.tempos[tick] = BE(f, p, 3);
                } else if (type == 0x59) {
                    smf.key = {static_cast<int8_t>(f[p]), f[p + 1] != 0};
                }
                p += len;
                status = 0;
            } else if (status == 0xF0 || status == 0xF7) {
                p += static_cast<int>(varLen());
            } else {
                const int kind = status & 0xF0, ch = status & 0x0F;
                const int a = static_cast<uint8_t>(f[p]);
                const int b = kind == 0xC0 || kind == 0xD0 ? 0 : static_cast<uint8_t>(f[p + 1]);
                p += kind == 0xC0 || kind == 0xD0 ? 1 : 2;
                if (kind == 0xC0)
                    smf.programChannels.insert(ch);
                if (kind == 0x90 && b > 0) {
                    if (open.count({ch, a}))
                        ++smf.danglingNotes;
                    open[{ch, a}] = tick;
                } else if (kind == 0x80 || kind == 0x90) {
                    auto it = open.find({ch, a});
                    if (it == open.end()) {
                        ++smf.danglingNotes;
                    } else {
                        smf.notes.push_back({ch, a, it->second, tick});
                        open.erase(it);
                    }
                }
            }
        }
        EXPECT_TRUE(ended) << "track " << t << " has no end-of-track";
        EXPECT_EQ(p, end) << "track " << t << " has bytes after its end-of-track";
        smf.danglingNotes += static_cast<int>(open.size());
        at = end;
    }
    EXPECT_EQ(at, f.size());
    return smf;
}

double Seconds(const Smf& smf, uint32_t tick) {
    double s = 0;
    uint32_t last = 0, tempo = 500000;
    for (const auto& [at, micros] : smf.tempos) {
        if (at >= tick)
            break;
        s += double(at - last) * tempo / smf.division / 1e6;
        last = at;
        tempo = micros;
    }
    return s + double(tick - last) * tempo / smf.division / 1e6;
}

TEST(Music, AStandardMidiFileThatLoopsWell) {
    for (const char* mod : {"wolkfng4", "nachtflug"}) {
        SCOPED_TRACE(mod);
        const Smf smf = ParseSmf(ReadFileBytes(ModFile(mod, "Musik")));
        EXPECT_TRUE(smf.format == 0 || smf.format == 1);
        ASSERT_GT(smf.division, 0);
        ASSERT_FALSE(smf.trackEnds.empty());
        ASSERT_FALSE(smf.tempos.empty());
        ASSERT_FALSE(smf.notes.empty());
        EXPECT_EQ(smf.danglingNotes, 0);
        const uint32_t end = *std::max_element(smf.trackEnds.begin(), smf.trackEnds.end());
        EXPECT_GE(Seconds(smf, end), 45.0);
        EXPECT_GE(smf.programChannels.size(), 3u);
        EXPECT_TRUE(std::any_of(smf.notes.begin(), smf.notes.end(), [](const auto& n) {
            return n.channel == 9;
        })) << "no drums on channel 10";
        // No silent tail: the last note stops within a beat of the end.
        uint32_t lastOff = 0;
        for (const auto& n : smf.notes)
            lastOff = std::max(lastOff, n.off);
        EXPECT_LE(end - lastOff, static_cast<uint32_t>(smf.division));
        // It ends on the tonic of its key: the lowest note still sounding in
        // the last beat is the key's root.
        ASSERT_TRUE(smf.key.has_value());
        const int majorTonic = ((smf.key->first * 7) % 12 + 12) % 12;
        const int tonic = smf.key->second ? (majorTonic + 9) % 12 : majorTonic;
        int lowest = 128;
        for (const auto& n : smf.notes) {
            if (n.channel != 9 && n.off + smf.division >= end)
                lowest = std::min(lowest, n.key);
        }
        ASSERT_LT(lowest, 128);
        EXPECT_EQ(lowest % 12, tonic);
    }
}

}  // namespace
}  // namespace wf::assetgen::testing

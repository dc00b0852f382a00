// Music that would keep the synthesizer busy for long never reaches it: the
// game's thread, which waits on the synthesizer's lock, keeps its pace.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

#include "FluidMusic.h"
#include "HostileMedia.h"
#include "SdlAudioDevice.h"

namespace wf {
namespace {

// Each piece through the real synthesizer on the silent audio driver. Before
// these limits the first row kept the audio thread busy for minutes under
// the lock, and MusicRunning, which the game asks at every tick, waited.
TEST(Music, APieceOfTooManyEventsIsSkippedWithOneLine) {
    const struct {
        const char* what;
        QByteArray midi;
        const char* problem;  // "": played
    } pieces[] = {
        // The tempo change and the track's end are events too.
        {"2.79 million note-ons at one tick (8.4 MB)", test::NoteBombMidi(2790000, 0),
         "mehr als 100000 MIDI-Ereignisse"},
        {"5,000 note-ons at one tick", test::NoteBombMidi(5000, 0),
         "5001 MIDI-Ereignisse in einer Zehntelsekunde"},
        {"50,000 note-ons a tick apart, a quarter a microsecond", test::NoteBombMidi(50000, 1, 1),
         "50002 MIDI-Ereignisse in einer Zehntelsekunde"},
        {"1,000 note-ons 10 ms apart", test::NoteBombMidi(1000, 10), ""},
    };
    for (const auto& piece : pieces) {
        SCOPED_TRACE(piece.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("musik.mid");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(piece.midi) == piece.midi.size());
        file.close();
        FluidMusic music;
        testing::internal::CaptureStderr();
        music.MusicOpenAndPlay(path);
        const int running = music.MusicRunning();
        const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
        if (*piece.problem) {
            EXPECT_EQ(running, 0);
            EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
            EXPECT_TRUE(err.contains("MOD '" + path + "': " + QString::fromUtf8(piece.problem)))
                << err.toStdString();
        } else {
            EXPECT_EQ(running, 1);
            EXPECT_TRUE(err.isEmpty()) << err.toStdString();
        }
    }
}

// Two hundred notes struck at once at full strength would sum far beyond
// full scale: the limiter holds them at the music's headroom, which leaves
// the shot its room.
TEST(Music, TheLoudestPieceStaysWithinTheMusicsHeadroom) {
    QTemporaryDir dir;
    const QString path = dir.filePath("laut.mid");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) &&
                file.write(test::NoteBombMidi(200, 0, 500000, true)) > 0);
    file.close();
    const std::vector<int16_t> piece = FluidMusic::RenderPiece(path, 44100);
    ASSERT_FALSE(piece.empty()) << "no sound font";
    int peak = 0;
    for (const int16_t s : piece)
        peak = std::max(peak, std::abs(int{s}));
    const double ceiling = SdlAudioDevice::kMusicPeak * 32767;
    EXPECT_LE(peak, ceiling);
    EXPECT_GE(peak, 0.9 * ceiling) << "held far below its headroom";
}

}  // namespace
}  // namespace wf

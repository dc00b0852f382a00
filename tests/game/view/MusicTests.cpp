// Music that would keep the synthesizer busy for long never reaches it, and
// no piece leaves the shot less than its headroom in the mix.
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

struct Piece {
    QTemporaryDir dir;
    QString path = dir.filePath("musik.mid");
    explicit Piece(const QByteArray& midi) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(midi) == midi.size());
    }
};

// Through the real synthesizer on the silent audio driver. Without these
// limits the first piece kept the audio thread busy for minutes under the
// lock that MusicRunning, asked at every tick of a game, waits on.
TEST(Music, APieceOfTooManyEventsIsSkippedWithOneLine) {
    const struct {
        const char* what;
        QByteArray midi;
        const char* problem;  // "": played; the tempo and the track's end count too
    } pieces[] = {
        {"2.79 million note-ons at one tick (8.4 MB)", test::NoteBombMidi(2790000, 0),
         "mehr als 100000 MIDI-Ereignisse"},
        {"5,000 note-ons at one tick", test::NoteBombMidi(5000, 0),
         "5001 MIDI-Ereignisse in einer Zehntelsekunde"},
        {"999 note-ons at one tick: the bound itself", test::NoteBombMidi(999, 0), ""},
        {"50,000 note-ons a tick apart, a quarter a microsecond", test::NoteBombMidi(50000, 1, 1),
         "50002 MIDI-Ereignisse in einer Zehntelsekunde"},
        {"1,000 note-ons 10 ms apart", test::NoteBombMidi(1000, 10), ""},
        {"cut after the status of its last event", test::NoteBombMidi(1000, 10).chopped(2),
         "nicht abspielbar"},
    };
    for (const auto& p : pieces) {
        SCOPED_TRACE(p.what);
        const Piece piece(p.midi);
        FluidMusic music;
        testing::internal::CaptureStderr();
        music.MusicOpenAndPlay(piece.path);
        EXPECT_EQ(music.MusicRunning(), *p.problem ? 0 : 1);
        const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(err.count('\n'), *p.problem ? 1 : 0) << err.toStdString();
        EXPECT_EQ(err.contains("MOD '" + piece.path + "': " + p.problem), *p.problem != 0)
            << err.toStdString();
    }
}

// Two hundred notes struck at once at full strength would sum far beyond
// full scale: the limiter holds them at the music's headroom.
TEST(Music, TheLoudestPieceStaysWithinTheMusicsHeadroom) {
    const Piece piece(test::NoteBombMidi(200, 0, 500000, true));
    const std::vector<int16_t> samples = FluidMusic::RenderPiece(piece.path, 44100);
    ASSERT_FALSE(samples.empty()) << "no sound font";
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    const double peak = std::max(-*low, int{*high}), ceiling = SdlAudioDevice::kMusicPeak * 32767;
    EXPECT_LE(peak, ceiling);
    EXPECT_GE(peak, 0.9 * ceiling) << "held far below its headroom";
}

}  // namespace
}  // namespace wf

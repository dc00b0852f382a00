// Music that would keep the synthesizer busy for long never reaches it: the
// game's thread, which waits on the synthesizer's lock, keeps its pace.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "FluidMusic.h"
#include "HostileMedia.h"

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

}  // namespace
}  // namespace wf

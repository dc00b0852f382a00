// Sound and music on the real mixer device (the dummy driver in the test
// environment, which consumes audio in real time) with files the tests write.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <utility>

#include "FluidMusic.h"
#include "SdlAudioDevice.h"
#include "SdlSound.h"

namespace wf {
namespace {

// Nothing is heard: the dummy driver consumes the audio in real time. Set
// here as well because the runner's environment may not reach the program.
const bool kDummyDriver = [] { return setenv("SDL_AUDIODRIVER", "dummy", 0) == 0; }();

constexpr int kPieceTicks = 960;  // two beats at 480 ticks a beat, 120 bpm: one second

void Put(QByteArray& out, std::initializer_list<std::pair<quint32, int>> fields, bool big) {
    for (const auto& [v, bytes] : fields) {
        for (int i = 0; i < bytes; ++i)
            out.append(static_cast<char>((v >> (8 * (big ? bytes - 1 - i : i))) & 0xFF));
    }
}

// A one-track piece of three notes, one second long (480 ticks a beat, 120 bpm).
QByteArray ShortPiece() {
    const QByteArray track(
        "\x00\xFF\x51\x03\x07\xA1\x20"  // 500000 µs a beat
        "\x00\xC0\x00\x00\x90\x3C\x64\x81\x70\x80\x3C\x40\x00\x90\x40\x64"
        "\x81\x70\x80\x40\x40\x00\x90\x43\x64\x83\x60\x80\x43\x40\x00\xFF\x2F\x00",
        41);
    QByteArray file("MThd");
    Put(file, {{6, 4}, {0, 2}, {1, 2}, {480, 2}}, true);
    file.append("MTrk");
    Put(file, {{static_cast<quint32>(track.size()), 4}}, true);
    return file + track;
}

// Half a second of a 440 Hz tone, 16-bit mono.
QByteArray ShortWave() {
    constexpr int rate = 22050;
    QByteArray samples;
    for (int i = 0; i < rate / 2; ++i) {
        const double v = std::sin(2.0 * M_PI * 440.0 * i / rate) * 8000.0;
        Put(samples, {{static_cast<quint16>(static_cast<qint16>(v)), 2}}, false);
    }
    const quint32 size = static_cast<quint32>(samples.size());
    QByteArray file("RIFF");
    Put(file, {{36 + size, 4}}, false);
    file.append("WAVEfmt ");
    Put(file, {{16, 4}, {1, 2}, {1, 2}, {rate, 4}, {rate * 2, 4}, {2, 2}, {16, 2}}, false);
    file.append("data");
    Put(file, {{size, 4}}, false);
    return file + samples;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    return path;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}

class MusicTest : public ::testing::Test {
  protected:
    // One synthesizer for the suite: loading the sound font is the slow part.
    static void SetUpTestSuite() {
        ASSERT_TRUE(kDummyDriver);
        music_ = new FluidMusic();
        ready_ = music_->Preload();
    }
    static void TearDownTestSuite() {
        delete music_;
        music_ = nullptr;
    }
    void SetUp() override {
        if (!QFileInfo::exists(QString::fromLatin1(FluidMusic::kDefaultSoundFont))) {
            GTEST_SKIP() << "the General MIDI sound font is not installed";
        }
        ASSERT_TRUE(ready_) << "no audio device or synthesizer";
        ASSERT_TRUE(dir_.isValid());
        piece_ = WriteFile(dir_, "piece.mid", ShortPiece());
    }
    void TearDown() override {
        if (music_)
            music_->MusicStopRewind();
    }

    static FluidMusic* music_;
    static bool ready_;
    QTemporaryDir dir_;
    QString piece_;
};
FluidMusic* MusicTest::music_ = nullptr;
bool MusicTest::ready_ = false;

TEST_F(MusicTest, PlaysToItsEndAndOnlyARewindStartsItAgain) {
    FluidMusic& m = *music_;
    QElapsedTimer clock;
    clock.start();
    m.MusicOpenAndPlay(piece_);
    EXPECT_EQ(m.MusicRunning(), 1);
    ASSERT_TRUE(WaitFor([&] { return m.CurrentTick() > 0; }, 1000));
    EXPECT_EQ(m.TotalTicks(), kPieceTicks);

    ASSERT_TRUE(WaitFor([&] { return m.MusicRunning() == 0; }, 4000));
    EXPECT_GE(clock.elapsed(), 800) << "the piece must play in real time";
    EXPECT_GE(m.CurrentTick(), kPieceTicks);

    // Playing at the end without a rewind stays at the end.
    m.MusicPlay();
    QThread::msleep(100);
    EXPECT_EQ(m.MusicRunning(), 0);

    m.MusicStopRewind();
    EXPECT_EQ(m.MusicRunning(), 1);
    QThread::msleep(100);
    EXPECT_EQ(m.MusicRunning(), 1) << "a rewound piece that waits for play is not at its end";

    m.MusicPlay();
    ASSERT_TRUE(WaitFor([&] { return m.CurrentTick() < kPieceTicks / 4; }, 1000));
    EXPECT_EQ(m.MusicRunning(), 1);
}

TEST_F(MusicTest, StopRewindInTheMiddleHoldsAndPlayStartsFromTheBeginning) {
    FluidMusic& m = *music_;
    m.MusicOpenAndPlay(piece_);
    ASSERT_TRUE(WaitFor([&] { return m.CurrentTick() > kPieceTicks / 3; }, 2000));
    m.MusicStopRewind();
    const int held = m.CurrentTick();
    QThread::msleep(150);
    EXPECT_EQ(m.CurrentTick(), held) << "a stopped piece must not advance";
    EXPECT_EQ(m.MusicRunning(), 1);

    m.MusicPlay();
    EXPECT_TRUE(WaitFor([&] { return m.CurrentTick() < kPieceTicks / 4; }, 1000));
    EXPECT_EQ(m.MusicRunning(), 1);
}

TEST_F(MusicTest, UnplayableFilesLeaveNothingOpen) {
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"not MIDI at all", QByteArray("RIFF....WAVEfmt ")},
        {"a track cut short", ShortPiece().left(30)},
    };
    FluidMusic& m = *music_;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m.MusicOpenAndPlay(piece_);
        m.MusicOpenAndPlay(WriteFile(dir_, "bad.mid", c.bytes));
        EXPECT_TRUE(WaitFor([&] { return m.MusicRunning() == 0; }, 1000));
        EXPECT_EQ(m.CurrentTick(), -1);
        m.MusicStopRewind();
        m.MusicPlay();
        EXPECT_EQ(m.MusicRunning(), 0);
    }
}

TEST(MusicWithout, ASoundFontIsSilentAndNotRunning) {
    QTemporaryDir dir;
    FluidMusic m(dir.filePath("missing.sf2"));
    EXPECT_FALSE(m.Preload());
    m.MusicOpenAndPlay(WriteFile(dir, "piece.mid", ShortPiece()));
    m.MusicStopRewind();
    m.MusicPlay();
    EXPECT_EQ(m.MusicRunning(), 0);
}

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SdlAudioDevice::Open()) << "no audio device";
        ASSERT_TRUE(dir_.isValid());
        wave_ = WriteFile(dir_, "shot.wav", ShortWave());
    }
    void TearDown() override { Mix_HaltChannel(-1); }
    QTemporaryDir dir_;
    QString wave_;
};

TEST_F(SoundTest, ShotsShareTheOneReservedChannel) {
    SdlSound sound;
    sound.PlayWave(wave_);
    sound.PlayWave(wave_);
    EXPECT_EQ(Mix_Playing(SdlSound::kShotChannel), 1);
    EXPECT_EQ(Mix_Playing(-1), 1) << "a second shot must replace the first";

    // Other sounds never take the shot's channel.
    Mix_Chunk* other = Mix_LoadWAV(QFile::encodeName(wave_).constData());
    ASSERT_NE(other, nullptr);
    EXPECT_GT(Mix_PlayChannel(-1, other, 0), SdlSound::kShotChannel);
    Mix_HaltChannel(-1);
    Mix_FreeChunk(other);
}

}  // namespace
}  // namespace wf

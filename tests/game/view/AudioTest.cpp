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
#include <memory>

#include "FluidMusic.h"
#include "SdlAudioDevice.h"
#include "SdlSound.h"

namespace wf {
namespace {

// Nothing is heard: the dummy driver consumes the audio in real time. Set
// here as well because the runner's environment may not reach the program.
const bool kDummyDriver = [] { return setenv("SDL_AUDIODRIVER", "dummy", 0) == 0; }();

constexpr int kPieceTicks = 960;  // two beats at 480 ticks a beat, 120 bpm: one second

void PutBig(QByteArray& out, quint32 v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutLittle(QByteArray& out, quint32 v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutDelta(QByteArray& out, quint32 v) {
    QByteArray groups;
    groups.prepend(static_cast<char>(v & 0x7F));
    while (v >>= 7)
        groups.prepend(static_cast<char>(0x80 | (v & 0x7F)));
    out.append(groups);
}

// A one-track piece of three notes, one second long.
QByteArray ShortPiece() {
    QByteArray track;
    auto event = [&](quint32 delta, std::initializer_list<int> bytes) {
        PutDelta(track, delta);
        for (int b : bytes)
            track.append(static_cast<char>(b));
    };
    event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // 500000 µs a beat
    event(0, {0xC0, 0x00});
    event(0, {0x90, 60, 100});
    event(240, {0x80, 60, 64});
    event(0, {0x90, 64, 100});
    event(240, {0x80, 64, 64});
    event(0, {0x90, 67, 100});
    event(480, {0x80, 67, 64});
    event(0, {0xFF, 0x2F, 0x00});

    QByteArray file("MThd");
    PutBig(file, 6, 4);
    PutBig(file, 0, 2);  // one track
    PutBig(file, 1, 2);
    PutBig(file, 480, 2);  // ticks a beat
    file.append("MTrk");
    PutBig(file, static_cast<quint32>(track.size()), 4);
    file.append(track);
    return file;
}

// Half a second of a 440 Hz tone, 16-bit mono.
QByteArray ShortWave() {
    constexpr int rate = 22050;
    QByteArray samples;
    for (int i = 0; i < rate / 2; ++i) {
        const double v = std::sin(2.0 * M_PI * 440.0 * i / rate) * 8000.0;
        PutLittle(samples, static_cast<quint16>(static_cast<qint16>(v)), 2);
    }
    QByteArray file("RIFF");
    PutLittle(file, 36 + samples.size(), 4);
    file.append("WAVEfmt ");
    PutLittle(file, 16, 4);
    PutLittle(file, 1, 2);  // PCM
    PutLittle(file, 1, 2);  // mono
    PutLittle(file, rate, 4);
    PutLittle(file, rate * 2, 4);
    PutLittle(file, 2, 2);
    PutLittle(file, 16, 2);
    file.append("data");
    PutLittle(file, samples.size(), 4);
    file.append(samples);
    return file;
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
    EXPECT_EQ(m.MusicRunning(), 1);

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
    EXPECT_EQ(m.TotalTicks(), kPieceTicks);
    EXPECT_TRUE(WaitFor([&] { return m.MusicRunning() == 0; }, 4000));
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

TEST_F(MusicTest, AMissingFileLeavesTheOpenPiecePlaying) {
    FluidMusic& m = *music_;
    m.MusicOpenAndPlay(piece_);
    ASSERT_TRUE(WaitFor([&] { return m.CurrentTick() > 0; }, 1000));
    m.MusicOpenAndPlay(dir_.filePath("missing.mid"));
    const int before = m.CurrentTick();
    EXPECT_TRUE(WaitFor([&] { return m.CurrentTick() > before; }, 1000));
    EXPECT_EQ(m.MusicRunning(), 1);
}

TEST_F(MusicTest, UnplayableFilesLeaveNothingOpen) {
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"not MIDI at all", QByteArray("RIFF....WAVEfmt ")},
        {"a broken header", QByteArray("MThd\x00\x00\x00\x06\x00", 9)},
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

TEST(MusicWithout, AFileOrASoundFontIsSilentAndNotRunning) {
    QTemporaryDir dir;
    const QString piece = WriteFile(dir, "piece.mid", ShortPiece());
    {
        FluidMusic m;
        m.MusicOpenAndPlay(dir.filePath("missing.mid"));
        EXPECT_EQ(m.MusicRunning(), 0);
        m.MusicPlay();
        m.MusicStopRewind();
        EXPECT_EQ(m.MusicRunning(), 0);
        EXPECT_EQ(m.CurrentTick(), -1);
    }
    {
        FluidMusic m(dir.filePath("missing.sf2"));
        EXPECT_FALSE(m.Preload());
        m.MusicOpenAndPlay(piece);
        EXPECT_EQ(m.MusicRunning(), 0);
        m.MusicStopRewind();
        m.MusicPlay();
        EXPECT_EQ(m.MusicRunning(), 0);
    }
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
    EXPECT_EQ(Mix_Playing(SdlSound::kShotChannel), 1);
    EXPECT_EQ(Mix_Playing(-1), 1);
    sound.PlayWave(wave_);
    EXPECT_EQ(Mix_Playing(-1), 1) << "a second shot must replace the first";

    // Other sounds never take the shot's channel.
    Mix_Chunk* other = Mix_LoadWAV(QFile::encodeName(wave_).constData());
    ASSERT_NE(other, nullptr);
    EXPECT_GT(Mix_PlayChannel(-1, other, 0), SdlSound::kShotChannel);
    Mix_HaltChannel(-1);
    Mix_FreeChunk(other);
}

TEST_F(SoundTest, MissingFilesAndMissingChannelsAreSilent) {
    SdlSound sound;
    sound.PlayWave(dir_.filePath("missing.wav"));
    sound.PlayWave(dir_.filePath("missing.wav"));
    EXPECT_EQ(Mix_Playing(-1), 0);

    const int channels = Mix_AllocateChannels(-1);
    Mix_AllocateChannels(0);
    sound.PlayWave(wave_);
    EXPECT_EQ(Mix_Playing(-1), 0);
    Mix_AllocateChannels(channels);
    Mix_ReserveChannels(1);
    sound.PlayWave(wave_);
    EXPECT_EQ(Mix_Playing(SdlSound::kShotChannel), 1);
}

}  // namespace
}  // namespace wf

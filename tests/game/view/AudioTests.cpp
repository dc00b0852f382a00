// Sound and music on the real mixer device (the dummy driver of the test
// environment consumes the audio in real time), with files made by the
// project's own MIDI and WAV writers.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "FluidMusic.h"
#include "MidiFile.h"
#include "SdlAudioDevice.h"
#include "SdlSound.h"
#include "ShotSound.h"

namespace wf {
namespace {

constexpr int kPieceTicks = 960;  // two beats at 480 ticks a beat, 120 bpm: one second

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
    return f.fileName();
}

QByteArray ShortPiece() {
    std::vector<assetgen::MidiTrack> tracks(2);
    tracks[0].Tempo(0, 120);
    for (int note = 0; note < 3; ++note)
        tracks[1].Note(note * 320, 0, 60 + 4 * note, 100, 300);
    return assetgen::MidiFileBytes(tracks, 480, kPieceTicks);
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs)
        QThread::msleep(10);
    return condition();
}

TEST(Music, PlaysToItsEndAndOnlyARewindStartsItAgain) {
    if (!QFileInfo::exists(QString::fromLatin1(FluidMusic::kDefaultSoundFont)))
        GTEST_SKIP() << "the General MIDI sound font is not installed";
    QTemporaryDir dir;
    FluidMusic m;
    ASSERT_TRUE(m.Preload()) << "no audio device or synthesizer";
    m.MusicOpenAndPlay(WriteFile(dir, "piece.mid", ShortPiece()));
    EXPECT_EQ(m.MusicRunning(), 1);
    ASSERT_TRUE(WaitFor([&] { return m.CurrentTick() > kPieceTicks / 3; }, 2000));
    EXPECT_EQ(m.TotalTicks(), kPieceTicks);

    // Stopped in the middle it holds; play starts from the beginning.
    m.MusicStopRewind();
    const int held = m.CurrentTick();
    QThread::msleep(150);
    EXPECT_EQ(m.CurrentTick(), held) << "a stopped piece must not advance";
    EXPECT_EQ(m.MusicRunning(), 1) << "a rewound piece that waits for play is not at its end";
    QElapsedTimer clock;
    clock.start();
    m.MusicPlay();
    EXPECT_TRUE(WaitFor([&] { return m.CurrentTick() < kPieceTicks / 4; }, 1000));

    ASSERT_TRUE(WaitFor([&] { return m.MusicRunning() == 0; }, 4000));
    EXPECT_GE(clock.elapsed(), 800) << "the piece must play in real time";
    m.MusicPlay();  // at the end, without a rewind, it stays there
    QThread::msleep(100);
    EXPECT_EQ(m.MusicRunning(), 0);
    m.MusicStopRewind();
    m.MusicPlay();
    ASSERT_TRUE(WaitFor([&] { return m.CurrentTick() < kPieceTicks / 4; }, 1000));
    EXPECT_EQ(m.MusicRunning(), 1);

    // Unplayable files leave nothing open, and so does a missing sound font.
    for (const QByteArray& bad : {QByteArray("RIFF....WAVEfmt "), ShortPiece().left(30)}) {
        m.MusicOpenAndPlay(WriteFile(dir, "bad.mid", bad));
        EXPECT_TRUE(WaitFor([&] { return m.MusicRunning() == 0; }, 1000));
        EXPECT_EQ(m.CurrentTick(), -1);
        m.MusicStopRewind();
        m.MusicPlay();
        EXPECT_EQ(m.MusicRunning(), 0);
    }
    FluidMusic without(dir.filePath("missing.sf2"));
    EXPECT_FALSE(without.Preload());
    without.MusicOpenAndPlay(dir.filePath("piece.mid"));
    without.MusicPlay();
    EXPECT_EQ(without.MusicRunning(), 0);
}

TEST(Sound, ShotsShareTheOneReservedChannel) {
    ASSERT_TRUE(SdlAudioDevice::Open()) << "no audio device";
    QTemporaryDir dir;
    const QString wave = WriteFile(dir, "shot.wav", assetgen::MakeShotWav(assetgen::DayShot()));
    SdlSound sound;
    sound.PlayWave(wave);
    sound.PlayWave(wave);
    EXPECT_EQ(Mix_Playing(SdlSound::kShotChannel), 1);
    EXPECT_EQ(Mix_Playing(-1), 1) << "a second shot must replace the first";
    // Other sounds never take the shot's channel.
    Mix_Chunk* other = Mix_LoadWAV(QFile::encodeName(wave).constData());
    ASSERT_NE(other, nullptr);
    EXPECT_GT(Mix_PlayChannel(-1, other, 0), SdlSound::kShotChannel);
    Mix_HaltChannel(-1);
    Mix_FreeChunk(other);
}

}  // namespace
}  // namespace wf

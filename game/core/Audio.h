#pragma once
// Sound and music as the game uses them. The real implementations play
// through SDL2_mixer and FluidSynth; tests use the silent recorders.
#include <QString>
#include <QStringList>

namespace wf {

class SoundOutput {  // MODUL_WAVE
public:
    virtual ~SoundOutput() = default;
    // Starts the WAV file asynchronously; a new shot cuts off the old one.
    virtual void PlayWave(const QString& path) = 0;
};

class MusicDevice {  // Midi
public:
    virtual ~MusicDevice() = default;
    // Opens the file when it exists and plays it from the start.
    virtual void MusicOpenAndPlay(const QString& path) = 0;
    virtual void MusicPlay() = 0;
    virtual void MusicStopRewind() = 0;
    // 0 when the piece has reached its end or nothing is open, else 1.
    virtual int MusicRunning() = 0;
};

// Records calls; plays nothing.
class SilentSound : public SoundOutput {
public:
    QStringList played;
    void PlayWave(const QString& path) override { played.append(path); }
};

class SilentMusic : public MusicDevice {
public:
    QStringList calls;  // "open <path>", "play", "stoprewind"
    int running = 1;
    void MusicOpenAndPlay(const QString& path) override { calls.append("open " + path); }
    void MusicPlay() override { calls.append(QStringLiteral("play")); }
    void MusicStopRewind() override { calls.append(QStringLiteral("stoprewind")); }
    int MusicRunning() override { return running; }
};

}  // namespace wf

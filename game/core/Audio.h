#pragma once
// Sound and music as the game uses them. The implementations play through
// SDL2_mixer and FluidSynth.
#include <QString>

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

}  // namespace wf

#pragma once
// The music: a MIDI file rendered by a software synthesizer inside the
// mixer's music hook, so that music and shot share the one audio device.
// The synthesizer runs on the audio thread; every call here that touches the
// player takes the same lock as the hook, except MusicRunning, which the game
// asks at every tick and which never waits. Without a device, without the
// sound font or with a missing or unplayable file there is silence; a file
// that is there but cannot be played is named on standard error once.
#include <fluidsynth/types.h>

#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "Audio.h"

namespace wf {

class FluidMusic : public MusicDevice {
  public:
    static constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    // The synthesizer's master gain: where the music sits in the mix, below
    // the shot sound. The game's own pieces peak below the music's headroom
    // (SdlAudioDevice::kMusicPeak) at this gain, so the limiter that keeps
    // every piece below it leaves them as they are.
    static constexpr double kGain = 0.42;
    // The voices sounding at once. Rendering a block costs in proportion to
    // them, in the audio thread and under the lock a shot waits on; the
    // shipped pieces need at most 66, the synthesizer would allow 256.
    static constexpr int kVoices = 96;

    // The whole piece in path rendered the way the game renders it (gain
    // and limiter included), as interleaved 16-bit stereo at sampleRate,
    // without an audio device: for measuring the mix. Empty when the sound
    // font or the file cannot be read.
    static std::vector<int16_t> RenderPiece(
        const QString& path, int sampleRate,
        const QString& soundFontPath = QString::fromLatin1(kDefaultSoundFont));

    explicit FluidMusic(QString soundFontPath = QString::fromLatin1(kDefaultSoundFont));
    ~FluidMusic() override;
    FluidMusic(const FluidMusic&) = delete;
    FluidMusic& operator=(const FluidMusic&) = delete;

    // Creates the synthesizer and loads the sound font, which takes a good
    // fraction of a second: start-up calls it so that no game tick ever
    // waits for it. Only the first call does the work; true when the
    // synthesizer is ready.
    bool Preload();

    void MusicOpenAndPlay(const QString& path) override;
    void MusicPlay() override;
    void MusicStopRewind() override;
    int MusicRunning() override;

    // Position and length of the open piece in MIDI ticks, -1 when nothing
    // is open. The length is known once the first block has been rendered.
    int CurrentTick();
    int TotalTicks();

    // Holds the music below SdlAudioDevice::kMusicPeak of full scale: the
    // gain drops at once to what the loudest sample of a frame allows and
    // comes back within about a fifth of a second.
    class Limiter {
      public:
        explicit Limiter(int sampleRate);
        // Interleaved stereo, frames long, to 16-bit samples.
        void Apply(const float* in, int16_t* out, int frames);

      private:
        float gain_ = 1;
        float recovery_;  // of the distance to full gain, each frame
    };

  private:
    static void Render(void* self, unsigned char* stream, int len);
    void ClosePiece();  // with mutex_ held
    bool PieceEnded();  // with mutex_ held
    void Publish();     // with mutex_ held: running_ from the player's state

    QString soundFontPath_;
    bool preloadTried_ = false;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    std::mutex mutex_;
    // The audio thread's: the synthesizer's output before the limiter.
    std::vector<float> rendered_;
    Limiter limiter_{44100};
    // Rewound but not yet rendered from the start: the position the player
    // reports is still the old one.
    bool rewound_ = false;
    // The audio thread found that the file could not be loaded.
    std::atomic<bool> unplayable_ = false;
    // What MusicRunning answers, published by whoever changes the player's
    // state, so that the game's thread reads it without waiting while the
    // audio thread renders a block.
    std::atomic<int> running_ = 0;
    QString piecePath_;  // of the open piece, for the report when it fails
};

}  // namespace wf

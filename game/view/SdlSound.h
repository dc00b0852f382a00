#pragma once
// The shot sound: WAV files played on one reserved mixer channel, so that a
// new shot cuts off the one still sounding. A sound that cannot be played is
// skipped with one line on standard error; the game plays on silently.
#include <QHash>
#include <QString>

#include "Audio.h"

struct Mix_Chunk;

namespace wf {

class SdlSound : public SoundOutput {
  public:
    static constexpr int kShotChannel = 0;

    SdlSound();  // opens the shared device if that has not happened yet
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void PlayWave(const QString& path) override;
    // Loads the sound now, so that its first shot does not wait for it; the
    // sound as the mixer plays it (with its volume), nullptr when it cannot
    // be played.
    const Mix_Chunk* Preload(const QString& path);

  private:
    // The sound of path, loaded at its first use; nullptr when it cannot be
    // played.
    Mix_Chunk* Chunk(const QString& path);
    static Mix_Chunk* Load(const QString& path);

    // Decoded once per path; a file that failed stays nullptr so that a
    // missing sound does not cost a disk access at every shot.
    QHash<QString, Mix_Chunk*> chunks_;
};

}  // namespace wf

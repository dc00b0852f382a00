#pragma once
// The shot sound: WAV files played on one reserved mixer channel, so that a
// new shot cuts off the one still sounding. Every failure is silent.
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

  private:
    // Decoded once per path; a file that failed stays nullptr so that a
    // missing sound does not cost a disk access at every shot.
    QHash<QString, Mix_Chunk*> chunks_;
};

}  // namespace wf

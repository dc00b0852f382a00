#include "SdlSound.h"

#include <SDL_mixer.h>

#include <QFile>

#include "SdlAudioDevice.h"

namespace wf {

SdlSound::SdlSound() {
    SdlAudioDevice::Open();
}

SdlSound::~SdlSound() {
    if (!SdlAudioDevice::Open())
        return;
    if (Mix_AllocateChannels(-1) > kShotChannel)
        Mix_HaltChannel(kShotChannel);
    for (Mix_Chunk* chunk : std::as_const(chunks_)) {
        if (chunk)
            Mix_FreeChunk(chunk);
    }
}

void SdlSound::PlayWave(const QString& path) {
    if (!SdlAudioDevice::Open())
        return;
    auto it = chunks_.find(path);
    if (it == chunks_.end()) {
        it = chunks_.insert(path, Mix_LoadWAV(QFile::encodeName(path).constData()));
    }
    Mix_Chunk* chunk = it.value();
    if (!chunk || Mix_AllocateChannels(-1) <= kShotChannel)
        return;
    // Playing on a busy channel restarts it with the new sound.
    Mix_PlayChannel(kShotChannel, chunk, 0);
}

}  // namespace wf

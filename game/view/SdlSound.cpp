#include "SdlSound.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "FileLimits.h"
#include "ModMedia.h"
#include "SafeFile.h"
#include "SdlAudioDevice.h"

namespace wf {
namespace {

// The volume that puts the sound's loudest sample at the shot's peak in the
// mix (never louder than the file itself).
int ShotVolume(const Mix_Chunk& chunk) {
    const auto* samples = reinterpret_cast<const int16_t*>(chunk.abuf);  // the device's format
    int peak = 0;
    for (Uint32 i = 0; i < chunk.alen / 2; ++i)
        peak = std::max(peak, std::abs(int{samples[i]}));
    if (peak == 0)
        return MIX_MAX_VOLUME;
    return std::min(MIX_MAX_VOLUME,
                    static_cast<int>(MIX_MAX_VOLUME * SdlAudioDevice::kShotPeak * 32768 / peak));
}

}  // namespace

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
    Mix_Chunk* chunk = Chunk(path);
    if (!chunk || Mix_AllocateChannels(-1) <= kShotChannel)
        return;
    // Playing on a busy channel restarts it with the new sound.
    Mix_PlayChannel(kShotChannel, chunk, 0);
}

const Mix_Chunk* SdlSound::Preload(const QString& path) {
    return Chunk(path);
}

Mix_Chunk* SdlSound::Chunk(const QString& path) {
    if (!SdlAudioDevice::Open() || path.isEmpty())
        return nullptr;
    auto it = chunks_.find(path);
    if (it == chunks_.end())
        it = chunks_.insert(path, Load(path));
    return it.value();
}

Mix_Chunk* SdlSound::Load(const QString& path) {
    const FileContent file = ReadRegularFile(path, kMaxSoundFileBytes);
    if (file.error == ReadError::Missing)
        return nullptr;  // no sound given: nothing to say
    QString why = ReadProblem(file.error, kMaxSoundFileBytes);
    if (why.isEmpty()) {
        // The mixer converts the whole sound when it loads it, so only a
        // sound whose format keeps that short is handed over.
        const std::optional<WaveFormat> format = ReadWaveFormat(file.bytes);
        why = format ? WaveFormatProblem(*format) : QStringLiteral("keine WAV-Datei");
    }
    Mix_Chunk* chunk = nullptr;
    if (why.isEmpty()) {
        chunk = Mix_LoadWAV_RW(
            SDL_RWFromConstMem(file.bytes.constData(), static_cast<int>(file.bytes.size())), 1);
        if (chunk)
            Mix_VolumeChunk(chunk, ShotVolume(*chunk));
        else
            why = QString::fromUtf8(Mix_GetError());
    }
    if (!chunk)
        ReportSkipped(path, why);
    return chunk;
}

}  // namespace wf

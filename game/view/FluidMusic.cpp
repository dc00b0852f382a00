#include "FluidMusic.h"

#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>

#include "FileLimits.h"
#include "ModMedia.h"
#include "SafeFile.h"
#include "SdlAudioDevice.h"

namespace wf {
namespace {

// The game shows no message for a missing or broken piece, so neither does
// the synthesizer on standard error.
void SilenceSynthesizerLog() {
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
}

// The music's frames are rendered in blocks of this size and interleaved
// like the mixer's stream.
constexpr int kBlockFrames = 1024;

struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
};

// The synthesizer as the game plays it: the sound font, the sample rate of
// the output and the gain. Null members when anything fails.
Synth NewSynth(const QString& soundFontPath, int sampleRate) {
    Synth out;
    if (!QFileInfo(soundFontPath).isFile())
        return out;
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings)
        return out;
    fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
    fluid_settings_setnum(settings, "synth.gain", FluidMusic::kGain);
    fluid_settings_setint(settings, "synth.polyphony", FluidMusic::kVoices);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (!synth || fluid_synth_sfload(synth, QFile::encodeName(soundFontPath).constData(), 1) ==
                      FLUID_FAILED) {
        if (synth)
            delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        return out;
    }
    out.settings = settings;
    out.synth = synth;
    return out;
}

// Interleaved 16-bit stereo into stream, frames long, through the limiter;
// advances the player.
void WriteFrames(fluid_synth_t* synth, FluidMusic::Limiter& limiter, std::vector<float>& rendered,
                 int16_t* stream, int frames) {
    rendered.resize(2 * static_cast<size_t>(frames));
    fluid_synth_write_float(synth, frames, rendered.data(), 0, 2, rendered.data(), 1, 2);
    limiter.Apply(rendered.data(), stream, frames);
}

}  // namespace

FluidMusic::Limiter::Limiter(int sampleRate)
    : recovery_(static_cast<float>(1 - std::exp(-5.0 / std::max(sampleRate, 1)))) {}

void FluidMusic::Limiter::Apply(const float* in, int16_t* out, int frames) {
    const float ceiling = static_cast<float>(SdlAudioDevice::kMusicPeak);
    for (int i = 0; i < 2 * frames; i += 2) {
        const float peak = std::max(std::fabs(in[i]), std::fabs(in[i + 1]));
        if (peak * gain_ > ceiling)
            gain_ = ceiling / peak;
        out[i] = static_cast<int16_t>(std::lrint(in[i] * gain_ * 32767));
        out[i + 1] = static_cast<int16_t>(std::lrint(in[i + 1] * gain_ * 32767));
        gain_ += (1 - gain_) * recovery_;
    }
}

std::vector<int16_t> FluidMusic::RenderPiece(const QString& path, int sampleRate,
                                             const QString& soundFontPath) {
    SilenceSynthesizerLog();
    std::vector<int16_t> out;
    const QByteArray data = ReadRegularFile(path, kMaxMusicFileBytes).bytes;
    if (!data.startsWith("MThd"))
        return out;
    const Synth s = NewSynth(soundFontPath, sampleRate);
    if (!s.synth)
        return out;
    fluid_player_t* player = new_fluid_player(s.synth);
    if (player &&
        fluid_player_add_mem(player, data.constData(), static_cast<size_t>(data.size())) ==
            FLUID_OK &&
        fluid_player_play(player) == FLUID_OK) {
        // An hour at most, whatever the file claims.
        const int64_t limit = int64_t{sampleRate} * 3600;
        std::vector<int16_t> block(2 * kBlockFrames);
        std::vector<float> rendered;
        Limiter limiter(sampleRate);
        while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING &&
               static_cast<int64_t>(out.size()) / 2 < limit) {
            WriteFrames(s.synth, limiter, rendered, block.data(), kBlockFrames);
            out.insert(out.end(), block.begin(), block.end());
        }
    }
    if (player)
        delete_fluid_player(player);
    delete_fluid_synth(s.synth);
    delete_fluid_settings(s.settings);
    return out;
}

FluidMusic::FluidMusic(QString soundFontPath) : soundFontPath_(std::move(soundFontPath)) {}

FluidMusic::~FluidMusic() {
    // Unhook first, without holding mutex_: the hook runs under the mixer's
    // own lock and then takes mutex_.
    if (synth_ && Mix_GetMusicHookData() == this)
        Mix_HookMusic(nullptr, nullptr);
    std::lock_guard lock(mutex_);
    ClosePiece();
    if (synth_)
        delete_fluid_synth(synth_);
    if (settings_)
        delete_fluid_settings(settings_);
    synth_ = nullptr;
    settings_ = nullptr;
}

bool FluidMusic::Preload() {
    if (preloadTried_)
        return synth_ != nullptr;
    preloadTried_ = true;
    SilenceSynthesizerLog();
    if (!SdlAudioDevice::Open() || SdlAudioDevice::Channels() != 2)
        return false;
    const Synth s = NewSynth(soundFontPath_, SdlAudioDevice::SampleRate());
    if (!s.synth)
        return false;
    {
        std::lock_guard lock(mutex_);
        settings_ = s.settings;
        synth_ = s.synth;
        limiter_ = Limiter(SdlAudioDevice::SampleRate());
    }
    Mix_HookMusic(&FluidMusic::Render, this);
    return true;
}

void FluidMusic::Render(void* self, unsigned char* stream, int len) {
    auto* music = static_cast<FluidMusic*>(self);
    std::lock_guard lock(music->mutex_);
    if (!music->synth_) {
        std::memset(stream, 0, static_cast<size_t>(len));
        return;
    }
    fluid_player_t* player = music->player_;
    const bool wasPlaying = player && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING;
    // The player advances with the rendered samples, so its position is
    // the position of what has been heard.
    WriteFrames(music->synth_, music->limiter_, music->rendered_,
                reinterpret_cast<int16_t*>(stream), len / 4);
    if (!player)
        return;
    const int total = fluid_player_get_total_ticks(player);
    const int status = fluid_player_get_status(player);
    if (wasPlaying && total == 0 && status == FLUID_PLAYER_DONE)
        music->unplayable_ = true;
    if (music->rewound_ && status == FLUID_PLAYER_PLAYING &&
        fluid_player_get_current_tick(player) < total) {
        music->rewound_ = false;
    }
    music->Publish();
}

void FluidMusic::ClosePiece() {
    if (player_) {
        delete_fluid_player(player_);
        player_ = nullptr;
    }
    if (synth_)
        fluid_synth_all_sounds_off(synth_, -1);
    rewound_ = false;
    unplayable_ = false;
    Publish();
}

bool FluidMusic::PieceEnded() {
    const int total = fluid_player_get_total_ticks(player_);
    return total > 0 && fluid_player_get_current_tick(player_) >= total;
}

void FluidMusic::Publish() {
    // The length is unknown until the first block is rendered: the piece
    // is only starting then.
    running_ = player_ && !unplayable_ && (rewound_ || !PieceEnded()) ? 1 : 0;
}

void FluidMusic::MusicOpenAndPlay(const QString& path) {
    const FileContent file = ReadRegularFile(path, kMaxMusicFileBytes);
    if (file.error == ReadError::Missing)
        return;  // a missing piece leaves the open one alone
    if (!file.ok()) {
        ReportSkipped(path, ReadProblem(file.error, kMaxMusicFileBytes));
        return;
    }
    if (!Preload())
        return;
    // The synthesizer takes a file's events in the audio thread, under the
    // lock this thread waits on: a piece that would keep it busy for long is
    // never handed over. Weighed before the lock is taken.
    QString refused;
    if (!file.bytes.startsWith("MThd")) {
        refused = QStringLiteral("keine MIDI-Datei");
    } else {
        const std::optional<MidiLoad> load = ReadMidiLoad(file.bytes);
        refused = load ? MidiLoadProblem(*load) : QStringLiteral("nicht abspielbar");
    }

    std::lock_guard lock(mutex_);
    ClosePiece();
    if (!refused.isEmpty()) {
        ReportSkipped(path, refused);
        return;
    }
    player_ = new_fluid_player(synth_);
    if (!player_)
        return;
    // From memory: the audio thread reloads the piece at every restart
    // after its end, and must not read the disk for that.
    if (fluid_player_add_mem(player_, file.bytes.constData(),
                             static_cast<size_t>(file.bytes.size())) != FLUID_OK) {
        ClosePiece();
        ReportSkipped(path, QStringLiteral("nicht abspielbar"));
        return;
    }
    piecePath_ = path;
    fluid_player_play(player_);
    Publish();
}

void FluidMusic::MusicPlay() {
    std::lock_guard lock(mutex_);
    if (player_)
        fluid_player_play(player_);
}

void FluidMusic::MusicStopRewind() {
    std::lock_guard lock(mutex_);
    if (!player_)
        return;
    // At its end the player has left its one-entry playlist; allowing one
    // more pass makes the next play start the piece again from memory,
    // without a new player.
    const bool ended = PieceEnded();
    fluid_player_stop(player_);
    fluid_player_seek(player_, 0);
    if (ended)
        fluid_player_set_loop(player_, 1);
    fluid_synth_all_notes_off(synth_, -1);
    fluid_synth_all_sounds_off(synth_, -1);
    rewound_ = true;
    Publish();
}

int FluidMusic::MusicRunning() {
    if (unplayable_) {
        std::lock_guard lock(mutex_);
        if (unplayable_) {
            ReportSkipped(piecePath_, QStringLiteral("nicht abspielbar"));
            ClosePiece();
        }
        return 0;
    }
    return running_;
}

int FluidMusic::CurrentTick() {
    std::lock_guard lock(mutex_);
    return player_ ? fluid_player_get_current_tick(player_) : -1;
}

int FluidMusic::TotalTicks() {
    std::lock_guard lock(mutex_);
    return player_ ? fluid_player_get_total_ticks(player_) : -1;
}

}  // namespace wf

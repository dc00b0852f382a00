#include "SdlAudioDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace wf::SdlAudioDevice {
namespace {

constexpr int kFrequency = 44100;
constexpr int kStereo = 2;
// Small enough that a shot is heard at once, large enough for a busy UI.
constexpr int kBufferFrames = 1024;
// Channel 0 is kept for the shot so that a new shot always replaces the
// previous one instead of taking a free channel.
constexpr int kReservedChannels = 1;

enum class State { Untried, Open, Failed };
State g_state = State::Untried;
int g_rate = 0;
int g_channels = 0;

}  // namespace

bool Open() {
    if (g_state != State::Untried)
        return g_state == State::Open;
    g_state = State::Failed;
    // SDL would otherwise catch SIGTERM and SIGINT and turn them into a quit
    // event that a Qt program never reads, so the game could not be ended.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    // No format changes allowed: SDL converts for the hardware, so the
    // music hook can always write interleaved 16-bit stereo.
    if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, kStereo, kBufferFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_ReserveChannels(kReservedChannels);
    Uint16 format = 0;
    if (Mix_QuerySpec(&g_rate, &format, &g_channels) == 0) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_rate = g_channels = 0;
        return false;
    }
    g_state = State::Open;
    return true;
}

int SampleRate() {
    return g_state == State::Open ? g_rate : 0;
}
int Channels() {
    return g_state == State::Open ? g_channels : 0;
}

}  // namespace wf::SdlAudioDevice

#pragma once
// The shot sound of a MOD: a short synthesized report, written as a WAV file.
#include <QByteArray>

#include <cstdint>

namespace wf::assetgen {

struct ShotStyle {
    int sampleRate = 44100;
    double seconds = 0.34;
    double noiseDecay = 0.035;  // time constant of the report, in seconds
    double brightness = 0.55;   // 0 dull .. 1 sharp
    double thumpStartHz = 150;
    double thumpEndHz = 48;
    double thumpDecay = 0.075;
    double echoDelay = 0.07;  // a short slap-back from the surroundings
    double echoGain = 0.22;
    uint64_t seed = 1;
};

ShotStyle DayShot();    // crisp, out in the open
ShotStyle NightShot();  // duller, with more echo between the houses

// 16-bit PCM mono WAV file contents.
QByteArray MakeShotWav(const ShotStyle& style);

}  // namespace wf::assetgen

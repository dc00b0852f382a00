#include "ShotSound.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Rng.h"

namespace wf::assetgen {

ShotStyle DayShot() {
    return ShotStyle{};
}

ShotStyle NightShot() {
    ShotStyle s;
    s.seconds = 0.42;
    s.noiseDecay = 0.045;
    s.brightness = 0.35;
    s.thumpStartHz = 120;
    s.thumpEndHz = 40;
    s.thumpDecay = 0.09;
    s.echoDelay = 0.11;
    s.echoGain = 0.3;
    s.seed = 2;
    return s;
}

namespace {

void AppendLE16(QByteArray& out, uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void AppendLE32(QByteArray& out, uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

}  // namespace

QByteArray MakeShotWav(const ShotStyle& style) {
    const int n = static_cast<int>(style.seconds * style.sampleRate);
    const double dt = 1.0 / style.sampleRate;
    Rng rng(style.seed);
    std::vector<double> dry(n);
    double lowPassed = 0;
    double phase = 0;
    // The smoothing factor of a one-pole low-pass sets how bright the noise is.
    const double alpha = 0.08 + 0.9 * style.brightness;
    for (int i = 0; i < n; ++i) {
        const double t = i * dt;
        const double attack = std::min(1.0, t / 0.0015);
        const double white = rng.Range(-1, 1);
        lowPassed += alpha * (white - lowPassed);
        // The first milliseconds carry the unfiltered crack.
        const double crack = t < 0.006 ? white * (1 - t / 0.006) : 0;
        const double noise = (lowPassed + 0.6 * crack) * std::exp(-t / style.noiseDecay);
        const double hz =
            style.thumpEndHz + (style.thumpStartHz - style.thumpEndHz) * std::exp(-t / 0.03);
        phase += 2 * M_PI * hz * dt;
        const double thump = std::sin(phase) * std::exp(-t / style.thumpDecay);
        dry[i] = attack * (0.75 * noise + 0.9 * thump);
    }
    std::vector<double> wet = dry;
    const int delay = static_cast<int>(style.echoDelay * style.sampleRate);
    for (int i = delay; i < n; ++i)
        wet[i] += style.echoGain * wet[i - delay] * 0.8;
    // Fade the last 20 ms so the sound ends in silence, not with a click.
    const int fade = std::min(n, static_cast<int>(0.02 * style.sampleRate));
    for (int i = 0; i < fade; ++i)
        wet[n - 1 - i] *= static_cast<double>(i) / fade;
    double peak = 1e-9;
    for (double v : wet)
        peak = std::max(peak, std::abs(v));
    // The peak stays 1.5 dB below full scale: headroom for the mixer, which
    // adds the shot to the music.
    const double gain = std::pow(10.0, -1.5 / 20) * 32767 / peak;

    QByteArray out;
    const uint32_t dataBytes = static_cast<uint32_t>(n) * 2;
    out.append("RIFF");
    AppendLE32(out, 36 + dataBytes);
    out.append("WAVE");
    out.append("fmt ");
    AppendLE32(out, 16);
    AppendLE16(out, 1);  // PCM
    AppendLE16(out, 1);  // mono
    AppendLE32(out, static_cast<uint32_t>(style.sampleRate));
    AppendLE32(out, static_cast<uint32_t>(style.sampleRate) * 2);
    AppendLE16(out, 2);
    AppendLE16(out, 16);
    out.append("data");
    AppendLE32(out, dataBytes);
    for (double v : wet) {
        const long s = std::lround(std::clamp(v * gain, -32768.0, 32767.0));
        AppendLE16(out, static_cast<uint16_t>(static_cast<int16_t>(s)));
    }
    return out;
}

}  // namespace wf::assetgen

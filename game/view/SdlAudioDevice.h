#pragma once
// The program's one mixer device, shared by the shot sound and the music.
// It is opened at the first use and stays open until the program ends; a
// machine without a usable audio device simply gets no device, and every
// sound call becomes silent.
namespace wf::SdlAudioDevice {

// The mix's headroom. The mixer adds the shot to the music and cuts off what
// goes beyond full scale; the shot is played at the volume that puts its
// loudest sample at kShotPeak of full scale and the music is held below
// kMusicPeak, so that together they stay under full scale (at most
// -0.45 dBFS) whatever a MOD's sound and music hold. Both lie about 4.5 dB
// below where they were without the headroom, so the shot stands out of
// the music as much as before.
inline constexpr double kShotPeak = 0.5;
inline constexpr double kMusicPeak = 0.45;

// True when the device is open. Only the first call tries to open it.
bool Open();
// Frames per second of the open device; 0 without one.
int SampleRate();
// Interleaved channels of the open device; 0 without one.
int Channels();

}  // namespace wf::SdlAudioDevice

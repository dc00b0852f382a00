#pragma once
// The program's one mixer device, shared by the shot sound and the music.
// It is opened at the first use and stays open until the program ends; a
// machine without a usable audio device simply gets no device, and every
// sound call becomes silent.
namespace wf::SdlAudioDevice {

// True when the device is open. Only the first call tries to open it.
bool Open();
// Frames per second of the open device; 0 without one.
int SampleRate();
// Interleaved channels of the open device; 0 without one.
int Channels();

}  // namespace wf::SdlAudioDevice

#pragma once
// How large a file the programs read at all, and how much a MOD may ask of
// the game. The limits lie far above any real game or MOD; they only keep a
// strange or hostile file from eating the memory or the time of a player or
// an author.
#include <QtGlobal>

namespace wf {

// INI files and their encoded twins (three digits per character).
inline constexpr qint64 kMaxDefinitionFileBytes = 32 * 1024 * 1024;
// A score file holds eight short lines.
inline constexpr qint64 kMaxScoreFileBytes = 1024 * 1024;
// The information text the game shows in a window of its own.
inline constexpr qint64 kMaxInfoFileBytes = 1024 * 1024;
// Any file of a MOD that the encoder copies into a backup (pictures, sounds
// and music included): above every limit the game itself reads.
inline constexpr qint64 kMaxCopiedFileBytes = 256 * 1024 * 1024;

// Pictures: a picture file, and one decoded picture (at 4 bytes a pixel the
// largest takes 64 MiB).
inline constexpr qint64 kMaxPictureFileBytes = 64 * 1024 * 1024;
inline constexpr int kMaxPictureSide = 8192;
inline constexpr qint64 kMaxPicturePixels = 4096 * 4096;
// All pictures of a MOD held at one time: every different extra picture and
// the largest background (192 MiB decoded).
inline constexpr qint64 kMaxModPicturePixels = 3 * kMaxPicturePixels;
// The working copies one full-screen game stretches from them (256 MiB).
inline constexpr qint64 kMaxWorkingCopyPixels = 4 * kMaxPicturePixels;
// An hd twin is a picture like any other, so the same limits bound its file
// and its size: the largest twin stands for a picture of 2048 × 2048 at
// twice or 1024 × 1024 at four times its size.
inline constexpr qint64 kMaxHdTwinFileBytes = kMaxPictureFileBytes;
// A progressive JPEG is decoded scan by scan, and every scan visits every
// block of the picture however few bytes it takes: thousands of empty
// scans make a small file take minutes. The usual scan scripts make 6
// (grey), 10 (colour) or 18 (CMYK) scans; at 32, the costliest picture of
// the largest size decodes in well under a second (docs/proof.md).
inline constexpr int kMaxJpegScans = 32;

// A background, picture or colour, is at most as large as one picture.
inline constexpr int kMaxBackgroundSide = kMaxPictureSide;
inline constexpr qint64 kMaxBackgroundPixels = kMaxPicturePixels;
// Positions of extras and their hit cells; anything beyond lies far outside
// every background.
inline constexpr int kMaxPlayPosition = 1000000;

// The shot sound: a WAV file the mixer converts to its own format when it is
// loaded, so its length and rate bound that work (well under a second) and
// its memory.
inline constexpr qint64 kMaxSoundFileBytes = 16 * 1024 * 1024;
inline constexpr int kMinSoundRate = 4000;
inline constexpr int kMaxSoundRate = 192000;
inline constexpr int kMaxSoundChannels = 8;
inline constexpr int kMaxSoundSeconds = 10;

// The music: a MIDI file, played from memory. The synthesizer parses the
// whole file at every start of the piece and takes each event at its moment,
// both in the audio thread: the events bound that work. A hundred thousand
// are fifty times what a shipped piece holds; with a thousand in every
// tenth of a second (a full chord on every channel takes a few hundred) a
// game keeps its pace (docs/proof.md).
inline constexpr qint64 kMaxMusicFileBytes = 8 * 1024 * 1024;
inline constexpr int kMaxMusicEvents = 100000;
inline constexpr int kMaxMusicEventsPerTenth = 1000;

}  // namespace wf

#pragma once
// What the game takes of the pictures and sounds a MOD names, within the
// limits of FileLimits.h. The MOD loader refuses a MOD by these rules; the
// picture store and the shot sound apply them again when they read the files.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "SafeFile.h"

namespace wf {

// Why a file that is there is not read: a FIFO, a device or a directory, one
// beyond limit bytes, or one that cannot be opened; "" when it was read or is
// missing.
QString ReadProblem(ReadError error, qint64 limit);

// One line on standard error, once per path and run: a sound or a piece of
// music that the game skips and plays on without.
void ReportSkipped(const QString& path, const QString& why);
// Likewise for an hd twin that is there but not taken: full screen then
// stretches the picture itself.
void ReportUnusedTwin(const QString& path, const QString& why);

// The size a picture declares in its header (nothing is decoded); an invalid
// size when the bytes hold no picture the decoders know.
QSize PictureSize(const QByteArray& bytes);

// Why a picture of this size is not taken; "" when it is.
QString PictureSizeProblem(QSize size);

// Why decoding the picture would take far more work than its size lets one
// expect (a progressive JPEG of more than kMaxJpegScans scans); "" when it
// would not.
QString PictureWorkProblem(const QByteArray& bytes);

// The picture in the stores' format (32-bit RGB); a null image when the bytes
// hold no picture of the formats the game reads (BMP, GIF, JPEG, PNG), or one
// beyond the limits in size or in work.
QImage DecodePicture(const QByteArray& bytes);

struct WaveFormat {
    int formatTag = 0;  // 1 PCM, 3 float, ...; the sub-format of an extensible file
    int channels = 0;
    qint64 rate = 0;  // frames a second
    int bitsPerSample = 0;
    qint64 dataBytes = 0;  // as far as the file holds them
};

// The format a WAV file declares; nullopt when the bytes are no RIFF WAVE file
// with a format and a data chunk.
std::optional<WaveFormat> ReadWaveFormat(const QByteArray& bytes);

// Why the game does not play a sound of this format; "" when it does.
// beyondLimits tells a sound the game refuses (a rate, length or number of
// channels beyond the limits) from one it cannot play at all.
QString WaveFormatProblem(const WaveFormat& format, bool* beyondLimits = nullptr);

// The work a standard MIDI file hands the synthesizer: its events (notes,
// controllers, system-exclusive messages, tempo changes and track ends), as
// the synthesizer reads them.
struct MidiLoad {
    qint64 events = 0;     // counting stops just past kMaxMusicEvents
    int busiestTenth = 0;  // the most events within any tenth of a second
};

// nullopt when the bytes are no MIDI file the synthesizer could read.
std::optional<MidiLoad> ReadMidiLoad(const QByteArray& bytes);

// Why the game does not play music of this load; "" when it does.
QString MidiLoadProblem(const MidiLoad& load);

}  // namespace wf

#include "ModMedia.h"

#include <QBuffer>
#include <QImageReader>
#include <QSet>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "FileLimits.h"
#include "Platform.h"

namespace wf {
namespace {

constexpr int kPcm = 1;
constexpr int kMsAdpcm = 2;
constexpr int kFloat = 3;
constexpr int kALaw = 6;
constexpr int kMuLaw = 7;
constexpr int kImaAdpcm = 0x11;
constexpr int kExtensible = 0xFFFE;

quint32 Little(const QByteArray& bytes, qsizetype pos, int size) {
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uchar>(bytes[pos + i]);
    return v;
}

// Frames of sound the data holds; none when the format is none the mixer plays.
std::optional<qint64> Frames(const WaveFormat& f) {
    const int bits = f.bitsPerSample;
    switch (f.formatTag) {
        case kPcm:
            if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
                return std::nullopt;
            return f.dataBytes / (f.channels * (bits / 8));
        case kFloat:
            if (bits != 32)
                return std::nullopt;
            return f.dataBytes / (f.channels * 4);
        case kALaw:
        case kMuLaw:
            if (bits != 8)
                return std::nullopt;
            return f.dataBytes / f.channels;
        case kMsAdpcm:
        case kImaAdpcm:
            // Four bits a sample and a little block overhead: at most this.
            return f.dataBytes * 2 / f.channels;
        default:
            return std::nullopt;
    }
}

quint32 Big(const QByteArray& bytes, qsizetype pos, int size) {
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | static_cast<uchar>(bytes[pos + i]);
    return v;
}

// The picture formats whose decoders take work in proportion to the file and
// the picture's size (progressive JPEG scans aside). Plug-ins a desktop may
// add (vector pictures among them) are not asked.
bool FormatTaken(const QByteArray& format) {
    return format == "bmp" || format == "gif" || format == "jpeg" || format == "png";
}

// The scans the JPEG decoder reads, found the way it finds them: the
// segments skipped by their length, a scan's coded data byte by byte, up to
// the end of the image.
int JpegScans(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    int scans = 0;
    qsizetype i = 2;
    while (i + 1 < n) {
        const uchar marker = b[i + 1];
        if (b[i] != 0xFF || marker == 0xFF) {  // coded data, stray bytes, fill
            ++i;
            continue;
        }
        // A stuffed 0xFF, restart markers and the like stand alone.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            i += 2;
            continue;
        }
        if (marker == 0xD9 || i + 3 >= n)
            break;
        if (marker == 0xDA)
            ++scans;
        i += 2 + Big(bytes, i + 2, 2);
    }
    return scans;
}

// One line on standard error for each path, once per run; marked like the
// loader's detail lines, so that it is not taken for the line of a message box.
void ReportOnce(const QString& path, const QString& what, const QString& why,
                const QString& consequence) {
    static QSet<QString> reported;
    if (reported.contains(path))
        return;
    reported.insert(path);
    const QByteArray line = (Platform::Instance().ProgramName() + ": " + what + " '" + path +
                             "': " + why + " - " + consequence + "\n")
                                .toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

QString ReadProblem(ReadError error, qint64 limit) {
    switch (error) {
        case ReadError::NotRegular:
            return QStringLiteral("keine gewöhnliche Datei");
        case ReadError::TooLarge:
            return QStringLiteral("größer als %1 MiB").arg(limit / (1024 * 1024));
        case ReadError::Unreadable:
            return QStringLiteral("nicht lesbar");
        case ReadError::None:
        case ReadError::Missing:
            break;
    }
    return QString();
}

void ReportSkipped(const QString& path, const QString& why) {
    ReportOnce(path, QStringLiteral("MOD"), why, QStringLiteral("wird nicht abgespielt"));
}

void ReportUnusedTwin(const QString& path, const QString& why) {
    ReportOnce(path, QStringLiteral("hd-Bild"), why,
               QStringLiteral("es wird das gewöhnliche Bild gestreckt"));
}

QSize PictureSize(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QSize();
    QImageReader reader(&buffer);
    return FormatTaken(reader.format()) ? reader.size() : QSize();
}

QString PictureSizeProblem(QSize size) {
    if (!size.isValid())
        return QString();
    const qint64 pixels = qint64{size.width()} * size.height();
    if (size.width() <= kMaxPictureSide && size.height() <= kMaxPictureSide &&
        pixels <= kMaxPicturePixels) {
        return QString();
    }
    return QStringLiteral(
               "%1 × %2 Bildpunkte sind mehr als erlaubt (höchstens %3 je Seite und "
               "%4 zusammen)")
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxPictureSide)
        .arg(kMaxPicturePixels);
}

QString PictureWorkProblem(const QByteArray& bytes) {
    if (!bytes.startsWith("\xFF\xD8"))
        return QString();
    const int scans = JpegScans(bytes);
    if (scans <= kMaxJpegScans)
        return QString();
    return QStringLiteral("ein JPEG aus %1 Durchgängen (Scans), erlaubt sind höchstens %2")
        .arg(scans)
        .arg(kMaxJpegScans);
}

QImage DecodePicture(const QByteArray& bytes) {
    // A decoder that is handed a header it believes allocates before it
    // reads a pixel: never more than the largest allowed picture at 64 bits
    // a pixel, for decoders that do not tell their size beforehand.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(static_cast<int>(kMaxPicturePixels * 8 / (1024 * 1024)));
        return true;
    }();
    Q_UNUSED(limited);
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    QImageReader reader(&buffer);
    const QSize declared = reader.size();
    if (!FormatTaken(reader.format()) || !PictureSizeProblem(declared).isEmpty() ||
        !PictureWorkProblem(bytes).isEmpty()) {
        return QImage();
    }
    const QImage picture = reader.read();
    if (picture.isNull() || !PictureSizeProblem(picture.size()).isEmpty()) {
        return QImage();
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

std::optional<WaveFormat> ReadWaveFormat(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    WaveFormat f;
    bool haveFormat = false;
    bool haveData = false;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size() && !(haveFormat && haveData)) {
        const QByteArray id = bytes.mid(pos, 4);
        const qint64 declared = Little(bytes, pos + 4, 4);
        pos += 8;
        const qint64 held = std::min<qint64>(declared, bytes.size() - pos);
        if (id == "fmt " && !haveFormat) {
            if (held < 16)
                return std::nullopt;
            f.formatTag = static_cast<int>(Little(bytes, pos, 2));
            f.channels = static_cast<int>(Little(bytes, pos + 2, 2));
            f.rate = Little(bytes, pos + 4, 4);
            f.bitsPerSample = static_cast<int>(Little(bytes, pos + 14, 2));
            // The sub-format of an extensible file begins with the format tag.
            if (f.formatTag == kExtensible && held >= 26)
                f.formatTag = static_cast<int>(Little(bytes, pos + 24, 2));
            haveFormat = true;
        } else if (id == "data" && !haveData) {
            f.dataBytes = held;
            haveData = true;
        }
        pos += held + (declared & 1);  // chunks are padded to an even length
    }
    if (!haveFormat || !haveData)
        return std::nullopt;
    return f;
}

QString WaveFormatProblem(const WaveFormat& f, bool* beyondLimits) {
    bool beyond = false;
    QString why;
    if (f.channels < 1) {
        why = QStringLiteral("keine Kanäle");
    } else if (f.channels > kMaxSoundChannels) {
        beyond = true;
        why = QStringLiteral("%1 Kanäle sind mehr als erlaubt (höchstens %2)")
                  .arg(f.channels)
                  .arg(kMaxSoundChannels);
    } else if (f.rate < kMinSoundRate || f.rate > kMaxSoundRate) {
        beyond = true;
        why = QStringLiteral("Abtastrate %1 Hz (erlaubt %2 bis %3 Hz)")
                  .arg(f.rate)
                  .arg(kMinSoundRate)
                  .arg(kMaxSoundRate);
    } else if (const std::optional<qint64> frames = Frames(f); !frames) {
        why = QStringLiteral("Format %1 mit %2 Bit je Abtastwert wird nicht abgespielt")
                  .arg(f.formatTag)
                  .arg(f.bitsPerSample);
    } else if (*frames == 0) {
        why = QStringLiteral("keine Tondaten");
    } else if (*frames > qint64{kMaxSoundSeconds} * f.rate) {
        beyond = true;
        why = QStringLiteral("%1 Sekunden sind länger als erlaubt (höchstens %2)")
                  .arg(*frames / f.rate)
                  .arg(kMaxSoundSeconds);
    }
    if (beyondLimits)
        *beyondLimits = beyond;
    return why;
}

namespace {

// A variable-length MIDI number at pos, of four bytes at most.
bool ReadVariable(const QByteArray& bytes, qsizetype* pos, quint32* value) {
    *value = 0;
    for (int i = 0; i < 4 && *pos < bytes.size(); ++i) {
        const uchar c = static_cast<uchar>(bytes[(*pos)++]);
        *value = (*value << 7) | (c & 0x7F);
        if (!(c & 0x80))
            return true;
    }
    return false;
}

struct TempoChange {
    quint64 tick;
    quint32 microsPerQuarter;
};

// The events of one track from pos, read the way the synthesizer reads them
// (running status follows every status byte, meta events included); false
// when it would give up on the file.
bool ReadTrack(const QByteArray& bytes, qsizetype* pos, qsizetype end, std::vector<quint64>* ticks,
               std::vector<TempoChange>* tempos) {
    quint64 tick = 0;
    int status = 0;
    while (*pos < end) {
        quint32 delta = 0;
        if (!ReadVariable(bytes, pos, &delta) || *pos >= bytes.size())
            return false;
        tick += delta;
        int c = static_cast<uchar>(bytes[*pos]);
        if (c & 0x80)
            ++*pos;
        else if (status & 0x80)
            c = status;
        else
            return false;
        status = c;
        quint32 length = 0;
        bool ends = false;
        if (c == 0xF0) {
            if (!ReadVariable(bytes, pos, &length))
                return false;
            if (length == 0)
                continue;  // no event
        } else if (c == 0xFF) {
            if (*pos >= bytes.size())
                return false;
            const int type = static_cast<uchar>(bytes[(*pos)++]);
            if (!ReadVariable(bytes, pos, &length) || *pos + length > bytes.size())
                return false;
            if (type == 0x51 && length == 3)
                tempos->push_back({tick, Big(bytes, *pos, 3)});
            else if (type == 0x2F)
                ends = true;
            else {
                *pos += length;
                continue;  // text and the like make no event
            }
        } else if (c >= 0xF0) {
            return false;
        } else {
            length = (c & 0xE0) == 0xC0 ? 1 : 2;  // program and channel pressure: one byte
        }
        *pos += length;
        if (*pos > bytes.size())
            return false;
        ticks->push_back(tick);
        if (ends || ticks->size() > static_cast<size_t>(kMaxMusicEvents))
            return true;
    }
    return true;
}

// The most events within any tenth of a second, with the tempo changes of
// every track applied to all of them as the player applies them.
int BusiestTenth(std::vector<quint64>& ticks, std::vector<TempoChange>& tempos, int division) {
    std::sort(ticks.begin(), ticks.end());
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    std::vector<double> seconds;
    seconds.reserve(ticks.size());
    double perTick = 0.5 / division;  // 120 beats a minute until told otherwise
    double baseSeconds = 0;
    quint64 baseTick = 0;
    size_t next = 0;
    for (const quint64 tick : ticks) {
        for (; next < tempos.size() && tempos[next].tick <= tick; ++next) {
            baseSeconds += static_cast<double>(tempos[next].tick - baseTick) * perTick;
            baseTick = tempos[next].tick;
            perTick = tempos[next].microsPerQuarter / 1e6 / division;
        }
        seconds.push_back(baseSeconds + static_cast<double>(tick - baseTick) * perTick);
    }
    size_t busiest = 0;
    for (size_t first = 0, last = 0; last < seconds.size(); ++last) {
        while (seconds[last] - seconds[first] >= 0.1)
            ++first;
        busiest = std::max(busiest, last - first + 1);
    }
    return static_cast<int>(busiest);
}

}  // namespace

std::optional<MidiLoad> ReadMidiLoad(const QByteArray& bytes) {
    if (bytes.size() < 14 || !bytes.startsWith("MThd"))
        return std::nullopt;
    const int tracks = static_cast<int>(Big(bytes, 10, 2));
    const int division = static_cast<int>(Big(bytes, 12, 2));
    if (division == 0 || division & 0x8000)  // frames of time code: not played
        return std::nullopt;
    std::vector<quint64> ticks;
    std::vector<TempoChange> tempos;
    qsizetype pos = 8 + static_cast<qsizetype>(Big(bytes, 4, 4));
    for (int track = 0; track < tracks;) {
        if (pos + 8 > bytes.size())
            return std::nullopt;
        const bool isTrack = bytes.mid(pos, 4) == "MTrk";
        const qsizetype end = pos + 8 + static_cast<qsizetype>(Big(bytes, pos + 4, 4));
        pos += 8;
        if (isTrack) {
            ++track;
            if (!ReadTrack(bytes, &pos, end, &ticks, &tempos))
                return std::nullopt;
            if (ticks.size() > static_cast<size_t>(kMaxMusicEvents))
                return MidiLoad{static_cast<qint64>(ticks.size()), 0};
        }
        // An event that runs past its track's end is read whole; the next
        // chunk starts after both.
        pos = std::max(pos, end);
    }
    const qint64 events = static_cast<qint64>(ticks.size());
    return MidiLoad{events, BusiestTenth(ticks, tempos, division)};
}

QString MidiLoadProblem(const MidiLoad& load) {
    if (load.events > kMaxMusicEvents)
        return QStringLiteral("mehr als %1 MIDI-Ereignisse").arg(kMaxMusicEvents);
    if (load.busiestTenth > kMaxMusicEventsPerTenth) {
        return QStringLiteral("%1 MIDI-Ereignisse in einer Zehntelsekunde (höchstens %2)")
            .arg(load.busiestTenth)
            .arg(kMaxMusicEventsPerTenth);
    }
    return QString();
}

}  // namespace wf

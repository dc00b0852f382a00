#include "HostileMedia.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <stdexcept>

namespace wf::test {
namespace {

QByteArray Big(quint32 v, int bytes) {
    const quint32 big = qToBigEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&big) + 4 - bytes, bytes);
}

QByteArray Variable(quint32 v) {
    QByteArray out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7)
        out.prepend(static_cast<char>(0x80 | (v & 0x7F)));
    return out;
}

}  // namespace

QByteArray ScanBombJpeg(QSize size, int scans, bool everyComponent, bool restarts) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(48, 112, 192));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    QByteArray jpeg = writer.write(picture) ? buffer.data() : QByteArray();
    // A scan: its header, then coded data up to a marker that is no restart.
    // The first takes a few bits of every block, the second (the first of
    // the fine detail) a few bytes in all for a plain colour.
    const auto at = [&](qsizetype i) { return static_cast<uchar>(jpeg[i]); };
    const qsizetype from =
        jpeg.indexOf("\xFF\xDA", everyComponent ? 0 : jpeg.indexOf("\xFF\xDA") + 2);
    const qsizetype own = jpeg.count("\xFF\xDA");
    if (from < 0 || own > scans)
        throw std::runtime_error("no progressive JPEG of fewer scans");
    qsizetype to = from + 2 + (at(from + 2) << 8 | at(from + 3));
    while (at(to) != 0xFF || at(to + 1) == 0 || (at(to + 1) & 0xF8) == 0xD0)
        ++to;
    // The bytes after the marker, read as a segment's length, would skip
    // 32 KB of scans.
    const QByteArray restart = restarts ? QByteArray("\xFF\xD3\x7F\x00", 4) : QByteArray();
    jpeg.insert(jpeg.size() - 2, (jpeg.mid(from, to - from) + restart).repeated(scans - own));
    return jpeg;
}

QByteArray NoteBombMidi(int noteOns, int ticksApart, int microsPerQuarter, bool released) {
    const auto key = [](int i) { return static_cast<char>(36 + i % 48); };
    QByteArray track = QByteArray("\0\xFF\x51\x03", 4) + Big(microsPerQuarter, 3);
    track += QByteArray("\0\x90", 2) + key(0) + "\x7F";
    for (int i = 1; i < noteOns; ++i)  // running status
        track += Variable(ticksApart) + key(i) + "\x7F";
    for (int i = 0; released && i < std::min(noteOns, 48); ++i)  // strength 0: released
        track += Variable(i ? 0 : 480) + key(i) + '\0';
    track += Variable(480) + QByteArray("\xFF\x2F\0", 3);
    return "MThd" + Big(6, 4) + Big(0, 2) + Big(1, 2) + Big(480, 2) + "MTrk" +
           Big(static_cast<quint32>(track.size()), 4) + track;
}

}  // namespace wf::test

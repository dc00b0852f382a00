#include "HostileMedia.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <algorithm>
#include <stdexcept>

namespace wf::test {
namespace {

// The scans of a JPEG as [start, end) byte ranges, each its header and its
// coded data.
QList<QPair<qsizetype, qsizetype>> Scans(const QByteArray& jpeg) {
    QList<QPair<qsizetype, qsizetype>> scans;
    const auto at = [&](qsizetype i) { return static_cast<uchar>(jpeg[i]); };
    qsizetype i = 2;
    while (i + 3 < jpeg.size() && at(i + 1) != 0xD9) {
        const qsizetype next = i + 2 + (at(i + 2) << 8 | at(i + 3));
        if (at(i + 1) != 0xDA) {
            i = next;
            continue;
        }
        qsizetype end = next;  // coded data ends at a marker that is no restart
        while (!(at(end) == 0xFF && at(end + 1) != 0 && (at(end + 1) & 0xF8) != 0xD0))
            ++end;
        scans.append({i, end});
        i = end;
    }
    return scans;
}

QByteArray Variable(quint32 v) {
    QByteArray out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7)
        out.prepend(static_cast<char>(0x80 | (v & 0x7F)));
    return out;
}

QByteArray Big(quint32 v, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

}  // namespace

QByteArray ScanBombJpeg(QSize size, int scans) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(48, 112, 192));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    if (!writer.write(picture))
        throw std::runtime_error("cannot write a progressive JPEG");
    QByteArray jpeg = buffer.data();
    const auto own = Scans(jpeg);
    if (own.size() < 2 || own.size() > scans)
        throw std::runtime_error("not a progressive JPEG of fewer scans");
    // The second scan (the first of the fine detail) takes a few bytes of a
    // plain colour.
    const QByteArray repeated = jpeg.mid(own[1].first, own[1].second - own[1].first);
    QByteArray more;
    for (qsizetype n = own.size(); n < scans; ++n)
        more += repeated;
    jpeg.insert(jpeg.size() - 2, more);  // before the end of the image
    return jpeg;
}

QByteArray NoteBombMidi(int noteOns, int ticksApart, int microsPerQuarter, bool released) {
    const auto key = [](int i) { return static_cast<char>(36 + i % 48); };
    QByteArray track = Variable(0) + "\xFF\x51\x03" + Big(microsPerQuarter, 3);
    track += Variable(0) + "\x90" + key(0) + "\x7F";
    for (int i = 1; i < noteOns; ++i)  // running status
        track += Variable(ticksApart) + key(i) + "\x7F";
    for (int i = 0; released && i < std::min(noteOns, 48); ++i)  // strength 0: released
        track += Variable(i ? 0 : 480) + key(i) + QByteArray(1, 0);
    track += Variable(480) + QByteArray("\xFF\x2F\x00", 3);
    return "MThd" + Big(6, 4) + Big(0, 2) + Big(1, 2) + Big(480, 2) + "MTrk" +
           Big(static_cast<quint32>(track.size()), 4) + track;
}

}  // namespace wf::test

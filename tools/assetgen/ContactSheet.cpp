#include "ContactSheet.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

#include "Art.h"
#include "Extras.h"

namespace wf::assetgen {

namespace {

constexpr int kSheetWidth = 1680;
constexpr int kGap = 16;
constexpr int kLabelHeight = 34;

const QImage* FindGraphic(const GameData& data, const QString& path) {
    for (const NamedPicture& p : data.graphics) {
        if (p.path == path)
            return &p.image;
    }
    return nullptr;
}

// dst = (dst AND mask) XOR sprite, pixel by pixel, clipped to dst.
void BlitMasked(QImage& dst, const QImage& sprite, const QImage& mask, QPoint at) {
    for (int y = 0; y < sprite.height(); ++y) {
        for (int x = 0; x < sprite.width(); ++x) {
            const QPoint d = at + QPoint(x, y);
            if (!dst.valid(d))
                continue;
            const QRgb under = dst.pixel(d);
            const QRgb m = mask.pixel(x, y);
            const QRgb s = sprite.pixel(x, y);
            dst.setPixel(
                d, qRgb((qRed(under) & qRed(m)) ^ qRed(s), (qGreen(under) & qGreen(m)) ^ qGreen(s),
                        (qBlue(under) & qBlue(m)) ^ qBlue(s)));
        }
    }
}

struct Tile {
    QImage image;
    QString label;
};

// Lays tiles out in rows, each picture scaled to fit maxSize.
class Sheet {
  public:
    void Heading(const QString& text) {
        NewRow();
        items_.push_back({QImage(), text, QPoint(kGap, y_ + 10), true, 0});
        y_ += 44;
    }
    void Add(const QImage& image, const QString& label, QSize maxSize) {
        QImage shown = image;
        if (image.width() > maxSize.width() || image.height() > maxSize.height()) {
            shown = image.scaled(maxSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        } else if (image.width() * 2 <= maxSize.width() && image.height() <= 50) {
            shown = image.scaled(image.size() * 2);  // small sprites, pixel for pixel
        }
        const int w = std::max(shown.width(), 190);
        if (x_ + w > kSheetWidth - kGap)
            NewRow();
        items_.push_back({shown, label, QPoint(x_, y_), false, w});
        x_ += w + kGap;
        rowHeight_ = std::max(rowHeight_, shown.height() + kLabelHeight);
    }
    QImage Render() {
        NewRow();
        QImage sheet = NewCanvas(kSheetWidth, y_ + kGap, QColor(44, 46, 54));
        QPainter p(&sheet);
        Smooth(p);
        QFont label("DejaVu Sans");
        label.setPixelSize(12);
        QFont heading("DejaVu Sans");
        heading.setPixelSize(22);
        heading.setBold(true);
        for (const Item& it : items_) {
            if (it.heading) {
                p.setFont(heading);
                p.setPen(QColor(255, 214, 120));
                p.drawText(it.at + QPoint(0, 24), it.text);
                continue;
            }
            p.drawImage(it.at, it.image);
            p.setPen(QColor(90, 94, 108));
            p.drawRect(QRect(it.at, it.image.size()).adjusted(-1, -1, 0, 0));
            p.setFont(label);
            p.setPen(QColor(225, 228, 236));
            p.drawText(QRect(it.at.x(), it.at.y() + it.image.height() + 2, it.width, 30),
                       Qt::AlignLeft | Qt::TextWordWrap, it.text);
        }
        p.end();
        return sheet.convertToFormat(QImage::Format_RGB888);
    }

  private:
    struct Item {
        QImage image;
        QString text;
        QPoint at;
        bool heading;
        int width;
    };
    void NewRow() {
        if (x_ > kGap)
            y_ += rowHeight_ + kGap;
        x_ = kGap;
        rowHeight_ = 0;
    }
    std::vector<Item> items_;
    int x_ = kGap;
    int y_ = kGap;
    int rowHeight_ = 0;
};

QString SizeText(const QImage& image) {
    return QStringLiteral(" (%1×%2)").arg(image.width()).arg(image.height());
}

}  // namespace

QImage MakeScenePreview(const GameData& data, const BuiltMod& mod, size_t background) {
    QImage frame = mod.backgroundPictures[background].convertToFormat(QImage::Format_RGB32);
    const BackgroundPlan& bg = mod.plan.backgrounds[background];
    for (size_t j = 0; j < bg.extras.size(); ++j) {
        QPainter p(&frame);
        p.drawImage(bg.extras[j].box.topLeft(), mod.extras[background][j].picture);
    }
    const QImage* left = FindGraphic(data, "Grafiken/Vogel.jpg");
    const QImage* leftMask = FindGraphic(data, "Grafiken/Vogelsw.jpg");
    const QImage* right = FindGraphic(data, "Grafiken/Vogelu.jpg");
    const QImage* rightMask = FindGraphic(data, "Grafiken/Vogelusw.jpg");
    const QImage* cursor = FindGraphic(data, "Grafiken/Cursor.jpg");
    const QImage* cursorMask = FindGraphic(data, "Grafiken/Maske.jpg");
    const QImage* cartridge = FindGraphic(data, "Grafiken/Munition.jpg");
    {
        QPainter p(&frame);
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont f("DejaVu Sans");
        f.setPixelSize(27);  // about 20 point
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(QPoint(0, 26), "0.42");
        p.drawText(QPoint(frame.width() - 60, 26), "61");
        for (int k = 1; k <= 4; ++k) {
            p.drawImage(frame.width() - k * cartridge->width(),
                        frame.height() - cartridge->height(), *cartridge);
        }
        // Hit cells, outlined the way the debug display marks them.
        p.setPen(QPen(QColor(230, 90, 0), 1));
        for (const RenderedExtra& e : mod.extras[background]) {
            for (const QPoint& c : e.hitCells) {
                p.drawRect(c.x() * kCellSize + 1, c.y() * kCellSize + 1, 15, 15);
            }
        }
    }
    BlitMasked(frame, *left, *leftMask, QPoint(250, 200));
    BlitMasked(frame, *left, *leftMask, QPoint(520, 330));
    BlitMasked(frame, *right, *rightMask, QPoint(380, 120));
    // Aimed at the centre of the second bird.
    BlitMasked(frame, *cursor, *cursorMask,
               QPoint(520 + kBirdHitCentreX - kAimOffset, 330 + kBirdHitCentreY - kAimOffset));
    return frame.convertToFormat(QImage::Format_RGB888);
}

// Both birds, pixel for pixel and twice enlarged, on a strip of the high
// sky and on one low down over the land or the houses of the background.
QImage BirdsOn(const GameData& data, const QImage& scene) {
    const QImage* left = FindGraphic(data, "Grafiken/Vogel.jpg");
    const QImage* leftMask = FindGraphic(data, "Grafiken/Vogelsw.jpg");
    const QImage* right = FindGraphic(data, "Grafiken/Vogelu.jpg");
    const QImage* rightMask = FindGraphic(data, "Grafiken/Vogelusw.jpg");
    QImage tile(200, 120, QImage::Format_RGB32);
    {
        QPainter p(&tile);
        p.drawImage(QPoint(0, 0), scene, QRect(300, 40, 200, 60));
        p.drawImage(QPoint(0, 60), scene, QRect(300, 480, 200, 60));
    }
    for (int y : {10, 70}) {
        BlitMasked(tile, *left, *leftMask, QPoint(8, y));
        BlitMasked(tile, *right, *rightMask, QPoint(104, y));
    }
    return tile.scaled(tile.size() * 2).convertToFormat(QImage::Format_RGB888);
}

QImage MakeContactSheet(const GameData& data) {
    Sheet sheet;
    sheet.Heading(QStringLiteral("Grafiken"));
    for (const NamedPicture& p : data.graphics) {
        sheet.Add(p.image, p.path.section('/', -1) + SizeText(p.image), QSize(480, 320));
    }
    for (const BuiltMod& mod : data.mods) {
        sheet.Heading(QStringLiteral("MOD %1 \"%2\"%3")
                          .arg(mod.plan.directory, mod.plan.name,
                               mod.plan.encoded ? QStringLiteral(" (versiegelt)") : QString()));
        for (size_t i = 0; i < mod.plan.backgrounds.size(); ++i) {
            const BackgroundPlan& bg = mod.plan.backgrounds[i];
            const QString file = bg.scene ? bg.file : QStringLiteral("Farbe");
            sheet.Add(MakeScenePreview(data, mod, i),
                      QStringLiteral("%1: %2 (%3) im Spiel").arg(i + 1).arg(bg.title, file),
                      QSize(400, 300));
            for (size_t j = 0; j < bg.extras.size(); ++j) {
                const ExtraPlan& e = bg.extras[j];
                const RenderedExtra& r = mod.extras[i][j];
                sheet.Add(r.picture,
                          QStringLiteral("%1, %2 Zellen, %3")
                              .arg(e.file)
                              .arg(r.hitCells.size())
                              .arg(QString::fromLatin1(e.kind)),
                          QSize(160, 180));
            }
        }
    }
    sheet.Heading(QStringLiteral("Vögel auf jedem Hintergrund"));
    for (const BuiltMod& mod : data.mods) {
        for (size_t i = 0; i < mod.plan.backgrounds.size(); ++i) {
            sheet.Add(
                BirdsOn(data, mod.backgroundPictures[i]),
                QStringLiteral("%1: %2").arg(mod.plan.directory, mod.plan.backgrounds[i].title),
                QSize(400, 240));
        }
    }
    return sheet.Render();
}

}  // namespace wf::assetgen

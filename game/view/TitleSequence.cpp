#include "TitleSequence.h"

#include <algorithm>

#include "Blit.h"
#include "FixedScale.h"
#include "PictureSlots.h"
#include "Version.h"

namespace wf {
namespace {

constexpr int kStageTicks = 65;
constexpr int kGameLogoTicks = 50;
constexpr int kLastStage = 17;
constexpr int kFirstCreditStage = 11;
constexpr int kCreditRisePerTick = 2;
constexpr double kCreditFontSize = 13;

// Store-0 slot of each picture stage; 0 for the stages without a picture.
int StageSlot(int stage) {
    switch (stage) {
        case 0:
            return kMakerLogoSlot;
        case 1:
            return kPresentsSlot;
        case 2:
            return kGameLogoSlot;
        case 9:
            return kTitlePicture7Slot;
        case 10:
            return kTitlePicture8Slot;
        default:
            return 0;
    }
}

}  // namespace

QStringList TitleSequence::DefaultCredits() {
    return {
        QStringLiteral("Wolkenfang 4"),
        QString(),
        QStringLiteral("Programmierung"),
        QStringLiteral("Jonas Feldberg"),
        QString(),
        QStringLiteral("Grafik"),
        QStringLiteral("Mira Halden"),
        QStringLiteral("Lukas Brandt"),
        QString(),
        QStringLiteral("Sound und Musik"),
        QStringLiteral("Tobias Wendler"),
        QString(),
        QStringLiteral("Beta Tester"),
        QStringLiteral("Anna Rieger"),
        QStringLiteral("Felix Morgenroth"),
        QStringLiteral("Clara Voss"),
        QStringLiteral("Niklas Ebert"),
        QString(),
        QStringLiteral("Spielidee"),
        QStringLiteral("Jonas Feldberg"),
        QStringLiteral("Mira Halden"),
        QString(),
        QStringLiteral("Mod-Schnittstelle"),
        QStringLiteral("Tobias Wendler"),
        QString(),
        QStringLiteral("Besonderer Dank an"),
        QStringLiteral("alle, die Wolkenfang spielen"),
        QStringLiteral("und eigene Mods bauen"),
        QString(),
        QStringLiteral("Version ") + QLatin1String(kVersionText),
        QString(),
        QString(),
        QStringLiteral("Danke fürs Spielen !"),
    };
}

void TitleSequence::SetCredits(const QStringList& lines) {
    creditLines.fill(QString());
    const int count =
        std::min(static_cast<int>(lines.size()), static_cast<int>(creditLines.size()));
    for (int i = 0; i < count; ++i)
        creditLines[i] = lines[i];
    creditLineCount = count - 1;
}

void TitleSequence::TitleTick(QImage& surface, const PictureStore& store0, bool gameRunning) {
    if (gameRunning)
        return;
    Blit::FillBox(surface, 0, 0, surface.width(), surface.height(), QColor(0, 0, 0));
    ++titleTicks;

    if (const int slot = StageSlot(titleStage)) {
        DrawCentred(surface, store0, slot);
        if (titleStage == 2 && titleTicks >= kGameLogoTicks) {
            titleTicks = 0;
            titleStage = 9;
        }
    } else if (titleStage >= kFirstCreditStage && titleStage <= kLastStage) {
        DrawCredits(surface);
    }

    if (titleTicks >= kStageTicks) {
        titleTicks = 0;
        if (++titleStage > kLastStage)
            titleStage = 0;
    }
}

void TitleSequence::DrawCentred(QImage& surface, const PictureStore& store0, int slot) const {
    const QImage* picture = store0.Picture(slot);
    if (!picture || picture->isNull())
        return;
    const int x = NearestEven((surface.width() - picture->width()) / 2.0);
    const int y = NearestEven((surface.height() - picture->height()) / 2.0);
    Blit::Copy(surface, x, y, *picture, RasterOp::SrcCopy);
}

void TitleSequence::DrawCredits(QImage& surface) {
    surfaceTextColour = QColor(255, 255, 255);
    savedFontSize = QString::number(surfaceFont.pointSizeF());
    surfaceFont.setPointSizeF(kCreditFontSize);
    surfaceFont.setFamily(QStringLiteral("Verdana"));

    // The credits start at the bottom edge once per pass; a game that
    // interrupts them lets them continue from the same height.
    if (titleStage == kFirstCreditStage && titleTicks == 1) {
        creditScrollY = NearestEven(surface.height());
    }
    creditScrollY -= kCreditRisePerTick;

    const int lineHeight = Blit::TextHeight(surfaceFont, QStringLiteral("D"));
    const int last = std::min(creditLineCount, static_cast<int>(creditLines.size()) - 1);
    for (int i = 0; i <= last; ++i) {
        const int y = i * lineHeight + creditScrollY;
        // Lines wholly above or below the surface would not show anyway.
        if (y >= surface.height() || y + lineHeight <= 0)
            continue;
        const QString& line = creditLines[i];
        const int x = NearestEven((surface.width() - Blit::TextWidth(surfaceFont, line)) / 2.0);
        Blit::Text(surface, x, y, line, surfaceFont, surfaceTextColour);
    }

    const double saved = savedFontSize.toDouble();
    if (saved > 0)
        surfaceFont.setPointSizeF(saved);
    surfaceTextColour = QColor(0, 0, 0);
}

}  // namespace wf

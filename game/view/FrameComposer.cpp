#include "FrameComposer.h"

#include <QColor>
#include <algorithm>
#include <cmath>

#include "Blit.h"
#include "PictureSlots.h"
#include "PlayGeometry.h"

namespace wf {

namespace {

constexpr int kWindowTextPoints = 20;
const QColor kTextColour(0, 0, 0);
const QColor kMaskWhite(255, 255, 255);
const QColor kGridColour(0, 0, 0);
const QColor kMarkColour(230, 90, 0);

// The five hit points of a bird: its centre, then right, below, above, left.
constexpr int kHitOffsets[5][2] = {{kBirdHitCentreX, kBirdHitCentreY},
                                   {kBirdHitCentreX + kCellSize, kBirdHitCentreY},
                                   {kBirdHitCentreX, kBirdHitCentreY + kCellSize},
                                   {kBirdHitCentreX, kBirdHitCentreY - kCellSize},
                                   {kBirdHitCentreX - kCellSize, kBirdHitCentreY}};

// Decimal digits appended to a string that keeps its capacity, so that the
// texts of a running game are written without allocating.
void AppendNumber(QString& text, int64_t value) {
    char digits[24];
    int n = 0;
    uint64_t rest = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0)
        text.append(QLatin1Char('-'));
    while (n > 0)
        text.append(QLatin1Char(digits[--n]));
}

// Where a play-area position lands on the surface, as FixedScale::Apply
// gives it; a position far outside (a MOD may place an extra there) is kept
// within the int range first, where it is clipped away all the same.
int32_t Place(FixedScale scale, double v) {
    constexpr double kFarOutside = 1e9;
    return NearestEven(std::clamp(v * static_cast<double>(scale.tenThousandths) / 10000.0,
                                  -kFarOutside, kFarOutside));
}

}  // namespace

FrameComposer::FrameComposer(const GameState& state, const PictureStores& stores, GameHost& host)
    : s_(state),
      stores_(stores),
      host_(host),
      windowFont_(QStringLiteral("Verdana"), kWindowTextPoints, QFont::Bold) {
    // Letters without grey edges, so that their mask is exact under SRCAND.
    windowFont_.setStyleStrategy(QFont::NoAntialias);
    for (QString* text : {&countdownText_, &scoreText_, &countdownStamp_.text, &scoreStamp_.text}) {
        text->reserve(32);
    }
}

QImage& FrameComposer::Target() {
    if (!FullScreen())
        return host_.WindowSurface();
    QImage& screen = host_.FullScreenSurface();
    const DisplayArea& area = s_.display;
    if (area.Whole())
        return screen;
    // The play area's part of the screen, as a picture of its own over the
    // same pixels: every position and every clip of a frame is then the same
    // as on a surface of the play area's size, and the bars stay untouched.
    const QRect part = QRect(area.x, area.y, area.width, area.height) & screen.rect();
    uchar* first =
        screen.bits() + part.y() * screen.bytesPerLine() + part.x() * (screen.depth() / 8);
    if (first != viewFirst_ || view_.size() != part.size()) {
        view_ = QImage(first, part.width(), part.height(), screen.bytesPerLine(), screen.format());
        viewFirst_ = first;
    }
    return view_;
}

const QImage* FrameComposer::Work(int slot) const {
    return stores_.working.Picture(slot);
}

FrameComposer::Outcome FrameComposer::ComposeFrame() {
    DrawScenery(kMaxExtras);
    if (s_.secondsLeft < 0)
        return Outcome::ClockOver;

    QImage& target = Target();
    DrawTexts(target);
    DrawMagazine(target);
    if (!s_.Running())
        return Outcome::NotRunning;

    for (size_t i = 0; i < s_.birds.size(); ++i) {
        const Bird& bird = s_.birds[i];
        const bool right = i == kRightwardBird;
        DrawMasked(target, Place(s_.scaleX, bird.x), Place(s_.scaleY, bird.y),
                   right ? kRightBirdSlot : kLeftBirdSlot,
                   right ? kRightBirdMaskSlot : kLeftBirdMaskSlot);
    }
    if (s_.debugMode)
        DrawDebugOverlay();
    DrawMasked(target, Place(s_.scaleX, s_.mouseX), Place(s_.scaleY, s_.mouseY), kCursorSlot,
               kCursorMaskSlot);

    if (FullScreen()) {
        host_.RefreshFullScreenSurface();
    } else {
        host_.RefreshWindowSurface();
    }
    return Outcome::Shown;
}

void FrameComposer::DrawScenery(int extras) {
    QImage& target = Target();
    if (const QImage* background = Work(kBackgroundSlot)) {
        Blit::Copy(target, 0, 0, *background, RasterOp::SrcCopy);
    }
    int drawn = 0;
    for (const ExtraDef& extra : ExtrasOf(s_.mod, s_.selectedBackground)) {
        if (++drawn > extras)
            break;
        if (extra.extraState != kExtraShown)
            continue;
        if (const QImage* picture = Work(extra.pictureSlot)) {
            Blit::Copy(target, Place(s_.scaleX, extra.x), Place(s_.scaleY, extra.y), *picture,
                       RasterOp::SrcCopy);
        }
    }
}

int FrameComposer::TextPoints() {
    return FullScreen() ? std::max(1, host_.ScreenSizePx().height() / 20) : kWindowTextPoints;
}

const QFont& FrameComposer::TextFont() {
    if (!FullScreen())
        return windowFont_;
    const int points = TextPoints();
    if (points != fullScreenPoints_) {
        fullScreenFont_ = QFont(QStringLiteral("Verdana"), points, QFont::Bold);
        fullScreenFont_.setStyleStrategy(QFont::NoAntialias);
        fullScreenPoints_ = points;
    }
    return fullScreenFont_;
}

void FrameComposer::Stamp(TextStamp& stamp, const QString& text) {
    const int points = TextPoints();
    if (stamp.points == points && stamp.text == text)
        return;
    const QFont& font = TextFont();
    stamp.text.resize(0);
    stamp.text.append(text.constData(), text.size());  // a copy, not a shared buffer
    stamp.points = points;
    stamp.width = Blit::TextWidth(font, text);
    const int height = Blit::TextHeight(font, text);
    stamp.pad = height / 4;
    const int w = stamp.width + 2 * stamp.pad;
    // The mask only grows: white beyond the letters leaves the frame as it is.
    if (stamp.mask.width() < w || stamp.mask.height() != height) {
        stamp.mask = QImage(std::max(w, stamp.mask.width()), height, QImage::Format_RGB32);
    }
    Blit::FillBox(stamp.mask, 0, 0, stamp.mask.width(), stamp.mask.height(), kMaskWhite);
    Blit::Text(stamp.mask, stamp.pad, 0, text, font, kTextColour);
}

void FrameComposer::DrawTexts(QImage& target) {
    countdownText_.resize(0);
    AppendNumber(countdownText_, s_.countdownMinutes);
    countdownText_.append(QLatin1Char('.'));
    countdownText_.append(s_.countdownLeadingZero);
    AppendNumber(countdownText_, s_.countdownSeconds);
    scoreText_.resize(0);
    AppendNumber(scoreText_, s_.score);

    Stamp(countdownStamp_, countdownText_);
    Blit::Copy(target, -countdownStamp_.pad, 0, countdownStamp_.mask, RasterOp::SrcAnd);
    Stamp(scoreStamp_, scoreText_);
    const int width = scoreStamp_.width;
    const int x = FullScreen() ? target.width() - width - 20 : target.width() - (width + 10);
    Blit::Copy(target, x - scoreStamp_.pad, 0, scoreStamp_.mask, RasterOp::SrcAnd);
}

void FrameComposer::DrawMagazine(QImage& target) {
    const QImage* cartridge = Work(kCartridgeSlot);
    if (!cartridge)
        return;
    // Positions come from the unscaled cartridge and the window-mode surface,
    // in play-area units, and are scaled like every other position.
    const int w0 = stores_.sources.SlotWidth(kCartridgeSlot);
    const QImage& area = host_.WindowSurface();
    int offsetX = w0;
    if (FullScreen())
        offsetX -= 4;
    // The row stands on the bottom edge: in a window exactly, in full screen
    // where it would stand 4 px past it. It is moved back where it would
    // stand past the right edge, so that every cartridge is seen whole.
    const int y = target.height() - cartridge->height();
    const int shiftX =
        std::max(0, s_.scaleX.Apply(area.width() - offsetX) + cartridge->width() - target.width());
    for (int shot = 0; shot < s_.magazine; ++shot) {
        Blit::Copy(target, s_.scaleX.Apply(area.width() - offsetX) - shiftX, y, *cartridge,
                   RasterOp::SrcCopy);
        offsetX += w0;
    }
}

void FrameComposer::DrawMasked(QImage& target, int x, int y, int spriteSlot, int maskSlot) {
    const QImage* mask = Work(maskSlot);
    const QImage* sprite = Work(spriteSlot);
    if (mask)
        Blit::Copy(target, x, y, *mask, RasterOp::SrcAnd);
    if (sprite)
        Blit::Copy(target, x, y, *sprite, RasterOp::SrcInvert);
}

void FrameComposer::DrawDebugOverlay() {
    DrawDebugGrid();
    for (const auto& offset : kHitOffsets) {
        for (const Bird& bird : s_.birds) {
            MarkDebugPoint(NearestEven(bird.x) + offset[0], NearestEven(bird.y) + offset[1]);
        }
    }
    for (const ExtraDef& extra : ExtrasOf(s_.mod, s_.selectedBackground)) {
        for (const HitCell& cell : HitCellsOf(extra))
            MarkDebugCell(cell.column, cell.row);
    }
}

void FrameComposer::DrawDebugGrid() {
    QImage& target = Target();
    const QImage& area = host_.WindowSurface();
    const bool full = FullScreen();
    // The full-screen surface draws its grid with a line width of 2.
    const int thickness = full ? 2 : 1;
    const int rows = area.height() / kCellSize;
    for (int i = 1; i <= rows; ++i) {
        const int y =
            full ? static_cast<int>(std::trunc(s_.scaleY.value() * kCellSize * i)) : kCellSize * i;
        Blit::FillBox(target, 0, y, target.width(), y + thickness - 1, kGridColour);
    }
    const int columns = area.width() / kCellSize;
    for (int i = 1; i <= columns; ++i) {
        const int x =
            full ? static_cast<int>(std::trunc(s_.scaleX.value() * kCellSize * i)) : kCellSize * i;
        Blit::FillBox(target, x, 0, x + thickness - 1, target.height(), kGridColour);
    }
}

void FrameComposer::MarkDebugPoint(int32_t x, int32_t y) {
    MarkDebugCell(x / kCellSize, y / kCellSize);
}

void FrameComposer::MarkDebugCell(int32_t column, int32_t row) {
    // In floating point: a cell number far out must not overflow.
    double x1 = kCellSize * static_cast<double>(column) + 1.0;
    double x2 = kCellSize * static_cast<double>(column) + 16.0;
    double y1 = kCellSize * static_cast<double>(row) + 1.0;
    double y2 = kCellSize * static_cast<double>(row) + 16.0;
    if (FullScreen()) {
        x1 *= s_.scaleX.value();
        x2 *= s_.scaleX.value();
        y1 *= s_.scaleY.value();
        y2 *= s_.scaleY.value();
    }
    QImage& target = Target();
    if (s_.debugStyle == 1) {
        Blit::Line(target, QPointF(x1, y1), QPointF(x2, y2), 2, kMarkColour);
        Blit::Line(target, QPointF(x2, y1), QPointF(x1, y2), 2, kMarkColour);
    } else if (s_.debugStyle == 2) {
        Blit::FillBox(target, x1, y1, x2, y2, kMarkColour);
    }
}

}  // namespace wf

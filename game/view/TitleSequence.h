#pragma once
// The idle title sequence of the main window: logos, then rising credits.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <array>

#include "PictureStore.h"

namespace wf {

class TitleSequence {
  public:
    // The 33 credit lines (entries 0 to 32).
    static QStringList DefaultCredits();

    void SetCredits(const QStringList& lines);  // creditLineCount = size - 1
    // One tick of the title timer: draws into surface from store 0; does nothing
    // while a game runs.
    void TitleTick(QImage& surface, const PictureStore& store0, bool gameRunning);

    int titleStage = 0;
    int titleTicks = 0;
    std::array<QString, 100> creditLines{};
    int creditLineCount = -1;
    int creditScrollY = 0;
    QString savedFontSize;

    // The text state of the playing surface. A picture has no font of its
    // own, so the surface's font lives here; the credits borrow it for each
    // tick and hand the size back afterwards.
    QFont surfaceFont;
    QColor surfaceTextColour = QColor(0, 0, 0);

  private:
    void DrawCentred(QImage& surface, const PictureStore& store0, int slot) const;
    void DrawCredits(QImage& surface);
};

}  // namespace wf

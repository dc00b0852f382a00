#include "SplashWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include "Blit.h"
#include "PlaySurface.h"
#include "SplashPicture.h"
#include "Version.h"

namespace wf {
namespace {
constexpr int kWidth = 420;
constexpr int kPictureHeight = 210;
constexpr int kBarHeight = 14;
}  // namespace

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      picture(new QLabel(this)),
      loadingLabel(new QLabel(QStringLiteral("Wird geladen  - Bitte warten ..."), this)),
      versionLabel(new QLabel(QLatin1String(kVersionText), this)),
      progressBar(new PlaySurface(this)) {
    setObjectName(QStringLiteral("splashWindow"));
    picture->setObjectName(QStringLiteral("picture"));
    loadingLabel->setObjectName(QStringLiteral("loadingLabel"));
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    progressBar->setObjectName(QStringLiteral("progressBar"));

    picture->setPixmap(QPixmap::fromImage(SplashPicture(kWidth, kPictureHeight)));
    versionLabel->setAlignment(Qt::AlignRight);
    progressBar->SetSurfaceSize(kWidth - 16, kBarHeight);
    progressBar->Image().fill(QColor(230, 230, 230));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(4);
    layout->addWidget(picture);
    auto* text = new QVBoxLayout;
    text->setContentsMargins(8, 0, 8, 0);
    text->addWidget(loadingLabel);
    text->addWidget(progressBar);
    text->addWidget(versionLabel);
    layout->addLayout(text);
    setStyleSheet(QStringLiteral("background: rgb(240, 240, 240);"));
    setFixedSize(sizeHint());
}

void SplashWindow::ShowAndPaint() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    repaint();
    QCoreApplication::processEvents();
}

void SplashWindow::SetProgress(int percent) {
    QImage& bar = progressBar->Image();
    Blit::FillBox(bar, 0, 0, bar.width() * percent / 100.0, bar.height(), QColor(128, 0, 0));
    progressBar->Refresh();
    QCoreApplication::processEvents();
}

}  // namespace wf

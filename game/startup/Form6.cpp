#include "Form6.h"

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

Form6::Form6(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      Image1(new QLabel(this)),
      Label1(new QLabel(QStringLiteral("Wird geladen  - Bitte warten ..."), this)),
      Label2(new QLabel(QLatin1String(kVersionText), this)),
      Picture1(new PlaySurface(this)) {
    setObjectName(QStringLiteral("Form6"));
    Image1->setObjectName(QStringLiteral("Image1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Picture1->setObjectName(QStringLiteral("Picture1"));

    Image1->setPixmap(QPixmap::fromImage(SplashPicture(kWidth, kPictureHeight)));
    Label2->setAlignment(Qt::AlignRight);
    Picture1->SetSurfaceSize(kWidth - 16, kBarHeight);
    Picture1->Image().fill(QColor(230, 230, 230));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(4);
    layout->addWidget(Image1);
    auto* text = new QVBoxLayout;
    text->setContentsMargins(8, 0, 8, 0);
    text->addWidget(Label1);
    text->addWidget(Picture1);
    text->addWidget(Label2);
    layout->addLayout(text);
    setStyleSheet(QStringLiteral("background: rgb(240, 240, 240);"));
    setFixedSize(sizeHint());
}

void Form6::ShowAndPaint() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    repaint();
    QCoreApplication::processEvents();
}

void Form6::SetProgress(int percent) {
    QImage& bar = Picture1->Image();
    Blit::FillBox(bar, 0, 0, bar.width() * percent / 100.0, bar.height(), QColor(128, 0, 0));
    Picture1->Refresh();
    QCoreApplication::processEvents();
}

}  // namespace wf

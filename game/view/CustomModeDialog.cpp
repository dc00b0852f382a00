#include "CustomModeDialog.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "Borrowing.h"
#include "Units.h"

namespace wf {
namespace {

// Positions are designed in twips.
QRect Twips(int left, int top, int width, int height) {
    const int tpp = TwipsPerPixel();
    return QRect(left / tpp, top / tpp, width / tpp, height / tpp);
}

QScrollBar* MakeScrollBar(QWidget* parent, QRect where, int minimum, int maximum, int pageStep) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setGeometry(where);
    bar->setRange(minimum, maximum);
    bar->setPageStep(pageStep);
    bar->setSingleStep(1);
    bar->setValue(minimum);
    return bar;
}

QLabel* MakeLabel(QWidget* parent, QRect where, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(where);
    return label;
}

}  // namespace

CustomModeDialog::CustomModeDialog(QWidget* mainWindow, const UserDefinedMode& last,
                                   std::function<void(UserDefinedMode)> confirmed,
                                   std::function<void()> cancelled)
    : QWidget(nullptr, Qt::Dialog),
      mainWindow_(mainWindow),
      confirmed_(std::move(confirmed)),
      cancelled_(std::move(cancelled)) {
    setAttribute(Qt::WA_DeleteOnClose);
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("Benutzerdefieniert "));

    using M = UserDefinedMode;
    secondsBar =
        MakeScrollBar(this, Twips(240, 240, 4095, 495), M::kMinSeconds, M::kMaxSeconds, 40);
    secondsValue =
        MakeLabel(this, Twips(4440, 240, 495, 495), QString::number(secondsBar->value()));
    secondsCaption =
        MakeLabel(this, Twips(240, 840, 4095, 255), QStringLiteral("Zeit (in Sekunden)"));
    speedBar = MakeScrollBar(this, Twips(240, 1200, 4095, 495), M::kMinFramesPerSecond,
                             M::kMaxFramesPerSecond, 10);
    speedValue = MakeLabel(this, Twips(4440, 1200, 495, 495), QString::number(speedBar->value()));
    speedCaption =
        MakeLabel(this, Twips(240, 1800, 4095, 255),
                  QStringLiteral("Geschwindigkeit der Vögel (in fps (Frames per second)"));
    okButton = new QPushButton(QStringLiteral("O.K."), this);
    okButton->setGeometry(Twips(360, 2280, 1695, 495));
    cancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancelButton->setGeometry(Twips(2520, 2280, 1695, 495));

    const QFont valueFont(QStringLiteral("MS Sans Serif"));
    secondsValue->setFont(valueFont);
    speedValue->setFont(valueFont);
    // The long caption may need more room than designed in this font; it
    // grows to the right, and the dialog with it.
    speedCaption->resize(std::max(speedCaption->width(), speedCaption->sizeHint().width()),
                         speedCaption->height());
    const QSize designed = Twips(0, 0, 5175, 3015).size();
    setFixedSize(
        std::max(designed.width(), speedCaption->geometry().right() + 1 + speedCaption->x()),
        designed.height());

    connect(secondsBar, &QScrollBar::valueChanged, secondsValue,
            [this](int value) { secondsValue->setText(QString::number(value)); });
    connect(speedBar, &QScrollBar::valueChanged, speedValue,
            [this](int value) { speedValue->setText(QString::number(value)); });
    connect(okButton, &QPushButton::clicked, this, &CustomModeDialog::Confirm);
    connect(cancelButton, &QPushButton::clicked, this, &CustomModeDialog::Cancel);

    // Reopens with the last confirmed values; the bars clamp them to range.
    if (last.seconds != 0) {
        secondsBar->setValue(last.seconds);
        speedBar->setValue(last.framesPerSecond);
    }
}

void CustomModeDialog::Confirm() {
    if (confirmed_)
        confirmed_(UserDefinedMode{secondsBar->value(), speedBar->value()});
    close();
}

void CustomModeDialog::Cancel() {
    close();
    if (cancelled_)
        cancelled_();
}

void CustomModeDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (mainWindow_)
        move(mainWindow_->geometry().center() - rect().center());
}

}  // namespace wf

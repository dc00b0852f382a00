#include "Form3.h"

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

Form3::Form3(QWidget* mainWindow, GameState& state, MenuModel& menu,
             std::function<void()> menuChanged)
    : QWidget(nullptr, Qt::Dialog),
      mainWindow_(mainWindow),
      state_(state),
      menu_(menu),
      menuChanged_(std::move(menuChanged)) {
    setAttribute(Qt::WA_DeleteOnClose);
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("Benutzerdefieniert "));

    HScroll1 = MakeScrollBar(this, Twips(240, 240, 4095, 495), 10, 360, 40);
    Label3 = MakeLabel(this, Twips(4440, 240, 495, 495), QStringLiteral("10"));
    Label2 = MakeLabel(this, Twips(240, 840, 4095, 255), QStringLiteral("Zeit (in Sekunden)"));
    HScroll2 = MakeScrollBar(this, Twips(240, 1200, 4095, 495), 5, 100, 10);
    Label4 = MakeLabel(this, Twips(4440, 1200, 495, 495), QStringLiteral("5"));
    Label1 = MakeLabel(this, Twips(240, 1800, 4095, 255),
                       QStringLiteral("Geschwindigkeit der Vögel (in fps (Frames per second)"));
    Command2 = new QPushButton(QStringLiteral("O.K."), this);
    Command2->setGeometry(Twips(360, 2280, 1695, 495));
    Command1 = new QPushButton(QStringLiteral("Abbrechen"), this);
    Command1->setGeometry(Twips(2520, 2280, 1695, 495));

    const QFont valueFont(QStringLiteral("MS Sans Serif"));
    Label3->setFont(valueFont);
    Label4->setFont(valueFont);
    // The long caption may need more room than designed in this font; it
    // grows to the right, and the dialog with it.
    Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());
    const QSize designed = Twips(0, 0, 5175, 3015).size();
    setFixedSize(std::max(designed.width(), Label1->geometry().right() + 1 + Label1->x()),
                 designed.height());

    connect(HScroll1, &QScrollBar::valueChanged, this, &Form3::HScroll1_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &Form3::HScroll2_Change);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);

    Form_Load();
}

void Form3::Form_Load() {
    // Reopens with the last confirmed values; the bars clamp them to range.
    if (!state_.customTime.isEmpty() && state_.customTime.toInt() != 0) {
        HScroll1->setValue(state_.customTime.toInt());
        HScroll2->setValue(state_.customFps.toInt());
    }
}

void Form3::HScroll1_Change() {
    Label3->setText(QString::number(HScroll1->value()));
}

void Form3::HScroll2_Change() {
    Label4->setText(QString::number(HScroll2->value()));
}

void Form3::Command2_Click() {
    state_.customMode = true;
    menu_.wetz.checked = false;
    menu_.trz.checked = false;
    menu_.wtu.checked = false;
    state_.customTime = Label3->text();
    state_.customFps = Label4->text();
    if (menuChanged_)
        menuChanged_();
    close();
}

void Form3::Command1_Click() {
    close();
    state_.customMode = false;
}

void Form3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (mainWindow_)
        move(mainWindow_->geometry().center() - rect().center());
}

}  // namespace wf

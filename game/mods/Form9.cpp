#include "Form9.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "Borrowing.h"
#include "ModList.h"
#include "Platform.h"

namespace wf {
namespace {

// A small bird in flight over a pale sky, drawn so the window needs no file.
QPixmap BirdPicture(int size) {
    QPixmap pixmap(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size);
    sky.setColorAt(0, QColor(120, 170, 230));
    sky.setColorAt(1, QColor(225, 238, 250));
    p.fillRect(pixmap.rect(), sky);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QRectF(size * 0.05, size * 0.68, size * 0.45, size * 0.18));
    p.drawEllipse(QRectF(size * 0.25, size * 0.62, size * 0.40, size * 0.20));

    const qreal s = size / 64.0;
    QPainterPath bird;
    bird.moveTo(6 * s, 30 * s);
    bird.quadTo(18 * s, 14 * s, 32 * s, 30 * s);  // left wing
    bird.quadTo(46 * s, 14 * s, 58 * s, 30 * s);  // right wing
    bird.quadTo(46 * s, 22 * s, 34 * s, 36 * s);
    bird.lineTo(30 * s, 36 * s);
    bird.quadTo(18 * s, 22 * s, 6 * s, 30 * s);
    bird.closeSubpath();
    p.setBrush(QColor(40, 40, 55));
    p.drawPath(bird);
    p.drawEllipse(QPointF(32 * s, 33 * s), 3.2 * s, 3.2 * s);
    return pixmap;
}

}  // namespace

Form9::Form9(QWidget* mainWindow, QString programDir)
    : QWidget(nullptr), programDir_(std::move(programDir)) {
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("MODs"));

    List1 = new QListWidget(this);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    Command1 = new QPushButton(QStringLiteral("Wechseln zu dem ausgewähltem MOD"), this);
    Command2 = new QPushButton(QStringLiteral("Ausgewähltes MOD entfernen"), this);
    Command3 = new QPushButton(QStringLiteral("Abbrechen"), this);
    Image1 = new QLabel(this);
    Image1->setPixmap(BirdPicture(64));
    Image1->setFixedSize(64, 64);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Image1, 0, Qt::AlignHCenter);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);
    resize(460, 260);

    connect(Command1, &QPushButton::clicked, this, &Form9::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form9::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form9::Command3_Click);
}

void Form9::Form_Load() {
    modNames_ = ReadModList(programDir_ + "/game.ini");
    List1->clear();
    List1->addItems(modNames_);
}

void Form9::showEvent(QShowEvent* event) {
    // Each opening reads the settings file anew.
    if (!event->spontaneous())
        Form_Load();
    QWidget::showEvent(event);
}

bool Form9::SelectedName(QString* name) {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    const int row = selected.isEmpty() ? -1 : List1->row(selected.first());
    if (row < 0 || row >= modNames_.size()) {
        Platform::Instance().MessageBox(this, MsgIcon::None, QStringLiteral("Fehler"),
                                        QStringLiteral("Wählen sie bitte ein MOD aus !!!"));
        return false;
    }
    *name = modNames_[row];
    return true;
}

QString Form9::UnsafeNameMessage(const QString& name) {
    if (name.isEmpty()) {
        return QStringLiteral(
            "Der ausgewählte Eintrag nennt keinen MOD und kann nicht gestartet werden.");
    }
    bool blank = false;
    for (QChar c : name)
        blank = blank || c.isSpace();
    // "v1.0..2" is a directory name like any other; only "." and ".." climb.
    if (blank || name.contains('/') || name.contains('\\') || name == QStringLiteral(".") ||
        name == QStringLiteral("..")) {
        return "Der Name des MODs '" + name +
               "' enthält Leerzeichen, Pfadtrenner oder '..' und kann nicht gestartet werden.";
    }
    return QString();
}

void Form9::Command1_Click() {
    QString name;
    if (!SelectedName(&name))
        return;
    // The new instance splits its command line at blanks and builds a path
    // from the name, so only a plain directory name can be handed over.
    const QString unsafe = UnsafeNameMessage(name);
    if (!unsafe.isEmpty()) {
        Platform::Instance().MessageBox(this, MsgIcon::Exclamation, QStringLiteral("Fehler"),
                                        unsafe);
        return;
    }
    // The program file itself, not a launcher that started it; the new
    // instance inherits the environment and with it WOLKENFANG_DIR.
    Platform& platform = Platform::Instance();
    if (!platform.StartProcess(QCoreApplication::applicationFilePath(), {"-mod:" + name})) {
        // Ending now would leave the player with no game at all.
        platform.MessageBox(
            this, MsgIcon::Exclamation, QStringLiteral("Fehler"),
            "Wolkenfang konnte mit dem MOD '" + name + "' nicht neu gestartet werden.");
        return;
    }
    platform.ExitProgram(0);
}

void Form9::Command2_Click() {
    QString name;
    if (!SelectedName(&name))
        return;
    Platform::Instance().MessageBox(
        this, MsgIcon::None, QStringLiteral("Funktion"),
        QStringLiteral(
            "Funktion wird derzeit noch nichtunterstützt warten sie auf die nächste Alpha !!"));
}

void Form9::Command3_Click() {
    close();
}

}  // namespace wf

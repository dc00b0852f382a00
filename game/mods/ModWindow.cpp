#include "ModWindow.h"

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
#include "FileLimits.h"
#include "ModInstall.h"
#include "ModRegistry.h"
#include "Platform.h"
#include "SafeFile.h"
#include "Text8.h"

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

ModWindow::ModWindow(QWidget* mainWindow, QString programDir)
    : QWidget(nullptr), programDir_(std::move(programDir)) {
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("MODs"));

    modList = new QListWidget(this);
    modList->setSelectionMode(QAbstractItemView::SingleSelection);
    switchButton = new QPushButton(QStringLiteral("Wechseln zu dem ausgewähltem MOD"), this);
    removeButton = new QPushButton(QStringLiteral("Ausgewähltes MOD entfernen"), this);
    installButton = new QPushButton(QStringLiteral("MOD installieren..."), this);
    cancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    picture = new QLabel(this);
    picture->setPixmap(BirdPicture(64));
    picture->setFixedSize(64, 64);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(picture, 0, Qt::AlignHCenter);
    buttons->addStretch();
    buttons->addWidget(switchButton);
    buttons->addWidget(removeButton);
    buttons->addWidget(installButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(modList, 1);
    layout->addLayout(buttons);
    resize(460, 260);

    connect(switchButton, &QPushButton::clicked, this, &ModWindow::SwitchToSelected);
    connect(removeButton, &QPushButton::clicked, this, &ModWindow::RemoveSelected);
    connect(installButton, &QPushButton::clicked, this, &ModWindow::InstallFromArchive);
    connect(cancelButton, &QPushButton::clicked, this, &ModWindow::Cancel);
}

void ModWindow::FillList() {
    // More MODs than the list can hold give an empty list.
    const ModRegistry registry =
        ReadModRegistry(ReadRegularFile(programDir_ + "/game.ini", kMaxDefinitionFileBytes).bytes);
    modNames_.clear();
    for (const QByteArray& name : registry.names)
        modNames_.append(FromText8(name));
    modList->clear();
    modList->addItems(modNames_);
}

void ModWindow::showEvent(QShowEvent* event) {
    // Each opening reads the settings file anew.
    if (!event->spontaneous())
        FillList();
    QWidget::showEvent(event);
}

bool ModWindow::SelectedName(QString* name) {
    const QList<QListWidgetItem*> selected = modList->selectedItems();
    const int row = selected.isEmpty() ? -1 : modList->row(selected.first());
    if (row < 0 || row >= modNames_.size()) {
        Platform::Instance().MessageBox(this, MsgIcon::None, QStringLiteral("Fehler"),
                                        QStringLiteral("Wählen sie bitte ein MOD aus !!!"));
        return false;
    }
    *name = modNames_[row];
    return true;
}

QString ModWindow::UnsafeNameMessage(const QString& name) {
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

void ModWindow::SwitchToSelected() {
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

void ModWindow::RemoveSelected() {
    QString name;
    if (!SelectedName(&name))
        return;
    Platform::Instance().MessageBox(
        this, MsgIcon::None, QStringLiteral("Funktion"),
        QStringLiteral(
            "Funktion wird derzeit noch nichtunterstützt warten sie auf die nächste Alpha !!"));
}

void ModWindow::InstallFromArchive() {
    Platform& platform = Platform::Instance();
    const QString archive = platform.OpenFileDialog(
        this, QStringLiteral("MOD installieren"),
        {QStringLiteral("MOD-Archive (*.zip *.tar.gz *.tgz *.tar.xz *.txz)")});
    if (archive.isEmpty())
        return;
    const InstallOutcome out =
        InstallModArchive(archive, programDir_, [this, &platform](const QString& name) {
            return platform.MessageBox(this, MsgIcon::Question, QStringLiteral("MOD installieren"),
                                       QStringLiteral("Ein MOD namens '%1' ist schon installiert. "
                                                      "Soll es durch das MOD aus dem Archiv "
                                                      "ersetzt werden?")
                                           .arg(name),
                                       MsgButtons::YesNo) == MsgResult::Yes;
        });
    if (out.kept)
        return;  // the player said so
    if (!out.installed) {
        platform.MessageBox(this, MsgIcon::Exclamation, QStringLiteral("MOD installieren"),
                            out.problem);
        return;
    }
    QString text = QStringLiteral("Das MOD '%1' ist installiert und steht jetzt in der Liste.")
                       .arg(out.modName);
    if (!out.notes.isEmpty())
        text += QStringLiteral("\n\nHinweise:\n") + out.notes.join('\n');
    platform.MessageBox(this, MsgIcon::Information, QStringLiteral("MOD installieren"), text);
    FillList();
}

void ModWindow::Cancel() {
    close();
}

}  // namespace wf

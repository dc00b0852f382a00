#include "HelpWindow.h"

#include <QLabel>
#include <QPushButton>

#include "Borrowing.h"

namespace wf {
namespace {

// Shown character for character as the player has always read them.
const char16_t* const kPages[] = {
    u"Der Sinn das Spiels ist soviele Vögel wie möglich in der vorgegebenen Zeit"
    u" abzuschiessen. Den Cursor bewegt man mit der Maus und das Schießen geht mit"
    u" einem Klick auf die linke Maustaste , die Munition lädt man mit der anderen"
    u" Maustaste nach(man hat immer 6 Schuss) . Für einen Vogel gibt es 7p und für"
    u" einen Schuss muss man -2p einbüßen . Für die Extras gibt es jeweils 15p .",
    u"In den Optionen kann man den Hintergrund wählen. Sie können sich zwischen dem"
    u" alten (von version 1.4-2.0), dem neuen (Version 2.5-3.63)oder man kann eine"
    u" selbstgemalte BITMAP Datei öffnen die als Hintergrund verwenden . Man kann"
    u" dann noch die Zeit auswählen : Entweder 0:30 ,1:00 ,2:00. Als letztes kann"
    u" man den Benutzerdifiniert Modus auswählen , für den es keine Highscore gibt :"
    u" Man kann die Zeit einstellen (0:10 - 6:00) und die Anzahl der Frames per"
    u" second (an das System anpassen) (zwischen 5 fps bis 100 fps) ",
    u"Im Datei Menü kann man das Spiel starten , die Highscore anzeigen für eine"
    u" Score von 0:30 , 1:00 unmd 2:00 , und das Programm beenden . Im Hilfe Menü"
    u" kann man diese Hilfe aufrufen , die Info-Datei anzeigen , mit Version History"
    u" , Mitarbeiter , Info über das Programm . Dann gibt es noch den"
    u" Informationsdialog mit weiteren Programm-Informationen",
};

}  // namespace

HelpWindow::HelpWindow(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Dialog), mainWindow_(mainWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("Hilfe"));
    setFixedSize(520, 300);

    pageText = new QLabel(this);
    pageText->setGeometry(16, 16, 488, 216);
    pageText->setWordWrap(true);
    pageText->setTextFormat(Qt::PlainText);
    pageText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    gameButton = new QPushButton(QStringLiteral("Das Spiel"), this);
    optionsButton = new QPushButton(QStringLiteral("Optionen"), this);
    menusButton = new QPushButton(QStringLiteral("Datei && Hilfe Menü"), this);
    cancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    int left = 16;
    for (QPushButton* button : {gameButton, optionsButton, menusButton, cancelButton}) {
        button->setGeometry(left, 248, 116, 32);
        left += 124;
    }

    connect(gameButton, &QPushButton::clicked, this, [this] { ShowPage(1); });
    connect(optionsButton, &QPushButton::clicked, this, [this] { ShowPage(2); });
    connect(menusButton, &QPushButton::clicked, this, [this] { ShowPage(3); });
    connect(cancelButton, &QPushButton::clicked, this, &HelpWindow::Cancel);

    ShowPage(1);
}

QString HelpWindow::PageText(int page) {
    if (page < 1 || page > 3)
        return QString();
    return QString::fromUtf16(kPages[page - 1]);
}

void HelpWindow::ShowPage(int page) {
    pageText->setText(PageText(page));
}

void HelpWindow::Cancel() {
    close();
}

void HelpWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ShowPage(1);
    if (mainWindow_)
        move(mainWindow_->geometry().center() - rect().center());
}

}  // namespace wf

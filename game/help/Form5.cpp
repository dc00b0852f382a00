#include "Form5.h"

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

Form5::Form5(QWidget* mainWindow) : QWidget(nullptr, Qt::Dialog), mainWindow_(mainWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("Hilfe"));
    setFixedSize(520, 300);

    Label1 = new QLabel(this);
    Label1->setGeometry(16, 16, 488, 216);
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Command1 = new QPushButton(QStringLiteral("Das Spiel"), this);
    Command2 = new QPushButton(QStringLiteral("Optionen"), this);
    Command3 = new QPushButton(QStringLiteral("Datei && Hilfe Menü"), this);
    Command4 = new QPushButton(QStringLiteral("Abbrechen"), this);
    int left = 16;
    for (QPushButton* button : {Command1, Command2, Command3, Command4}) {
        button->setGeometry(left, 248, 116, 32);
        left += 124;
    }

    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form5::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form5::Command4_Click);

    Form_Load();
}

QString Form5::PageText(int page) {
    if (page < 1 || page > 3)
        return QString();
    return QString::fromUtf16(kPages[page - 1]);
}

void Form5::Form_Load() {
    Command1_Click();
}

void Form5::Command1_Click() {
    Label1->setText(PageText(1));
}
void Form5::Command2_Click() {
    Label1->setText(PageText(2));
}
void Form5::Command3_Click() {
    Label1->setText(PageText(3));
}
void Form5::Command4_Click() {
    close();
}

void Form5::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Form_Load();
    if (mainWindow_)
        move(mainWindow_->geometry().center() - rect().center());
}

}  // namespace wf

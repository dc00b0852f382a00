// The help window: its pages, its buttons and how it closes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "Form5.h"

namespace wf {
namespace {

const QString kGame = QStringLiteral(
    "Der Sinn das Spiels ist soviele Vögel wie möglich in der vorgegebenen Zeit abzuschiessen. Den "
    "Cursor bewegt man mit der Maus und das Schießen geht mit einem Klick auf die linke Maustaste "
    ", die Munition lädt man mit der anderen Maustaste nach(man hat immer 6 Schuss) . Für einen "
    "Vogel gibt es 7p und für einen Schuss muss man -2p einbüßen . Für die Extras gibt es jeweils "
    "15p .");
const QString kOptions = QStringLiteral(
    "In den Optionen kann man den Hintergrund wählen. Sie können sich zwischen dem alten (von "
    "version 1.4-2.0), dem neuen (Version 2.5-3.63)oder man kann eine selbstgemalte BITMAP Datei "
    "öffnen die als Hintergrund verwenden . Man kann dann noch die Zeit auswählen : Entweder 0:30 "
    ",1:00 ,2:00. Als letztes kann man den Benutzerdifiniert Modus auswählen , für den es keine "
    "Highscore gibt : Man kann die Zeit einstellen (0:10 - 6:00) und die Anzahl der Frames per "
    "second (an das System anpassen) (zwischen 5 fps bis 100 fps) ");
const QString kMenus = QStringLiteral(
    "Im Datei Menü kann man das Spiel starten , die Highscore anzeigen für eine Score von 0:30 , "
    "1:00 unmd 2:00 , und das Programm beenden . Im Hilfe Menü kann man diese Hilfe aufrufen , die "
    "Info-Datei anzeigen , mit Version History , Mitarbeiter , Info über das Programm . Dann gibt "
    "es noch den Informationsdialog mit weiteren Programm-Informationen");

void RunDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(Form5, ButtonsShowTheirPagesAnyNumberOfTimes) {
    QWidget mainWindow;
    QPointer<Form5> form = new Form5(&mainWindow);
    form->show();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Hilfe"));
    EXPECT_EQ(form->Label1->text(), kGame) << "the window opens on page 1";
    EXPECT_TRUE(form->Label1->wordWrap());

    const struct {
        QPushButton* button;
        QString caption;
        const QString& text;
    } pages[] = {
        {form->Command2, QStringLiteral("Optionen"), kOptions},
        {form->Command3, QStringLiteral("Datei && Hilfe Menü"), kMenus},
        {form->Command1, QStringLiteral("Das Spiel"), kGame},
    };
    for (int round = 0; round < 3; ++round) {
        for (const auto& page : pages) {
            SCOPED_TRACE(page.caption.toStdString());
            EXPECT_EQ(page.button->text(), page.caption);
            page.button->click();
            EXPECT_EQ(form->Label1->text(), page.text);
        }
    }
    form->close();
    RunDeferredDeletes();
}

TEST(Form5, EveryOpeningStartsOnPageOne) {
    QWidget mainWindow;
    for (int opening = 0; opening < 2; ++opening) {
        QPointer<Form5> form = new Form5(&mainWindow);
        form->show();
        EXPECT_EQ(form->Label1->text(), kGame);
        form->Command3->click();
        form->hide();
        form->show();
        EXPECT_EQ(form->Label1->text(), kGame) << "showing again is a new opening";
        form->Command2->click();
        form->close();
        RunDeferredDeletes();
        EXPECT_TRUE(form.isNull());
    }
}

}  // namespace
}  // namespace wf

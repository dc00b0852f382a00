// The help and information windows: the help pages and the links.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

#include "Form4.h"
#include "Form5.h"
#include "LinkLabel.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

// Each button shows its text; every opening starts on the first page.
TEST(Form5, ButtonsShowTheirPagesAndEveryOpeningStartsOnPageOne) {
    const QString game = QStringLiteral(
        "Der Sinn das Spiels ist soviele Vögel wie möglich in der vorgegebenen Zeit abzuschiessen. "
        "Den Cursor bewegt man mit der Maus und das Schießen geht mit einem Klick auf die linke "
        "Maustaste , die Munition lädt man mit der anderen Maustaste nach(man hat immer 6 Schuss) "
        ". Für einen Vogel gibt es 7p und für einen Schuss muss man -2p einbüßen . Für die Extras "
        "gibt es jeweils 15p .");
    const QString options = QStringLiteral(
        "In den Optionen kann man den Hintergrund wählen. Sie können sich zwischen dem alten (von "
        "version 1.4-2.0), dem neuen (Version 2.5-3.63)oder man kann eine selbstgemalte BITMAP "
        "Datei öffnen die als Hintergrund verwenden . Man kann dann noch die Zeit auswählen : "
        "Entweder 0:30 ,1:00 ,2:00. Als letztes kann man den Benutzerdifiniert Modus auswählen , "
        "für den es keine Highscore gibt : Man kann die Zeit einstellen (0:10 - 6:00) und die "
        "Anzahl der Frames per second (an das System anpassen) (zwischen 5 fps bis 100 fps) ");
    const QString menus = QStringLiteral(
        "Im Datei Menü kann man das Spiel starten , die Highscore anzeigen für eine Score von 0:30 "
        ", 1:00 unmd 2:00 , und das Programm beenden . Im Hilfe Menü kann man diese Hilfe "
        "aufrufen , die Info-Datei anzeigen , mit Version History , Mitarbeiter , Info über das "
        "Programm . Dann gibt es noch den Informationsdialog mit weiteren Programm-Informationen");
    QWidget mainWindow;
    QPointer<Form5> form = new Form5(&mainWindow);
    form->show();
    EXPECT_EQ(form->Label1->text(), game);
    for (const auto& [button, text] :
         {std::pair{form->Command2, options}, {form->Command3, menus}, {form->Command1, game}}) {
        button->click();
        EXPECT_EQ(form->Label1->text(), text);
    }
    form->Command3->click();
    form->hide();
    form->show();
    EXPECT_EQ(form->Label1->text(), game) << "showing again is a new opening";
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

void Click(QWidget* widget, QPoint where) {
    QMouseEvent press(QEvent::MouseButtonPress, where, widget->mapToGlobal(where), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, where, widget->mapToGlobal(where),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

// Each link opens a page of the project's site (a label shows its address)
// and the window stays open; a release outside is no click.
TEST(Form4, LinksOpenTheProjectsPagesAndTheWindowStaysOpen) {
    ScriptedPlatform platform;
    QWidget mainWindow;
    QPointer<Form4> form = new Form4(&mainWindow);
    form->show();
    QStringList opened;
    for (LinkLabel* link :
         {form->Image1, form->Label13, form->Label14, form->Label15, form->Label17}) {
        platform.openedUrls.clear();
        Click(link, link->rect().center());
        ASSERT_EQ(platform.openedUrls.size(), 1);
        const QString url = platform.openedUrls[0];
        EXPECT_TRUE(url.startsWith(Form4::SiteAddress("/"))) << url.toStdString();
        EXPECT_TRUE(link == form->Image1 || link->text() == url) << url.toStdString();
        EXPECT_TRUE(form->isVisible());
        opened << url;
        Click(link, QPoint(-5, -5));
        EXPECT_EQ(platform.openedUrls.size(), 1) << "a release outside is no click";
    }
    EXPECT_EQ(opened[0], opened[3]) << "the logo and Label15 lead to the maker's page";
    EXPECT_EQ(QSet<QString>(opened.begin(), opened.end()).size(), 4);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace wf

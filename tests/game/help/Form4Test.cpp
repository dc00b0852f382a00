// The information window: its contents, its links and how it closes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

#include "Form4.h"
#include "LinkLabel.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

void RunDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Click(QWidget* widget, QPoint where) {
    QMouseEvent press(QEvent::MouseButtonPress, where, widget->mapToGlobal(where), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, where, widget->mapToGlobal(where),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

QString Site(const char* page) {
    QString site = QStringLiteral(WF_PROJECT_SITE);
    while (site.endsWith(u'/'))
        site.chop(1);
    return site + QString::fromLatin1(page);
}

TEST(Form4, ShowsVersionAndCreditHeadings) {
    QWidget mainWindow;
    QPointer<Form4> form = new Form4(&mainWindow);
    form->show();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Wolkenfang 3.63 Release C Info"));
    EXPECT_EQ(form->Command1->text(), QStringLiteral("OK"));
    EXPECT_FALSE(form->Image1->pixmap().isNull());

    QStringList texts;
    for (QLabel* label : form->findChildren<QLabel*>())
        texts << label->text();
    for (const char* heading : {"Programmierung :", "Grafik :", "Sound und Musik :",
                                "Beta Tester :", "Enthält Werbung von :"}) {
        EXPECT_TRUE(texts.contains(QString::fromUtf8(heading))) << heading;
    }
    form->close();
    RunDeferredDeletes();
}

TEST(Form4, LinksOpenTheProjectsPagesAndTheWindowStaysOpen) {
    ScriptedPlatform platform;
    QWidget mainWindow;
    QPointer<Form4> form = new Form4(&mainWindow);
    form->show();
    const struct {
        const char* name;
        LinkLabel* link;
        QString address;
        bool showsAddress;
    } links[] = {
        {"Image1", form->Image1, Site("/"), false},
        {"Label13", form->Label13, Site("/partner/wolkenwerk.html"), true},
        {"Label14", form->Label14, Site("/partner/nebelkraehe.html"), true},
        {"Label15", form->Label15, Site("/"), true},
        {"Label17", form->Label17, Site("/werbung/anmelden.html"), true},
    };
    for (const auto& l : links) {
        SCOPED_TRACE(l.name);
        platform.openedUrls.clear();
        if (l.showsAddress) {
            EXPECT_EQ(l.link->text(), l.address);
        }
        Click(l.link, l.link->rect().center());
        EXPECT_EQ(platform.openedUrls, QStringList{l.address});
        EXPECT_TRUE(form->isVisible());

        platform.openedUrls.clear();
        Click(l.link, QPoint(-5, -5));
        EXPECT_TRUE(platform.openedUrls.isEmpty()) << "a release outside is no click";
    }
    form->close();
    RunDeferredDeletes();
}

}  // namespace
}  // namespace wf

#include "InfoWindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "Borrowing.h"
#include "LinkLabel.h"
#include "Platform.h"
#include "Version.h"

namespace wf {
namespace {

const QString kMakerPage = QStringLiteral("/");
const QString kPartnerPage1 = QStringLiteral("/partner/wolkenwerk.html");
const QString kPartnerPage2 = QStringLiteral("/partner/nebelkraehe.html");
const QString kAdSignUpPage = QStringLiteral("/werbung/anmelden.html");

// The project's logo: a bird over a cloud in an evening sky.
QPixmap DrawLogo() {
    QPixmap logo(160, 72);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, logo.height());
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(250, 170, 90));
    p.fillRect(logo.rect(), sky);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QRectF(18, 38, 50, 22));
    p.drawEllipse(QRectF(40, 28, 44, 30));
    p.drawEllipse(QRectF(66, 40, 46, 20));

    QPainterPath bird;
    bird.moveTo(104, 22);
    bird.quadTo(114, 14, 122, 24);
    bird.quadTo(130, 14, 140, 22);
    p.setPen(QPen(QColor(30, 30, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bird);

    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(20, 30, 60));
    p.drawText(QRect(0, 50, logo.width() - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Wolkenfang"));
    return logo;
}

LinkLabel* MakeLink(QWidget* parent, const QString& page) {
    auto* link = new LinkLabel(parent);
    link->setTextFormat(Qt::PlainText);
    link->setText(InfoWindow::SiteAddress(page));
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 200));
    link->setPalette(palette);
    return link;
}

QLabel* Heading(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

void OpenPage(const QString& page) {
    Platform::Instance().OpenUrl(InfoWindow::SiteAddress(page));
}

}  // namespace

InfoWindow::InfoWindow(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Dialog), mainWindow_(mainWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("Wolkenfang 3.63 Release C Info"));

    logo = new LinkLabel(this);
    logo->setPixmap(DrawLogo());
    versionLabel = new QLabel(QLatin1String(kVersionText), this);
    makerLink = MakeLink(this, kMakerPage);
    partnerLink1 = MakeLink(this, kPartnerPage1);
    partnerLink2 = MakeLink(this, kPartnerPage2);
    adSignUpLink = MakeLink(this, kAdSignUpPage);
    okButton = new QPushButton(QStringLiteral("OK"), this);

    auto* credits = new QGridLayout;
    int row = 0;
    auto addCredit = [&](const QString& heading, QWidget* names) {
        credits->addWidget(Heading(this, heading), row, 0, Qt::AlignTop);
        credits->addWidget(names, row, 1);
        ++row;
    };
    addCredit(QStringLiteral("Programmierung :"),
              new QLabel(QStringLiteral("Jonas Feldberg"), this));
    addCredit(QStringLiteral("Grafik :"),
              new QLabel(QStringLiteral("Mira Halden, Lukas Brandt"), this));
    addCredit(QStringLiteral("Sound und Musik :"),
              new QLabel(QStringLiteral("Tobias Wendler"), this));
    addCredit(QStringLiteral("Beta Tester :"),
              new QLabel(QStringLiteral("Anna Rieger, Felix Morgenroth,\nClara Voss, Niklas Ebert"),
                         this));
    auto* partners = new QWidget(this);
    auto* partnerList = new QVBoxLayout(partners);
    partnerList->setContentsMargins(0, 0, 0, 0);
    partnerList->addWidget(new QLabel(QStringLiteral("Wolkenwerk Kartenmalerei"), partners));
    partnerList->addWidget(partnerLink1);
    partnerList->addWidget(new QLabel(QStringLiteral("Studio Nebelkrähe"), partners));
    partnerList->addWidget(partnerLink2);
    partnerList->addWidget(new QLabel(QStringLiteral("Selbst hier werben ?"), partners));
    partnerList->addWidget(adSignUpLink);
    addCredit(QStringLiteral("Enthält Werbung von :"), partners);

    auto* top = new QGridLayout;
    top->addWidget(logo, 0, 0, 2, 1);
    top->addWidget(new QLabel(QStringLiteral("Wolkenfang"), this), 0, 1);
    top->addWidget(versionLabel, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(credits);
    layout->addSpacing(8);
    layout->addWidget(makerLink);
    layout->addWidget(okButton, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(logo, &LinkLabel::clicked, this, &InfoWindow::OpenMakerPage);
    connect(partnerLink1, &LinkLabel::clicked, this, &InfoWindow::OpenPartnerPage1);
    connect(partnerLink2, &LinkLabel::clicked, this, &InfoWindow::OpenPartnerPage2);
    connect(makerLink, &LinkLabel::clicked, this, &InfoWindow::OpenMakerPage);
    connect(adSignUpLink, &LinkLabel::clicked, this, &InfoWindow::OpenAdSignUpPage);
    connect(okButton, &QPushButton::clicked, this, &InfoWindow::Confirm);
}

QString InfoWindow::SiteAddress(const QString& page) {
    QString site = QStringLiteral(WF_PROJECT_SITE);
    while (site.endsWith(u'/'))
        site.chop(1);
    return site + page;
}

void InfoWindow::OpenMakerPage() {
    OpenPage(kMakerPage);
}
void InfoWindow::OpenPartnerPage1() {
    OpenPage(kPartnerPage1);
}
void InfoWindow::OpenPartnerPage2() {
    OpenPage(kPartnerPage2);
}
void InfoWindow::OpenAdSignUpPage() {
    OpenPage(kAdSignUpPage);
}
void InfoWindow::Confirm() {
    close();
}

void InfoWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (mainWindow_)
        move(mainWindow_->geometry().center() - rect().center());
}

}  // namespace wf

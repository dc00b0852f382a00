#include "Form4.h"

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
    link->setText(Form4::SiteAddress(page));
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
    Platform::Instance().OpenUrl(Form4::SiteAddress(page));
}

}  // namespace

Form4::Form4(QWidget* mainWindow) : QWidget(nullptr, Qt::Dialog), mainWindow_(mainWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("Wolkenfang 3.63 Release C Info"));

    Image1 = new LinkLabel(this);
    Image1->setPixmap(DrawLogo());
    versionLabel = new QLabel(QLatin1String(kVersionText), this);
    Label15 = MakeLink(this, kMakerPage);
    Label13 = MakeLink(this, kPartnerPage1);
    Label14 = MakeLink(this, kPartnerPage2);
    Label17 = MakeLink(this, kAdSignUpPage);
    Command1 = new QPushButton(QStringLiteral("OK"), this);

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
    partnerList->addWidget(Label13);
    partnerList->addWidget(new QLabel(QStringLiteral("Studio Nebelkrähe"), partners));
    partnerList->addWidget(Label14);
    partnerList->addWidget(new QLabel(QStringLiteral("Selbst hier werben ?"), partners));
    partnerList->addWidget(Label17);
    addCredit(QStringLiteral("Enthält Werbung von :"), partners);

    auto* top = new QGridLayout;
    top->addWidget(Image1, 0, 0, 2, 1);
    top->addWidget(new QLabel(QStringLiteral("Wolkenfang"), this), 0, 1);
    top->addWidget(versionLabel, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(credits);
    layout->addSpacing(8);
    layout->addWidget(Label15);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Image1, &LinkLabel::clicked, this, &Form4::Image1_Click);
    connect(Label13, &LinkLabel::clicked, this, &Form4::Label13_Click);
    connect(Label14, &LinkLabel::clicked, this, &Form4::Label14_Click);
    connect(Label15, &LinkLabel::clicked, this, &Form4::Label15_Click);
    connect(Label17, &LinkLabel::clicked, this, &Form4::Label17_Click);
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
}

QString Form4::SiteAddress(const QString& page) {
    QString site = QStringLiteral(WF_PROJECT_SITE);
    while (site.endsWith(u'/'))
        site.chop(1);
    return site + page;
}

void Form4::Image1_Click() {
    OpenPage(kMakerPage);
}
void Form4::Label13_Click() {
    OpenPage(kPartnerPage1);
}
void Form4::Label14_Click() {
    OpenPage(kPartnerPage2);
}
void Form4::Label15_Click() {
    OpenPage(kMakerPage);
}
void Form4::Label17_Click() {
    OpenPage(kAdSignUpPage);
}
void Form4::Command1_Click() {
    close();
}

void Form4::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (mainWindow_)
        move(mainWindow_->geometry().center() - rect().center());
}

}  // namespace wf

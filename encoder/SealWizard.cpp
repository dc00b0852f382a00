#include "SealWizard.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyleHints>
#include <QVBoxLayout>

#include "BannerStrip.h"
#include "Borrowing.h"
#include "ModChooser.h"
#include "ProgressBox.h"
#include "SealAnimation.h"

namespace wf {
namespace {

const QString kNavigationHint = QStringLiteral(
    "Mit Zurück gelangen sie auf die vorherige Seite mit. Mit Weiter gelangen sie auf die "
    "nächste Seite. Abbrechen können sie mit dem Abbrechen Button");

QLabel* NewLabel(const QString& name, const QString& text, QWidget* parent, bool wrap = true) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(wrap);
    return label;
}

void MakeHeading(QLabel* label, double scale) {
    QFont f = label->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * scale);
    label->setFont(f);
}

QPushButton* NewButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumWidth(130);
    return button;
}

}  // namespace

SealWizard::SealWizard(const QString& gameDirectory, FileOps* files, QWidget* parent)
    : QWidget(parent), engine_(*this, files) {
    setObjectName(QStringLiteral("SealWizard"));
    setWindowTitle(QStringLiteral("modsiegel"));
    if (!gameDirectory.isEmpty())
        engine_.SetGameDirectory(gameDirectory);

    pages = new QStackedWidget(this);
    BuildPages();

    Command3 = NewButton(QStringLiteral("Command3"), QStringLiteral("< Zurück"), this);
    Command2 = NewButton(QStringLiteral("Command2"), QStringLiteral("Weiter >"), this);
    Command1 = NewButton(QStringLiteral("Command1"), QStringLiteral("Abbrechen"), this);
    Command2->setDefault(true);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command3);
    buttons->addWidget(Command2);
    buttons->addSpacing(14);
    buttons->addWidget(Command1);

    auto* right = new QVBoxLayout;
    right->setContentsMargins(20, 18, 20, 14);
    right->setSpacing(12);
    right->addWidget(pages, 1);
    right->addWidget(rule);
    right->addLayout(buttons);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(new BannerStrip(this));
    root->addLayout(right, 1);
    resize(700, 450);

    connect(Command1, &QPushButton::clicked, this, &SealWizard::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, [this] {
        // The run on page 3 is over before the second click of a double
        // click on "Weiter >" arrives; on the summary it must not count as
        // "Assistent schließen". Neither must clicks queued during the run.
        const int doubleClick = QGuiApplication::styleHints()->mouseDoubleClickInterval();
        if (pCP == 4 && summaryShown_.isValid() && summaryShown_.elapsed() < doubleClick)
            return;
        Command2_Click();
    });
    connect(Command3, &QPushButton::clicked, this, &SealWizard::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &SealWizard::Command4_Click);
    connect(Check1, &QCheckBox::toggled, this, &SealWizard::Check1_Click);

    Check1_Click();
    pCP = 0;
    pCPSet();
}

SealWizard::~SealWizard() {
    delete chooser_.data();
}

QWidget* SealWizard::NewPage(int index) {
    auto* page = new QWidget(pages);
    page->setObjectName(QStringLiteral("picContainer%1").arg(index));
    pages->addWidget(page);
    picContainer.append(page);
    return page;
}

void SealWizard::BuildPages() {
    for (int i = 0; i < 3; ++i) {
        Label4[i] = NewLabel(QStringLiteral("Label4_%1").arg(i), kNavigationHint, nullptr);
        Label4[i]->setStyleSheet(QStringLiteral("color: rgb(80, 80, 80);"));
    }

    // Page 0: welcome.
    {
        QWidget* page = NewPage(0);
        Label1 = NewLabel(QStringLiteral("Label1"), QStringLiteral("Willkommen !!!"), page);
        MakeHeading(Label1, 1.6);
        Label2 = NewLabel(
            QStringLiteral("Label2"),
            QStringLiteral("Dieser Assistent wird ihnen dabei helfen ihre MODs für Wolkenfang 4 "
                           "KL und KS zu ver öffentlichen. Dieser Assistent codiert ihre MODs "
                           "damit nur sie die Sourcen begutachten können. Ihre alten Soucen "
                           "können dabei gesichert werden."),
            page);
        Label3 = NewLabel(QStringLiteral("Label3"),
                          QStringLiteral("Bitte folgen sie den Anweisungen !!! "), page);
        MakeHeading(Label3, 1.0);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(14);
        layout->addWidget(Label1);
        layout->addWidget(Label2);
        layout->addWidget(Label3);
        layout->addStretch();
        Label4[0]->setParent(page);
        layout->addWidget(Label4[0]);
    }

    // Page 1: the MOD.
    {
        QWidget* page = NewPage(1);
        Label5 =
            NewLabel(QStringLiteral("Label5"),
                     QStringLiteral("Bitte wählen sie aus welches MOD sie codieren wollen"), page);
        MakeHeading(Label5, 1.2);
        Text1 = new QLineEdit(QStringLiteral("wolkfng4"), page);
        Text1->setObjectName(QStringLiteral("Text1"));
        Command4 = NewButton(QStringLiteral("Command4"), QStringLiteral("Wechseln"), page);
        auto* row = new QHBoxLayout;
        row->addWidget(Text1, 1);
        row->addWidget(Command4);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(14);
        layout->addWidget(Label5);
        layout->addLayout(row);
        layout->addStretch();
        Label4[1]->setParent(page);
        layout->addWidget(Label4[1]);
    }

    // Page 2: the backup.
    {
        QWidget* page = NewPage(2);
        Label8 = NewLabel(QStringLiteral("Label8"),
                          QStringLiteral("Wählen sie aus ob und wo sie die Sourcen sichern wollen"),
                          page);
        MakeHeading(Label8, 1.2);
        Check1 = new QCheckBox(QStringLiteral("Sourcen sichern"), page);
        Check1->setObjectName(QStringLiteral("Check1"));
        Check1->setChecked(true);
        Frame2 = new QGroupBox(QStringLiteral("Neues Source Verzeichnis"), page);
        Frame2->setObjectName(QStringLiteral("Frame2"));
        Text2 = new QLineEdit(QStringLiteral("wolkfng4.src"), Frame2);
        Text2->setObjectName(QStringLiteral("Text2"));
        auto* frameLayout = new QVBoxLayout(Frame2);
        frameLayout->addWidget(Text2);
        Label7 = NewLabel(QStringLiteral("Label7"), QStringLiteral("!!! WICHTIG !!!"), page);
        MakeHeading(Label7, 1.0);
        Label7->setStyleSheet(QStringLiteral("color: rgb(176, 0, 0);"));
        Label6 = NewLabel(QStringLiteral("Label6"),
                          QStringLiteral("Wenn sie ihre Sourcen nicht sichern ist es nicht "
                                         "möglich das MOD später weiter zu bearbeiten"),
                          page);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(12);
        layout->addWidget(Label8);
        layout->addWidget(Check1);
        layout->addWidget(Frame2);
        layout->addWidget(Label7);
        layout->addWidget(Label6);
        layout->addStretch();
        Label4[2]->setParent(page);
        layout->addWidget(Label4[2]);
    }

    // Page 3: the run.
    {
        QWidget* page = NewPage(3);
        txtLog = new QPlainTextEdit(page);
        txtLog->setObjectName(QStringLiteral("txtLog"));
        txtLog->setReadOnly(true);
        // Long lines (paths) wrap rather than hide the rest of the log.
        txtLog->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        Picture1 = new ProgressBox(page);
        Picture1->setObjectName(QStringLiteral("Picture1"));
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(10);
        layout->addWidget(txtLog, 1);
        layout->addWidget(Picture1);
    }

    // Page 4: the summary.
    {
        QWidget* page = NewPage(4);
        Label9 = NewLabel(QStringLiteral("Label9"),
                          QStringLiteral("Die Änderungen sind abgeschlossen !! Fertig !! "), page);
        MakeHeading(Label9, 1.3);
        Label10 =
            NewLabel(QStringLiteral("Label10"), QStringLiteral("MOD Verzeichnis : "), page, false);
        Label12 = NewLabel(QStringLiteral("Label12"), QString(), page, false);
        Label11 = NewLabel(QStringLiteral("Label11"), QStringLiteral("MOD Sourcen Verzeichnis :"),
                           page, false);
        Label13 = NewLabel(QStringLiteral("Label13"), QString(), page, false);
        for (QLabel* value : {Label12, Label13}) {
            QFont f = value->font();
            f.setBold(true);
            value->setFont(f);
        }
        Image2 = new SealAnimation(page);
        Image2->setObjectName(QStringLiteral("Image2"));
        auto* grid = new QGridLayout;
        grid->setHorizontalSpacing(10);
        grid->setVerticalSpacing(8);
        grid->addWidget(Label10, 0, 0);
        grid->addWidget(Label12, 0, 1);
        grid->addWidget(Label11, 1, 0);
        grid->addWidget(Label13, 1, 1);
        grid->setColumnStretch(1, 1);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(16);
        layout->addWidget(Label9);
        layout->addLayout(grid);
        layout->addWidget(Image2, 1, Qt::AlignHCenter);
    }
}

int SealWizard::VisiblePage() const {
    return pages->currentIndex();
}

void SealWizard::ShowOnly(int index) {
    for (QWidget* page : picContainer)
        page->hide();
    pages->setCurrentIndex(index);
    picContainer[index]->show();
    picContainer[index]->raise();
}

void SealWizard::pCPSet() {
    ShowOnly(pCP);
    Command3->setEnabled(pCP != 0);
    if (pCP == 1)
        engine_.ReadModList();
    if (pCP == 3) {
        RunEncoding();
        Command3->setEnabled(false);
        Command2->setEnabled(false);
        Command1->setEnabled(false);
    }
    // Tested afresh: the run above has moved on to page 4.
    if (pCP == 4) {
        Command2->setEnabled(true);
        Command3->setEnabled(true);
        Command2->setText(QStringLiteral("Assistent schließen"));
        Command3->setText(QStringLiteral("Logdatei"));
        summaryShown_.start();
    }
}

void SealWizard::RunEncoding() {
    const bool backup = Check1->isChecked();
    Label12->setText(Text1->text());
    Label13->setText(Text2->text());
    Label13->setVisible(backup);
    Label11->setVisible(backup);
    engine_.RunEncoding({Text1->text(), Text2->text(), backup});
    pCP = 4;
    pCPSet();
}

void SealWizard::Command1_Click() {
    close();
}

void SealWizard::Command2_Click() {
    if (pCP == 4) {
        close();
        return;
    }
    ++pCP;
    pCPSet();
}

void SealWizard::Command3_Click() {
    if (pCP == 4) {
        // The log once more; "Assistent schließen" still ends the program.
        ShowOnly(3);
        Command3->setEnabled(false);
        return;
    }
    if (pCP > 0) {
        --pCP;
        pCPSet();
    }
}

void SealWizard::Command4_Click() {
    if (chooser_)
        return;
    chooser_ = new ModChooser(engine_.ModNames(), engine_.ModTypes());
    BorrowOwner(chooser_, this);
    connect(chooser_, &ModChooser::modChosen, Text1, &QLineEdit::setText);
    connect(chooser_, &QDialog::finished, this, [this] {
        if (chooser_)
            chooser_->deleteLater();
        chooser_ = nullptr;
    });
    chooser_->show();
}

void SealWizard::Check1_Click() {
    const bool on = Check1->isChecked();
    Frame2->setEnabled(on);
    QPalette palette = Text2->palette();
    palette.setColor(QPalette::All, QPalette::Base, Qt::white);
    palette.setColor(QPalette::All, QPalette::Text, on ? QColor(0, 0, 0) : QColor(128, 128, 128));
    Text2->setPalette(palette);
}

void SealWizard::closeEvent(QCloseEvent* event) {
    if (chooser_)
        chooser_->reject();
    event->accept();
    emit programEnds();
}

void SealWizard::OnLogLine(const QString& entry) {
    QString text = entry;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtLog->moveCursor(QTextCursor::End);
    txtLog->insertPlainText(text);
    txtLog->moveCursor(QTextCursor::End);
    txtLog->ensureCursorVisible();
    txtLog->viewport()->repaint();
}

void SealWizard::OnProgress(int percent) {
    Picture1->ShowProgress(percent);
}

QWidget* SealWizard::MessageOwner() const {
    return const_cast<SealWizard*>(this);
}

}  // namespace wf

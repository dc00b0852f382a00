#include "SealWizard.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
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
#include "ModLoader.h"
#include "Paths.h"
#include "Platform.h"
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
    setObjectName(QStringLiteral("sealWizard"));
    setWindowTitle(QStringLiteral("modsiegel"));
    if (!gameDirectory.isEmpty())
        engine_.SetGameDirectory(gameDirectory);

    pages = new QStackedWidget(this);
    BuildPages();

    backButton = NewButton(QStringLiteral("backButton"), QStringLiteral("< Zurück"), this);
    nextButton = NewButton(QStringLiteral("nextButton"), QStringLiteral("Weiter >"), this);
    cancelButton = NewButton(QStringLiteral("cancelButton"), QStringLiteral("Abbrechen"), this);
    nextButton->setDefault(true);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(backButton);
    buttons->addWidget(nextButton);
    buttons->addSpacing(14);
    buttons->addWidget(cancelButton);

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

    connect(cancelButton, &QPushButton::clicked, this, &SealWizard::OnCancel);
    connect(nextButton, &QPushButton::clicked, this, [this] {
        // The run is over before the second click of a double
        // click on "Weiter >" arrives; on the summary it must not count as
        // "Assistent schließen". Neither must clicks queued during the run.
        const int doubleClick = QGuiApplication::styleHints()->mouseDoubleClickInterval();
        if (currentPage == kSummaryPage && summaryShown_.isValid() &&
            summaryShown_.elapsed() < doubleClick)
            return;
        OnNext();
    });
    connect(backButton, &QPushButton::clicked, this, &SealWizard::OnBack);
    connect(changeModButton, &QPushButton::clicked, this, &SealWizard::OnChangeMod);
    connect(checkButton, &QPushButton::clicked, this, [this] { CheckChosenMod(true); });
    connect(backupCheck, &QCheckBox::toggled, this, &SealWizard::OnBackupToggled);

    OnBackupToggled();
    currentPage = kWelcomePage;
    ShowPage();
}

SealWizard::~SealWizard() {
    delete chooser_.data();
}

QWidget* SealWizard::NewPage(const QString& name) {
    auto* page = new QWidget(pages);
    page->setObjectName(name);
    pages->addWidget(page);
    pageWidgets.append(page);
    return page;
}

void SealWizard::BuildPages() {
    for (int i = 0; i < 3; ++i) {
        navigationHints[i] =
            NewLabel(QStringLiteral("navigationHint%1").arg(i), kNavigationHint, nullptr);
        navigationHints[i]->setStyleSheet(QStringLiteral("color: rgb(80, 80, 80);"));
    }

    {
        QWidget* page = NewPage(QStringLiteral("welcomePage"));
        welcomeTitle =
            NewLabel(QStringLiteral("welcomeTitle"), QStringLiteral("Willkommen !!!"), page);
        MakeHeading(welcomeTitle, 1.6);
        welcomeText = NewLabel(
            QStringLiteral("welcomeText"),
            QStringLiteral("Dieser Assistent wird ihnen dabei helfen ihre MODs für Wolkenfang 4 "
                           "KL und KS zu ver öffentlichen. Dieser Assistent codiert ihre MODs "
                           "damit nur sie die Sourcen begutachten können. Ihre alten Soucen "
                           "können dabei gesichert werden."),
            page);
        instructionsNote = NewLabel(QStringLiteral("instructionsNote"),
                                    QStringLiteral("Bitte folgen sie den Anweisungen !!! "), page);
        MakeHeading(instructionsNote, 1.0);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(14);
        layout->addWidget(welcomeTitle);
        layout->addWidget(welcomeText);
        layout->addWidget(instructionsNote);
        layout->addStretch();
        navigationHints[0]->setParent(page);
        layout->addWidget(navigationHints[0]);
    }

    {
        QWidget* page = NewPage(QStringLiteral("modPage"));
        modPrompt =
            NewLabel(QStringLiteral("modPrompt"),
                     QStringLiteral("Bitte wählen sie aus welches MOD sie codieren wollen"), page);
        MakeHeading(modPrompt, 1.2);
        modNameEdit = new QLineEdit(QStringLiteral("wolkfng4"), page);
        modNameEdit->setObjectName(QStringLiteral("modNameEdit"));
        changeModButton =
            NewButton(QStringLiteral("changeModButton"), QStringLiteral("Wechseln"), page);
        checkButton = NewButton(QStringLiteral("checkButton"), QStringLiteral("Prüfen"), page);
        auto* row = new QHBoxLayout;
        row->addWidget(modNameEdit, 1);
        row->addWidget(changeModButton);
        row->addWidget(checkButton);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(14);
        layout->addWidget(modPrompt);
        layout->addLayout(row);
        layout->addStretch();
        navigationHints[1]->setParent(page);
        layout->addWidget(navigationHints[1]);
    }

    {
        QWidget* page = NewPage(QStringLiteral("backupPage"));
        backupPrompt = NewLabel(
            QStringLiteral("backupPrompt"),
            QStringLiteral("Wählen sie aus ob und wo sie die Sourcen sichern wollen"), page);
        MakeHeading(backupPrompt, 1.2);
        backupCheck = new QCheckBox(QStringLiteral("Sourcen sichern"), page);
        backupCheck->setObjectName(QStringLiteral("backupCheck"));
        backupCheck->setChecked(true);
        backupNameBox = new QGroupBox(QStringLiteral("Neues Source Verzeichnis"), page);
        backupNameBox->setObjectName(QStringLiteral("backupNameBox"));
        backupNameEdit = new QLineEdit(QStringLiteral("wolkfng4.src"), backupNameBox);
        backupNameEdit->setObjectName(QStringLiteral("backupNameEdit"));
        auto* frameLayout = new QVBoxLayout(backupNameBox);
        frameLayout->addWidget(backupNameEdit);
        backupWarningTitle =
            NewLabel(QStringLiteral("backupWarningTitle"), QStringLiteral("!!! WICHTIG !!!"), page);
        MakeHeading(backupWarningTitle, 1.0);
        backupWarningTitle->setStyleSheet(QStringLiteral("color: rgb(176, 0, 0);"));
        backupWarning = NewLabel(QStringLiteral("backupWarning"),
                                 QStringLiteral("Wenn sie ihre Sourcen nicht sichern ist es nicht "
                                                "möglich das MOD später weiter zu bearbeiten"),
                                 page);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(12);
        layout->addWidget(backupPrompt);
        layout->addWidget(backupCheck);
        layout->addWidget(backupNameBox);
        layout->addWidget(backupWarningTitle);
        layout->addWidget(backupWarning);
        layout->addStretch();
        navigationHints[2]->setParent(page);
        layout->addWidget(navigationHints[2]);
    }

    {
        QWidget* page = NewPage(QStringLiteral("runPage"));
        logView = new QPlainTextEdit(page);
        logView->setObjectName(QStringLiteral("logView"));
        logView->setReadOnly(true);
        // Long lines (paths) wrap rather than hide the rest of the log.
        logView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        progressBox = new ProgressBox(page);
        progressBox->setObjectName(QStringLiteral("progressBox"));
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(10);
        layout->addWidget(logView, 1);
        layout->addWidget(progressBox);
    }

    {
        QWidget* page = NewPage(QStringLiteral("summaryPage"));
        doneTitle =
            NewLabel(QStringLiteral("doneTitle"),
                     QStringLiteral("Die Änderungen sind abgeschlossen !! Fertig !! "), page);
        MakeHeading(doneTitle, 1.3);
        modDirCaption = NewLabel(QStringLiteral("modDirCaption"),
                                 QStringLiteral("MOD Verzeichnis : "), page, false);
        modDirValue = NewLabel(QStringLiteral("modDirValue"), QString(), page, false);
        backupDirCaption = NewLabel(QStringLiteral("backupDirCaption"),
                                    QStringLiteral("MOD Sourcen Verzeichnis :"), page, false);
        backupDirValue = NewLabel(QStringLiteral("backupDirValue"), QString(), page, false);
        backupSummary = NewLabel(QStringLiteral("backupSummary"), QString(), page);
        for (QLabel* value : {modDirValue, backupDirValue}) {
            QFont f = value->font();
            f.setBold(true);
            value->setFont(f);
        }
        sealAnimation = new SealAnimation(page);
        sealAnimation->setObjectName(QStringLiteral("sealAnimation"));
        auto* grid = new QGridLayout;
        grid->setHorizontalSpacing(10);
        grid->setVerticalSpacing(8);
        grid->addWidget(modDirCaption, 0, 0);
        grid->addWidget(modDirValue, 0, 1);
        grid->addWidget(backupDirCaption, 1, 0);
        grid->addWidget(backupDirValue, 1, 1);
        grid->addWidget(backupSummary, 2, 0, 1, 2);
        grid->setColumnStretch(1, 1);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(16);
        layout->addWidget(doneTitle);
        layout->addLayout(grid);
        layout->addWidget(sealAnimation, 1, Qt::AlignHCenter);
    }
}

int SealWizard::VisiblePage() const {
    return pages->currentIndex();
}

void SealWizard::ShowOnly(int index) {
    for (QWidget* page : pageWidgets)
        page->hide();
    pages->setCurrentIndex(index);
    pageWidgets[index]->show();
    pageWidgets[index]->raise();
}

void SealWizard::ShowPage() {
    ShowOnly(currentPage);
    backButton->setEnabled(currentPage != kWelcomePage);
    if (currentPage == kModPage)
        engine_.ReadModList();
    if (currentPage == kRunPage) {
        RunEncoding();
        backButton->setEnabled(false);
        nextButton->setEnabled(false);
        cancelButton->setEnabled(false);
    }
    // Tested afresh: the run above has moved on to the summary.
    if (currentPage == kSummaryPage) {
        nextButton->setEnabled(true);
        backButton->setEnabled(true);
        nextButton->setText(QStringLiteral("Assistent schließen"));
        backButton->setText(QStringLiteral("Logdatei"));
        summaryShown_.start();
    }
}

void SealWizard::RunEncoding() {
    const bool backup = backupCheck->isChecked();
    modDirValue->setText(modNameEdit->text());
    backupDirValue->setText(backupNameEdit->text());
    backupDirValue->setVisible(backup);
    backupDirCaption->setVisible(backup);
    engine_.RunEncoding({modNameEdit->text(), backupNameEdit->text(), backup});
    backupSummary->setText(engine_.BackupSummary());
    backupSummary->setVisible(backup);
    currentPage = kSummaryPage;
    ShowPage();
}

void SealWizard::OnCancel() {
    close();
}

void SealWizard::OnNext() {
    if (currentPage == kSummaryPage) {
        close();
        return;
    }
    // A MOD the game would not load or play is not sealed as it is.
    if (currentPage == kModPage && !CheckChosenMod(false))
        return;
    ++currentPage;
    ShowPage();
}

void SealWizard::OnBack() {
    if (currentPage == kSummaryPage) {
        // The log once more; "Assistent schließen" still ends the program.
        ShowOnly(kRunPage);
        backButton->setEnabled(false);
        return;
    }
    if (currentPage > kWelcomePage) {
        --currentPage;
        ShowPage();
    }
}

bool SealWizard::CheckChosenMod(bool sayWhenFine) {
    const QString name = modNameEdit->text();
    const QString dir = JoinPlainName(engine_.ModsDirectory(), name);
    // A name that names no MOD is told by the run, as it always was.
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return true;
    const ModCheck check = CheckMod(dir);
    QString text;
    if (!check.Playable()) {
        text = QStringLiteral(
                   "Das MOD '%1' lädt so nicht oder lässt sich nicht spielen:\n\n%2\n\n"
                   "Bitte beheben Sie das vor dem Codieren.")
                   .arg(name, check.problems.join('\n'));
    } else if (sayWhenFine) {
        text = QStringLiteral("Das MOD '%1' lädt und lässt sich spielen.").arg(name);
        if (!check.notes.isEmpty())
            text += QStringLiteral("\n\nHinweise:\n") + check.notes.join('\n');
    }
    if (!text.isEmpty()) {
        Platform::Instance().MessageBox(
            this, check.Playable() ? MsgIcon::Information : MsgIcon::Exclamation,
            QStringLiteral("MOD prüfen"), text);
    }
    return check.Playable();
}

void SealWizard::OnChangeMod() {
    if (chooser_)
        return;
    chooser_ = new ModChooser(engine_.ModNames(), engine_.ModTypes());
    BorrowOwner(chooser_, this);
    connect(chooser_, &ModChooser::modChosen, modNameEdit, &QLineEdit::setText);
    connect(chooser_, &QDialog::finished, this, [this] {
        if (chooser_)
            chooser_->deleteLater();
        chooser_ = nullptr;
    });
    chooser_->show();
}

void SealWizard::OnBackupToggled() {
    const bool on = backupCheck->isChecked();
    backupNameBox->setEnabled(on);
    QPalette palette = backupNameEdit->palette();
    palette.setColor(QPalette::All, QPalette::Base, Qt::white);
    palette.setColor(QPalette::All, QPalette::Text, on ? QColor(0, 0, 0) : QColor(128, 128, 128));
    backupNameEdit->setPalette(palette);
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
    logView->moveCursor(QTextCursor::End);
    logView->insertPlainText(text);
    logView->moveCursor(QTextCursor::End);
    logView->ensureCursorVisible();
    logView->viewport()->repaint();
}

void SealWizard::OnProgress(int percent) {
    progressBox->ShowProgress(percent);
}

QWidget* SealWizard::MessageOwner() const {
    return const_cast<SealWizard*>(this);
}

}  // namespace wf

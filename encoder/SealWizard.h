#pragma once
// The encoder's wizard: five pages leading a MOD author from the welcome to
// the chosen MOD, the backup choice, the encoding run and its summary. The
// work is the engine's; the wizard holds the page, the inputs and the buttons.
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include "Engine.h"
#include "EngineSink.h"
#include "ModChooser.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace wf {

class ProgressBox;
class SealAnimation;

class SealWizard : public QWidget, private EngineSink {
    Q_OBJECT
  public:
    // The pages in the order the wizard leads through them.
    static constexpr int kWelcomePage = 0;
    static constexpr int kModPage = 1;
    static constexpr int kBackupPage = 2;
    static constexpr int kRunPage = 3;
    static constexpr int kSummaryPage = 4;
    static constexpr int kPageCount = 5;

    // gameDirectory: overrides the directory derived from the program's own.
    explicit SealWizard(const QString& gameDirectory = QString(), FileOps* files = nullptr,
                        QWidget* parent = nullptr);
    ~SealWizard() override;

    // The page the wizard is on; stays kSummaryPage while the log is shown
    // again from there.
    int currentPage = kWelcomePage;
    // Shows currentPage and does that page's work.
    void ShowPage();

    // "Abbrechen": ends the program.
    void OnCancel();
    // "Weiter >"; on the summary "Assistent schließen", which ends the program.
    void OnNext();
    // "< Zurück"; on the summary "Logdatei", which shows the log once more.
    void OnBack();
    // "Wechseln": opens the MOD chooser.
    void OnChangeMod();
    // The chosen MOD as the game would load it; false (after saying what is
    // wrong) when it would not load or play. sayWhenFine: also when it would.
    bool CheckChosenMod(bool sayWhenFine);
    // "Sourcen sichern" ticked or not: the backup name is editable or greyed.
    void OnBackupToggled();

    Engine& engine() { return engine_; }
    // The open MOD chooser, or nullptr.
    ModChooser* Chooser() const { return chooser_; }
    // The page in front (differs from currentPage when the log is shown from
    // the summary).
    int VisiblePage() const;

    QStackedWidget* pages;
    QList<QWidget*> pageWidgets;  // kWelcomePage .. kSummaryPage
    QPushButton* backButton;
    QPushButton* nextButton;
    QPushButton* cancelButton;
    // How to move between pages, the same text on each input page.
    QLabel* navigationHints[3];
    // The welcome page.
    QLabel* welcomeTitle;
    QLabel* welcomeText;
    QLabel* instructionsNote;
    // The MOD page.
    QLabel* modPrompt;
    QLineEdit* modNameEdit;
    QPushButton* changeModButton;
    QPushButton* checkButton;
    // The backup page.
    QLabel* backupPrompt;
    QCheckBox* backupCheck;
    QGroupBox* backupNameBox;
    QLineEdit* backupNameEdit;
    QLabel* backupWarningTitle;
    QLabel* backupWarning;
    // The run page.
    QPlainTextEdit* logView;
    ProgressBox* progressBox;
    // The summary page.
    QLabel* doneTitle;
    QLabel* modDirCaption;
    QLabel* modDirValue;
    QLabel* backupDirCaption;
    QLabel* backupDirValue;
    QLabel* backupSummary;  // what the backup holds and where it is registered
    SealAnimation* sealAnimation;

  signals:
    // The wizard was closed: the program is to end.
    void programEnds();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void OnLogLine(const QString& entry) override;
    void OnProgress(int percent) override;
    QWidget* MessageOwner() const override;

    void BuildPages();
    QWidget* NewPage(const QString& name);
    void ShowOnly(int index);
    void RunEncoding();

    Engine engine_;
    QPointer<ModChooser> chooser_;
    QElapsedTimer summaryShown_;
};

}  // namespace wf

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
    static constexpr int kPageCount = 5;

    // gameDirectory: overrides the directory derived from the program's own.
    explicit SealWizard(const QString& gameDirectory = QString(), FileOps* files = nullptr,
                        QWidget* parent = nullptr);
    ~SealWizard() override;

    // The current page, 0 to 4.
    int pCP = 0;
    // Shows page pCP and does that page's work.
    void pCPSet();

    void Command1_Click();  // Abbrechen
    void Command2_Click();  // Weiter > / Assistent schließen
    void Command3_Click();  // < Zurück / Logdatei
    void Command4_Click();  // Wechseln
    void Check1_Click();

    Engine& engine() { return engine_; }
    // The open MOD chooser, or nullptr.
    ModChooser* Chooser() const { return chooser_; }
    // The page in front (differs from pCP when the log is shown on page 4).
    int VisiblePage() const;

    QStackedWidget* pages;
    QList<QWidget*> picContainer;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4[3];
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QCheckBox* Check1;
    QGroupBox* Frame2;
    QPlainTextEdit* txtLog;
    ProgressBox* Picture1;
    SealAnimation* Image2;

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
    QWidget* NewPage(int index);
    void ShowOnly(int index);
    void RunEncoding();

    Engine engine_;
    QPointer<ModChooser> chooser_;
    QElapsedTimer summaryShown_;
};

}  // namespace wf

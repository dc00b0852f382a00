#pragma once
// The MOD manager window: lists the installed MODs, switches the game to one
// of them by starting the program anew with "-mod:<name>", and installs one
// from an archive.
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace wf {

class ModWindow : public QWidget {
    Q_OBJECT
  public:
    // The window borrows mainWindow while it is open.
    ModWindow(QWidget* mainWindow, QString programDir);

    void FillList();  // runs at every opening
    void SwitchToSelected();
    void RemoveSelected();
    // A MOD from an archive the player chooses, checked and registered.
    void InstallFromArchive();
    void Cancel();

    // Why a name cannot be handed over on the command line; "" when it can.
    static QString UnsafeNameMessage(const QString& name);

    QListWidget* modList;
    QPushButton* switchButton;
    QPushButton* removeButton;
    QPushButton* installButton;
    QPushButton* cancelButton;
    QLabel* picture;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The selected name; false after telling the player to choose one.
    bool SelectedName(QString* name);

    QString programDir_;
    QStringList modNames_;
};

}  // namespace wf

#pragma once
// The MOD chooser ("Mods"): lists the installed MODs and hands the chosen
// one back to the wizard; an encoded MOD cannot be chosen.
#include <QByteArray>
#include <QDialog>
#include <QList>

class QListWidget;
class QPushButton;

namespace wf {

class ModChooser : public QDialog {
    Q_OBJECT
  public:
    // names and types: the installed MODs in game.ini order, and the "type"
    // of each one's config.ini.
    ModChooser(const QList<QByteArray>& names, const QList<QByteArray>& types,
               QWidget* parent = nullptr);

    // "OK" or a double click: takes the selected MOD unless it is encoded;
    // without a selection the same as "Abbrechen".
    void OnOk();
    // "Abbrechen": takes none.
    void OnCancel();

    QListWidget* modList;
    QPushButton* okButton;
    QPushButton* cancelButton;

  signals:
    void modChosen(const QString& name);

  private:
    QList<QByteArray> types_;
};

}  // namespace wf

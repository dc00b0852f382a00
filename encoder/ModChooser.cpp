#include "ModChooser.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "Platform.h"
#include "Text8.h"

namespace wf {

ModChooser::ModChooser(const QList<QByteArray>& names, const QList<QByteArray>& types,
                       QWidget* parent)
    : QDialog(parent), types_(types) {
    setObjectName(QStringLiteral("frmMODwählen"));
    setWindowTitle(QStringLiteral("Mods"));

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    for (const QByteArray& name : names)
        List1->addItem(FromText8(name));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Abbrechen"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(List1);
    layout->addLayout(buttons);
    resize(300, 320);

    connect(Command1, &QPushButton::clicked, this, &ModChooser::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ModChooser::Command2_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &ModChooser::Command1_Click);
}

void ModChooser::Command1_Click() {
    const int row = List1->currentRow();
    if (row < 0 || !List1->currentItem()->isSelected()) {
        reject();
        return;
    }
    if (row < types_.size() && types_[row] == "code") {
        Platform::Instance().MessageBox(this, MsgIcon::Exclamation, QStringLiteral("Codiert"),
                                        QStringLiteral("Ein codiertes MOD kann nicht noch mal "
                                                       "codiert werden !"));
        return;
    }
    emit modChosen(List1->item(row)->text());
    accept();
}

void ModChooser::Command2_Click() {
    reject();
}

}  // namespace wf

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
    setObjectName(QStringLiteral("modChooser"));
    setWindowTitle(QStringLiteral("Mods"));

    modList = new QListWidget(this);
    modList->setObjectName(QStringLiteral("modList"));
    for (const QByteArray& name : names)
        modList->addItem(FromText8(name));

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(modList);
    layout->addLayout(buttons);
    resize(300, 320);

    connect(okButton, &QPushButton::clicked, this, &ModChooser::OnOk);
    connect(cancelButton, &QPushButton::clicked, this, &ModChooser::OnCancel);
    connect(modList, &QListWidget::itemDoubleClicked, this, &ModChooser::OnOk);
}

void ModChooser::OnOk() {
    const int row = modList->currentRow();
    if (row < 0 || !modList->currentItem()->isSelected()) {
        reject();
        return;
    }
    if (row < types_.size() && types_[row] == "code") {
        Platform::Instance().MessageBox(this, MsgIcon::Exclamation, QStringLiteral("Codiert"),
                                        QStringLiteral("Ein codiertes MOD kann nicht noch mal "
                                                       "codiert werden !"));
        return;
    }
    emit modChosen(modList->item(row)->text());
    accept();
}

void ModChooser::OnCancel() {
    reject();
}

}  // namespace wf

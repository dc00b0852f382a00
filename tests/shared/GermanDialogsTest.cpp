// Qt's own dialogs and buttons speak German once the programs have loaded
// Qt's German texts, without any text set by hand.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "QtPlatform.h"

namespace wf {
namespace {

QString Shown(const QAbstractButton* button) {
    return button ? button->text().remove('&') : QStringLiteral("(none)");
}

TEST(GermanDialogs, StandardButtonsAndTheFileDialogSpeakGerman) {
    ASSERT_TRUE(InstallGermanQtTexts(*QCoreApplication::instance()))
        << "qtbase_de not found: tools/setup.sh installs qt6-translations-l10n";

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QFileDialog files(nullptr, QStringLiteral("Hintergrundbild wählen"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setFileMode(QFileDialog::ExistingFile);
    files.setAcceptMode(QFileDialog::AcceptOpen);
    const auto* fileButtons = files.findChild<QDialogButtonBox*>();
    ASSERT_NE(fileButtons, nullptr);
    const auto label = [&files](const char* name) {
        const auto* l = files.findChild<QLabel*>(QString::fromLatin1(name));
        return l ? l->text().remove('&') : QStringLiteral("(none)");
    };

    const struct {
        QString shown;
        QString german;
    } cases[] = {
        {Shown(box.button(QMessageBox::Yes)), QStringLiteral("Ja")},
        {Shown(box.button(QMessageBox::No)), QStringLiteral("Nein")},
        {Shown(box.button(QMessageBox::Cancel)), QStringLiteral("Abbrechen")},
        {Shown(fileButtons->button(QDialogButtonBox::Open)), QStringLiteral("Öffnen")},
        {Shown(fileButtons->button(QDialogButtonBox::Cancel)), QStringLiteral("Abbrechen")},
        {label("lookInLabel"), QStringLiteral("Suchen in:")},
        {label("fileNameLabel"), QStringLiteral("Dateiname:")},
        {label("fileTypeLabel"), QStringLiteral("Dateien des Typs:")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown.toStdString(), c.german.toStdString());
}

}  // namespace
}  // namespace wf

// Qt's own dialogs and buttons speak German once the programs have loaded
// Qt's German texts, without any text set by hand.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "QtPlatform.h"

namespace wf {
namespace {

TEST(GermanDialogs, StandardButtonsAndTheFileDialogSpeakGerman) {
    ASSERT_TRUE(InstallGermanQtTexts(*QCoreApplication::instance()))
        << "qtbase_de not found: tools/setup.sh installs qt6-translations-l10n";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    const auto* fileButtons = files.findChild<QDialogButtonBox*>();
    ASSERT_NE(fileButtons, nullptr);
    const auto* fileName = files.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    ASSERT_NE(fileName, nullptr);
    for (auto [shown, german] : {std::pair{box.button(QMessageBox::Yes)->text(), "Ja"},
                                 {box.button(QMessageBox::No)->text(), "Nein"},
                                 {box.button(QMessageBox::Cancel)->text(), "Abbrechen"},
                                 {fileButtons->button(QDialogButtonBox::Open)->text(), "Öffnen"},
                                 {fileName->text(), "Dateiname:"}})
        EXPECT_EQ(shown.remove('&').toStdString(), german);
}

}  // namespace
}  // namespace wf

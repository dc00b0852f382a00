#pragma once
#include "Platform.h"

class QCoreApplication;

namespace wf {

// Loads Qt's own German texts (qtbase_de), so that the standard dialogs and
// buttons speak German like the rest of the program. Called once at start;
// false when the translation is not installed (the dialogs then stay in
// Qt's English).
bool InstallGermanQtTexts(QCoreApplication& app);

// The real desktop: Qt dialogs, QDesktopServices and QProcess.
class QtPlatform : public Platform {
  public:
    std::optional<QString> InputBox(QWidget* owner, const QString& title, const QString& prompt,
                                    const QString& preset) override;
    QString OpenFileDialog(QWidget* owner, const QString& title,
                           const QStringList& filters) override;
    bool OpenUrl(const QString& url) override;
    bool StartProcess(const QString& program, const QStringList& arguments) override;
    [[noreturn]] void ExitProgram(int status) override;

  protected:
    MsgResult ShowMessageBox(QWidget* owner, MsgIcon icon, const QString& title,
                             const QString& text, MsgButtons buttons) override;
};

}  // namespace wf

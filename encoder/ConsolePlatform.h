#pragma once
// The platform of the command-line mode: no window is ever shown. Messages
// go only to standard error (the base class writes them); questions get the
// answer the command line asked for.
#include "Platform.h"

namespace wf {

class ConsolePlatform : public Platform {
  public:
    // overwrite: the answer to "the file exists already, copy anyway?".
    explicit ConsolePlatform(bool overwrite);
    ~ConsolePlatform() override;

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

  private:
    bool overwrite_;
    Platform* previous_;
};

}  // namespace wf

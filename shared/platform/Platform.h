#pragma once
// Everything that asks the user or the desktop: message boxes, the name
// prompt, the file dialog, opening addresses, starting programs.
// Windows talk only to this interface so that tests can answer for the user.
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace wf {

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

class Platform {
  public:
    virtual ~Platform() = default;

    // Shows a modal message box and writes "<program>: <title>: <text>" to
    // standard error first (line breaks replaced by a blank).
    MsgResult MessageBox(QWidget* owner, MsgIcon icon, const QString& title, const QString& text,
                         MsgButtons buttons = MsgButtons::Ok);

    // Modal text input; std::nullopt when the user cancels.
    virtual std::optional<QString> InputBox(QWidget* owner, const QString& title,
                                            const QString& prompt, const QString& preset) = 0;
    // File-open dialog; "" when cancelled. Filters are Qt filter strings.
    virtual QString OpenFileDialog(QWidget* owner, const QString& title,
                                   const QStringList& filters) = 0;
    virtual bool OpenUrl(const QString& url) = 0;
    // Starts a program as a separate process; does not wait.
    virtual bool StartProcess(const QString& program, const QStringList& arguments) = 0;
    // Ends the program with the given status (after a fatal message).
    [[noreturn]] virtual void ExitProgram(int status) = 0;

    void SetProgramName(const QString& name) { programName_ = name; }
    const QString& ProgramName() const { return programName_; }

    // The one platform the programs use; tests install their own.
    static Platform& Instance();
    static void SetInstance(Platform* platform);

  protected:
    virtual MsgResult ShowMessageBox(QWidget* owner, MsgIcon icon, const QString& title,
                                     const QString& text, MsgButtons buttons) = 0;

  private:
    QString programName_ = QStringLiteral("Wolkenfang");
};

}  // namespace wf

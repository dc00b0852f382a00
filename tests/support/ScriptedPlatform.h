#pragma once
// A platform for tests: records everything shown and answers as told.
#include <QList>
#include <deque>
#include <stdexcept>

#include "Platform.h"

namespace wf {

struct ShownMessage {
    MsgIcon icon;
    QString title;
    QString text;
    MsgButtons buttons;
};

// Thrown by ExitProgram so that a test sees where the program would end.
struct ProgramExit : std::runtime_error {
    explicit ProgramExit(int s) : std::runtime_error("program exit"), status(s) {}
    int status;
};

class ScriptedPlatform : public Platform {
  public:
    ScriptedPlatform();
    ~ScriptedPlatform() override;

    // Answers, used in order; when a queue is empty the defaults apply
    // (Ok/Yes for message boxes, cancel for prompts and dialogs).
    std::deque<MsgResult> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<QString> fileAnswers;
    bool startProcessResult = true;

    // What was shown.
    QList<ShownMessage> messages;
    struct Prompt {
        QString title, prompt, preset;
    };
    QList<Prompt> prompts;
    QList<QString> fileDialogTitles;
    QList<QStringList> fileDialogFilters;
    QStringList openedUrls;
    QStringList openedTextFiles;
    struct Process {
        QString program;
        QStringList arguments;
    };
    QList<Process> processes;
    QList<int> exits;

    std::optional<QString> InputBox(QWidget* owner, const QString& title, const QString& prompt,
                                    const QString& preset) override;
    QString OpenFileDialog(QWidget* owner, const QString& title,
                           const QStringList& filters) override;
    bool OpenUrl(const QString& url) override;
    bool OpenTextFile(const QString& path) override;
    bool StartProcess(const QString& program, const QStringList& arguments) override;
    [[noreturn]] void ExitProgram(int status) override;

  protected:
    MsgResult ShowMessageBox(QWidget* owner, MsgIcon icon, const QString& title,
                             const QString& text, MsgButtons buttons) override;

  private:
    Platform* previous_;
};

}  // namespace wf

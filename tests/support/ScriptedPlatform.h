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
    ScriptedPlatform() : previous_(&Platform::Instance()) { Platform::SetInstance(this); }
    ~ScriptedPlatform() override { Platform::SetInstance(previous_); }

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
    struct Process {
        QString program;
        QStringList arguments;
    };
    QList<Process> processes;
    QList<int> exits;

    std::optional<QString> InputBox(QWidget*, const QString& title, const QString& prompt,
                                    const QString& preset) override {
        prompts.append({title, prompt, preset});
        const bool given = !inputAnswers.empty() && inputAnswers.front().has_value();
        const QString text = given ? *inputAnswers.front() : QString();
        if (!inputAnswers.empty())
            inputAnswers.pop_front();
        if (!given)
            return std::nullopt;
        return text;
    }
    QString OpenFileDialog(QWidget*, const QString& title, const QStringList& filters) override {
        fileDialogTitles.append(title);
        fileDialogFilters.append(filters);
        return Take(fileAnswers, QString());
    }
    bool OpenUrl(const QString& url) override { return openedUrls.append(url), true; }
    bool StartProcess(const QString& program, const QStringList& arguments) override {
        processes.append({program, arguments});
        return startProcessResult;
    }
    [[noreturn]] void ExitProgram(int status) override {
        exits.append(status);
        throw ProgramExit(status);
    }

  protected:
    MsgResult ShowMessageBox(QWidget*, MsgIcon icon, const QString& title, const QString& text,
                             MsgButtons buttons) override {
        messages.append({icon, title, text, buttons});
        return Take(messageAnswers, buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes);
    }

  private:
    template <typename T>
    static T Take(std::deque<T>& answers, T otherwise) {
        if (answers.empty())
            return otherwise;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
    Platform* previous_;
};

}  // namespace wf

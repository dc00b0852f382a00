#include "ScriptedPlatform.h"

namespace wf {

ScriptedPlatform::ScriptedPlatform() : previous_(&Platform::Instance()) {
    Platform::SetInstance(this);
}

ScriptedPlatform::~ScriptedPlatform() {
    Platform::SetInstance(previous_);
}

MsgResult ScriptedPlatform::ShowMessageBox(QWidget*, MsgIcon icon, const QString& title,
                                           const QString& text, MsgButtons buttons) {
    messages.append({icon, title, text, buttons});
    if (!messageAnswers.empty()) {
        const MsgResult r = messageAnswers.front();
        messageAnswers.pop_front();
        return r;
    }
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
}

std::optional<QString> ScriptedPlatform::InputBox(QWidget*, const QString& title,
                                                  const QString& prompt, const QString& preset) {
    prompts.append({title, prompt, preset});
    if (inputAnswers.empty())
        return std::nullopt;
    const bool given = inputAnswers.front().has_value();
    const QString text = given ? *inputAnswers.front() : QString();
    inputAnswers.pop_front();
    if (!given)
        return std::nullopt;
    return text;
}

QString ScriptedPlatform::OpenFileDialog(QWidget*, const QString& title,
                                         const QStringList& filters) {
    fileDialogTitles.append(title);
    fileDialogFilters.append(filters);
    if (!fileAnswers.empty()) {
        QString r = fileAnswers.front();
        fileAnswers.pop_front();
        return r;
    }
    return QString();
}

bool ScriptedPlatform::OpenUrl(const QString& url) {
    openedUrls.append(url);
    return true;
}

bool ScriptedPlatform::OpenTextFile(const QString& path) {
    openedTextFiles.append(path);
    return true;
}

bool ScriptedPlatform::StartProcess(const QString& program, const QStringList& arguments) {
    processes.append({program, arguments});
    return startProcessResult;
}

void ScriptedPlatform::ExitProgram(int status) {
    exits.append(status);
    throw ProgramExit(status);
}

}  // namespace wf

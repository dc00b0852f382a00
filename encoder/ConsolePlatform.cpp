#include "ConsolePlatform.h"

#include <cstdio>
#include <cstdlib>

namespace wf {

ConsolePlatform::ConsolePlatform(bool overwrite)
    : overwrite_(overwrite), previous_(&Platform::Instance()) {
    Platform::SetInstance(this);
}

ConsolePlatform::~ConsolePlatform() {
    Platform::SetInstance(previous_);
}

MsgResult ConsolePlatform::ShowMessageBox(QWidget*, MsgIcon, const QString&, const QString&,
                                          MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgResult::Ok;
        case MsgButtons::YesNo:
            return overwrite_ ? MsgResult::Yes : MsgResult::No;
        case MsgButtons::YesNoCancel:
            if (overwrite_)
                return MsgResult::Yes;
            std::fputs("modsiegel: Abbruch (mit --overwrite werden vorhandene Dateien ersetzt)\n",
                       stderr);
            return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

std::optional<QString> ConsolePlatform::InputBox(QWidget*, const QString&, const QString&,
                                                 const QString&) {
    return std::nullopt;
}

QString ConsolePlatform::OpenFileDialog(QWidget*, const QString&, const QStringList&) {
    return QString();
}

bool ConsolePlatform::OpenUrl(const QString&) {
    return false;
}

bool ConsolePlatform::StartProcess(const QString&, const QStringList&) {
    return false;
}

void ConsolePlatform::ExitProgram(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

}  // namespace wf

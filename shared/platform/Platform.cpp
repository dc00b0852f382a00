#include "Platform.h"

#include <QTextStream>
#include <cstdio>

#include "QtPlatform.h"

namespace wf {
namespace {
Platform* g_instance = nullptr;
}

MsgResult Platform::MessageBox(QWidget* owner, MsgIcon icon, const QString& title,
                               const QString& text, MsgButtons buttons) {
    QString oneLine = text;
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    oneLine.replace('\r', ' ');
    oneLine.replace('\n', ' ');
    const QByteArray line = (programName_ + ": " + title + ": " + oneLine + "\n").toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
    return ShowMessageBox(owner, icon, title, text, buttons);
}

Platform& Platform::Instance() {
    if (!g_instance) {
        static QtPlatform real;
        g_instance = &real;
    }
    return *g_instance;
}

void Platform::SetInstance(Platform* platform) {
    g_instance = platform;
}

}  // namespace wf

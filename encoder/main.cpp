// modsiegel: the wizard, or with --encode the same work without windows.
#include <QApplication>
#include <QCoreApplication>

#include "CommandLine.h"
#include "Platform.h"
#include "QtPlatform.h"
#include "SealWizard.h"

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    if (wf::WantsCommandLineMode(arguments)) {
        QCoreApplication app(argc, argv);
        return wf::RunCommandLine(wf::ParseCommandLine(arguments));
    }

    QApplication app(argc, argv);
    wf::InstallGermanQtTexts(app);
    wf::Platform::Instance().SetProgramName(QStringLiteral("modsiegel"));
    // Qt has taken its own options; what is left must be ours.
    const wf::CommandLine commandLine = wf::ParseCommandLine(app.arguments().mid(1));
    if (commandLine.mode != wf::CommandLine::Mode::Wizard)
        return wf::RunCommandLine(commandLine);

    wf::SealWizard wizard(commandLine.gameDirectory);
    QObject::connect(&wizard, &wf::SealWizard::programEnds, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    wizard.show();
    return app.exec();
}

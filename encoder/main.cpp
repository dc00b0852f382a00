// modsiegel: the wizard, or with --encode the same work without windows.
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

#include "CommandLine.h"
#include "Paths.h"
#include "Platform.h"
#include "PlayerDirectory.h"
#include "QtPlatform.h"
#include "SealWizard.h"

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    // A system install works on the player's own game directory, made or
    // completed before anything else (help alone needs none).
    if (wf::WantsCommandLineMode(arguments)) {
        QCoreApplication app(argc, argv);
        const wf::CommandLine commandLine = wf::ParseCommandLine(arguments);
        if (commandLine.mode != wf::CommandLine::Mode::Help &&
            commandLine.mode != wf::CommandLine::Mode::Error) {
            const wf::PlayerDirectory player =
                wf::SetUpInstalledGameDirectory(wf::ProgramDirectory());
            if (!player.problem.isEmpty()) {
                std::fprintf(stderr, "modsiegel: Fehler: %s\n",
                             player.problem.toUtf8().constData());
                return 1;
            }
        }
        return wf::RunCommandLine(commandLine);
    }

    QApplication app(argc, argv);
    wf::InstallGermanQtTexts(app);
    wf::Platform::Instance().SetProgramName(QStringLiteral("modsiegel"));
    const wf::PlayerDirectory player = wf::SetUpInstalledGameDirectory(wf::ProgramDirectory());
    if (!player.problem.isEmpty()) {
        wf::Platform::Instance().MessageBox(nullptr, wf::MsgIcon::Critical,
                                            QStringLiteral("Fehler"), player.problem);
        return 1;
    }
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

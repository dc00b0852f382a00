#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "CommandLine.h"
#include "MainWindow.h"
#include "Paths.h"
#include "Platform.h"
#include "PlayerDirectory.h"
#include "QtPlatform.h"

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (wf::AsksForHelp(arguments)) {
        const QByteArray usage = wf::UsageText().toUtf8();
        std::fwrite(usage.constData(), 1, static_cast<size_t>(usage.size()), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    wf::InstallGermanQtTexts(app);
    wf::Platform::Instance().SetProgramName(QStringLiteral("Wolkenfang"));

    const wf::PlayerDirectory player = wf::SetUpInstalledGameDirectory(wf::ProgramDirectory());
    if (!player.problem.isEmpty()) {
        wf::Platform::Instance().MessageBox(nullptr, wf::MsgIcon::Critical,
                                            QStringLiteral("Fehler"), player.problem);
        return 1;
    }
    wf::MainWindow window(player.gameDir.isEmpty() ? wf::GameDirectory(wf::ProgramDirectory())
                                                   : player.gameDir);
    window.Load(app.arguments().mid(1));
    window.show();

    // For measuring the start-up: end as soon as the main window is up.
    if (qEnvironmentVariable("WF_EXIT_AFTER_SHOW") == QLatin1String("1")) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return app.exec();
}

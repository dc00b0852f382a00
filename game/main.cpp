#include <QApplication>
#include <QTimer>

#include "MainWindow.h"
#include "Paths.h"
#include "Platform.h"
#include "QtPlatform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    wf::InstallGermanQtTexts(app);
    wf::Platform::Instance().SetProgramName(QStringLiteral("Wolkenfang"));

    wf::MainWindow window(wf::GameDirectory(wf::ProgramDirectory()));
    window.Load(app.arguments().mid(1));
    window.show();

    // For measuring the start-up: end as soon as the main window is up.
    if (qEnvironmentVariable("WF_EXIT_AFTER_SHOW") == QLatin1String("1")) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    return app.exec();
}

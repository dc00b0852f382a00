// assetgen GAMEDIR [--contact-sheet FILE] [--previews DIR]
// Writes the game's pictures, MODs, sounds, music and texts into GAMEDIR.
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdlib>
#include <exception>

#include "AssetGenerator.h"
#include "ContactSheet.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    QString gameDir, sheetFile, previewDir;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--contact-sheet" && i + 1 < args.size()) {
            sheetFile = args[++i];
        } else if (args[i] == "--previews" && i + 1 < args.size()) {
            previewDir = args[++i];
        } else if (gameDir.isEmpty() && !args[i].startsWith("--")) {
            gameDir = args[i];
        } else {
            gameDir.clear();
            break;
        }
    }
    if (gameDir.isEmpty()) {
        err << "usage: assetgen GAMEDIR [--contact-sheet FILE] [--previews DIR]\n";
        return 2;
    }
    try {
        const wf::assetgen::GameData data = wf::assetgen::BuildGameData();
        QString error;
        if (!wf::assetgen::WriteGameData(data, gameDir, &error)) {
            err << "assetgen: " << error << "\n";
            return 1;
        }
        if (!sheetFile.isEmpty() && !wf::assetgen::MakeContactSheet(data).save(sheetFile, "PNG")) {
            err << "assetgen: cannot write " << sheetFile << "\n";
            return 1;
        }
        if (!previewDir.isEmpty()) {
            QDir().mkpath(previewDir);
            for (const auto& mod : data.mods) {
                for (size_t i = 0; i < mod.plan.backgrounds.size(); ++i) {
                    wf::assetgen::MakeScenePreview(data, mod, i)
                        .save(QStringLiteral("%1/%2-%3.png")
                                  .arg(previewDir, mod.plan.directory)
                                  .arg(i + 1));
                }
            }
        }
    } catch (const std::exception& e) {
        err << "assetgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

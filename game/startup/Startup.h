#pragma once
// Bringing the game up before the main window is first shown: command line,
// settings, the active MOD, every picture, the checks and the window size.
// Any failure shows its message and ends the program; there is no partial
// start and nothing is written.
#include <QString>
#include <QStringList>
#include <functional>

#include "GameSettings.h"
#include "GameState.h"
#include "PictureLoading.h"
#include "PictureStore.h"
#include "TitleSequence.h"

class QWidget;

namespace wf {

// What the start-up needs from the windows: the splash and the main window's
// size. Every member may be left empty.
struct StartupWindows {
    std::function<void()> showSplash;
    std::function<void(int)> progress;  // percent
    std::function<void()> hideSplash;
    std::function<void(int, int)> sizeWindow;  // playing surface, pixels
};

struct StartupContext {
    QString programDir;
    QStringList arguments;  // without the program name
    GameState& state;
    GameSettings& settings;
    PictureStores& stores;
    TitleSequence& title;
    QStringList credits;       // the title sequence's credit lines
    QWidget* owner = nullptr;  // parent of the failure messages
    StartupWindows windows;
};

struct StartupResult {
    QString modDir;
    bool adSettingMissing = false;
    LoadedPictures pictures;
};

// The start-up sequence. Returns only when everything is loaded and checked.
StartupResult RunStartup(StartupContext& context);

// The MOD directory for a name from the command line ("" for the default),
// found without regard to case; "" for a name that names no directory
// directly inside "mods".
QString ModDirectoryFor(const QString& programDir, const QString& modName);

}  // namespace wf

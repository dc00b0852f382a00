#include "Startup.h"

#include <cstdlib>

#include "CommandLine.h"
#include "IniAccess.h"
#include "ModLoader.h"
#include "Paths.h"
#include "PictureSlots.h"
#include "Platform.h"

namespace wf {
namespace {

const QString kDefaultMod = QStringLiteral("wolkfng4");

const QString kGraphicsTitle = QStringLiteral("Fehler !");
const QString kGraphicsText = QStringLiteral(
    "Wichtige Grafikdateien wurden nicht gefunden !\r\n\r\n"
    "- Überprüfen sie ob sie das Programm entzippt haben , falls nicht "
    "entzippen sie es !\r\n"
    "- Es können bei manchen Systemen Fehler auftreten , in diesem Fall "
    "unterrichten sie mich bitte !\r\n\r\n"
    " Das Programm wird beendet .");
const QString kExtrasTitle = QStringLiteral("Fehler!!");
const QString kExtrasText =
    QStringLiteral("Wichtige Grafikdateien wurden leider nicht gefunden!!! Programm wird beendet");
const QString kSizeTitle = QStringLiteral("Fehler!");
const QString kSizeText = QStringLiteral(
    "Unzulässige Veränderung der Größe der Hintergrund !!! Das Spiel wird beendet !!");
const QString kFatalTitle = QStringLiteral("Fehler");
const QString kFatalText = QStringLiteral(
    "Beim Laden von Wolkenfang ist ein schwerwiegender Fehler aufgetreten !!! "
    "Programm wird beendet.");

[[noreturn]] void Fail(QWidget* owner, MsgIcon icon, const QString& title, const QString& text) {
    Platform::Instance().MessageBox(owner, icon, title, text, MsgButtons::Ok);
    Platform::Instance().ExitProgram(1);
    std::abort();  // the platform never comes back from ExitProgram
}

void Call(const std::function<void()>& f) {
    if (f)
        f();
}

// "yes" switches on; "mod" hands the choice to the MOD's config.ini.
bool SwitchedOn(const QString& settingsPath, const QString& modDir, const QByteArray& key) {
    QByteArray value = ReadIniText(settingsPath, "game", key);
    if (value == "mod") {
        const QString config = ModConfigPath(modDir);
        value = config.isEmpty() ? QByteArray() : ReadIniText(config, "game", key);
    }
    return value == "yes";
}

void ResetTitle(TitleSequence& title, const QStringList& credits) {
    title.titleStage = 0;
    title.titleTicks = 0;
    const int count = std::min<int>(credits.size(), static_cast<int>(title.creditLines.size()));
    for (int i = 0; i < count; ++i)
        title.creditLines[i] = credits[i];
    title.creditLineCount = count - 1;
}

}  // namespace

QString ModDirectoryFor(const QString& programDir, const QString& modName) {
    return JoinPlainName(programDir + QStringLiteral("/mods"),
                         modName.isEmpty() ? kDefaultMod : modName);
}

StartupResult RunStartup(StartupContext& c) {
    StartupResult result;
    const auto progress = [&c](int percent) {
        if (c.windows.progress)
            c.windows.progress(percent);
    };

    Call(c.windows.showSplash);

    const CommandLineOptions options =
        ApplySwitches(SplitCommandLine(JoinCommandLine(c.arguments)));
    c.settings.debugMode = options.debugMode;
    c.settings.debugStyle = options.debugStyle;

    ResetTitle(c.title, c.credits);

    const QString settings = c.programDir + QStringLiteral("/game.ini");
    result.adSettingMissing = ReadIniText(settings, "game", "werbung").isEmpty();

    result.modDir = ModDirectoryFor(c.programDir, options.modName);
    ModLoadResult loaded =
        result.modDir.isEmpty() ? RefuseModName(options.modName) : LoadMod(result.modDir);
    if (!loaded.loaded)
        Fail(c.owner, loaded.icon, loaded.title, loaded.text);
    c.state.mod = std::move(loaded.mod);
    c.settings.background = 1;

    if (SwitchedOn(settings, result.modDir, "sound"))
        c.settings.sound = true;
    if (SwitchedOn(settings, result.modDir, "music"))
        c.settings.music = true;
    c.settings.keepAspectRatio = ReadIniText(settings, "game", "seitenverhaeltnis") == "yes";

    progress(5);
    result.pictures = LoadPictureSet(c.stores, c.programDir, result.modDir, c.state.mod, progress);

    if (FirstMissingFixedSlot(result.pictures) != 0)
        Fail(c.owner, MsgIcon::Critical, kGraphicsTitle, kGraphicsText);
    if (!AllExtrasLoaded(result.pictures))
        Fail(c.owner, MsgIcon::Critical, kExtrasTitle, kExtrasText);

    const PictureStore& sources = c.stores.sources;
    const BackgroundDef& first = c.state.mod.backgrounds[1];
    const int width = sources.SlotWidth(kBackgroundSlot);
    const int height = sources.SlotHeight(kBackgroundSlot);
    if (width != first.width || height != first.height)
        Fail(c.owner, MsgIcon::Critical, kSizeTitle, kSizeText);

    if (c.windows.sizeWindow)
        c.windows.sizeWindow(width, height);

    progress(95);
    progress(99);
    Call(c.windows.hideSplash);

    if (result.adSettingMissing)
        Fail(c.owner, MsgIcon::Critical, kFatalTitle, kFatalText);
    return result;
}

}  // namespace wf

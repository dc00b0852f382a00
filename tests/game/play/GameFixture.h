#pragma once
// The fixture of the game controller tests: a controller over the fake host,
// the synthetic pictures and silent sound.
#include <gtest/gtest.h>

#include <functional>

#include "GameController.h"
#include "GameTestKit.h"

namespace wf::testkit {

inline const QString kModDir = QStringLiteral("/nonexistent/wf-mod");
inline const QString kLoadingFailure = QStringLiteral(
    "Ein Fehler beim Starten des Spiels ist aufgetreten !! Spiel wird nicht gestartet.");
inline const QString kFullScreenFailure = QStringLiteral(
    "Ein Fehler beim Starten des Vollbildmodus ist aufgetreten !! Das Spiel wird im "
    "Fenstermodus ausgeführt.");

inline int CountPixels(const QImage& img, const std::function<bool(QRgb)>& match) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x)
            n += match(img.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

inline bool IsGreenText(QRgb p) {
    return qGreen(p) > 60 && qRed(p) < 40 && qBlue(p) < 40;
}
inline bool AllBlack(const QImage& img) {
    return CountPixels(img, [](QRgb p) { return (p & 0xFFFFFF) != 0; }) == 0;
}

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testkit::FillSourceStore(stores, 200, 150, {0xFFFF00FFu});
        state.mod.shotSoundFile = "schuss.wav";
        state.mod.musicFile = "musik.mid";
        random.fallback = 0.5;
    }

    // A started window-mode game with the birds where a test wants them.
    void StartWithBirds(Bird b1, Bird b2, Bird b3) {
        game.ter_Click();
        ASSERT_TRUE(state.gameRunning);
        state.birds = {b1, b2, b3};
    }

    ScriptedPlatform platform;
    GameState state;
    MenuModel menu;
    PictureStores stores;
    FakeGameHost host;
    ScriptedRandom random;
    SilentSound sound;
    SilentMusic music;
    GameController game{state, menu, stores, host, random, sound, music, kModDir};
};

}  // namespace wf::testkit

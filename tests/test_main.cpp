// One QApplication for every test program, on the offscreen platform with the
// silent audio driver unless the environment says otherwise.
#include <gtest/gtest.h>
#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("SDL_AUDIODRIVER"))
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!std::getenv("WF_GAME_DIR"))
        setenv("WF_GAME_DIR", WF_GAME_DIR, 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

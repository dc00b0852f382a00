#pragma once
// The main window: the menu bar, the playing surface, the three timers, the
// settings and the state of the game. Start-up is a separate call (Load)
// that the program makes before the window is first shown.
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "Audio.h"
#include "GameHost.h"
#include "GameSettings.h"
#include "GameState.h"
#include "HighscoreEntry.h"
#include "MainMenu.h"
#include "PictureStore.h"
#include "Random.h"
#include "Startup.h"
#include "TitleSequence.h"

class QAction;
class QTimer;

namespace wf {

class Backgrounds;
class HighscoreWindow;
class FullScreenWindow;
class GameRunner;
class PlaySurface;

class MainWindow : public QMainWindow, public GameHost {
    Q_OBJECT

  public:
    // The desktop's sound and music.
    explicit MainWindow(const QString& programDir);
    // With the given sound and music (tests pass silent ones).
    MainWindow(const QString& programDir, std::unique_ptr<SoundOutput> sound,
               std::unique_ptr<MusicDevice> music);
    ~MainWindow() override;

    // Start-up; ends the program inside when anything is missing.
    void Load(const QStringList& arguments);
    // The close question while a game runs; false keeps the window and the
    // game.
    bool MayClose();

    // Menu commands. Each one changes the settings or the game, after which
    // the menu is shown derived anew.
    void PlayOrAbort();
    void ShowHighscores();
    void Quit();
    void ChooseBackground(int index);
    void ChooseOwnBackground();
    void ChooseLength30();
    void ChooseLength60();
    void ChooseLength120();
    void ToggleMusic();
    void ToggleSound();
    void OpenCustomMode();
    void OpenModWindow();
    void Minimize();
    void ToggleFullScreen();
    // Also written to game.ini, so that it holds at the next start.
    void ToggleKeepAspectRatio();
    void ShowHelp();
    void ShowInfoFile();
    void ShowInfo();

    // The highscore window after a timed game; an open one takes the entry.
    void OfferScore(int entryTable, int score);
    // The open highscore window, or nullptr.
    HighscoreWindow* OpenHighscoreWindow() const;

    // The timers' handlers.
    void GameTick();
    void ClockSecond();
    void TitleTick();

    GameState& State() { return state_; }
    GameSettings& Settings() { return settings_; }
    // The menu as it is shown now.
    const MainMenu& Menu() const { return shownMenu_; }
    // Shows the menu derived from the settings and the game; the commands
    // do it themselves, a caller that changed the settings directly calls it.
    void ShowMenu();
    PictureStores& Stores() { return stores_; }
    TitleSequence& Title() { return title_; }
    const StartupResult& StartupState() const { return startup_; }
    const QString& ProgramDir() const { return programDir_; }
    const QString& ModDir() const { return startup_.modDir; }
    GameRunner& Game();
    Backgrounds& BackgroundCommands();
    PlaySurface* Surface() const { return surface_; }
    FullScreenWindow* FullScreen() const { return fullScreen_.get(); }
    QTimer* TickTimer() const { return tickTimer_; }
    QTimer* ClockTimer() const { return clockTimer_; }
    QTimer* TitleTimer() const { return titleTimer_; }

    // GameHost
    QImage& WindowSurface() override;
    void RefreshWindowSurface() override;
    void SizeWindowToSurface(int widthPx, int heightPx) override;
    void SetSurfaceCursorInvisible(bool invisible) override;
    void HideMainWindow() override;
    void ShowMainWindow() override;
    void ShowFullScreen() override;
    void HideFullScreen() override;
    QImage& FullScreenSurface() override;
    void RefreshFullScreenSurface() override;
    QSize ScreenSizePx() override;
    std::optional<QPointF> PointerOnSurface(bool fullScreen) override;
    void SetTickInterval(int ms) override;
    void SetTickTimerEnabled(bool on) override;
    void SetClockTimerEnabled(bool on) override;
    void SetTitleTimerEnabled(bool on) override;
    void ServePendingEvents() override;
    void ShowHighscoreWindow(int entryTable, int score) override;
    [[noreturn]] void EndProgram(int status) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenu();
    // Runs a command, then shows the menu as the command left things.
    template <typename Command>
    void Run(Command command) {
        command();
        ShowMenu();
    }
    FullScreenWindow& EnsureFullScreen();
    void ResetGameObjects();
    void DeliverHandOver();

    QString programDir_;
    GameSettings settings_;
    GameState state_;
    PictureStores stores_;
    TitleSequence title_;
    StartupResult startup_;
    SeededRandom random_;
    std::unique_ptr<SoundOutput> sound_;
    std::unique_ptr<MusicDevice> music_;
    std::unique_ptr<GameRunner> game_;
    std::unique_ptr<Backgrounds> backgrounds_;
    std::unique_ptr<FullScreenWindow> fullScreen_;

    PlaySurface* surface_ = nullptr;
    QTimer* tickTimer_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    QTimer* titleTimer_ = nullptr;
    bool cursorInvisible_ = false;

    // The end of a game's hand-over to the highscore window, held while a
    // modal question is open; retried until it is gone.
    struct HandOver {
        int entryTable;
        int score;
    };
    std::optional<HandOver> heldHandOver_;
    QTimer* handOverRetry_ = nullptr;
    bool closing_ = false;  // the close was confirmed: nothing opens any more
    HighscoreEntry entry_;  // lent to the highscore window, which must not outlive it
    QPointer<HighscoreWindow> highscoreWindow_;

    // The menu bar's menus and entries, each with the entry of the shown menu
    // it mirrors and the menu it is in (its index here; -1 for the bar itself).
    struct MenuItem {
        QAction* action;
        const MenuEntry* entry;  // in shownMenu_
        int menu;
    };
    std::vector<MenuItem> menuItems_;
    MainMenu shownMenu_;
};

}  // namespace wf

#pragma once
// The main window: the menu bar, the playing surface, the three timers and
// the state of the game. Start-up is a separate call (Form_Load) that the
// program makes before the window is first shown.
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "Audio.h"
#include "GameHost.h"
#include "GameState.h"
#include "HighscoreEntry.h"
#include "MenuModel.h"
#include "PictureStore.h"
#include "Random.h"
#include "Startup.h"
#include "TitleSequence.h"

class QAction;
class QTimer;

namespace wf {

class Backgrounds;
class Form2;
class Form8;
class GameController;
class PlaySurface;

// Puts the single mark of a choice of three on chosen; a marked entry stays.
void SelectLength(MenuEntry& chosen, MenuEntry& other1, MenuEntry& other2);

class Form1 : public QMainWindow, public GameHost {
    Q_OBJECT

  public:
    // The desktop's sound and music.
    explicit Form1(const QString& programDir);
    // With the given sound and music (tests pass silent ones).
    Form1(const QString& programDir, std::unique_ptr<SoundOutput> sound,
          std::unique_ptr<MusicDevice> music);
    ~Form1() override;

    // Start-up; ends the program inside when anything is missing.
    void Form_Load(const QStringList& arguments);
    // The close question; cancel keeps the window and the game.
    void Form_Unload(bool& cancel);

    // Menu commands.
    void ter_Click();
    void gdsf_Click();
    void erwer_Click();
    void hinterg_Click(int index);
    void hgw_Click();
    void trz_Click();
    void wtu_Click();
    void wetz_Click();
    void mnuMusik_Click();
    void mnuSound_Click();
    void erte_Click();
    void mod_Click();
    void minimize_Click();
    void vollbild_Click();
    void kjhk_Click();
    void hgjg_Click();
    void info_Click();
    // Mirrors the menu model onto the actions.
    void SyncMenu();

    // The highscore window after a timed game; an open one takes the entry.
    void ShowForm2(int entryTable, const QString& entryScore);
    // The open highscore window, or nullptr.
    Form2* HighscoreWindow() const;

    void tmrSpiel_Timer();
    void Timer1_Timer();
    void Timer2_Timer();

    GameState& State() { return state_; }
    MenuModel& Menu() { return menu_; }
    PictureStores& Stores() { return stores_; }
    TitleSequence& Title() { return title_; }
    const StartupResult& StartupState() const { return startup_; }
    const QString& ProgramDir() const { return programDir_; }
    const QString& ModDir() const { return startup_.modDir; }
    GameController& Controller();
    Backgrounds& BackgroundCommands();
    PlaySurface* Picture1() const { return picture1_; }
    Form8* FullScreenWindow() const { return form8_.get(); }
    QTimer* tmrSpiel() const { return tmrSpiel_; }
    QTimer* Timer1() const { return timer1_; }
    QTimer* Timer2() const { return timer2_; }

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
    void MenuChanged() override;
    void ShowHighscoreWindow(int entryTable, const QString& entryScore) override;
    [[noreturn]] void EndProgram(int status) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenu();
    Form8& EnsureForm8();
    void ResetGameObjects();
    void DeliverHandOver();

    QString programDir_;
    GameState state_;
    MenuModel menu_;
    PictureStores stores_;
    TitleSequence title_;
    StartupResult startup_;
    SeededRandom random_;
    std::unique_ptr<SoundOutput> sound_;
    std::unique_ptr<MusicDevice> music_;
    std::unique_ptr<GameController> controller_;
    std::unique_ptr<Backgrounds> backgrounds_;
    std::unique_ptr<Form8> form8_;

    PlaySurface* picture1_ = nullptr;
    QTimer* tmrSpiel_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
    bool cursorInvisible_ = false;

    // The end of a game's hand-over to the highscore window, held while a
    // modal question is open; retried until it is gone.
    struct HandOver {
        int entryTable;
        QString entryScore;
    };
    std::optional<HandOver> heldHandOver_;
    QTimer* handOverRetry_ = nullptr;
    bool closing_ = false;  // the close was confirmed: nothing opens any more
    HighscoreEntry entry_;  // lent to the highscore window, which must not outlive it
    QPointer<Form2> form2_;

    // The menu bar's menus and entries, each with the model entry it mirrors
    // and the menu it is in (its index here; -1 for the bar itself).
    struct MenuItem {
        QAction* action;
        const MenuEntry* entry;
        int menu;
    };
    std::vector<MenuItem> menuItems_;
};

}  // namespace wf

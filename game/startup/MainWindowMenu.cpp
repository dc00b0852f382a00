// The menu bar of the main window and its small commands.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <cstdio>

#include "EntryLock.h"
#include "GameRunner.h"
#include "InfoFileWindow.h"
#include "IniAccess.h"
#include "MainWindow.h"

namespace wf {
namespace {

// The game waits only briefly: the choice holds for this run all the same.
constexpr int kGameIniWaitMs = 2000;

// A row of the menu tree, with this window's command.
struct MenuRow {
    enum Kind { Menu, EndMenu, Entry, Separator, Backgrounds };
    Kind kind;
    const char* name;
    MenuEntry MainMenu::*entry = nullptr;  // menus and entries
    QKeyCombination shortcut = {};
    void (MainWindow::*command)() = nullptr;
    bool checkable = false;
    // The background entries.
    std::array<MenuEntry, kBackgroundEntries + 1> MainMenu::*entries = nullptr;
    const Qt::Key* shortcuts = nullptr;
    void (MainWindow::*numberedCommand)(int) = nullptr;
};

#define WF_ROW_MENU(id, caption) {.kind = MenuRow::Menu, .name = #id, .entry = &MainMenu::id},
#define WF_ROW_END_MENU(id) {.kind = MenuRow::EndMenu, .name = #id},
#define WF_ROW_ENTRY(id, caption, key, handler, marks) \
    {.kind = MenuRow::Entry,                           \
     .name = #id,                                      \
     .entry = &MainMenu::id,                           \
     .shortcut = key,                                  \
     .command = &MainWindow::handler,                  \
     .checkable = marks},
#define WF_ROW_SEPARATOR(id) {.kind = MenuRow::Separator, .name = #id},
#define WF_ROW_BACKGROUNDS(id, caption, keys, handler) \
    {.kind = MenuRow::Backgrounds,                     \
     .name = #id,                                      \
     .checkable = true,                                \
     .entries = &MainMenu::id,                         \
     .shortcuts = keys,                                \
     .numberedCommand = &MainWindow::handler},
constexpr MenuRow kMenuBar[] = {
    WF_MENU_TREE(WF_ROW_MENU, WF_ROW_END_MENU, WF_ROW_ENTRY, WF_ROW_SEPARATOR, WF_ROW_BACKGROUNDS)};
#undef WF_ROW_MENU
#undef WF_ROW_END_MENU
#undef WF_ROW_ENTRY
#undef WF_ROW_SEPARATOR
#undef WF_ROW_BACKGROUNDS

// An entry takes input only while its menu does.
void Apply(QAction* action, const MenuEntry& entry, bool menuEnabled) {
    action->setText(entry.caption);
    action->setChecked(entry.checked);
    action->setEnabled(entry.enabled && menuEnabled);
    action->setVisible(entry.visible);
}

}  // namespace

void MainWindow::BuildMenu() {
    std::vector<QMenu*> menus;   // the open menus, innermost last
    std::vector<int> menuItems;  // their items
    const auto add = [this, &menuItems](QAction* action, const QString& name,
                                        const MenuEntry& entry) {
        action->setObjectName(name);
        menuItems_.push_back({action, &entry, menuItems.empty() ? -1 : menuItems.back()});
    };
    for (const MenuRow& row : kMenuBar) {
        switch (row.kind) {
            case MenuRow::Menu: {
                const MenuEntry& entry = shownMenu_.*row.entry;
                QMenu* menu = menus.empty() ? menuBar()->addMenu(entry.caption)
                                            : menus.back()->addMenu(entry.caption);
                menu->setObjectName(QString::fromLatin1(row.name));
                add(menu->menuAction(), menu->objectName(), entry);
                menus.push_back(menu);
                menuItems.push_back(static_cast<int>(menuItems_.size()) - 1);
                break;
            }
            case MenuRow::EndMenu:
                menus.pop_back();
                menuItems.pop_back();
                break;
            case MenuRow::Entry: {
                const MenuEntry& entry = shownMenu_.*row.entry;
                QAction* action = menus.back()->addAction(entry.caption);
                action->setShortcut(QKeySequence(row.shortcut));
                action->setCheckable(row.checkable);
                add(action, QString::fromLatin1(row.name), entry);
                connect(action, &QAction::triggered, this, [this, command = row.command] {
                    Run([this, command] { (this->*command)(); });
                });
                break;
            }
            case MenuRow::Separator:
                menus.back()->addSeparator()->setObjectName(QString::fromLatin1(row.name));
                break;
            case MenuRow::Backgrounds:
                for (int i = 1; i <= kBackgroundEntries; ++i) {
                    const MenuEntry& entry = (shownMenu_.*row.entries)[i];
                    QAction* action = menus.back()->addAction(entry.caption);
                    action->setShortcut(QKeySequence(row.shortcuts[i]));
                    action->setCheckable(true);
                    add(action, QString::fromLatin1(row.name) + QString::number(i), entry);
                    connect(action, &QAction::triggered, this,
                            [this, command = row.numberedCommand, i] {
                                Run([this, command, i] { (this->*command)(i); });
                            });
                }
                break;
        }
    }
}

// Every entry is set, also where nothing changed: a checkable entry has
// already toggled its own mark when its command runs, and the command may
// have refused. Menus come before what they hold, so each item finds its
// menu's state already worked out.
void MainWindow::ShowMenu() {
    shownMenu_ = DeriveMenu(settings_, state_.phase, state_.mod);
    std::vector<bool> enabled(menuItems_.size());
    for (size_t k = 0; k < menuItems_.size(); ++k) {
        const MenuItem& item = menuItems_[k];
        const bool menuEnabled = item.menu < 0 || enabled[item.menu];
        Apply(item.action, *item.entry, menuEnabled);
        enabled[k] = item.entry->enabled && menuEnabled;
    }
}

void MainWindow::PlayOrAbort() {
    Game().PlayOrAbort();
}

void MainWindow::Quit() {
    close();
}

// A fixed length is chosen; the user-defined mode's dialog no longer counts
// as confirmed.
void MainWindow::ChooseLength30() {
    settings_.gameLength = 30;
    settings_.userDefinedConfirmed = false;
}

void MainWindow::ChooseLength60() {
    settings_.gameLength = 60;
    settings_.userDefinedConfirmed = false;
}

void MainWindow::ChooseLength120() {
    settings_.gameLength = 120;
    settings_.userDefinedConfirmed = false;
}

void MainWindow::ToggleMusic() {
    settings_.music = !settings_.music;
}

void MainWindow::ToggleSound() {
    settings_.sound = !settings_.sound;
}

void MainWindow::ToggleFullScreen() {
    settings_.fullScreen = !settings_.fullScreen;
}

void MainWindow::ToggleKeepAspectRatio() {
    settings_.keepAspectRatio = !settings_.keepAspectRatio;
    const QString gameIni = programDir_ + QStringLiteral("/game.ini");
    // Under the lock modsiegel takes when it registers a MOD, so that
    // neither write loses the other's.
    EntryLock::Outcome outcome;
    const FolderRef folder = Folder::Open(programDir_);
    const std::unique_ptr<EntryLock> lock =
        folder ? EntryLock::ForChange(folder, QStringLiteral("game.ini"), kGameIniWaitMs, &outcome)
               : nullptr;
    if (!lock || !WriteIniText(gameIni, settings_.keepAspectRatio ? "yes" : "no", "game",
                               "seitenverhaeltnis")) {
        // The choice holds for this run all the same.
        std::fprintf(stderr, "Wolkenfang: %s: Seitenverhältnis nicht gespeichert\n",
                     qPrintable(gameIni));
    }
}

void MainWindow::Minimize() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void MainWindow::ShowInfoFile() {
    InfoFileWindow::Show(this, programDir_ + QStringLiteral("/Info.txt"));
}

}  // namespace wf

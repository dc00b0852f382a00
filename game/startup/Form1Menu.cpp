// The menu bar of the main window and its small commands.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "Form1.h"
#include "GameController.h"
#include "Platform.h"

namespace wf {
namespace {

// A row of the menu tree, with this window's handler.
struct MenuRow {
    enum Kind { Menu, EndMenu, Entry, Separator, Backgrounds };
    Kind kind;
    const char* name;
    MenuEntry MenuModel::*entry = nullptr;  // menus and entries
    QKeyCombination shortcut = {};
    void (Form1::*handler)() = nullptr;
    bool checkable = false;
    // The background entries.
    std::array<MenuEntry, kBackgroundEntries + 1> MenuModel::*entries = nullptr;
    const Qt::Key* shortcuts = nullptr;
    void (Form1::*numberedHandler)(int) = nullptr;
};

#define WF_ROW_MENU(id, caption) {.kind = MenuRow::Menu, .name = #id, .entry = &MenuModel::id},
#define WF_ROW_END_MENU(id) {.kind = MenuRow::EndMenu, .name = #id},
#define WF_ROW_ENTRY(id, caption, key, command, marks) \
    {.kind = MenuRow::Entry,                           \
     .name = #id,                                      \
     .entry = &MenuModel::id,                          \
     .shortcut = key,                                  \
     .handler = &Form1::command,                       \
     .checkable = marks.checkable},
#define WF_ROW_SEPARATOR(id) {.kind = MenuRow::Separator, .name = #id},
#define WF_ROW_BACKGROUNDS(id, caption, keys, command) \
    {.kind = MenuRow::Backgrounds,                     \
     .name = #id,                                      \
     .checkable = true,                                \
     .entries = &MenuModel::id,                        \
     .shortcuts = keys,                                \
     .numberedHandler = &Form1::command},
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
    if (entry.checked && !action->isCheckable())
        action->setCheckable(true);
    action->setChecked(entry.checked);
    action->setEnabled(entry.enabled && menuEnabled);
    action->setVisible(entry.visible);
}

}  // namespace

void SelectLength(MenuEntry& chosen, MenuEntry& other1, MenuEntry& other2) {
    if (chosen.checked)
        return;
    chosen.checked = true;
    other1.checked = false;
    other2.checked = false;
}

void Form1::BuildMenu() {
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
                const MenuEntry& entry = menu_.*row.entry;
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
                const MenuEntry& entry = menu_.*row.entry;
                QAction* action = menus.back()->addAction(entry.caption);
                action->setShortcut(QKeySequence(row.shortcut));
                action->setCheckable(row.checkable);
                add(action, QString::fromLatin1(row.name), entry);
                connect(action, &QAction::triggered, this, [this, handler = row.handler] {
                    (this->*handler)();
                    SyncMenu();
                });
                break;
            }
            case MenuRow::Separator:
                menus.back()->addSeparator()->setObjectName(QString::fromLatin1(row.name));
                break;
            case MenuRow::Backgrounds:
                for (int i = 1; i <= kBackgroundEntries; ++i) {
                    const MenuEntry& entry = (menu_.*row.entries)[i];
                    QAction* action = menus.back()->addAction(entry.caption);
                    action->setShortcut(QKeySequence(row.shortcuts[i]));
                    action->setCheckable(true);
                    add(action, QString::fromLatin1(row.name) + QString::number(i), entry);
                    connect(action, &QAction::triggered, this,
                            [this, handler = row.numberedHandler, i] {
                                (this->*handler)(i);
                                SyncMenu();
                            });
                }
                break;
        }
    }
}

// Menus come before what they hold, so each item finds its menu's state
// already worked out.
void Form1::SyncMenu() {
    std::vector<bool> enabled(menuItems_.size());
    for (size_t k = 0; k < menuItems_.size(); ++k) {
        const MenuItem& item = menuItems_[k];
        const bool menuEnabled = item.menu < 0 || enabled[item.menu];
        Apply(item.action, *item.entry, menuEnabled);
        enabled[k] = item.entry->enabled && menuEnabled;
    }
}

void Form1::ter_Click() {
    Controller().ter_Click();
}

void Form1::erwer_Click() {
    close();
}

void Form1::trz_Click() {
    SelectLength(menu_.trz, menu_.wtu, menu_.wetz);
    state_.customMode = false;
}

void Form1::wtu_Click() {
    SelectLength(menu_.wtu, menu_.trz, menu_.wetz);
    state_.customMode = false;
}

void Form1::wetz_Click() {
    SelectLength(menu_.wetz, menu_.trz, menu_.wtu);
    state_.customMode = false;
}

void Form1::mnuMusik_Click() {
    menu_.mnuMusik.checked = !menu_.mnuMusik.checked;
}

void Form1::mnuSound_Click() {
    menu_.mnuSound.checked = !menu_.mnuSound.checked;
}

void Form1::vollbild_Click() {
    menu_.vollbild.checked = !menu_.vollbild.checked;
}

void Form1::minimize_Click() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void Form1::hgjg_Click() {
    Platform::Instance().OpenTextFile(programDir_ + QStringLiteral("/Info.txt"));
}

}  // namespace wf

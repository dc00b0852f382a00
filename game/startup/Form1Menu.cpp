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

QMenu* AddMenu(QMenuBar* bar, QMenu* into, const char* name, const QString& caption) {
    QMenu* menu = into ? into->addMenu(caption) : bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

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

QAction* Form1::AddEntry(QMenu* menu, const char* name, const MenuEntry& entry,
                         const QKeySequence& shortcut, void (Form1::*handler)()) {
    QAction* action = menu->addAction(entry.caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, handler] {
        (this->*handler)();
        SyncMenu();
    });
    return action;
}

void Form1::AddSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

void Form1::BuildMenu() {
    QMenuBar* bar = menuBar();
    fghgh_ = AddMenu(bar, nullptr, "fghgh", QStringLiteral("Spiel"));
    ter_ =
        AddEntry(fghgh_, "ter", menu_.ter, QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::ter_Click);
    AddSeparator(fghgh_, "dsaf");
    gdsf_ = AddEntry(fghgh_, "gdsf", menu_.gdsf, QKeySequence(Qt::CTRL | Qt::Key_H),
                     &Form1::gdsf_Click);
    AddSeparator(fghgh_, "dsf");
    erwer_ = AddEntry(fghgh_, "erwer", menu_.erwer, QKeySequence(Qt::CTRL | Qt::Key_B),
                      &Form1::erwer_Click);

    fghfgh_ = AddMenu(bar, nullptr, "fghfgh", menu_.fghfgh.caption);
    hintergrund_ = AddMenu(bar, fghfgh_, "hintergrund", menu_.hintergrund.caption);
    // F10 opens the menu bar on many desktops: the tenth background answers to F11.
    static constexpr Qt::Key kBackgroundKeys[11] = {
        Qt::Key_unknown, Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5,
        Qt::Key_F6,      Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F11};
    for (int i = 1; i <= 10; ++i) {
        QAction* action = hintergrund_->addAction(menu_.hinterg[i].caption);
        action->setObjectName(QStringLiteral("hinterg%1").arg(i));
        action->setShortcut(QKeySequence(kBackgroundKeys[i]));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] {
            hinterg_Click(i);
            SyncMenu();
        });
        hinterg_[i] = action;
    }
    AddSeparator(hintergrund_, "linexxx");
    hgw_ = AddEntry(hintergrund_, "hgw", menu_.hgw, QKeySequence(Qt::Key_F12), &Form1::hgw_Click);
    hgw_->setCheckable(true);
    AddSeparator(fghfgh_, "fdgdfd");
    trz_ =
        AddEntry(fghfgh_, "trz", menu_.trz, QKeySequence(Qt::CTRL | Qt::Key_F1), &Form1::trz_Click);
    wtu_ =
        AddEntry(fghfgh_, "wtu", menu_.wtu, QKeySequence(Qt::CTRL | Qt::Key_F2), &Form1::wtu_Click);
    wetz_ = AddEntry(fghfgh_, "wetz", menu_.wetz, QKeySequence(Qt::CTRL | Qt::Key_F3),
                     &Form1::wetz_Click);
    AddSeparator(fghfgh_, "ertw");
    mnuMusik_ = AddEntry(fghfgh_, "mnuMusik", menu_.mnuMusik, QKeySequence(Qt::CTRL | Qt::Key_M),
                         &Form1::mnuMusik_Click);
    mnuSound_ = AddEntry(fghfgh_, "mnuSound", menu_.mnuSound, QKeySequence(Qt::CTRL | Qt::Key_X),
                         &Form1::mnuSound_Click);
    AddSeparator(fghfgh_, "strichsx");
    erte_ = AddEntry(fghfgh_, "erte", menu_.erte, QKeySequence(Qt::CTRL | Qt::Key_F4),
                     &Form1::erte_Click);
    mod_ =
        AddEntry(fghfgh_, "mod", menu_.mod, QKeySequence(Qt::CTRL | Qt::Key_C), &Form1::mod_Click);
    for (QAction* a : {trz_, wtu_, wetz_, mnuMusik_, mnuSound_})
        a->setCheckable(true);

    ansicht_ = AddMenu(bar, nullptr, "ansicht", menu_.ansicht.caption);
    minimize_ = AddEntry(ansicht_, "minimize", menu_.minimize,
                         QKeySequence(Qt::ALT | Qt::Key_Backspace), &Form1::minimize_Click);
    AddSeparator(ansicht_, "line");
    vollbild_ = AddEntry(ansicht_, "vollbild", menu_.vollbild, QKeySequence(Qt::CTRL | Qt::Key_V),
                         &Form1::vollbild_Click);
    vollbild_->setCheckable(true);

    fghhfg_ = AddMenu(bar, nullptr, "fghhfg", QStringLiteral("?"));
    kjhk_ = AddEntry(fghhfg_, "kjhk", menu_.kjhk, QKeySequence(Qt::CTRL | Qt::Key_K),
                     &Form1::kjhk_Click);
    hgjg_ = AddEntry(fghhfg_, "hgjg", menu_.hgjg, QKeySequence(Qt::CTRL | Qt::Key_I),
                     &Form1::hgjg_Click);
    AddSeparator(fghhfg_, "gfdg");
    info_ = AddEntry(fghhfg_, "info", menu_.info, QKeySequence(Qt::CTRL | Qt::Key_J),
                     &Form1::info_Click);
}

void Form1::SyncMenu() {
    fghfgh_->setTitle(menu_.fghfgh.caption);
    fghfgh_->menuAction()->setEnabled(menu_.fghfgh.enabled);
    ansicht_->setTitle(menu_.ansicht.caption);
    ansicht_->menuAction()->setEnabled(menu_.ansicht.enabled);

    const bool options = menu_.fghfgh.enabled;
    Apply(ter_, menu_.ter, true);
    Apply(gdsf_, menu_.gdsf, true);
    Apply(erwer_, menu_.erwer, true);
    Apply(hintergrund_->menuAction(), menu_.hintergrund, options);
    const bool backgrounds = options && menu_.hintergrund.enabled;
    for (int i = 1; i <= 10; ++i)
        Apply(hinterg_[i], menu_.hinterg[i], backgrounds);
    Apply(hgw_, menu_.hgw, backgrounds);
    Apply(trz_, menu_.trz, options);
    Apply(wtu_, menu_.wtu, options);
    Apply(wetz_, menu_.wetz, options);
    Apply(mnuMusik_, menu_.mnuMusik, options);
    Apply(mnuSound_, menu_.mnuSound, options);
    Apply(erte_, menu_.erte, options);
    Apply(mod_, menu_.mod, options);

    const bool view = menu_.ansicht.enabled;
    Apply(minimize_, menu_.minimize, view);
    Apply(vollbild_, menu_.vollbild, view);

    Apply(kjhk_, menu_.kjhk, true);
    Apply(hgjg_, menu_.hgjg, true);
    Apply(info_, menu_.info, true);
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

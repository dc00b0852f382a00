#pragma once
// The background commands of the "Optionen" menu: one of the MOD's preset
// backgrounds (hinterg) or a picture file of the player's own (hgw). The
// current background is store 0 slot 4; a change also resizes the window.
#include <QImage>
#include <QString>

#include "GameHost.h"
#include "GameState.h"
#include "MenuModel.h"
#include "PictureStore.h"

class QWidget;

namespace wf {

class Backgrounds {
  public:
    Backgrounds(GameState& state, MenuModel& menu, PictureStores& stores, GameHost& host,
                QString modDir);

    // Preset background index (1..10); other indexes are ignored.
    void hinterg_Click(int index);
    void hgw_Click(QWidget* owner);

    // Room the main window needs around the background, in twips.
    static constexpr int kScreenMarginWidth = 100;
    static constexpr int kScreenMarginHeight = 2150;

  private:
    void SelectPreset(int index, QWidget* owner);
    bool OwnPictureSizeSupported() const;
    void ApplyWindowLayout();
    void CheckOnly(MenuEntry* entry);

    GameState& state_;
    MenuModel& menu_;
    PictureStores& stores_;
    GameHost& host_;
    QString modDir_;
};

}  // namespace wf

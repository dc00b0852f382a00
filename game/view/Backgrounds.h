#pragma once
// The background commands of the "Optionen" menu: one of the MOD's preset
// backgrounds or a picture file of the player's own. The current background
// is store 0 slot 4; a change also resizes the window and is the settings'
// new background.
#include <QImage>
#include <QString>

#include "GameHost.h"
#include "GameSettings.h"
#include "ModDefinition.h"
#include "PictureStore.h"

class QWidget;

namespace wf {

class Backgrounds {
  public:
    Backgrounds(const ModDefinition& mod, GameSettings& settings, PictureStores& stores,
                GameHost& host, QString modDir);

    // Preset background index (1..10); other indexes are ignored.
    void ChoosePreset(int index);
    // A picture file of the player's own, through the file dialog.
    void ChooseOwnPicture(QWidget* owner);

    // Room the main window needs around the background, in twips.
    static constexpr int kScreenMarginWidth = 100;
    static constexpr int kScreenMarginHeight = 2150;

  private:
    void SelectPreset(int index, QWidget* owner);
    bool OwnPictureSizeSupported() const;
    void ApplyWindowLayout();

    const ModDefinition& mod_;
    GameSettings& settings_;
    PictureStores& stores_;
    GameHost& host_;
    QString modDir_;
};

}  // namespace wf

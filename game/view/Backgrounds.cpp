#include "Backgrounds.h"

#include <QStringList>
#include <utility>

#include "Blit.h"
#include "Paths.h"
#include "PictureSlots.h"
#include "Platform.h"
#include "Text8.h"
#include "Units.h"

namespace wf {

Backgrounds::Backgrounds(const ModDefinition& mod, GameSettings& settings, PictureStores& stores,
                         GameHost& host, QString modDir)
    : mod_(mod), settings_(settings), stores_(stores), host_(host), modDir_(std::move(modDir)) {}

void Backgrounds::ChoosePreset(int index) {
    SelectPreset(index, nullptr);
}

void Backgrounds::SelectPreset(int index, QWidget* owner) {
    if (index < 1 || index > kMaxBackgrounds)
        return;
    const BackgroundDef& def = mod_.backgrounds[index];
    PictureStore& store = stores_.sources;

    if (def.isPicture) {
        const QString path = JoinStoredPath(modDir_, def.pictureFile);
        if (path.isEmpty() || store.LoadSlotPicture(kBackgroundSlot, path) == 0) {
            QString shown = modDir_;
            if (!shown.endsWith('/'))
                shown += '/';
            shown += FromText8(def.pictureFile);
            Platform::Instance().MessageBox(
                owner, MsgIcon::Exclamation, QStringLiteral("Fehler !"),
                QStringLiteral("Die Hintergrunddatei ") + shown +
                    QStringLiteral(
                        " wurde nicht gefunden ! Es wird die alte Einstellung benutzt."));
            return;
        }
        if (store.SlotHeight(kBackgroundSlot) != def.height ||
            store.SlotWidth(kBackgroundSlot) != def.width) {
            Platform::Instance().MessageBox(
                owner, MsgIcon::Exclamation, QStringLiteral("Fehler!"),
                QStringLiteral("Unzulässige Veränderung der Größe der Hintergrund !!! Das Spiel "
                               "wird beendet !!"));
            host_.EndProgram(1);
        }
    } else {
        store.SetSlotSize(kBackgroundSlot, def.width, def.height);
        if (QImage* slot = store.Picture(kBackgroundSlot))
            Blit::FillBox(*slot, 0, 0, slot->width(), slot->height(), def.colour);
    }

    ApplyWindowLayout();
    settings_.background = index;
}

void Backgrounds::ChooseOwnPicture(QWidget* owner) {
    const QStringList filters{
        QStringLiteral("Bitmap-Dateien (*.bmp)"), QStringLiteral("GIF - Dateien (*.gif)"),
        QStringLiteral("JPG - Dateien (*.jpg)"), QStringLiteral("JPEG - Dateien (*.jpeg)")};
    const QString file = Platform::Instance().OpenFileDialog(
        owner, QStringLiteral("Hintergrundbild wählen"), filters);
    if (file.isEmpty())
        return;

    PictureStore& store = stores_.sources;
    // Kept so that a refused picture never stays in the slot, even when the
    // fall-back to background 1 fails as well.
    const QImage* current = store.Picture(kBackgroundSlot);
    const QImage previous = current ? *current : QImage();

    // A picture that did not load leaves the old one in the slot, so its size
    // says nothing about the chosen file: that failure is reported first.
    if (store.LoadSlotPicture(kBackgroundSlot, file) == 0) {
        Platform::Instance().MessageBox(
            owner, MsgIcon::Exclamation, QStringLiteral("Fehler"),
            QStringLiteral(
                "Fehler beim Laden der entsprechende BMP Datei. Alter Hintergrund wird jetzt "
                "geladen !!"));
        SelectPreset(1, owner);
        return;
    }
    if (!OwnPictureSizeSupported()) {
        if (QImage* slot = store.Picture(kBackgroundSlot))
            *slot = previous;
        Platform::Instance().MessageBox(
            owner, MsgIcon::Exclamation, QStringLiteral("Nicht unterstützt !"),
            QStringLiteral("Die Größe der gewählten Grafikdatei wird nicht unterstützt . Es wird "
                           "der Neue Hintergrund geladen"));
        SelectPreset(1, owner);
        return;
    }

    ApplyWindowLayout();
    settings_.background = kOwnBackground;
}

bool Backgrounds::OwnPictureSizeSupported() const {
    const PictureStore& store = stores_.sources;
    const int tpp = TwipsPerPixel();
    const QSize screenPx = host_.ScreenSizePx();
    const int64_t width = int64_t{store.SlotWidth(kBackgroundSlot)} * tpp;
    const int64_t height = int64_t{store.SlotHeight(kBackgroundSlot)} * tpp;
    if (height > int64_t{screenPx.height()} * tpp - kScreenMarginHeight)
        return false;
    if (width > int64_t{screenPx.width()} * tpp - kScreenMarginWidth)
        return false;
    if (width < int64_t{store.SlotWidth(kOwnBackgroundWidthSlot)} * tpp)
        return false;
    if (height < int64_t{store.SlotHeight(kOwnBackgroundHeightSlot)} * tpp)
        return false;
    return true;
}

void Backgrounds::ApplyWindowLayout() {
    const PictureStore& store = stores_.sources;
    host_.SizeWindowToSurface(store.SlotWidth(kBackgroundSlot), store.SlotHeight(kBackgroundSlot));
}

}  // namespace wf

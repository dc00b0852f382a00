#pragma once
// The things that MOD extras show: each is painted into its own box (origin
// at the box's top-left corner) and then laid over the scene under it.
#include <QPainter>
#include <QSizeF>

namespace wf::assetgen {

enum class ExtraObject {
    HotAirBalloon,
    Scarecrow,
    Bottle,
    KiteRed,
    KiteBlue,
    Lantern,
    Buoy,
    WeatherVane,
    SunflowerTarget,
    PartyBalloons,
    SkyLantern,
    Rooster,
    PaperLantern,
    Pumpkin,
    FireflyJar,
    LightBuoy,
    MessageBottle,
    LifeRing,
    StarTarget,
};

// The object itself, as daylight shows it; a night scene tints it afterwards.
void PaintObjectBody(ExtraObject object, QPainter& p, QSizeF size);
// What shines by its own light (flames, lit paper, lamps), drawn after the
// tint; most objects have nothing here.
void PaintObjectLights(ExtraObject object, QPainter& p, QSizeF size);

}  // namespace wf::assetgen

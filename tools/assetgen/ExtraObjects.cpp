#include "ExtraObjects.h"

#include "ObjectPainters.h"

namespace wf::assetgen {

void PaintObjectBody(ExtraObject object, QPainter& p, QSizeF s) {
    using namespace painters;
    switch (object) {
        case ExtraObject::HotAirBalloon:
            return HotAirBalloon(p, s);
        case ExtraObject::Scarecrow:
            return Scarecrow(p, s);
        case ExtraObject::Bottle:
            return Bottle(p, s);
        case ExtraObject::KiteRed:
            return Kite(p, s, QColor(225, 50, 50), QColor(255, 210, 60));
        case ExtraObject::KiteBlue:
            return Kite(p, s, QColor(40, 90, 200), QColor(250, 250, 250));
        case ExtraObject::Lantern:
            return Lantern(p, s);
        case ExtraObject::Buoy:
            return Buoy(p, s);
        case ExtraObject::WeatherVane:
            return WeatherVane(p, s);
        case ExtraObject::SunflowerTarget:
            return SunflowerTarget(p, s);
        case ExtraObject::PartyBalloons:
            return PartyBalloons(p, s);
        case ExtraObject::SkyLantern:
            return;  // all of it glows
        case ExtraObject::Rooster:
            return Rooster(p, s);
        case ExtraObject::PaperLantern:
            return;  // all of it glows
        case ExtraObject::Pumpkin:
            return Pumpkin(p, s);
        case ExtraObject::FireflyJar:
            return FireflyJar(p, s);
        case ExtraObject::LightBuoy:
            return LightBuoy(p, s);
        case ExtraObject::MessageBottle:
            return MessageBottle(p, s);
        case ExtraObject::LifeRing:
            return LifeRing(p, s);
        case ExtraObject::StarTarget:
            return;  // all of it glows
    }
}

void PaintObjectLights(ExtraObject object, QPainter& p, QSizeF s) {
    using namespace painters;
    switch (object) {
        case ExtraObject::Lantern:
            return LanternFlame(p, s);
        case ExtraObject::SkyLantern:
            return SkyLantern(p, s);
        case ExtraObject::PaperLantern:
            return PaperLantern(p, s);
        case ExtraObject::Pumpkin:
            return PumpkinFace(p, s);
        case ExtraObject::FireflyJar:
            return FireflyJarLights(p, s);
        case ExtraObject::LightBuoy:
            return LightBuoyLamp(p, s);
        case ExtraObject::StarTarget:
            return StarTarget(p, s);
        default:
            return;
    }
}

}  // namespace wf::assetgen

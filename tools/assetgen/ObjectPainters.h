#pragma once
// The painters behind PaintObjectBody and PaintObjectLights.
#include <QColor>
#include <QPainter>
#include <QSizeF>

namespace wf::assetgen::painters {

// Objects of the day scenes.
void HotAirBalloon(QPainter& p, QSizeF s);
void Scarecrow(QPainter& p, QSizeF s);
void Bottle(QPainter& p, QSizeF s);
void Kite(QPainter& p, QSizeF s, QColor a, QColor b);
void Lantern(QPainter& p, QSizeF s);
void LanternFlame(QPainter& p, QSizeF s);
void Buoy(QPainter& p, QSizeF s);
void WeatherVane(QPainter& p, QSizeF s);
void SunflowerTarget(QPainter& p, QSizeF s);
void PartyBalloons(QPainter& p, QSizeF s);

// Objects of the night scenes.
void SkyLantern(QPainter& p, QSizeF s);
void Rooster(QPainter& p, QSizeF s);
void PaperLantern(QPainter& p, QSizeF s);
void Pumpkin(QPainter& p, QSizeF s);
void PumpkinFace(QPainter& p, QSizeF s);
void FireflyJar(QPainter& p, QSizeF s);
void FireflyJarLights(QPainter& p, QSizeF s);
void LightBuoy(QPainter& p, QSizeF s);
void LightBuoyLamp(QPainter& p, QSizeF s);
void MessageBottle(QPainter& p, QSizeF s);
void LifeRing(QPainter& p, QSizeF s);
void StarTarget(QPainter& p, QSizeF s);

// Scales the design, w × h, to fit the box, keeping its proportions, and
// centres it.
void FitDesign(QPainter& p, QSizeF s, double w, double h);

// A soft round light, kept inside its box; the painter is left as it was.
void Glow(QPainter& p, QPointF at, double radius, QColor colour);

}  // namespace wf::assetgen::painters

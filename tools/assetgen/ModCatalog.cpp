#include "ModCatalog.h"

#include "Layout.h"

namespace wf::assetgen {

namespace {

// Points: a destructable target pays the usual 15, one that appears only now
// and then pays more. One that stays after a hit can be hit again and again:
// it only pays back the 2 points of the shot, so that aiming at birds and
// targets always pays better than clicking on the same spot.
constexpr int kTargetPoints = 15;
constexpr int kRarePoints = 25;
constexpr int kFixturePoints = 2;

ExtraPlan Rare(const QString& title, const QString& file, QRect box, ExtraObject object) {
    return {title, file, box, object, "sequenziell", kRarePoints, true};
}

ExtraPlan Target(const QString& title, const QString& file, QRect box, ExtraObject object) {
    return {title, file, box, object, "static", kTargetPoints, true};
}

ExtraPlan Fixture(const QString& title, const QString& file, QRect box, ExtraObject object) {
    return {title, file, box, object, "static", kFixturePoints, false};
}

}  // namespace

ModPlan DefaultMod() {
    using namespace layout;
    ModPlan m;
    m.directory = "wolkfng4";
    m.name = QStringLiteral("Wolkenfang 4 Sommer");
    m.description = QStringLiteral("Der Standard-MOD: vier Landschaften im Sommer");
    m.shotFile = "schuss.wav";
    m.shot = DayShot();
    m.musicFile = "sommerwind.mid";
    m.music = SummerTheme();
    m.backgrounds = {
        {QStringLiteral("Sommerwiese"),
         Scene::Meadow,
         "wiese.jpg",
         QColor(),
         {
             Rare(QStringLiteral("Heißluftballon - kommt ab und zu vorbei"), "ballon.jpg",
                  kMeadowBalloon, ExtraObject::HotAirBalloon),
             Fixture(QStringLiteral("Vogelscheuche - bleibt stehen"), "scheuche.jpg",
                     kMeadowScarecrow, ExtraObject::Scarecrow),
             Target(QStringLiteral("Flasche auf dem Zaunpfahl"), "flasche.jpg", kMeadowBottle,
                    ExtraObject::Bottle),
         }},
        {QStringLiteral("Abendsee"),
         Scene::Lake,
         "see.jpg",
         QColor(),
         {
             Target(QStringLiteral("Laterne am Steg"), "laterne.jpg", kLakeLantern,
                    ExtraObject::Lantern),
             Rare(QStringLiteral("Drachen über dem See"), "drachen.jpg", kLakeKite,
                  ExtraObject::KiteRed),
             Fixture(QStringLiteral("Boje"), "boje.jpg", kLakeBuoy, ExtraObject::Buoy),
         }},
        {QStringLiteral("Bergpanorama"),
         Scene::Mountains,
         "berge.jpg",
         QColor(),
         {
             Fixture(QStringLiteral("Wetterfahne auf der Almhütte"), "fahne.jpg", kMountainVane,
                     ExtraObject::WeatherVane),
             Target(QStringLiteral("Sonnenblumen-Zielscheibe"), "zielscheibe.jpg", kMountainTarget,
                    ExtraObject::SunflowerTarget),
         }},
        {QStringLiteral("Himmelblau"),
         std::nullopt,
         QString(),
         QColor(150, 200, 240),
         {
             Rare(QStringLiteral("Luftballons"), "luftballons.jpg", kSkyBalloons,
                  ExtraObject::PartyBalloons),
             Target(QStringLiteral("Blauer Drachen"), "drachen2.jpg", kSkyKite,
                    ExtraObject::KiteBlue),
         }},
    };
    return m;
}

ModPlan NightMod() {
    using namespace layout;
    ModPlan m;
    m.directory = "nachtflug";
    m.name = QStringLiteral("Nachtflug");
    m.description = QStringLiteral("Vögel unter Mond und Sternen");
    m.shotFile = "knall.wav";
    m.shot = NightShot();
    m.musicFile = "mondlicht.mid";
    m.music = NightTheme();
    m.night = true;
    m.encoded = true;
    m.backgrounds = {
        {QStringLiteral("Mondnacht über der Stadt"),
         Scene::City,
         "stadt.jpg",
         QColor(),
         {
             Rare(QStringLiteral("Himmelslaterne"), "himmelslaterne.jpg", kCitySkyLantern,
                  ExtraObject::SkyLantern),
             Fixture(QStringLiteral("Wetterhahn auf dem Kirchturm"), "wetterhahn.jpg", kCityRooster,
                     ExtraObject::Rooster),
             Target(QStringLiteral("Papierlaterne an der Leine"), "papierlaterne.jpg",
                    kCityPaperLantern, ExtraObject::PaperLantern),
         }},
        {QStringLiteral("Sternenhügel"),
         Scene::StarHills,
         "huegel.jpg",
         QColor(),
         {
             Target(QStringLiteral("Kürbislaterne"), "kuerbis.jpg", kHillsPumpkin,
                    ExtraObject::Pumpkin),
             Target(QStringLiteral("Glas mit Glühwürmchen"), "gluehwuermchen.jpg", kHillsJar,
                    ExtraObject::FireflyJar),
             Fixture(QStringLiteral("Vogelscheuche im Mondlicht"), "scheuche.jpg", kHillsScarecrow,
                     ExtraObject::Scarecrow),
         }},
        {QStringLiteral("Hafen bei Nacht"),
         Scene::Harbour,
         "hafen.jpg",
         QColor(),
         {
             Fixture(QStringLiteral("Leuchtboje"), "leuchtboje.jpg", kHarbourBuoy,
                     ExtraObject::LightBuoy),
             Rare(QStringLiteral("Flaschenpost"), "flaschenpost.jpg", kHarbourBottle,
                  ExtraObject::MessageBottle),
             Target(QStringLiteral("Rettungsring an der Kaimauer"), "rettungsring.jpg",
                    kHarbourRing, ExtraObject::LifeRing),
         }},
        {QStringLiteral("Nachtblau"),
         std::nullopt,
         QString(),
         QColor(104, 126, 190),  // the blue hour: light enough for black text
         {
             Rare(QStringLiteral("Himmelslaterne"), "himmelslaterne2.jpg", kNightSkyLantern,
                  ExtraObject::SkyLantern),
             Target(QStringLiteral("Goldener Stern"), "stern.jpg", kNightStar,
                    ExtraObject::StarTarget),
         }},
    };
    return m;
}

}  // namespace wf::assetgen

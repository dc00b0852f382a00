#pragma once
// Where the extras stand in their scenes. Boxes lie on the 17-unit hit grid
// (left, top, width and height are multiples of 17), so every hit cell of an
// extra lies wholly inside its picture. The scenes paint the things an extra
// rests on (a post, a roof, a spire) to meet these boxes.
#include <QRect>
#include <QSize>

namespace wf::assetgen::layout {

inline constexpr QSize kSceneSize{800, 600};

// Sommerwiese
inline constexpr QRect kMeadowBalloon{102, 51, 68, 85};
inline constexpr QRect kMeadowScarecrow{578, 391, 51, 85};
inline constexpr QRect kMeadowBottle{170, 442, 17, 34};  // stands on a fence post
// Abendsee
inline constexpr QRect kLakeKite{612, 68, 51, 68};
inline constexpr QRect kLakeLantern{204, 391, 51, 51};  // stands on the last jetty post
inline constexpr QRect kLakeBuoy{476, 425, 51, 51};
// Bergpanorama
inline constexpr QRect kMountainVane{629, 289, 34, 68};  // on the ridge of the hut roof
inline constexpr QRect kMountainTarget{136, 408, 68, 85};
// Himmelblau (plain colour)
inline constexpr QRect kSkyBalloons{340, 170, 51, 68};
inline constexpr QRect kSkyKite{578, 102, 51, 68};

// Mondnacht über der Stadt
inline constexpr QRect kCitySkyLantern{170, 102, 51, 51};
inline constexpr QRect kCityRooster{391, 187, 34, 51};       // on the church spire
inline constexpr QRect kCityPaperLantern{578, 357, 34, 51};  // hangs from a line
// Sternenhügel
inline constexpr QRect kHillsPumpkin{510, 476, 51, 51};
inline constexpr QRect kHillsJar{187, 442, 17, 34};  // stands on a fence post
inline constexpr QRect kHillsScarecrow{323, 391, 51, 85};
// Hafen bei Nacht
inline constexpr QRect kHarbourBuoy{425, 442, 34, 68};
inline constexpr QRect kHarbourBottle{221, 510, 51, 34};
inline constexpr QRect kHarbourRing{85, 408, 34, 34};  // hangs on the harbour wall
// Nachtblau (plain colour)
inline constexpr QRect kNightSkyLantern{272, 187, 51, 51};
inline constexpr QRect kNightStar{561, 119, 68, 68};

}  // namespace wf::assetgen::layout

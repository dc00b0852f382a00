// The fixed pictures of the "Grafiken" directory, as written to disk.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GeneratedGame.h"

#include <algorithm>

namespace wf::assetgen::testing {
namespace {

QImage Graphic(const QString& name) {
    return LoadPicture(Generated().dir + "/Grafiken/" + name);
}

bool Covered(const QImage& mask, int x, int y) {
    return mask.pixel(x, y) == qRgb(0, 0, 0);
}

// Transparent pixels that the border cannot reach through transparent
// pixels (4-neighbours): holes through which the scene would show inside
// the sprite's shape.
int EnclosedTransparentPixels(const QImage& mask) {
    const int w = mask.width(), h = mask.height();
    std::vector<char> seen(static_cast<size_t>(w) * h, 0);
    std::vector<QPoint> todo;
    const auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || seen[y * w + x] || Covered(mask, x, y))
            return;
        seen[y * w + x] = 1;
        todo.push_back(QPoint(x, y));
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        visit(p.x() + 1, p.y());
        visit(p.x() - 1, p.y());
        visit(p.x(), p.y() + 1);
        visit(p.x(), p.y() - 1);
    }
    int enclosed = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            enclosed += !Covered(mask, x, y) && !seen[y * w + x];
    }
    return enclosed;
}

TEST(Sprites, EverySpriteAgreesWithItsMaskAndHasNoHole) {
    const char* pairs[][2] = {
        {"Cursor.jpg", "Maske.jpg"}, {"Vogel.jpg", "Vogelsw.jpg"}, {"Vogelu.jpg", "Vogelusw.jpg"}};
    for (const char* folder : {"", "hd/"}) {
        for (const auto& pair : pairs) {
            const std::string name = std::string(folder) + pair[0];
            const QImage sprite = Graphic(QString::fromStdString(name));
            const QImage mask = Graphic(QString::fromLatin1(folder) + pair[1]);
            ASSERT_FALSE(sprite.isNull()) << name;
            ASSERT_EQ(sprite.size(), mask.size()) << name;
            int covered = 0;
            for (int y = 0; y < sprite.height(); ++y) {
                for (int x = 0; x < sprite.width(); ++x) {
                    const QRgb m = mask.pixel(x, y) & 0xFFFFFF;
                    const QRgb s = sprite.pixel(x, y) & 0xFFFFFF;
                    ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << name << " mask at " << x << "," << y;
                    // Under AND then XOR: where the mask is white the sprite
                    // must be black (scene unchanged), where it is black the
                    // sprite shows.
                    ASSERT_EQ(m == 0, s != 0) << name << " at " << x << "," << y;
                    covered += m == 0;
                }
            }
            // A sprite that covers nothing or everything is no sprite.
            EXPECT_GT(covered, sprite.width() * sprite.height() / 10) << name;
            EXPECT_LT(covered, sprite.width() * sprite.height() * 9 / 10) << name;
            EXPECT_EQ(EnclosedTransparentPixels(mask), 0) << name << " has a see-through hole";
        }
    }
}

double Luminance(QRgb c) {
    const auto lin = [](int v) {
        const double x = v / 255.0;
        return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}

double Contrast(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// A bird must stand out wherever it flies, on the brightest and on the
// darkest sky of every MOD: one of its two outermost rings of pixels (a pale
// rim, a dark outline) differs from that sky by 3:1 (WCAG's measure for
// shapes that must be seen).
TEST(Sprites, BirdsStandOutOnTheLightestAndTheDarkestSky) {
    double lightest = 0, darkest = 1;
    for (const BuiltMod& mod : Generated().data.mods) {
        for (const QImage& scene : mod.backgroundPictures) {
            // Birds fly from the top down to 35 units above the bottom.
            for (int by = 0; by + 8 <= scene.height() - 35; by += 8) {
                for (int bx = 0; bx + 8 <= scene.width(); bx += 8) {
                    int r = 0, g = 0, b = 0;
                    for (int y = by; y < by + 8; ++y) {
                        for (int x = bx; x < bx + 8; ++x) {
                            const QRgb c = scene.pixel(x, y);
                            r += qRed(c);
                            g += qGreen(c);
                            b += qBlue(c);
                        }
                    }
                    const double l = Luminance(qRgb(r / 64, g / 64, b / 64));
                    lightest = std::max(lightest, l);
                    darkest = std::min(darkest, l);
                }
            }
        }
    }
    for (const auto& pair :
         {std::pair{"Vogel.jpg", "Vogelsw.jpg"}, {"Vogelu.jpg", "Vogelusw.jpg"}}) {
        const QImage sprite = Graphic(pair.first);
        const QImage mask = Graphic(pair.second);
        // Ring 1: covered pixels next to the scene; ring 2: next to ring 1.
        std::vector<int> ring(static_cast<size_t>(mask.width()) * mask.height(), 0);
        const auto at = [&](int x, int y) -> int {
            if (x < 0 || y < 0 || x >= mask.width() || y >= mask.height() || !Covered(mask, x, y))
                return 0;
            return ring[y * mask.width() + x] == 0 ? 99 : ring[y * mask.width() + x];
        };
        for (int k = 1; k <= 2; ++k) {
            for (int y = 0; y < mask.height(); ++y) {
                for (int x = 0; x < mask.width(); ++x) {
                    if (at(x, y) != 99)
                        continue;
                    for (const QPoint d :
                         {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                        if (at(x + d.x(), y + d.y()) == k - 1)
                            ring[y * mask.width() + x] = k;
                    }
                }
            }
        }
        double median[3] = {0, 0, 0};
        for (int k = 1; k <= 2; ++k) {
            std::vector<double> l;
            for (int y = 0; y < mask.height(); ++y) {
                for (int x = 0; x < mask.width(); ++x) {
                    if (ring[y * mask.width() + x] == k)
                        l.push_back(Luminance(sprite.pixel(x, y)));
                }
            }
            ASSERT_FALSE(l.empty()) << pair.first;
            std::nth_element(l.begin(), l.begin() + l.size() / 2, l.end());
            median[k] = l[l.size() / 2];
        }
        for (const double sky : {lightest, darkest}) {
            EXPECT_GE(std::max(Contrast(median[1], sky), Contrast(median[2], sky)), 3.0)
                << pair.first << " vanishes on a sky of luminance " << sky;
        }
    }
}

TEST(Sprites, CrossHairAimsAtItsCentre) {
    const QImage mask = Graphic("Maske.jpg");
    ASSERT_EQ(mask.size(), QSize(32, 32));
    EXPECT_TRUE(Covered(mask, 16, 16));
    // Symmetric about the aim point in both directions.
    for (int dy = -15; dy <= 15; ++dy) {
        for (int dx = -15; dx <= 15; ++dx) {
            const bool here = Covered(mask, 16 + dx, 16 + dy);
            ASSERT_EQ(here, Covered(mask, 16 - dx, 16 + dy)) << dx << "," << dy;
            ASSERT_EQ(here, Covered(mask, 16 + dx, 16 - dy)) << dx << "," << dy;
        }
    }
}

TEST(Sprites, BirdsAreCentredOnTheirHitCentre) {
    for (const char* name : {"Vogelsw.jpg", "Vogelusw.jpg"}) {
        const QImage mask = Graphic(name);
        ASSERT_EQ(mask.size(), QSize(88, 40)) << name;
        EXPECT_TRUE(Covered(mask, 44, 20)) << name;
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                if (!Covered(mask, x, y))
                    continue;
                sx += x;
                sy += y;
                ++n;
            }
        }
        ASSERT_GT(n, 0);
        EXPECT_NEAR(sx / n, 44, 6) << name;
        EXPECT_NEAR(sy / n, 20, 6) << name;
    }
}

TEST(Sprites, TheRightBirdIsTheLeftOneMirrored) {
    const QImage left = Graphic("Vogelsw.jpg");
    const QImage right = Graphic("Vogelusw.jpg");
    int same = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 88; ++x)
            same += Covered(left, x, y) == Covered(right, 87 - x, y);
    }
    EXPECT_GT(same, 88 * 40 * 97 / 100);
    // The beak (the only orange) points the way each bird flies.
    const auto beakX = [](const QImage& sprite) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < sprite.height(); ++y) {
            for (int x = 0; x < sprite.width(); ++x) {
                const QRgb c = sprite.pixel(x, y);
                if (qRed(c) > 200 && qGreen(c) > 110 && qGreen(c) < 200 && qBlue(c) < 90) {
                    sum += x;
                    ++n;
                }
            }
        }
        return n > 0 ? sum / n : -1.0;
    };
    const double leftBeak = beakX(Graphic("Vogel.jpg"));
    const double rightBeak = beakX(Graphic("Vogelu.jpg"));
    EXPECT_GE(leftBeak, 0);
    EXPECT_LT(leftBeak, 30) << "Vogel.jpg flies left";
    EXPECT_GT(rightBeak, 58) << "Vogelu.jpg flies right";
}

TEST(TitlePictures, SizesFitTheirUses) {
    for (const char* name : {"WFLogo.jpg", "SPWLogo.jpg", "presents.jpg", "7.jpg", "8.jpg", "1.jpg",
                             "2.jpg", "3.jpg", "4.jpg", "5.jpg", "Munition.jpg"}) {
        const QImage image = Graphic(name);
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_LE(image.width(), 800) << name;
        EXPECT_LE(image.height(), 600) << name;
    }
    // The logo is the least width, 1.jpg the least height of an own background.
    EXPECT_EQ(Graphic("WFLogo.jpg").width(), 400);
    EXPECT_EQ(Graphic("1.jpg").height(), 200);
    EXPECT_EQ(Graphic("Munition.jpg").size(), QSize(20, 40));
}

}  // namespace
}  // namespace wf::assetgen::testing

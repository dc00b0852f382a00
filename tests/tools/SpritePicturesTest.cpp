// The fixed pictures of the "Grafiken" directory, as written to disk.
#include <gtest/gtest.h>

#include <cmath>

#include "GeneratedGame.h"

namespace wf::assetgen::testing {
namespace {

QImage Graphic(const QString& name) {
    return LoadPicture(Generated().dir + "/Grafiken/" + name);
}

bool Covered(const QImage& mask, int x, int y) {
    return mask.pixel(x, y) == qRgb(0, 0, 0);
}

TEST(Sprites, EverySpriteAgreesWithItsMask) {
    const char* pairs[][2] = {
        {"Cursor.jpg", "Maske.jpg"}, {"Vogel.jpg", "Vogelsw.jpg"}, {"Vogelu.jpg", "Vogelusw.jpg"}};
    for (const auto& pair : pairs) {
        const QImage sprite = Graphic(pair[0]);
        const QImage mask = Graphic(pair[1]);
        ASSERT_FALSE(sprite.isNull()) << pair[0];
        ASSERT_EQ(sprite.size(), mask.size()) << pair[0];
        int covered = 0;
        for (int y = 0; y < sprite.height(); ++y) {
            for (int x = 0; x < sprite.width(); ++x) {
                const QRgb m = mask.pixel(x, y) & 0xFFFFFF;
                const QRgb s = sprite.pixel(x, y) & 0xFFFFFF;
                ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << pair[1] << " at " << x << "," << y;
                // Under AND then XOR: where the mask is white the sprite must be
                // black (scene unchanged), where it is black the sprite shows.
                ASSERT_EQ(m == 0, s != 0) << pair[0] << " at " << x << "," << y;
                covered += m == 0;
            }
        }
        // A sprite that covers nothing or everything is no sprite.
        EXPECT_GT(covered, sprite.width() * sprite.height() / 10) << pair[0];
        EXPECT_LT(covered, sprite.width() * sprite.height() * 9 / 10) << pair[0];
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

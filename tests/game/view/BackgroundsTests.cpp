// Choosing a preset background of the MOD or a picture of the player's own.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "Backgrounds.h"
#include "GameKit.h"
#include "PictureSlots.h"
#include "Units.h"

namespace wf {
namespace {

QImage Plain(int w, int h, QColor colour) {
    return testkit::Solid(w, h, colour.rgb());
}

struct SizingHost : NullGameHost {
    void SizeWindowToSurface(int w, int h) override { sizes.append(QSize(w, h)); }
    QList<QSize> sizes;
};

class BackgroundsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(modDir + "Bilder"));
        ASSERT_TRUE(Plain(200, 120, Qt::blue).save(modDir + "Bilder/Wiese.bmp", "BMP"));
        ASSERT_TRUE(Plain(201, 120, Qt::blue).save(modDir + "gross.bmp", "BMP"));
        // 1 found whatever the case and separators, 2 a colour, 3 missing, 4
        // declared smaller than its file, 5 outside the MOD: never opened.
        const char* const files[] = {"bilder\\WIESE.BMP", "", "fehlt.bmp", "gross.bmp",
                                     "..\\wiese.bmp"};
        for (int i : {1, 3, 4, 5})
            state.mod.backgrounds[i] = {"", true, files[i - 1], 200, 120};
        state.mod.backgrounds[2] = {"", false, "", 50, 40, QColor(200, 10, 30)};
        for (int i = 1; i <= kLastFixedSlot; ++i)
            stores.sources.NewSlot();
        *stores.sources.Picture(kBackgroundSlot) = Plain(300, 200, Qt::green);
        stores.sources.SetSlotSize(kOwnBackgroundWidthSlot, 100, 30);
        stores.sources.SetSlotSize(kOwnBackgroundHeightSlot, 20, 50);
        host.screen = QSize(500, 2400);
    }
    void TearDown() override { SetTwipsPerPixel(15); }
    QImage Slot4() const { return *stores.sources.Picture(kBackgroundSlot); }
    // Background `index` selected (0: the player's own), its picture shown.
    void ExpectSelected(int index, const QImage& picture) {
        EXPECT_EQ(Slot4(), picture);
        EXPECT_EQ(settings.background, index);
        EXPECT_EQ(host.sizes.back(), picture.size());
    }

    QTemporaryDir dir;
    const QString modDir = dir.path() + "/mods/wald/";
    ScriptedPlatform platform;
    GameState state;
    GameSettings settings;
    PictureStores stores;
    SizingHost host;
    Backgrounds backgrounds{state.mod, settings, stores, host, modDir};
};

TEST_F(BackgroundsTest, PresetsLoadOrKeepTheOldChoice) {
    const QImage colour = Plain(50, 40, QColor(200, 10, 30));
    backgrounds.ChoosePreset(2);
    ExpectSelected(2, colour);
    for (int index : {3, 5, 0, 11, -1}) {
        SCOPED_TRACE(index);
        platform.messages.clear();
        backgrounds.ChoosePreset(index);
        ExpectSelected(2, colour);
        EXPECT_EQ(host.sizes.size(), 1);
        if (index != 3 && index != 5) {
            EXPECT_TRUE(platform.messages.isEmpty());
            continue;
        }
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].title, "Fehler !");
        EXPECT_EQ(platform.messages[0].text, "Die Hintergrunddatei " + modDir +
                                                 (index == 3 ? "fehlt.bmp" : "..\\wiese.bmp") +
                                                 " wurde nicht gefunden ! Es wird die alte "
                                                 "Einstellung benutzt.");
    }
    backgrounds.ChoosePreset(1);
    ExpectSelected(1, Plain(200, 120, Qt::blue));

    EXPECT_THROW(backgrounds.ChoosePreset(4), ProgramExit);
    EXPECT_EQ(platform.messages.back().title, "Fehler!");
    EXPECT_EQ(platform.messages.back().text,
              "Unzulässige Veränderung der Größe der Hintergrund !!! Das Spiel wird beendet !!");
}

TEST_F(BackgroundsTest, OwnPictureWithinTheLimitsOrBackToBackground1) {
    // Screen 500 × 2400 px. At 1 twip per pixel the picture may be 400 × 250
    // at most and 100 × 50 (slots 11 and 15) at least. At 15, 500 px are 7500
    // twips: 7400 twips allow 493 px (7395), not 494 (7410). 0: not a picture.
    const char* const tooLarge = "Nicht unterstützt !";
    const struct {
        int twipsPerPixel, w, h;
        const char* refusal;
    } cases[] = {
        {1, 400, 250, ""}, {1, 401, 250, tooLarge},   {1, 400, 251, tooLarge},
        {1, 100, 50, ""},  {1, 99, 50, tooLarge},     {1, 100, 49, tooLarge},
        {15, 493, 50, ""}, {15, 494, 50, tooLarge},   {15, 0, 0, "Fehler"},
        {15, -1, 0, ""},   {1, 2000, 2000, tooLarge},  // with background 1 missing too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.twipsPerPixel << ": " << c.w << "x" << c.h);
        SetTwipsPerPixel(c.twipsPerPixel);
        if (c.w == 2000)
            state.mod.backgrounds[1].pictureFile = "fehlt.bmp";
        backgrounds.ChoosePreset(2);
        platform.messages.clear();
        const QString own = dir.filePath(QStringLiteral("own%1x%2.bmp").arg(c.w).arg(c.h));
        ASSERT_TRUE(c.w <= 0 || Plain(c.w, c.h, Qt::yellow).save(own, "BMP"));
        platform.fileAnswers = {c.w < 0 ? QString() : own};  // -1: the dialog cancelled
        backgrounds.ChooseOwnPicture(nullptr);
        EXPECT_EQ(platform.fileDialogTitles.back(), "Hintergrundbild wählen");
        if (c.w < 0) {
            ExpectSelected(2, Plain(50, 40, QColor(200, 10, 30)));
        } else if (*c.refusal == 0) {
            EXPECT_TRUE(platform.messages.isEmpty());
            ExpectSelected(0, Plain(c.w, c.h, Qt::yellow));
        } else if (c.w == 2000) {  // the refused picture never stays
            ASSERT_EQ(platform.messages.size(), 2);
            EXPECT_EQ(platform.messages[1].title, "Fehler !");
            ExpectSelected(2, Plain(50, 40, QColor(200, 10, 30)));
        } else {
            ASSERT_EQ(platform.messages.size(), 1);
            EXPECT_EQ(platform.messages[0].title, c.refusal);
            EXPECT_EQ(platform.messages[0].text,
                      c.w == 0 ? "Fehler beim Laden der entsprechende BMP Datei. Alter Hintergrund "
                                 "wird jetzt geladen !!"
                               : "Die Größe der gewählten Grafikdatei wird nicht unterstützt . Es "
                                 "wird der Neue Hintergrund geladen");
            ExpectSelected(1, Plain(200, 120, Qt::blue));
        }
    }
}

}  // namespace
}  // namespace wf

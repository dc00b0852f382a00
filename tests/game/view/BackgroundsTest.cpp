#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "Backgrounds.h"
#include "NullGameHost.h"
#include "PictureSlots.h"
#include "ScriptedPlatform.h"
#include "Units.h"

namespace wf {
namespace {

class FakeHost : public NullGameHost {
  public:
    void SizeWindowToSurface(int widthPx, int heightPx) override {
        sizes.push_back(QSize(widthPx, heightPx));
    }
    void MenuChanged() override { ++menuChanges; }
    [[noreturn]] void EndProgram(int status) override {
        endStatus = status;
        NullGameHost::EndProgram(status);
    }

    std::vector<QSize> sizes;
    int menuChanges = 0;
    int endStatus = -1;
};

QImage Plain(int w, int h, QColor colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

class BackgroundsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        modDir_ = dir_.path() + "/mods/wald/";
        ASSERT_TRUE(QDir().mkpath(modDir_ + "Bilder"));
        ASSERT_TRUE(Plain(200, 120, Qt::blue).save(modDir_ + "Bilder/Wiese.bmp", "BMP"));
        ASSERT_TRUE(Plain(201, 120, Qt::blue).save(modDir_ + "gross.bmp", "BMP"));

        SetPicture(1, "bilder\\WIESE.BMP", 200, 120);
        BackgroundDef& colour = state_.mod.backgrounds[2];
        colour.isPicture = false;
        colour.width = 50;
        colour.height = 40;
        colour.colour = QColor(200, 10, 30);
        SetPicture(3, "fehlt.bmp", 200, 120);
        SetPicture(4, "gross.bmp", 200, 120);  // declared smaller than the file
        state_.mod.backgroundCount = 4;

        for (int i = 1; i <= kLastFixedSlot; ++i)
            stores_.RESSOURCEN.NewSlot();
        *stores_.RESSOURCEN.SlotDC(kBackgroundSlot) = Plain(300, 200, Qt::green);
        stores_.RESSOURCEN.SetSlotSize(11, 100, 30);
        stores_.RESSOURCEN.SetSlotSize(15, 20, 50);
        SetTwipsPerPixel(15);
    }
    void TearDown() override { SetTwipsPerPixel(15); }

    void SetPicture(int i, const QByteArray& file, int w, int h) {
        BackgroundDef& b = state_.mod.backgrounds[i];
        b.isPicture = true;
        b.pictureFile = file;
        b.width = w;
        b.height = h;
    }
    QString OwnPicture(int w, int h) {
        const QString path = dir_.path() + QStringLiteral("/own%1x%2.bmp").arg(w).arg(h);
        EXPECT_TRUE(Plain(w, h, Qt::yellow).save(path, "BMP"));
        return path;
    }
    QImage Slot4() const { return *stores_.RESSOURCEN.SlotDC(kBackgroundSlot); }
    // The one checked entry: 1..10 for a preset, 0 for hgw, -1 for none or several.
    int CheckedEntry() const {
        QList<int> checked;
        for (int i = 1; i <= 10; ++i) {
            if (menu_.hinterg[i].checked)
                checked << i;
        }
        if (menu_.hgw.checked)
            checked << 0;
        return checked.size() == 1 ? checked[0] : -1;
    }

    ScriptedPlatform platform_;
    QTemporaryDir dir_;
    QString modDir_;
    GameState state_;
    MenuModel menu_;
    PictureStores stores_;
    FakeHost host_;
    Backgrounds& Make() {
        made_ = std::make_unique<Backgrounds>(state_, menu_, stores_, host_, modDir_);
        return *made_;
    }
    std::unique_ptr<Backgrounds> made_;
};

TEST_F(BackgroundsTest, PresetsLoadCheckAndSizeTheWindow) {
    // The picture is found by its stored name whatever its case and separators.
    const struct {
        int index;
        QImage picture;
    } cases[] = {{2, Plain(50, 40, QColor(200, 10, 30))}, {1, Plain(200, 120, Qt::blue)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        Make().hinterg_Click(c.index);
        EXPECT_TRUE(platform_.messages.isEmpty());
        EXPECT_EQ(Slot4(), c.picture);
        EXPECT_EQ(CheckedEntry(), c.index);
        EXPECT_EQ(state_.selectedBackground, c.index);
        EXPECT_EQ(host_.sizes.back(), c.picture.size());
    }
    EXPECT_EQ(host_.menuChanges, 2);
}

TEST_F(BackgroundsTest, MissingPresetFileKeepsEverything) {
    SetPicture(5, "..\\wiese.bmp", 200, 120);  // outside the MOD: never opened
    for (int index : {3, 5}) {
        SCOPED_TRACE(index);
        platform_.messages.clear();
        host_.sizes.clear();
        Make().hinterg_Click(2);
        const QImage before = Slot4();
        const int changes = host_.menuChanges;
        made_->hinterg_Click(index);
        ASSERT_EQ(platform_.messages.size(), 1);
        EXPECT_EQ(platform_.messages[0].title, "Fehler !");
        const QString stored = index == 3 ? "fehlt.bmp" : "..\\wiese.bmp";
        EXPECT_EQ(platform_.messages[0].text,
                  "Die Hintergrunddatei " + modDir_ + stored +
                      " wurde nicht gefunden ! Es wird die alte Einstellung benutzt.");
        EXPECT_EQ(Slot4(), before);
        EXPECT_EQ(CheckedEntry(), 2);
        EXPECT_EQ(host_.sizes.size(), 1u);  // only the colour background's
        EXPECT_EQ(host_.menuChanges, changes);
    }
}

TEST_F(BackgroundsTest, PresetOfAnotherSizeEndsTheProgram) {
    EXPECT_THROW(Make().hinterg_Click(4), ProgramExit);
    EXPECT_EQ(host_.endStatus, 1);
    ASSERT_EQ(platform_.messages.size(), 1);
    EXPECT_EQ(platform_.messages[0].title, "Fehler!");
    EXPECT_EQ(platform_.messages[0].text,
              "Unzulässige Veränderung der Größe der Hintergrund !!! Das Spiel wird beendet !!");
}

TEST_F(BackgroundsTest, IndexOutsideThePresetsIsIgnored) {
    for (int index : {0, 11, -1}) {
        Make().hinterg_Click(index);
        EXPECT_TRUE(platform_.messages.isEmpty());
        EXPECT_EQ(CheckedEntry(), 1);
        EXPECT_TRUE(host_.sizes.empty());
    }
}

TEST_F(BackgroundsTest, CancelledDialogChangesNothing) {
    const QImage before = Slot4();
    Make().hgw_Click(nullptr);
    ASSERT_EQ(platform_.fileDialogTitles.size(), 1);
    EXPECT_EQ(platform_.fileDialogTitles[0], "Hintergrundbild wählen");
    EXPECT_TRUE(platform_.messages.isEmpty());
    EXPECT_EQ(Slot4(), before);
    EXPECT_EQ(CheckedEntry(), 1);
    EXPECT_TRUE(host_.sizes.empty());
}

TEST_F(BackgroundsTest, OwnPictureWithinTheLimitsOrBackToBackground1) {
    // Screen 500 x 2400 px. At 1 twip per pixel the picture may be 400 x 250 at
    // most and 100 x 50 (slots 11 and 15) at least. At 15, 500 px are 7500 twips:
    // 7400 twips allow 493 px (7395), not 494 (7410). Size 0: not a picture.
    const QString tooLarge = "Nicht unterstützt !";
    const QString broken = "Fehler";
    const struct {
        int twipsPerPixel, w, h;
        QString refusal;
    } cases[] = {
        {1, 400, 250, ""},     {1, 401, 250, tooLarge}, {1, 400, 251, tooLarge}, {1, 100, 50, ""},
        {1, 99, 50, tooLarge}, {15, 493, 50, ""},       {15, 494, 50, tooLarge}, {15, 0, 0, broken},
    };
    host_.screen = QSize(500, 2400);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.twipsPerPixel << ": " << c.w << "x" << c.h);
        SetTwipsPerPixel(c.twipsPerPixel);
        Make().hinterg_Click(2);
        platform_.messages.clear();
        platform_.fileAnswers = {c.w ? OwnPicture(c.w, c.h) : dir_.path() + "/gibtsnicht.jpg"};
        made_->hgw_Click(nullptr);
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(platform_.messages.isEmpty());
            EXPECT_EQ(Slot4(), Plain(c.w, c.h, Qt::yellow));
            EXPECT_EQ(CheckedEntry(), 0);
            EXPECT_EQ(state_.selectedBackground, 0);
            EXPECT_EQ(host_.sizes.back(), QSize(c.w, c.h));
            continue;
        }
        ASSERT_EQ(platform_.messages.size(), 1);
        EXPECT_EQ(platform_.messages[0].title, c.refusal);
        EXPECT_EQ(platform_.messages[0].text,
                  c.refusal == broken
                      ? "Fehler beim Laden der entsprechende BMP Datei. Alter Hintergrund wird "
                        "jetzt geladen !!"
                      : "Die Größe der gewählten Grafikdatei wird nicht unterstützt . Es wird der "
                        "Neue Hintergrund geladen");
        EXPECT_EQ(Slot4(), Plain(200, 120, Qt::blue));  // background 1
        EXPECT_EQ(CheckedEntry(), 1);
        EXPECT_EQ(state_.selectedBackground, 1);
        EXPECT_EQ(host_.sizes.back(), QSize(200, 120));
    }
}

TEST_F(BackgroundsTest, RefusedOwnPictureNeverStaysWhenTheFallBackFails) {
    SetPicture(1, "fehlt.bmp", 200, 120);
    Make().hinterg_Click(2);
    const QImage before = Slot4();
    platform_.fileAnswers = {OwnPicture(2000, 2000)};
    made_->hgw_Click(nullptr);
    ASSERT_EQ(platform_.messages.size(), 2);
    EXPECT_EQ(platform_.messages[0].title, "Nicht unterstützt !");
    EXPECT_EQ(platform_.messages[1].title, "Fehler !");
    EXPECT_EQ(Slot4(), before);
    EXPECT_EQ(CheckedEntry(), 2);
    EXPECT_EQ(state_.selectedBackground, 2);
}

}  // namespace
}  // namespace wf

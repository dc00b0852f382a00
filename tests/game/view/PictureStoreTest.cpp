#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "PictureStore.h"

namespace wf {
namespace {

class PictureStoreTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    PictureStores stores;

    QString Picture(const QString& name, int w, int h, QColor colour,
                    QImage::Format format = QImage::Format_RGB32) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(colour);
        const QString path = dir.path() + "/" + name;
        img.convertToFormat(format).save(path, "PNG");
        return path;
    }
};

TEST_F(PictureStoreTest, NumbersSlotsPerStoreFromOne) {
    EXPECT_EQ(RES::NewSlot(stores, 0), 1);
    EXPECT_EQ(RES::NewSlot(stores, 0), 2);
    EXPECT_EQ(RES::NewSlot(stores, 1), 1);
    EXPECT_EQ(RES::NewSlot(stores, 0), 3);
    EXPECT_EQ(stores.RESSOURCEN.SlotCount(), 3);
    EXPECT_EQ(stores.RESSOURCEN2.SlotCount(), 1);
    EXPECT_FALSE(stores.RESSOURCEN.HasSlot(0));  // element 0 is never a slot
    EXPECT_EQ(RES::SlotDC(stores, 0, 0), nullptr);
    EXPECT_EQ(RES::SlotDC(stores, 0, 4), nullptr);
}

TEST_F(PictureStoreTest, AnyOtherStoreYieldsNothing) {
    const QString path = Picture("a.png", 3, 3, Qt::red);
    RES::NewSlot(stores, 0);
    for (int store : {2, -1, 255}) {
        EXPECT_EQ(RES::NewSlot(stores, store), 0) << store;
        EXPECT_EQ(RES::LoadSlotPicture(stores, store, 1, path), 0) << store;
        EXPECT_EQ(RES::SlotDC(stores, store, 1), nullptr) << store;
    }
    EXPECT_EQ(stores.RESSOURCEN.SlotCount(), 1);
    EXPECT_EQ(stores.RESSOURCEN.SlotWidth(1), 0);  // nothing was loaded
}

TEST_F(PictureStoreTest, LoadsByContentWhateverTheName) {
    RES::NewSlot(stores, 0);
    const QString path = Picture("Vogel.jpg", 7, 5, QColor(10, 20, 30), QImage::Format_Indexed8);
    ASSERT_EQ(RES::LoadSlotPicture(stores, 0, 1, path), 1);
    const QImage* slot = RES::SlotDC(stores, 0, 1);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->size(), QSize(7, 5));
    EXPECT_EQ(slot->format(), QImage::Format_RGB32);  // what the blits expect
    EXPECT_EQ(slot->pixel(3, 2), qRgb(10, 20, 30));
}

TEST_F(PictureStoreTest, AFailedLoadKeepsTheSlot) {
    RES::NewSlot(stores, 0);
    ASSERT_EQ(RES::LoadSlotPicture(stores, 0, 1, Picture("a.png", 4, 6, Qt::blue)), 1);

    QFile text(dir.path() + "/kaputt.jpg");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("kein Bild");
    text.close();
    // Wider than any picture may be.
    const QString wide = Picture("breit.png", 8193, 1, Qt::red);
    for (const QString& bad : {dir.path() + "/fehlt.jpg", text.fileName(), QString(), wide}) {
        EXPECT_EQ(RES::LoadSlotPicture(stores, 0, 1, bad), 0) << bad.toStdString();
        EXPECT_EQ(RES::SlotDC(stores, 0, 1)->size(), QSize(4, 6));
        EXPECT_EQ(RES::SlotDC(stores, 0, 1)->pixel(0, 0), qRgb(0, 0, 255));
    }
    // A slot that does not exist yet is not created by loading.
    EXPECT_EQ(RES::LoadSlotPicture(stores, 0, 2, Picture("b.png", 2, 2, Qt::red)), 0);
    EXPECT_EQ(stores.RESSOURCEN.SlotCount(), 1);
}

TEST_F(PictureStoreTest, ASlotStaysWhereItIsWhenMoreAreAdded) {
    // Callers hold a slot's picture while they create further slots (the
    // working copies are made that way).
    PictureStore& store = stores.RESSOURCEN;
    store.NewSlot();
    QImage* first = store.SlotDC(1);
    store.SetSlotSize(1, 3, 3);
    for (int i = 0; i < 80; ++i)
        store.NewSlot();
    EXPECT_EQ(store.SlotDC(1), first);
    EXPECT_EQ(first->width(), 3);
}

}  // namespace
}  // namespace wf

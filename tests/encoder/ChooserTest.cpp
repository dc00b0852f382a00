// The MOD chooser shows the names as game.ini holds them (Windows-1252).
#include <gtest/gtest.h>

#include <QListWidget>

#include "frmMODwaehlen.h"

namespace wf {
namespace {

TEST(Chooser, ListsTheModsInOrder) {
    frmMODwaehlen chooser({"wolkfng4", "Wiese \xE4", "geheim"}, {"", "", "code"});
    EXPECT_EQ(chooser.windowTitle(), QStringLiteral("Mods"));
    ASSERT_EQ(chooser.List1->count(), 3);
    EXPECT_EQ(chooser.List1->item(1)->text(), QStringLiteral("Wiese ä"));
    frmMODwaehlen empty({}, {});
    EXPECT_EQ(empty.List1->count(), 0);
}

}  // namespace
}  // namespace wf

// The MOD chooser on its own: listing, refusing an encoded MOD, closing.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "ScriptedPlatform.h"
#include "frmMODwaehlen.h"

namespace wf {
namespace {

TEST(Chooser, ListsTheModsInOrder) {
    frmMODwaehlen chooser({"wolkfng4", "Wiese \xE4", "geheim"}, {"", "", "code"});
    EXPECT_EQ(chooser.windowTitle(), QStringLiteral("Mods"));
    ASSERT_EQ(chooser.List1->count(), 3);
    EXPECT_EQ(chooser.List1->item(1)->text(), QStringLiteral("Wiese ä"));
    EXPECT_EQ(chooser.Command1->text(), QStringLiteral("OK"));
    EXPECT_EQ(chooser.Command2->text(), QStringLiteral("Abbrechen"));
    frmMODwaehlen empty({}, {});
    EXPECT_EQ(empty.List1->count(), 0);
}

TEST(Chooser, OkChoosesOrRefuses) {
    struct Case {
        const char* what;
        int row;  // -1: nothing selected
        bool staysOpen;
        QString chosen;
        int messages;
    };
    const Case cases[] = {
        {"plain MOD", 0, false, QStringLiteral("wolkfng4"), 0},
        {"encoded MOD", 2, true, QString(), 1},
        {"nothing selected", -1, false, QString(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPlatform platform;
        frmMODwaehlen chooser({"wolkfng4", "wiese", "geheim"}, {"", "", "code"});
        QString chosen;
        QObject::connect(&chooser, &frmMODwaehlen::modChosen,
                         [&chosen](const QString& n) { chosen = n; });
        int finished = 0;
        QObject::connect(&chooser, &QDialog::finished, [&finished] { ++finished; });
        chooser.show();
        if (c.row >= 0)
            chooser.List1->setCurrentRow(c.row);
        chooser.Command1_Click();
        EXPECT_EQ(chooser.isVisible(), c.staysOpen);
        EXPECT_EQ(finished, c.staysOpen ? 0 : 1);
        EXPECT_EQ(chosen, c.chosen);
        ASSERT_EQ(platform.messages.size(), c.messages);
        if (c.messages) {
            EXPECT_EQ(platform.messages[0].title, QStringLiteral("Codiert"));
            EXPECT_EQ(platform.messages[0].text,
                      QStringLiteral("Ein codiertes MOD kann nicht noch mal codiert werden !"));
            EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
        }
    }
}

TEST(Chooser, AbbrechenChoosesNothing) {
    frmMODwaehlen chooser({"wolkfng4"}, {""});
    bool chosen = false;
    QObject::connect(&chooser, &frmMODwaehlen::modChosen, [&chosen] { chosen = true; });
    chooser.show();
    chooser.List1->setCurrentRow(0);
    chooser.Command2_Click();
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_FALSE(chosen);
}

}  // namespace
}  // namespace wf

// The MOD manager window, answered through the scripted platform, and the
// list of installed MODs it shows.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>

#include "Form9.h"
#include "GameFiles.h"
#include "ModList.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

using test::Lines;

TEST(Form9, ButtonsStartOnlyAHandableModAndChangeNothing) {
    ScriptedPlatform platform;
    test::GameFiles game;
    QWidget main;
    // ModName2 is missing and so lists as an empty line.
    game.Write("game.ini", Lines{"[Mods]", "ModAnzahl=8", "ModName1=v1.0..2", "ModName3=wald see",
                                 "ModName4=../wald", "ModName5=wald/see", "ModName6=wald\\see",
                                 "ModName7=..", "ModName8=W\xFCste"});
    const auto before = game.Snapshot();
    Form9 form(&main, game.Path());
    form.show();
    ASSERT_EQ(form.List1->count(), 8);
    const auto click = [&](QPushButton* button, int row) {
        platform.messages.clear();
        form.List1->setCurrentRow(row);
        button->click();
        EXPECT_LE(platform.messages.size(), 1);
        return platform.messages.isEmpty() ? QString() : platform.messages[0].text;
    };
    const QString choose = QStringLiteral("Wählen sie bitte ein MOD aus !!!");
    EXPECT_EQ(click(form.Command1, -1), choose);
    EXPECT_EQ(click(form.Command2, -1), choose);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_EQ(click(form.Command2, 0),
              "Funktion wird derzeit noch nichtunterstützt warten sie auf die nächste Alpha !!");
    EXPECT_EQ(platform.messages[0].title, "Funktion");
    EXPECT_FALSE(click(form.Command1, 1).isEmpty());
    for (int row = 2; row < 7; ++row) {
        EXPECT_EQ(click(form.Command1, row),
                  "Der Name des MODs '" + form.List1->item(row)->text() +
                      "' enthält Leerzeichen, Pfadtrenner oder '..' und kann nicht gestartet "
                      "werden.");
    }
    EXPECT_TRUE(platform.processes.isEmpty());
    EXPECT_EQ(game.Snapshot(), before);
    // A start that fails keeps the program and the window; one that works ends it.
    platform.startProcessResult = false;
    EXPECT_FALSE(click(form.Command1, 0).isEmpty());
    EXPECT_TRUE(platform.exits.isEmpty() && form.isVisible());
    platform.startProcessResult = true;
    for (const int row : {0, 7}) {
        form.List1->setCurrentRow(row);
        EXPECT_THROW(form.Command1_Click(), ProgramExit);
        EXPECT_EQ(platform.processes.last().program, QCoreApplication::applicationFilePath());
        EXPECT_EQ(platform.processes.last().arguments,
                  QStringList({"-mod:" + form.List1->item(row)->text()}));
        EXPECT_EQ(platform.exits.last(), 0);
    }
    EXPECT_EQ(form.List1->item(7)->text(), QString::fromUtf8("Wüste"));
}

TEST(ReadModList, CountRules) {
    test::GameFiles game;
    const QString ini = game.Path("game.ini");
    EXPECT_TRUE(ReadModList(ini).isEmpty());  // no file at all
    Lines many;
    for (int k = 1; k <= 150; ++k)
        many << "m" + QByteArray::number(k);
    game.Write("game.ini", test::ModList(many));
    const QStringList names = ReadModList(ini);
    ASSERT_EQ(names.size(), 99);
    EXPECT_EQ(names.last(), "m99");
    const std::pair<QByteArray, QStringList> table[] = {
        {"modanzahl= 2 ", {"a", "b"}}, {"ModAnzahl=-1", {}},
        {"ModAnzahl=0", {}},           {"; keine", {}},
        {"ModAnzahl=2x", {}},          {"ModAnzahl=4", {"a", "b", "", ""}}};
    for (const auto& [count, expected] : table) {
        game.Write("game.ini", Lines{"[mods]", count, "ModName1=a", "ModName2=b"});
        const QStringList read = ReadModList(ini);
        EXPECT_EQ(std::vector<QString>(read.begin(), read.end()),
                  std::vector<QString>(expected.begin(), expected.end()))
            << count.toStdString();
    }
}

}  // namespace
}  // namespace wf

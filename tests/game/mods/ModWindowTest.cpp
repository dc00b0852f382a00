// The MOD window, answered through the scripted platform.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>

#include "GameFiles.h"
#include "ModWindow.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

using test::Lines;

TEST(ModWindow, ButtonsStartOnlyAHandableModAndChangeNothing) {
    ScriptedPlatform platform;
    test::GameFiles game;
    QWidget main;
    // ModName2 is missing and so lists as an empty line.
    game.Write("game.ini", Lines{"[Mods]", "ModAnzahl=8", "ModName1=v1.0..2", "ModName3=wald see",
                                 "ModName4=../wald", "ModName5=wald/see", "ModName6=wald\\see",
                                 "ModName7=..", "ModName8=W\xFCste"});
    const auto before = game.Snapshot();
    ModWindow form(&main, game.Path());
    form.show();
    ASSERT_EQ(form.modList->count(), 8);
    const auto click = [&](QPushButton* button, int row) {
        platform.messages.clear();
        form.modList->setCurrentRow(row);
        button->click();
        EXPECT_LE(platform.messages.size(), 1);
        return platform.messages.isEmpty() ? QString() : platform.messages[0].text;
    };
    const QString choose = QStringLiteral("Wählen sie bitte ein MOD aus !!!");
    EXPECT_EQ(click(form.switchButton, -1), choose);
    EXPECT_EQ(click(form.removeButton, -1), choose);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_EQ(click(form.removeButton, 0),
              "Funktion wird derzeit noch nichtunterstützt warten sie auf die nächste Alpha !!");
    EXPECT_EQ(platform.messages[0].title, "Funktion");
    EXPECT_FALSE(click(form.switchButton, 1).isEmpty());
    for (int row = 2; row < 7; ++row) {
        EXPECT_EQ(click(form.switchButton, row),
                  "Der Name des MODs '" + form.modList->item(row)->text() +
                      "' enthält Leerzeichen, Pfadtrenner oder '..' und kann nicht gestartet "
                      "werden.");
    }
    EXPECT_TRUE(platform.processes.isEmpty());
    EXPECT_EQ(game.Snapshot(), before);
    // A start that fails keeps the program and the window; one that works ends it.
    platform.startProcessResult = false;
    EXPECT_FALSE(click(form.switchButton, 0).isEmpty());
    EXPECT_TRUE(platform.exits.isEmpty() && form.isVisible());
    platform.startProcessResult = true;
    for (const int row : {0, 7}) {
        form.modList->setCurrentRow(row);
        EXPECT_THROW(form.SwitchToSelected(), ProgramExit);
        EXPECT_EQ(platform.processes.last().program, QCoreApplication::applicationFilePath());
        EXPECT_EQ(platform.processes.last().arguments,
                  QStringList({"-mod:" + form.modList->item(row)->text()}));
        EXPECT_EQ(platform.exits.last(), 0);
    }
    EXPECT_EQ(form.modList->item(7)->text(), QString::fromUtf8("Wüste"));
}

// An archive the player chooses: installed and listed; the same name again
// asks, and "Nein" keeps the installed MOD as it is.
TEST(ModWindow, InstallsAnArchiveAndAsksBeforeReplacing) {
    ScriptedPlatform platform;
    test::GameFiles game, source;
    QWidget main;
    game.WriteGame();
    source.WriteMod("meinmod", test::MakeMod());
    const QString archive = source.Path("meinmod.tar.gz");
    ASSERT_EQ(QProcess::execute("tar", {"-czf", archive, "-C", source.Path("mods"), "meinmod"}), 0);
    ModWindow form(&main, game.Path());
    form.show();
    for (const auto& [answer, installed] :
         {std::pair{MsgResult::Yes, true}, {MsgResult::No, false}, {MsgResult::Yes, true}}) {
        platform.messages.clear();
        platform.fileAnswers = {archive};
        platform.messageAnswers = {answer};
        if (game.Exists("mods/meinmod"))  // gone when the MOD is replaced
            game.Write("mods/meinmod/eigenes.txt", QByteArray("x"));
        const auto before = game.Snapshot();
        form.installButton->click();
        ASSERT_FALSE(form.modList->findItems("meinmod", Qt::MatchExactly).isEmpty());
        EXPECT_EQ(platform.messages.last().text.contains("ist installiert"), installed)
            << platform.messages.last().text.toStdString();
        EXPECT_EQ(game.Snapshot() == before, !installed) << "answer " << int(answer);
    }
}

}  // namespace
}  // namespace wf

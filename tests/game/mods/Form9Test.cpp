// The MOD manager window, answered through the scripted platform.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "Form9.h"
#include "ModFiles.h"
#include "ModList.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

using test::JoinLines;
using test::Snapshot;
using test::WriteFile;

const QString kChoose = QStringLiteral("Wählen sie bitte ein MOD aus !!!");

class Form9Test : public ::testing::Test {
  protected:
    void WriteGameIni(const QStringList& modsLines) {
        WriteFile(dir.path(), "game.ini",
                  JoinLines(QStringList{"[game]", "werbung=ja"} + modsLines));
    }
    void Select(Form9& form, int row) {
        form.List1->setCurrentRow(row);
        ASSERT_EQ(form.List1->selectedItems().size(), 1);
    }
    QStringList Lines(const Form9& form) {
        QStringList lines;
        for (int i = 0; i < form.List1->count(); ++i)
            lines << form.List1->item(i)->text();
        return lines;
    }

    QTemporaryDir dir;
    QWidget main;
    ScriptedPlatform platform;
};

TEST_F(Form9Test, SwitchStartsTheProgramWithTheSelectedModAndEnds) {
    WriteGameIni({"[Mods]", "ModAnzahl=3", "ModName1=wald", "ModName2=see", "ModName3=berg"});
    Form9 form(&main, dir.path());
    form.show();
    EXPECT_EQ(form.windowTitle(), "MODs");
    EXPECT_EQ(Lines(form), QStringList({"wald", "see", "berg"}));
    Select(form, 1);
    EXPECT_THROW(form.Command1_Click(), ProgramExit);
    ASSERT_EQ(platform.processes.size(), 1);
    EXPECT_EQ(platform.processes[0].program, QCoreApplication::applicationFilePath());
    EXPECT_EQ(platform.processes[0].arguments, QStringList({"-mod:see"}));
    EXPECT_EQ(platform.exits, QList<int>({0}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Form9Test, PlainNamesAreHandedOverAsWindows1252Text) {
    WriteFile(dir.path(), "game.ini",
              "[Mods]\r\nModAnzahl=2\r\nModName1=W\xFCste\r\nModName2=v1.0..2\r\n");
    Form9 form(&main, dir.path());
    form.show();
    const QString expected[] = {"-mod:Wüste", "-mod:v1.0..2"};
    for (int row = 0; row < 2; ++row) {
        Select(form, row);
        EXPECT_THROW(form.Command1_Click(), ProgramExit);
        ASSERT_EQ(platform.processes.size(), row + 1);
        EXPECT_EQ(platform.processes[row].arguments, QStringList({expected[row]}));
    }
}

TEST_F(Form9Test, WithoutAUsableCountBothButtonsAskForASelection) {
    for (const QString count : {"ModAnzahl=0", "ModAnzahl=abc", "ModAnzahl=", "; keine"}) {
        SCOPED_TRACE(count.toStdString());
        platform.messages.clear();
        WriteGameIni({"[Mods]", count, "ModName1=wald"});
        Form9 form(&main, dir.path());
        form.show();
        EXPECT_EQ(form.List1->count(), 0);
        form.Command1->click();
        form.Command2->click();
        ASSERT_EQ(platform.messages.size(), 2);
        for (const ShownMessage& m : platform.messages) {
            EXPECT_EQ(m.title, "Fehler");
            EXPECT_EQ(m.text, kChoose);
        }
        EXPECT_TRUE(form.isVisible());
    }
    EXPECT_TRUE(platform.processes.isEmpty());
    EXPECT_TRUE(platform.exits.isEmpty());
}

TEST_F(Form9Test, NoSelectionAsksForOne) {
    WriteGameIni({"[Mods]", "ModAnzahl=2", "ModName1=wald", "ModName2=see"});
    Form9 form(&main, dir.path());
    form.show();
    form.List1->clearSelection();
    form.Command1_Click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text, kChoose);
    EXPECT_TRUE(platform.processes.isEmpty());
}

TEST_F(Form9Test, RemoveOnlyReportsAndChangesNoFile) {
    WriteGameIni({"[Mods]", "ModAnzahl=2", "ModName1=wald", "ModName2=see"});
    WriteFile(dir.path(), "mods/see/config.ini", "[game]\r\ntype=code\r\n");
    const auto before = Snapshot(dir.path());
    Form9 form(&main, dir.path());
    form.show();
    Select(form, 1);
    form.Command2->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Funktion");
    EXPECT_EQ(platform.messages[0].text,
              "Funktion wird derzeit noch nichtunterstützt warten sie auf die nächste Alpha !!");
    EXPECT_EQ(Snapshot(dir.path()), before);
    EXPECT_EQ(Lines(form), QStringList({"wald", "see"}));
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Form9Test, NamesThatCannotBeHandedOverKeepTheWindowOpen) {
    // ModName2 is missing and so lists as an empty line.
    WriteGameIni({"[Mods]", "ModAnzahl=6", "ModName1=wald see", "ModName3=../wald",
                  "ModName4=wald/see", "ModName5=wald\\see", "ModName6=.."});
    Form9 form(&main, dir.path());
    form.show();
    ASSERT_EQ(form.List1->count(), 6);
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        platform.messages.clear();
        Select(form, row);
        form.Command1_Click();
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].title, "Fehler");
        const QString name = form.List1->item(row)->text();
        if (!name.isEmpty()) {
            EXPECT_EQ(platform.messages[0].text,
                      "Der Name des MODs '" + name +
                          "' enthält Leerzeichen, Pfadtrenner oder '..' und kann nicht "
                          "gestartet werden.");
        }
        EXPECT_TRUE(form.isVisible());
    }
    EXPECT_TRUE(platform.processes.isEmpty());
    EXPECT_TRUE(platform.exits.isEmpty());
}

TEST_F(Form9Test, AFailedStartKeepsTheProgramRunning) {
    WriteGameIni({"[Mods]", "ModAnzahl=1", "ModName1=wald"});
    platform.startProcessResult = false;
    Form9 form(&main, dir.path());
    form.show();
    Select(form, 0);
    form.Command1_Click();
    EXPECT_EQ(platform.processes.size(), 1);
    EXPECT_TRUE(platform.exits.isEmpty());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Fehler");
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Form9Test, EveryOpeningReadsTheSettingsAnew) {
    WriteGameIni({"[Mods]", "ModAnzahl=1", "ModName1=wald"});
    Form9 form(&main, dir.path());
    form.show();
    form.close();
    WriteGameIni({"[Mods]", "ModAnzahl=2", "ModName1=berg", "ModName2=see"});
    form.show();
    EXPECT_EQ(Lines(form), QStringList({"berg", "see"}));
}

TEST(ReadModList, CountRules) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/game.ini";
    EXPECT_TRUE(ReadModList(ini).isEmpty());  // no file at all

    QStringList many = {"[mods]", "modanzahl=150"};
    for (int k = 1; k <= 150; ++k)
        many << QString("ModName%1=m%1").arg(k);
    WriteFile(dir.path(), "game.ini", JoinLines(many));
    const QStringList names = ReadModList(ini);
    ASSERT_EQ(names.size(), 99);
    EXPECT_EQ(names.first(), "m1");
    EXPECT_EQ(names.last(), "m99");

    const std::vector<std::pair<QString, QStringList>> table = {
        {"ModAnzahl=2", {"a", "b"}},
        {"ModAnzahl= 2 ", {"a", "b"}},
        {"ModAnzahl=-1", {}},
        {"ModAnzahl=2x", {}},
        {"ModAnzahl=4", {"a", "b", "", ""}}};
    for (const auto& [count, expected] : table) {
        WriteFile(dir.path(), "game.ini", JoinLines({"[Mods]", count, "ModName1=a", "ModName2=b"}));
        EXPECT_EQ(ReadModList(ini), expected) << count.toStdString();
    }
}

}  // namespace
}  // namespace wf

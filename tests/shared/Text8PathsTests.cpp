// 8-bit texts, names stored in MOD files and the game directory.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Paths.h"
#include "Text8.h"

namespace wf {
namespace {

TEST(Text8, Windows1252BothWaysUnmappableCharactersBecomeQuestionMarks) {
    const QString text = QStringLiteral("äöüß € ÄÖÜ Größe");
    EXPECT_EQ(ToText8(text),
              "\xe4\xf6\xfc\xdf \x80 \xc4\xd6\xdc Gr\xf6\xdf"
              "e");
    EXPECT_EQ(FromText8(ToText8(text)), text);
    EXPECT_EQ(ToText8(QStringLiteral("a\u0416b")), "a?b");               // Cyrillic Zhe
    EXPECT_EQ(ToText8(QString::fromUtf8("x\xf0\x9f\x98\x80y")), "x?y");  // one surrogate pair
}

TEST(StoredPath, FindsStoredNamesInAnyCaseAndRefusesNamesOutsideTheDirectory) {
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(QDir().mkpath(base + "/Bilder/Wald"));
    for (const QString name : {"Bilder/Wald/Baum.BMP", "config.ini", "Gr\u00f6\u00dfe.bmp"})
        ASSERT_TRUE(QFile(base + "/" + name).open(QIODevice::WriteOnly));
    struct Case {
        QByteArray stored;
        QString found;  // "": refused
    };
    std::vector<Case> cases = {
        {"CONFIG.INI", "/config.ini"},
        {"bilder\\wald\\baum.bmp", "/Bilder/Wald/Baum.BMP"},
        {".\\Bilder/WALD\\\\Baum.bmp", "/Bilder/Wald/Baum.BMP"},
        {"gr\326\337e.BMP", "/Gr\u00f6\u00dfe.bmp"},   // stored in 8-bit text
        {"bilder\\nichts.bmp", "/bilder/nichts.bmp"},  // missing: the name as given
        {"..x\\y..bmp", "/..x/y..bmp"},
    };
    // Names outside the directory are refused.
    QList<QByteArray> refused =
        QByteArray(
            "|..\\config.ini|Bilder\\..\\..\\x|..|a/../b|/etc/passwd|\\config.ini|"
            "\\\\server\\share|C:\\x.bmp|c:x.bmp|.")
            .split('|');
    for (const QByteArray& stored : refused << QByteArray("con\0fig.ini", 11))
        cases.push_back({stored, QString()});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        EXPECT_EQ(IsSafeStoredName(c.stored), !c.found.isEmpty());
        for (const QString& within : {base, base + "/"})
            EXPECT_EQ(JoinStoredPath(within, c.stored), c.found.isEmpty() ? "" : base + c.found);
    }
}

// WOLKENFANG_DIR, when set, names the game directory; it is made absolute so
// that a restarted game or the encoder finds the same one.
TEST(GameDirectory, FromTheVariableOrBesideTheProgram) {
    const QByteArray saved = qgetenv(kGameDirectoryVariable);
    const bool wasSet = qEnvironmentVariableIsSet(kGameDirectoryVariable);
    for (auto [value, expected] :
         {std::pair<const char*, QString>{nullptr, "/opt/spiel"},
          {"", "/opt/spiel"},
          {"/home/anna/.local/share/wolkenfang/", "/home/anna/.local/share/wolkenfang"},
          {"/a/./b/../c", "/a/c"},
          {"eigen/spiel", QDir::currentPath() + "/eigen/spiel"}}) {
        value ? qputenv(kGameDirectoryVariable, value) : qunsetenv(kGameDirectoryVariable);
        EXPECT_EQ(GameDirectory("/opt/spiel"), expected) << (value ? value : "(not set)");
    }
    wasSet ? qputenv(kGameDirectoryVariable, saved) : qunsetenv(kGameDirectoryVariable);
}

}  // namespace
}  // namespace wf

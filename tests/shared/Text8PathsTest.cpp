#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Paths.h"
#include "Text8.h"

namespace wf {
namespace {

TEST(Text8, Windows1252RoundTrip) {
    const QString text = QStringLiteral("äöüß € ÄÖÜ Größe");
    const QByteArray bytes = ToText8(text);
    EXPECT_EQ(bytes, QByteArray("\xe4\xf6\xfc\xdf \x80 \xc4\xd6\xdc Gr\xf6\xdf"
                                "e"));
    EXPECT_EQ(FromText8(bytes), text);
}

TEST(Text8, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(ToText8(QStringLiteral("a\u0416b")), "a?b");               // Cyrillic Zhe
    EXPECT_EQ(ToText8(QString::fromUtf8("x\xf0\x9f\x98\x80y")), "x?y");  // one surrogate pair
    EXPECT_EQ(ToText8(QString()), "");
}

class StoredPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Bilder/Wald")));
        Touch("Bilder/Wald/Baum.BMP");
        Touch("config.ini");
        Touch("Gr\u00f6\u00dfe.bmp");
    }
    void Touch(const QString& rel) {
        QFile f(dir_.filePath(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString Base() const { return dir_.path(); }
    QTemporaryDir dir_;
};

TEST_F(StoredPathTest, FindsStoredNames) {
    const struct {
        QByteArray stored;
        QString expected;
    } cases[] = {
        {"config.ini", "config.ini"},
        {"CONFIG.INI", "config.ini"},
        {"bilder\\wald\\baum.bmp", "Bilder/Wald/Baum.BMP"},
        {"Bilder/WALD\\Baum.bmp", "Bilder/Wald/Baum.BMP"},
        {".\\Bilder\\Wald\\Baum.BMP", "Bilder/Wald/Baum.BMP"},
        {"gr\xd6\xdf"
         "e.BMP",
         "Gr\u00f6\u00dfe.bmp"},  // stored in 8-bit text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        EXPECT_EQ(JoinStoredPath(Base(), c.stored), Base() + "/" + c.expected);
        EXPECT_EQ(JoinStoredPath(Base() + "/", c.stored), Base() + "/" + c.expected);
    }
}

TEST_F(StoredPathTest, MissingNameGivesTheExactPath) {
    EXPECT_EQ(JoinStoredPath(Base(), "bilder\\nichts.bmp"), Base() + "/bilder/nichts.bmp");
    EXPECT_FALSE(QFile::exists(JoinStoredPath(Base(), "bilder\\nichts.bmp")));
}

TEST_F(StoredPathTest, RefusesNamesOutsideTheDirectory) {
    const QByteArray refused[] = {
        "",
        "..\\config.ini",
        "Bilder\\..\\..\\x",
        "..",
        "a/../b",
        "/etc/passwd",
        "\\config.ini",
        "\\\\server\\share",
        "C:\\x.bmp",
        "c:x.bmp",
        QByteArray("con\0fig.ini", 11),
    };
    for (const QByteArray& name : refused) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(IsSafeStoredName(name));
        EXPECT_EQ(JoinStoredPath(Base(), name), "");
    }
    EXPECT_TRUE(IsSafeStoredName("..x\\y..bmp"));
    EXPECT_NE(JoinStoredPath(Base(), "..x\\y..bmp"), "");
}

// WOLKENFANG_DIR, when set, names the game directory; it is made absolute so
// that a restarted game or the encoder finds the same one.
TEST(GameDirectory, FromTheVariableOrBesideTheProgram) {
    const QByteArray saved = qgetenv(kGameDirectoryVariable);
    const bool wasSet = qEnvironmentVariableIsSet(kGameDirectoryVariable);
    const struct {
        const char* value;  // nullptr: not set
        QString expected;
    } cases[] = {
        {nullptr, "/opt/spiel"},
        {"", "/opt/spiel"},
        {"/home/anna/.local/share/wolkenfang/", "/home/anna/.local/share/wolkenfang"},
        {"/a/./b/../c", "/a/c"},
        {"eigen/spiel", QDir::currentPath() + "/eigen/spiel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(not set)");
        if (c.value)
            qputenv(kGameDirectoryVariable, c.value);
        else
            qunsetenv(kGameDirectoryVariable);
        EXPECT_EQ(GameDirectory("/opt/spiel"), c.expected);
    }
    if (wasSet)
        qputenv(kGameDirectoryVariable, saved);
    else
        qunsetenv(kGameDirectoryVariable);
}

}  // namespace
}  // namespace wf

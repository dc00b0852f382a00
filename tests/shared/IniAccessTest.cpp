#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QTemporaryDir>

#include "IniAccess.h"

namespace wf {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(content), content.size());
}

class IniFileTest : public ::testing::Test {
  protected:
    QString Write(const QByteArray& content) {
        const QString path = dir_.filePath(QStringLiteral("test%1.ini").arg(++count_));
        WriteAll(path, content);
        return path;
    }
    QTemporaryDir dir_;
    int count_ = 0;
};

struct ReadCase {
    const char* what;
    QByteArray content;
    QByteArray section;
    QByteArray key;
    QByteArray text;
    int32_t number;
};

TEST_F(IniFileTest, ReadsValuesByProfileRules) {
    const QByteArray longValue(300, 'x');
    const ReadCase cases[] = {
        {"plain", "[game]\r\ntype=code\r\n", "game", "type", "code", 0},
        {"section case", "[Game]\r\ntype=code\r\n", "GAME", "type", "code", 0},
        {"key case", "[game]\r\nTyPe=code\r\n", "game", "TYPE", "code", 0},
        {"blanks around names and value", "[ game ]\r\n\t type \t=  code word \t\r\n", "game",
         "type", "code word", 0},
        {"LF only", "[a]\nk=v\n[b]\nk=w\n", "b", "k", "w", 0},
        {"no line end at the end", "[a]\r\nk=last", "a", "k", "last", 0},
        {"first section counts", "[a]\r\nk=1\r\n[A]\r\nk=2\r\nj=3\r\n", "a", "j", "", 0},
        {"first key counts", "[a]\r\nk=1\r\nK=2\r\n", "a", "k", "1", 1},
        {"key of another section", "[a]\r\nk=1\r\n[b]\r\n", "b", "k", "", 0},
        {"key before any section", "k=1\r\n[a]\r\n", "a", "k", "", 0},
        {"comment line", "[a]\r\n;k=1\r\n k=2\r\n", "a", "k", "2", 2},
        {"commented key only", "[a]\r\n ; k=1\r\n", "a", "k", "", 0},
        {"double quotes", "[a]\r\nk=\" spaced \"\r\n", "a", "k", " spaced ", 0},
        {"single quotes", "[a]\r\nk='x'\r\n", "a", "k", "x", 0},
        {"unmatched quotes stay", "[a]\r\nk=\"x'\r\n", "a", "k", "\"x'", 0},
        {"single quote char stays", "[a]\r\nk=\"\r\n", "a", "k", "\"", 0},
        {"equals in value", "[a]\r\nk=x=y\r\n", "a", "k", "x=y", 0},
        {"empty value", "[a]\r\nk=\r\n", "a", "k", "", 0},
        {"missing section", "[a]\r\nk=1\r\n", "b", "k", "", 0},
        {"long value cut", "[a]\r\nk=" + longValue + "\r\n", "a", "k", longValue.left(254), 0},
        {"number with letters", "[a]\r\nk=12abc\r\n", "a", "k", "12abc", 12},
        {"letters only", "[a]\r\nk=abc\r\n", "a", "k", "abc", 0},
        {"blank before number", "[a]\r\nk=  42\r\n", "a", "k", "42", 42},
        {"minus sign is no digit", "[a]\r\nk=-5\r\n", "a", "k", "-5", 0},
        {"quoted number", "[a]\r\nk=\"7\"\r\n", "a", "k", "7", 7},
        {"8-bit bytes kept", "[a]\r\nk=M\xfc\x80\r\n", "a", "k", "M\xfc\x80", 0},
        {"byte-order mark before the first section", "\xEF\xBB\xBF[game]\r\nk=5\r\n", "game", "k",
         "5", 5},
        {"byte-order mark only at the start", "[a]\r\n\xEF\xBB\xBFk=5\r\n", "a", "k", "", 0},
        {"CR only", "[a]\rk=1\r[b]\rk=2\r", "b", "k", "2", 2},
        {"CR only, value not swallowed", "[a]\rk=x\rj=y", "a", "k", "x", 0},
        {"mixed line ends", "[a]\r\nk=1\n[b]\rj=2\r\n", "b", "j", "2", 2},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = Write(c.content);
        EXPECT_EQ(ReadIniText(path, c.section, c.key), c.text);
        EXPECT_EQ(ReadIniNumber(path, c.section, c.key), c.number);
        EXPECT_EQ(ReadIniTextFromBytes(c.content, c.section, c.key), c.text);
        EXPECT_EQ(ReadIniNumberFromBytes(c.content, c.section, c.key), c.number);
    }
}

TEST_F(IniFileTest, MissingFileReadsAsEmpty) {
    const QString path = dir_.filePath("none.ini");
    EXPECT_EQ(ReadIniText(path, "a", "k"), "");
    EXPECT_FALSE(ReadIniText(path, "a", "k").isNull());
    EXPECT_EQ(ReadIniNumber(path, "a", "k"), 0);
}

TEST(LeadingNumber, ClampsInsteadOfOverflowing) {
    EXPECT_EQ(LeadingNumber("2147483647"), 2147483647);
    EXPECT_EQ(LeadingNumber("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(LeadingNumber("007x"), 7);
}

struct WriteCase {
    const char* what;
    QByteArray before;  // "<missing>" for no file
    QByteArray section;
    QByteArray key;
    QByteArray value;
    QByteArray after;
};

TEST_F(IniFileTest, WritesInPlaceAndKeepsEverythingElse) {
    const WriteCase cases[] = {
        {"new file", "<missing>", "Mods", "count", "2", "[Mods]\r\ncount=2\r\n"},
        {"new section appended", "[a]\r\nk=1\r\n", "b", "j", "x", "[a]\r\nk=1\r\n[b]\r\nj=x\r\n"},
        {"new section after unterminated line", "[a]\r\nk=1", "b", "j", "x",
         "[a]\r\nk=1\r\n[b]\r\nj=x\r\n"},
        {"new key after the section's last entry", "[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n", "A", "j",
         "x", "[a]\r\nk=1\r\nj=x\r\n\r\n[b]\r\nk=2\r\n"},
        {"new key in empty section", "[a]\r\n[b]\r\n", "a", "k", "v", "[a]\r\nk=v\r\n[b]\r\n"},
        {"value replaced in place", "; head\r\n[a]\r\n  K = old \r\nz=9\r\n", "a", "k", "new",
         "; head\r\n[a]\r\nK=new\r\nz=9\r\n"},
        {"first occurrence replaced", "[a]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\n", "a", "k", "x",
         "[a]\r\nk=x\r\nk=2\r\n[a]\r\nk=3\r\n"},
        {"commented key skipped", "[a]\r\n;k=1\r\nk=2\r\n", "a", "k", "x",
         "[a]\r\n;k=1\r\nk=x\r\n"},
        {"other line ends kept", "x\n[a]\nk=1\n[b]\r\nq=1\n", "a", "k", "2",
         "x\n[a]\nk=2\n[b]\r\nq=1\n"},
        {"8-bit bytes kept", "[a]\r\nn=\xe4\xf6\r\n", "a", "k", "\xfc",
         "[a]\r\nn=\xe4\xf6\r\nk=\xfc\r\n"},
        {"empty value", "[a]\r\nk=1\r\n", "a", "k", "", "[a]\r\nk=\r\n"},
        {"byte-order mark and CR-only lines kept", "\xEF\xBB\xBF[a]\rk=1\r[b]\rq=1", "a", "k", "2",
         "\xEF\xBB\xBF[a]\rk=2\r[b]\rq=1"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        QString path = dir_.filePath(QStringLiteral("w%1.ini").arg(++count_));
        if (c.before != "<missing>")
            WriteAll(path, c.before);
        ASSERT_TRUE(WriteIniText(path, c.value, c.section, c.key));
        EXPECT_EQ(ReadAll(path), c.after);
        EXPECT_EQ(ReadIniText(path, c.section, c.key), c.value);
    }
}

TEST_F(IniFileTest, RefusesWhatWouldBreakTheFile) {
    const QByteArray before = "[a]\r\nk=1\r\n";
    const struct {
        QByteArray section, key, value;
    } refused[] = {
        {"", "k", "v"},     {"a", "", "v"},      {"a", "k", "x\ny"}, {"a", "k", "x\r"},
        {"a]", "k", "v"},   {"a", "k=j", "v"},   {"a", ";k", "v"},   {"a", "[k]", "v"},
        {"a\nb", "k", "v"}, {"a", "k\r\n", "v"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE((r.section + "|" + r.key + "|" + r.value).toStdString());
        const QString path = Write(before);
        EXPECT_FALSE(WriteIniText(path, r.value, r.section, r.key));
        EXPECT_EQ(ReadAll(path), before);
    }
}

TEST_F(IniFileTest, FailureReportedWhenTheFileCannotBeReplaced) {
    // A directory where the file should be.
    const QString asDir = dir_.filePath("dir.ini");
    ASSERT_TRUE(QDir().mkpath(asDir));
    EXPECT_FALSE(WriteIniText(asDir, "1", "a", "k"));
    // A directory that does not exist.
    const QString inMissingDir = dir_.filePath("nope/game.ini");
    EXPECT_FALSE(WriteIniText(inMissingDir, "1", "a", "k"));
    EXPECT_FALSE(QFile::exists(inMissingDir));
    // A FIFO is neither read (that would wait for a writer) nor replaced; a
    // link is not written through.
    const QString fifo = dir_.filePath("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_FALSE(WriteIniText(fifo, "1", "a", "k"));
    const QString elsewhere = Write("[a]\r\nk=0\r\n");
    const QString link = dir_.filePath("link.ini");
    ASSERT_TRUE(QFile::link(elsewhere, link));
    EXPECT_FALSE(WriteIniText(link, "1", "a", "k"));
    EXPECT_EQ(ReadAll(elsewhere), "[a]\r\nk=0\r\n");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST_F(IniFileTest, ReadOnlyDirectoryLeavesTheOldFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not restrict root";
    const QString sub = dir_.filePath("ro");
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString path = sub + "/game.ini";
    const QByteArray before = "[a]\r\nk=1\r\n";
    WriteAll(path, before);
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    ASSERT_TRUE(QFile::setPermissions(sub, readOnly));
    const bool written = WriteIniText(path, "2", "a", "k");
    QFile::setPermissions(sub, readOnly | QFileDevice::WriteOwner);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(QDir(sub).entryList(QDir::Files), QStringList{"game.ini"});

    // A read-only file in a writable directory is not replaced either.
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    EXPECT_FALSE(WriteIniText(path, "2", "a", "k"));
    EXPECT_EQ(ReadAll(path), before);
}

}  // namespace
}  // namespace wf

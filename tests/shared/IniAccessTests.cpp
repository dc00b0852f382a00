// Reading and writing INI files by the profile rules, on real files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "IniAccess.h"
#include "ModRegistry.h"
#include "SafeFile.h"

namespace wf {
namespace {

QByteArray ReadAll(const QString& path) {  // empty when missing
    return ReadRegularFile(path, 1 << 20).bytes;
}

QString Write(const QTemporaryDir& dir, const QByteArray& content) {
    static int count = 0;
    QFile f(dir.filePath(QStringLiteral("test%1.ini").arg(++count)));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    return f.fileName();
}

TEST(IniAccess, ReadsValuesByProfileRules) {
    QTemporaryDir dir;
    const QByteArray longValue(300, 'x');
    const struct {
        const char* what;
        QByteArray content, section, key, text;
        int32_t number;
    } cases[] = {
        {"names in other capitals", "[Game]\r\nTyPe=code\r\n", "GAME", "type", "code", 0},
        {"blanks around names and value", "[ game ]\r\n\t type \t=  code word \t\r\n", "game",
         "type", "code word", 0},
        {"blanks and CR in the names asked for", "[a]\r\nk=1\r\n", " a\t\r", "\tk \r", "1", 1},
        {"LF only", "[a]\nk=v\n[b]\nk=w\n", "b", "k", "w", 0},
        {"CR only", "[a]\rk=1\r[b]\rk=2\r", "b", "k", "2", 2},
        {"CR only, value not swallowed", "[a]\rk=x\rj=y", "a", "k", "x", 0},
        {"mixed line ends", "[a]\r\nk=1\n[b]\rj=2\r\n", "b", "j", "2", 2},
        {"no line end at the end", "[a]\r\nk=last", "a", "k", "last", 0},
        {"first section counts", "[a]\r\nk=1\r\n[A]\r\nk=2\r\nj=3\r\n", "a", "j", "", 0},
        {"first key counts", "[a]\r\nk=1\r\nK=2\r\n", "a", "k", "1", 1},
        {"key of another section", "[a]\r\nk=1\r\n[b]\r\n", "b", "k", "", 0},
        {"key before any section", "k=1\r\n[a]\r\n", "a", "k", "", 0},
        {"comment lines", "[a]\r\n;k=1\r\n ; k=3\r\n k=2\r\n", "a", "k", "2", 2},
        {"quotes", "[a]\r\nk=\" spaced \"\r\n", "a", "k", " spaced ", 0},
        {"single quotes", "[a]\r\nk='7'\r\n", "a", "k", "7", 7},
        {"unmatched quotes stay", "[a]\r\nk=\"x'\r\n", "a", "k", "\"x'", 0},
        {"one quote stays", "[a]\r\nk=\"\r\n", "a", "k", "\"", 0},
        {"equals in value", "[a]\r\nk=x=y\r\n", "a", "k", "x=y", 0},
        {"bracket in a value", "[a]\r\nk=x]\r\nj=2\r\n", "a", "j", "2", 2},
        {"missing section", "[a]\r\nk=1\r\n", "b", "k", "", 0},
        {"long value cut", "[a]\r\nk=" + longValue + "\r\n", "a", "k", longValue.left(254), 0},
        {"number with letters", "[a]\r\nk=12abc\r\n", "a", "k", "12abc", 12},
        {"minus sign is no digit", "[a]\r\nk=-5\r\n", "a", "k", "-5", 0},
        {"largest number", "[a]\r\nk=02147483647\r\n", "a", "k", "02147483647", INT32_MAX},
        {"too large a number", "[a]\r\nk=99999999999999999999\r\n", "a", "k",
         "99999999999999999999", INT32_MAX},
        {"digits 0 and 9 only", "[a]\r\nk=90:/1\r\n", "a", "k", "90:/1", 90},
        {"8-bit bytes kept", "[a]\r\nk=M\xfc\x80\r\n", "a", "k", "M\xfc\x80", 0},
        {"byte-order mark before the first section", "\xEF\xBB\xBF[game]\r\nk=5\r\n", "game", "k",
         "5", 5},
        {"byte-order mark only at the start", "[a]\r\n\xEF\xBB\xBFk=5\r\n", "a", "k", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = Write(dir, c.content);
        EXPECT_EQ(ReadIniText(path, c.section, c.key), c.text);
        EXPECT_EQ(ReadIniNumber(path, c.section, c.key), c.number);
    }
    EXPECT_TRUE(ReadIniText(dir.filePath("none.ini"), "a", "k").isEmpty() &&
                ReadIniNumber(dir.filePath("none.ini"), "a", "k") == 0);
}

TEST(IniAccess, WritesInPlaceKeepingEverythingElse) {
    // A new file, section or key (after the section's last entry, also after
    // an unterminated line); a value replaced in place, only its first
    // occurrence, not a commented one; line ends, 8-bit bytes and the
    // byte-order mark kept.
    QTemporaryDir dir;
    const std::tuple<QByteArray, const char*, const char*, const char*, QByteArray> cases[] = {
        {"", "Mods", "count", "2", "[Mods]\r\ncount=2\r\n"},
        {"[a]\r\nk=1", "b", "j", "x", "[a]\r\nk=1\r\n[b]\r\nj=x\r\n"},
        {"[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n", "A", "j", "x",
         "[a]\r\nk=1\r\nj=x\r\n\r\n[b]\r\nk=2\r\n"},
        {"[a]\r\n[b]\r\n", "a", "k", "v", "[a]\r\nk=v\r\n[b]\r\n"},
        {"; head\r\n[a]\r\n  K = old \r\nz=9\r\n", "a", "k", "new",
         "; head\r\n[a]\r\nK=new\r\nz=9\r\n"},
        {"[a]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\n", "a", "k", "x",
         "[a]\r\nk=x\r\nk=2\r\n[a]\r\nk=3\r\n"},
        {"[a]\r\n;k=1\r\nk=2\r\n", "a", "k", "x", "[a]\r\n;k=1\r\nk=x\r\n"},
        {"x\n[a]\nk=1\n[b]\r\nq=1\n", "a", "k", "2", "x\n[a]\nk=2\n[b]\r\nq=1\n"},
        {"[a]\r\nn=\xe4\xf6\r\n", "a", "k", "\xfc", "[a]\r\nn=\xe4\xf6\r\nk=\xfc\r\n"},
        {"[a]\r\nk=1\r\n", "a", "k", "", "[a]\r\nk=\r\n"},
        {"\xEF\xBB\xBF[a]\rk=1\r[b]\rq=1", "a", "k", "2", "\xEF\xBB\xBF[a]\rk=2\r[b]\rq=1"}};
    for (const auto& [before, section, key, value, after] : cases) {
        SCOPED_TRACE(before.toStdString());
        const QString path = before.isEmpty() ? dir.filePath("new.ini") : Write(dir, before);
        ASSERT_TRUE(WriteIniText(path, value, section, key));
        EXPECT_EQ(ReadAll(path), after);
        EXPECT_EQ(ReadIniText(path, section, key), value);
    }
}

TEST(IniAccess, RefusesWhatWouldBreakTheFileOrWriteThroughIt) {
    QTemporaryDir dir;
    const QByteArray before = "[a]\r\nk=1\r\n";
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "k", "v"},     {"a", "", "v"},     {"a", "k", "x\ny"}, {"a", "k", "x\r"},
        {"a]", "k", "v"},   {"a", "k=j", "v"},  {"a", ";k", "v"},   {"a", "[k]", "v"},
        {"a\nb", "k", "v"}, {"a", "k\r\n", "v"}};
    for (auto [section, key, value] : cases) {
        const QString path = Write(dir, before);
        EXPECT_FALSE(WriteIniText(path, value, section, key))
            << section << "|" << key << "|" << value;
        EXPECT_EQ(ReadAll(path), before);
    }
    // A directory, a missing directory, a FIFO (never read: that would wait
    // for a writer) and a link (not written through) are refused.
    const QString elsewhere = Write(dir, before), link = dir.filePath("link.ini");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("dir.ini")) && QFile::link(elsewhere, link));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.ini")).constData(), 0644), 0);
    for (const char* name : {"dir.ini", "nope/game.ini", "fifo.ini", "link.ini"})
        EXPECT_FALSE(WriteIniText(dir.filePath(name), "2", "a", "k")) << name;
    EXPECT_FALSE(QFile::exists(dir.filePath("nope/game.ini")));
    EXPECT_EQ(ReadAll(elsewhere), before);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

// The MOD list's count takes the number rule of the INI reader; a count
// beyond the limit is refused as a whole, never cut.
TEST(ModRegistry, CountRules) {
    QByteArray many = "[Mods]\r\n";
    for (int k = 1; k <= 100; ++k)
        many += "ModName" + QByteArray::number(k) + "=m" + QByteArray::number(k) + "\r\n";
    const struct {
        QByteArray count;
        QList<QByteArray> names;
        bool tooMany;
    } rows[] = {{"modanzahl= 2 ", {"m1", "m2"}, false},
                {"ModAnzahl=-1", {}, false},
                {"ModAnzahl=0", {}, false},
                {"; keine", {}, false},
                {"ModAnzahl=2x", {"m1", "m2"}, false},
                {"ModAnzahl=99", {}, false},
                {"ModAnzahl=100", {}, true}};
    for (const auto& row : rows) {
        const ModRegistry r = ReadModRegistry(many + row.count + "\r\n");
        const qsizetype expected = row.count == "ModAnzahl=99" ? 99 : row.names.size();
        EXPECT_TRUE(r.tooMany == row.tooMany && r.names.size() == expected &&
                    (row.names.isEmpty() || r.names.mid(0, 2) == row.names))
            << "row '" << row.count.constData() << "': " << r.names.size() << " names"
            << (r.tooMany ? ", too many" : "");
    }
    const ModRegistry gaps = ReadModRegistry("[Mods]\nModAnzahl=3\nModName1=a\nModName3=c\n");
    EXPECT_EQ(gaps.names, (QList<QByteArray>{"a", "", "c"})) << "a missing name is an empty entry";
}

}  // namespace
}  // namespace wf

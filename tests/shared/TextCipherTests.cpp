// The chained text cipher of MOD files and the online record.
#include <gtest/gtest.h>

#include <cstring>

#include "ScoreRecord.h"
#include "TextCipher.h"

namespace wf {
namespace {

const QByteArray kKey(kModKey);

QByteArray Line(int length, int seed) {
    QByteArray line(length, '\0');
    for (int i = 0; i < length; ++i)
        line[i] = static_cast<char>((seed + 37 * i) % 255);
    return line;
}

TEST(TextCipher, EncodeThenDecodeGivesEveryLineBackInOneGroupPerCharacter) {
    EXPECT_EQ(kKey, "kranichfeldmoosbachtal27wiese");
    for (bool threeDigit : {true, false}) {
        // Every code in every position of a short line, chained to every other.
        for (int a = 0; a <= 254; ++a) {
            for (int b = 0; b <= 254; b += 7) {
                const QByteArray plain = QByteArray(1, char(a)) + char(b) + char(254 - a);
                ASSERT_EQ(DecodeText(EncodeText(plain, kKey, threeDigit), kKey, threeDigit), plain)
                    << threeDigit << ": " << a << " " << b;
            }
        }
    }
    for (int length = 1; length <= 100; ++length) {
        const QByteArray plain = Line(length, length);
        const QByteArray cipher = EncodeText(plain, kKey, true),
                         raw = EncodeText(plain, kKey, false);
        ASSERT_TRUE(cipher.size() == 3 * length && raw.size() == length);
        for (int g = 0; g < length; ++g) {
            const QByteArray group = cipher.mid(3 * g, 3);
            ASSERT_TRUE(group >= "001" && group <= "255") << cipher.constData();
            ASSERT_EQ(static_cast<unsigned char>(raw[g]), group.toInt())
                << "the raw form carries the same codes";
        }
        if (length > 1) {
            ASSERT_EQ(DecodeText(raw, kKey, false), plain) << length;
        }
    }
    // "AB" with key "ab": 65 + 66 + 97 = 228; 66 + 228 + 98 = 392 − 255 = 137;
    // the key wraps after two characters and the first chains to the last.
    EXPECT_TRUE(EncodeText("AB", "ab", true) == "228137" &&
                EncodeText("ABC", "ab", true) == "229138047");
    EXPECT_EQ(DecodeText(EncodeText("a\377b", kKey, true), kKey, true), QByteArray("a\0b", 3));
    // The record's check sum, its last digit repeated.
    EXPECT_TRUE(ScoreChecksum(245) == 11 && ScoreChecksum(-7) == 21);
}

TEST(TextCipher, UndecodableLinesGiveEmptyTextShortGroupsCount) {
    const QByteArray good = EncodeText("abcdef", kKey, true);
    for (const QByteArray& cipher :
         {QByteArray(), QByteArray("065"), QByteArray("65"), good.left(6) + "0a1",
          good.left(6) + "0:1", good.left(6) + "0/1", good.left(6) + " 12", QByteArray("-12065"),
          good.left(3) + "256" + good.mid(6), QByteArray("999065")})
        EXPECT_EQ(DecodeText(cipher, kKey, true), "") << cipher.constData();
    // Nothing to code, or no key (which would divide by its length): nothing.
    EXPECT_TRUE(EncodeText("", kKey, true).isEmpty() && DecodeText("x", kKey, false).isEmpty() &&
                EncodeText("x", "", true).isEmpty() && DecodeText("065", "", true).isEmpty());
    // A short last group is a number, and a group 000 decodes like 255.
    for (auto [cipher, sameAs] :
         {std::pair{"2281377", "228137007"}, {"22813707", "228137007"}, {"000137", "255137"}}) {
        EXPECT_EQ(DecodeText(cipher, "ab", true), DecodeText(sameAs, "ab", true)) << cipher;
        EXPECT_EQ(DecodeText(cipher, "ab", true).size(), strlen(sameAs) / 3) << cipher;
    }
    // Very long lines neither stall nor fail.
    const QByteArray plain = Line(200000, 3);
    EXPECT_EQ(DecodeText(EncodeText(plain, kKey, true), kKey, true), plain);
    EXPECT_EQ(DecodeText(QByteArray(300000, '0'), kKey, true).size(), 100000);
    EXPECT_EQ(DecodeText(QByteArray(300001, '9'), kKey, true), "");
}

}  // namespace
}  // namespace wf

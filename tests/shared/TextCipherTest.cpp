#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <QRegularExpression>
#include <QSet>

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

TEST(TextCipher, ModKeyHas29Characters) {
    EXPECT_EQ(kKey.size(), 29);
}

TEST(TextCipher, RoundTripsEveryCodeBelow255InBothForms) {
    for (bool threeDigit : {true, false}) {
        SCOPED_TRACE(threeDigit);
        // Every code in every position of a short line, chained to every other.
        for (int a = 0; a <= 254; ++a) {
            for (int b = 0; b <= 254; b += 7) {
                QByteArray plain;
                plain.append(static_cast<char>(a));
                plain.append(static_cast<char>(b));
                plain.append(static_cast<char>(254 - a));
                ASSERT_EQ(DecodeText(EncodeText(plain, kKey, threeDigit), kKey, threeDigit), plain)
                    << a << " " << b;
            }
        }
        for (int length = 2; length <= 100; ++length) {
            const QByteArray plain = Line(length, length);
            ASSERT_EQ(DecodeText(EncodeText(plain, kKey, threeDigit), kKey, threeDigit), plain)
                << length;
        }
    }
}

TEST(TextCipher, ThreeDigitFormHasOneGroupFrom001To255PerCharacter) {
    const QRegularExpression digits(QStringLiteral("^[0-9]*$"));
    for (int length = 1; length <= 100; ++length) {
        for (int seed : {0, 1, 128, 254, 255}) {
            const QByteArray plain = Line(length, seed);
            const QByteArray cipher = EncodeText(plain, kKey, true);
            ASSERT_EQ(cipher.size(), 3 * length);
            ASSERT_TRUE(digits.match(QString::fromLatin1(cipher)).hasMatch());
            for (int g = 0; g < length; ++g) {
                const int code = cipher.mid(3 * g, 3).toInt();
                ASSERT_GE(code, 1) << cipher.constData();
                ASSERT_LE(code, 255) << cipher.constData();
            }
            // The raw form carries the same codes.
            const QByteArray raw = EncodeText(plain, kKey, false);
            ASSERT_EQ(raw.size(), length);
            for (int g = 0; g < length; ++g) {
                ASSERT_EQ(static_cast<unsigned char>(raw[g]), cipher.mid(3 * g, 3).toInt());
            }
        }
    }
}

TEST(TextCipher, KnownEncoding) {
    // "AB" with key "ab": c1 = 65 + 66 + 97 = 228; c2 = 66 + 228 + 98 = 392 - 255 = 137.
    EXPECT_EQ(EncodeText("AB", "ab", true), "228137");
    EXPECT_EQ(DecodeText("228137", "ab", true), "AB");
    // The key wraps after two characters: c3 = 67 + c2 + 97, the first chains to 'C'.
    EXPECT_EQ(EncodeText("ABC", "ab", true), "229138047");
}

TEST(TextCipher, KeyWrapsAtCharacter30) {
    // Character 30 is combined with key character 1, so the 30th group of a line
    // equals what the same chain gives with the key's first character.
    QByteArray plain(31, 'x');
    const QByteArray cipher = EncodeText(plain, kKey, false);
    const auto code = [&](int i) { return static_cast<unsigned char>(cipher[i - 1]); };
    int expected30 = 'x' + code(29) + static_cast<unsigned char>(kKey[0]);
    while (expected30 > 255)
        expected30 -= 255;
    EXPECT_EQ(code(30), expected30);
    int expected31 = 'x' + code(30) + static_cast<unsigned char>(kKey[1]);
    while (expected31 > 255)
        expected31 -= 255;
    EXPECT_EQ(code(31), expected31);
    EXPECT_EQ(DecodeText(cipher, kKey, false), plain);
}

TEST(TextCipher, FirstGroupDependsOnTheLastCharacter) {
    // Lines that differ only in their last character already differ in their
    // first group, for every pair of last characters below 255.
    QSet<QByteArray> firstGroups;
    for (int last = 0; last <= 254; ++last) {
        QByteArray plain("type=cod");
        plain.append(static_cast<char>(last));
        firstGroups.insert(EncodeText(plain, kKey, true).left(3));
    }
    EXPECT_EQ(firstGroups.size(), 255);
}

TEST(TextCipher, Code255ComesBackAs0) {
    const QByteArray plain{
        "a\xff"
        "b"};
    EXPECT_EQ(DecodeText(EncodeText(plain, kKey, true), kKey, true), QByteArray("a\0b", 3));
}

TEST(TextCipher, EmptyAndSingleCharacterLines) {
    EXPECT_EQ(EncodeText("", kKey, true), "");
    EXPECT_EQ(EncodeText("", kKey, false), "");
    const QByteArray one = EncodeText("Q", kKey, true);
    EXPECT_EQ(one.size(), 3);
    EXPECT_EQ(DecodeText(one, kKey, true), "");
    EXPECT_EQ(DecodeText(EncodeText("Q", kKey, false), kKey, false), "");
}

TEST(TextCipher, UndecodableLinesGiveEmptyText) {
    const QByteArray good = EncodeText("abcdef", kKey, true);
    const struct {
        const char* what;
        QByteArray cipher;
    } cases[] = {
        {"empty", ""},
        {"one group", "065"},
        {"one short group", "65"},
        {"letter in a group", good.left(6) + "0a1"},
        {"blank in a group", good.left(6) + " 12"},
        {"sign in a group", "-12065"},
        {"group above 255", good.left(3) + "256" + good.mid(6)},
        {"group 999", "999065"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DecodeText(c.cipher, kKey, true), "");
    }
    // Raw form: only empty and single characters fail.
    EXPECT_EQ(DecodeText("", kKey, false), "");
    EXPECT_EQ(DecodeText("x", kKey, false), "");
    EXPECT_EQ(DecodeText("xy", kKey, false).size(), 2);
}

TEST(TextCipher, ShortLastGroupIsReadAsANumber) {
    // "228137" decodes to "AB"; a last group "7" counts as 7, the same as "007".
    EXPECT_EQ(DecodeText("2281377", "ab", true), DecodeText("228137007", "ab", true));
    EXPECT_EQ(DecodeText("22813707", "ab", true), DecodeText("228137007", "ab", true));
    EXPECT_EQ(DecodeText("2281377", "ab", true).size(), 3);
}

TEST(TextCipher, Group000DecodesAsCode0) {
    const QByteArray withZero = DecodeText("000137", "ab", true);
    const QByteArray with255 = DecodeText("255137", "ab", true);
    ASSERT_EQ(withZero.size(), 2);
    // Modulo 255, code 0 and code 255 are the same cipher value.
    EXPECT_EQ(withZero, with255);
}

TEST(TextCipher, VeryLongLines) {
    const QByteArray plain = Line(200000, 3);
    const QByteArray cipher = EncodeText(plain, kKey, true);
    ASSERT_EQ(cipher.size(), 600000);
    EXPECT_EQ(DecodeText(cipher, kKey, true), plain);
    // A very long line of zero groups must neither stall nor fail.
    EXPECT_EQ(DecodeText(QByteArray(300000, '0'), kKey, true).size(), 100000);
    EXPECT_EQ(DecodeText(QByteArray(300001, '9'), kKey, true), "");
}

}  // namespace
}  // namespace wf

#include <gtest/gtest.h>

#include "ClientAddress.h"
#include "FormToken.h"
#include "Record.h"
#include "ScoreRecord.h"
#include "TextCipher.h"

namespace wf {
namespace {

QByteArray Digits(const QByteArray& plain, const char* key = ScoreKey) {
    return EncodeText(plain, key, true);
}

TEST(Record, AcceptsExactlyWhatTheGameSends) {
    // What the game sends: its own record builder and cipher.
    const GameResult valid[] = {{30, 0}, {60, 245}, {120, -1}, {30, 32767}, {60, -32768}};
    for (const GameResult& r : valid) {
        const auto got = ValidateRecord(Digits(ResultRecord(r.seconds, r.score)));
        ASSERT_TRUE(got) << r.seconds << " " << r.score;
        EXPECT_EQ(got->seconds, r.seconds);
        EXPECT_EQ(got->score, r.score);
    }

    const QByteArray game = Digits(ResultRecord(60, 245));
    // A cipher group 000 decodes like 255, but the game never writes it.
    qsizetype group255 = 0;
    while (group255 < game.size() && game.mid(group255, 3) != "255")
        group255 += 3;
    ASSERT_LT(group255, game.size());
    const QByteArray refused[] = {
        Digits(ResultRecord(45, 100)),    // no such game length
        Digits("wfgbeta|060|245|11|"),    // a length the game would not write
        Digits(ResultRecord(60, 32768)),  // beyond the score range
        Digits(ResultRecord(30, -32769)),
        Digits("wfgbeta|60|245|12|"),   // wrong check sum
        Digits("wfgbeta|60|+245|11|"),  // numbers the game writes otherwise
        Digits("wfgbetA|60|245|11|"),   // not the game's record
        Digits("wfgbeta|60|245|11"),
        Digits("wfgbeta|60|245|11|x"),
        Digits(ResultRecord(60, 245), kModKey),  // another key
        game.left(game.size() - 1),              // cut short
        game + QByteArray(66, '1'),              // longer than any record
        game.left(group255) + "000" + game.mid(group255 + 3),
        game.left(5) + 'x' + game.mid(6),
        "",
    };
    for (const QByteArray& digits : refused)
        EXPECT_FALSE(ValidateRecord(digits)) << DecodeText(digits, ScoreKey, true).constData();
}

TEST(Record, DecodesFormFieldsAndRefusesBrokenOnes) {
    const struct {
        QByteArray encoded;
        std::optional<FormFields> fields;
    } cases[] = {
        {"name=J%C3%BCrgen+E2E&%74oken=a%2B%2f%aF%09",
         FormFields{{"name", "J\xc3\xbcrgen E2E"}, {"token", "a+/\xaf\t"}}},
        {"a&&b=&", FormFields{{"a", ""}, {"b", ""}}},
        {"a==1", FormFields{{"a", "=1"}}},
        {"a=%4", std::nullopt},
        {"a=%zg", std::nullopt},
        {"a%=1", std::nullopt},
        {"a=1&a=2", std::nullopt},
        {"a=1&b=2&c=3&d=4&e=5&f=6&g=7&h=8&i=9&j=10&k=11&l=12&m=13&n=14&o=15&p=16&q=17",
         std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeForm(c.encoded), c.fields) << c.encoded.constData();
}

TEST(Record, NamesHaveOneToThirtyHarmlessCharacters) {
    const QString smile = QString::fromUtf8("\xf0\x9f\x98\x80");
    const struct {
        QByteArray typed;
        std::optional<QString> name;
    } cases[] = {
        {"  J\xc3\xbcrgen E2E \n", QString::fromUtf8("J\xc3\xbcrgen E2E")},
        {"<script>\"x\"</script>&'", QStringLiteral("<script>\"x\"</script>&'")},
        {smile.repeated(30).toUtf8(), smile.repeated(30)},  // characters, not UTF-16 units
        {smile.repeated(31).toUtf8(), std::nullopt},
        {"   ", std::nullopt},
        {"a\tb", std::nullopt},
        {"a\u202Eb", std::nullopt},   // right-to-left override
        {"a\u2069b", std::nullopt},   // the last isolate
        {"a\u2029b", std::nullopt},   // paragraph separator
        {"a\u2028b", std::nullopt},   // line separator
        {"\xff-Anna", std::nullopt},  // not UTF-8
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValidName(c.typed), c.name) << c.typed.toHex().constData();
}

TEST(Record, FormTokenFitsOnlyItsRecordItsSecretAndItsDay) {
    const QByteArray secret = "0123456789abcdef";
    const QByteArray digits = Digits(ResultRecord(60, 245));
    const qint64 issued = 1'800'000'000;
    const QByteArray token = IssueToken(secret, digits, issued);
    EXPECT_NE(IssueToken(secret, digits, issued), token);  // every form its own id

    QByteArray otherId = token;
    otherId[0] = otherId[0] == 'a' ? 'b' : 'a';
    QByteArray otherTime = token;
    otherTime.replace(QByteArray::number(issued), QByteArray::number(issued + 1));
    const struct {
        QByteArray secret, digits, token;
        qint64 now;
        TokenCheck::Status status;
    } cases[] = {
        {secret, digits, token, issued + kTokenLifetime, TokenCheck::Valid},
        {secret, digits, token, issued + kTokenLifetime + 1, TokenCheck::Expired},
        {secret, digits, token, issued - 3600, TokenCheck::Expired},
        {secret, Digits(ResultRecord(60, 246)), token, issued, TokenCheck::Invalid},
        {"another secret", digits, token, issued, TokenCheck::Invalid},
        {secret, digits, otherId, issued, TokenCheck::Invalid},
        {secret, digits, otherTime, issued, TokenCheck::Invalid},
        {secret, digits, token.left(token.size() - 1), issued, TokenCheck::Invalid},
    };
    for (const auto& c : cases) {
        const TokenCheck check = CheckToken(c.secret, c.digits, c.token, c.now);
        EXPECT_EQ(check.status, c.status) << c.token.constData() << " at " << c.now;
        if (check.status == TokenCheck::Valid) {
            EXPECT_EQ(check.id, token.left(32));
        }
    }
}

// A client is an IPv4 address or an IPv6 /64; behind trusted proxies it is
// the last address in X-Forwarded-For that no trusted proxy wrote.
TEST(ClientAddress, PlayersBehindTrustedProxiesAndSlash64s) {
    TrustedProxies proxies;
    ASSERT_TRUE(proxies.Add("127.0.0.1") && proxies.Add("10.0.0.0/8"));
    ASSERT_FALSE(proxies.Add("nginx"));
    const struct {
        const char* peer;
        QByteArray forwarded;
        const char* client;
    } cases[] = {
        {"203.0.113.5", "198.51.100.7", "203.0.113.5"},  // no proxy: the list is its own
        {"127.0.0.1", "", "127.0.0.1"},
        {"127.0.0.1", "198.51.100.7", "198.51.100.7"},
        {"127.0.0.1", "192.0.2.1, 198.51.100.7", "198.51.100.7"},  // the client's own list
        {"127.0.0.1", "198.51.100.7, 10.1.2.3", "198.51.100.7"},   // two proxies
        {"::ffff:127.0.0.1", "[2001:db8::1]", "2001:db8::1"},
        {"127.0.0.1", "192.0.2.1, kaputt, 10.1.2.3", "10.1.2.3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(proxies.Client(QHostAddress(c.peer), c.forwarded), QHostAddress(c.client))
            << c.peer << " " << c.forwarded.constData();
    }
    const auto key = [](const char* address) { return ClientKey(QHostAddress(address)); };
    EXPECT_EQ(key("2001:db8:1:2::1"), key("2001:db8:1:2:ffff::9"));
    EXPECT_NE(key("2001:db8:1:2::1"), key("2001:db8:1:3::1"));
    EXPECT_EQ(key("::ffff:192.0.2.1"), key("192.0.2.1"));
    EXPECT_NE(key("192.0.2.1"), key("192.0.2.2"));
}

}  // namespace
}  // namespace wf

#include <gtest/gtest.h>

#include "HighscoreTestSupport.h"

#include <QRegularExpression>

#include "OnlineLink.h"
#include "TextCipher.h"

namespace wf {
namespace {

const QString kSite = QStringLiteral("http://scores.example:8080");
const QString kSubmit = kSite + QStringLiteral("/wfscore.php?punkte=");

TEST(OnlineLink, ChecksumTakesTheFirstThreeDigitsRepeatingTheLast) {
    const struct {
        qint32 score;
        int sum;
    } cases[] = {{245, 11},  {95, 19}, {7, 21},     {1000, 1},    {0, 0},
                 {-245, 11}, {-7, 21}, {32767, 12}, {-32768, 12}, {-2147483647 - 1, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(ScoreChecksum(c.score), c.sum) << c.score;
}

TEST(OnlineLink, SubmitAddressCarriesTheEncodedRecordAsDigits) {
    const struct {
        int table;
        qint32 score;
        QByteArray record;
    } cases[] = {
        {2, 245, "wfgbeta|60|245|11|"},       {3, 1000, "wfgbeta|120|1000|1|"},
        {1, 7, "wfgbeta|30|7|21|"},           {1, -12, "wfgbeta|30|-12|5|"},
        {2, -32768, "wfgbeta|60|-32768|12|"},
    };
    const QRegularExpression wellFormed(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(kSubmit) + QStringLiteral("[0-9]+")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.constData());
        EXPECT_EQ(ResultRecord(GameSecondsOfTable(c.table), c.score), c.record);
        const QString url = SubmitUrl(c.table, c.score, kSite);
        ASSERT_TRUE(wellFormed.match(url).hasMatch()) << url.toStdString();
        const QByteArray digits = url.mid(kSubmit.size()).toLatin1();
        EXPECT_EQ(digits.size(), 3 * c.record.size());
        EXPECT_EQ(DecodeText(digits, ScoreKey, true), c.record);
    }
    EXPECT_EQ(SubmitUrl(2, 245, kSite).size() - kSubmit.size(), 54);
    EXPECT_EQ(SubmitUrl(3, 1000, kSite).size() - kSubmit.size(), 57);
}

TEST(OnlineLink, SiteComesFromTheEnvironmentWhenItIsAWebAddress) {
    const QString built = QStringLiteral(WF_HIGHSCORE_SITE);
    const struct {
        const char* value;  // nullptr: not set
        QString site;
    } cases[] = {
        {nullptr, built},
        {"https://scores.example.org", "https://scores.example.org"},
        {" http://127.0.0.1:9090/ ", "http://127.0.0.1:9090"},
        {"http://example.org/wolkenfang//", "http://example.org/wolkenfang"},
        {"scores.example.org", built},
        {"file:///etc/passwd", built},
        {"javascript:alert(1)", built},
        {"http://user:pw@example.org", built},
        {"http://example.org/?x=1#top", built},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(not set)");
        if (c.value)
            qputenv("WF_HIGHSCORE_SITE", c.value);
        else
            qunsetenv("WF_HIGHSCORE_SITE");
        EXPECT_EQ(HighscoreSite(), c.site);
        EXPECT_EQ(ViewUrl(), c.site + "/hs.php");
        EXPECT_TRUE(SubmitUrl(1, 100).startsWith(c.site + "/wfscore.php?punkte="));
    }
    qunsetenv("WF_HIGHSCORE_SITE");
    EXPECT_EQ(ViewUrl(kSite), kSite + "/hs.php");
}

}  // namespace
}  // namespace wf

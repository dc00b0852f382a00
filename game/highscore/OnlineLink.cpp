#include "OnlineLink.h"

#include <QUrl>

#include "GameLengths.h"
#include "IniAccess.h"
#include "Text8.h"
#include "TextCipher.h"

namespace wf {

std::optional<QString> SiteAddress(const QString& value) {
    const QUrl url(value.trimmed(), QUrl::StrictMode);
    const bool usable = url.isValid() && (url.scheme() == "http" || url.scheme() == "https") &&
                        !url.host().isEmpty() && url.userInfo().isEmpty() && !url.hasQuery() &&
                        !url.hasFragment();
    if (!usable)
        return std::nullopt;
    QString site = url.toString(QUrl::FullyEncoded);
    while (site.endsWith('/'))
        site.chop(1);
    return site;
}

std::optional<QString> HighscoreSite(const QString& gameIniPath) {
    if (auto site = SiteAddress(qEnvironmentVariable("WF_HIGHSCORE_SITE")))
        return site;
    return SiteAddress(FromText8(ReadIniText(gameIniPath, "game", "highscoreseite")));
}

QString ViewUrl(const QString& site) {
    return site + QStringLiteral("/hs.php");
}

QString SubmitUrl(int table, qint32 score, const QString& site) {
    const QByteArray digits =
        EncodeText(ResultRecord(GameLengthOfTable(table), score), ScoreKey, true);
    // The query must never carry anything but digits; the three-digit form
    // guarantees that, and a record that somehow broke it is not sent.
    for (char c : digits) {
        Q_ASSERT(c >= '0' && c <= '9');
        if (c < '0' || c > '9')
            return ViewUrl(site);
    }
    return site + QStringLiteral("/wfscore.php?punkte=") + QString::fromLatin1(digits);
}

}  // namespace wf

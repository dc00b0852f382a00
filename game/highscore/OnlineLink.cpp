#include "OnlineLink.h"

#include <QUrl>

#include "GameLengths.h"
#include "TextCipher.h"

namespace wf {

QString HighscoreSite() {
    // Read at every click, so that a player can point the game at another
    // site without rebuilding it. Anything but a plain web address is ignored:
    // the desktop must never be handed a file or script address.
    const QString value = qEnvironmentVariable("WF_HIGHSCORE_SITE").trimmed();
    const QUrl url(value, QUrl::StrictMode);
    const bool usable = url.isValid() && (url.scheme() == "http" || url.scheme() == "https") &&
                        !url.host().isEmpty() && url.userInfo().isEmpty() && !url.hasQuery() &&
                        !url.hasFragment();
    if (!usable)
        return QStringLiteral(WF_HIGHSCORE_SITE);
    QString site = url.toString(QUrl::FullyEncoded);
    while (site.endsWith('/'))
        site.chop(1);
    return site;
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

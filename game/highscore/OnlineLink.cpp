#include "OnlineLink.h"

#include <algorithm>
#include <cstdlib>

#include "TextCipher.h"

namespace wf {

QString HighscoreSite() {
    return QStringLiteral(WF_HIGHSCORE_SITE);
}

int GameSecondsOfTable(int table) {
    switch (table) {
        case 1:
            return 30;
        case 2:
            return 60;
        case 3:
            return 120;
        default:
            return 0;
    }
}

int ScoreChecksum(qint32 score) {
    const QByteArray digits = QByteArray::number(std::llabs(static_cast<long long>(score)));
    int sum = 0;
    for (qsizetype i = 0; i < 3; ++i) {
        sum += digits.at(std::min(i, digits.size() - 1)) - '0';
    }
    return sum;
}

QByteArray ResultRecord(int seconds, qint32 score) {
    return "wfgbeta|" + QByteArray::number(seconds) + '|' + QByteArray::number(score) + '|' +
           QByteArray::number(ScoreChecksum(score)) + '|';
}

QString ViewUrl(const QString& site) {
    return site + QStringLiteral("/hs.php");
}

QString SubmitUrl(int table, qint32 score, const QString& site) {
    const QByteArray digits =
        EncodeText(ResultRecord(GameSecondsOfTable(table), score), ScoreKey, true);
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

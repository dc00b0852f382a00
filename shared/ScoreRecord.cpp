#include "ScoreRecord.h"

#include <algorithm>
#include <cstdlib>

namespace wf {

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

}  // namespace wf

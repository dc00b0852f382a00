#pragma once
// The addresses of the online highscore pages. A finished game's result is
// handed to the submit page encoded as digits in the query.
#include <QByteArray>
#include <QString>

namespace wf {

inline constexpr char ScoreKey[] = "hx5tol";

// The build's highscore site (scheme and host).
QString HighscoreSite();

// 30, 60 or 120 for tables 1, 2, 3; 0 for anything else.
int GameSecondsOfTable(int table);
// Sum of the first three digits of the score (the last digit repeated when
// there are fewer); a negative score uses the digits of its absolute value.
int ScoreChecksum(qint32 score);
// "wfgbeta|<seconds>|<score>|<checksum>|"
QByteArray ResultRecord(int seconds, qint32 score);

QString ViewUrl(const QString& site = HighscoreSite());
// site + "/wfscore.php?punkte=" + the encoded record, digits only.
QString SubmitUrl(int table, qint32 score, const QString& site = HighscoreSite());

}  // namespace wf

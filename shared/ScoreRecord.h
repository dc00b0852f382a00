#pragma once
// The result record that the game hands to the online highscore site, and
// the key it is encoded with. The game builds it and the site checks it
// against the same rule, so both take it from here.
#include <QByteArray>

namespace wf {

inline constexpr char ScoreKey[] = "hx5tol";

// Sum of the first three digits of the score (the last digit repeated when
// there are fewer); a negative score uses the digits of its absolute value.
int ScoreChecksum(qint32 score);
// "wfgbeta|<seconds>|<score>|<checksum>|"
QByteArray ResultRecord(int seconds, qint32 score);

}  // namespace wf

#pragma once
// The addresses of the online highscore pages. A finished game's result is
// handed to the submit page encoded as digits in the query.
#include <QByteArray>
#include <QString>

#include "ScoreRecord.h"

namespace wf {

// The highscore site (scheme and host, perhaps a path): the environment
// variable WF_HIGHSCORE_SITE when it holds an http or https address,
// otherwise the build's site.
QString HighscoreSite();

QString ViewUrl(const QString& site = HighscoreSite());
// site + "/wfscore.php?punkte=" + the encoded record, digits only.
QString SubmitUrl(int table, qint32 score, const QString& site = HighscoreSite());

}  // namespace wf

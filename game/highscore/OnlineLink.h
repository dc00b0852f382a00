#pragma once
// The addresses of the online highscore pages. A finished game's result is
// handed to the submit page encoded as digits in the query.
#include <QByteArray>
#include <QString>
#include <optional>

#include "ScoreRecord.h"

namespace wf {

// The highscore site (scheme and host, perhaps a path), read at every use:
// the environment variable WF_HIGHSCORE_SITE when it holds a usable address,
// else "highscoreseite" of section "game" in game.ini; none when neither is
// set up. No build points anywhere by itself: a distribution, an operator or
// the player names the site.
std::optional<QString> HighscoreSite(const QString& gameIniPath);

// A value as a site: an http or https address with a host and no user, query
// or fragment, without trailing slashes; none for anything else (the desktop
// must never be handed a file or script address).
std::optional<QString> SiteAddress(const QString& value);

QString ViewUrl(const QString& site);
// site + "/wfscore.php?punkte=" + the encoded record, digits only.
QString SubmitUrl(int table, qint32 score, const QString& site);

}  // namespace wf

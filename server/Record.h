#pragma once
// What the site takes from outside: the encoded result of the game's submit
// link, form fields and player names. Plain rules without HTTP or storage, so
// that tests and the fuzzer drive them directly.
#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>
#include <optional>

namespace wf {

struct GameResult {
    int seconds = 0;   // one of kTimedGameLengths
    qint32 score = 0;  // -32768..32767
};

// The digits of the submit link's "punkte" field. Accepted only when they are
// exactly what the game sends for a timed game (kTimedGameLengths) and a score
// in -32768..32767: the encoded "wfgbeta|<seconds>|<score>|<check sum>|".
std::optional<GameResult> ValidateRecord(QByteArrayView digits);

// The fields of a query string or of an x-www-form-urlencoded body ('+' is a
// blank, %XX a byte). nullopt for a broken escape, a field given twice or more
// than kMaxFormFields fields.
inline constexpr int kMaxFormFields = 16;
using FormFields = QMap<QByteArray, QByteArray>;
std::optional<FormFields> DecodeForm(QByteArrayView encoded);

// A player's name as typed into the form (UTF-8), blanks around it dropped.
// Accepted with 1 to kMaxNameLength characters, none of them a control
// character or one that turns the writing direction of the rest of the page.
inline constexpr int kMaxNameLength = 30;
std::optional<QString> ValidName(QByteArrayView utf8);

}  // namespace wf

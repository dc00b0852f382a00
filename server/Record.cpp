#include "Record.h"

#include <QStringDecoder>

#include "GameLengths.h"
#include "ScoreRecord.h"
#include "TextCipher.h"

namespace wf {
namespace {

// The longest record the game writes, "wfgbeta|120|-32768|12|", in digits.
constexpr qsizetype kMaxRecordDigits = 3 * 22;

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<QByteArray> Unescape(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out.append(' ');
        } else if (c != '%') {
            out.append(c);
        } else {
            const int high = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
            const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
            if (low < 0)
                return std::nullopt;
            out.append(static_cast<char>(high * 16 + low));
            i += 2;
        }
    }
    return out;
}

// Characters that would let a name reorder the text around it on the page.
bool TurnsDirection(char32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::optional<GameResult> ValidateRecord(QByteArrayView digits) {
    if (digits.isEmpty() || digits.size() > kMaxRecordDigits || digits.size() % 3 != 0)
        return std::nullopt;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    const QByteArray plain = DecodeText(digits.toByteArray(), ScoreKey, true);
    const QList<QByteArray> fields = plain.split('|');
    if (fields.size() != 5 || fields[0] != "wfgbeta" || !fields[4].isEmpty())
        return std::nullopt;
    bool secondsOk = false, scoreOk = false;
    const int seconds = fields[1].toInt(&secondsOk);
    const int score = fields[2].toInt(&scoreOk);
    if (!secondsOk || !scoreOk || TableOfGameLength(seconds) == 0 || score < -32768 ||
        score > 32767)
        return std::nullopt;
    // The game's own encoding of these numbers must give these very digits:
    // that settles the check sum, the way the numbers are written and every
    // cipher group at once.
    if (EncodeText(ResultRecord(seconds, score), ScoreKey, true) != digits)
        return std::nullopt;
    return GameResult{seconds, score};
}

std::optional<FormFields> DecodeForm(QByteArrayView encoded) {
    FormFields fields;
    qsizetype start = 0;
    while (start <= encoded.size()) {
        qsizetype end = encoded.indexOf('&', start);
        if (end < 0)
            end = encoded.size();
        const QByteArrayView part = encoded.sliced(start, end - start);
        start = end + 1;
        if (part.isEmpty())
            continue;
        const qsizetype equals = part.indexOf('=');
        const auto name = Unescape(equals < 0 ? part : part.first(equals));
        const auto value = Unescape(equals < 0 ? QByteArrayView() : part.sliced(equals + 1));
        if (!name || !value || fields.contains(*name) || fields.size() == kMaxFormFields)
            return std::nullopt;
        fields.insert(*name, *value);
    }
    return fields;
}

std::optional<QString> ValidName(QByteArrayView utf8) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString name = QString(decoder(utf8)).trimmed();
    if (decoder.hasError())
        return std::nullopt;
    const QList<uint> characters = name.toUcs4();
    if (characters.isEmpty() || characters.size() > kMaxNameLength)
        return std::nullopt;
    for (uint c : characters) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph || TurnsDirection(c))
            return std::nullopt;
    }
    return name;
}

}  // namespace wf

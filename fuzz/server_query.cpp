// What the highscore site makes of a query string or a form body from
// anywhere: the field decoding, the record check and the name check, with the
// rules each result must keep.
#include <cstdint>
#include <cstdlib>

#include "Pages.h"
#include "Record.h"
#include "ScoreRecord.h"
#include "TextCipher.h"

namespace {

// Every byte as %XX: the plainest escape there is.
QByteArray Escape(const QByteArray& bytes) {
    QByteArray out;
    for (char c : bytes)
        out += '%' + QByteArray(1, c).toHex();
    return out;
}

void CheckRecord(QByteArrayView digits) {
    const auto result = wf::ValidateRecord(digits);
    if (!result)
        return;
    // Only what the game itself would send gets through.
    if ((result->seconds != 30 && result->seconds != 60 && result->seconds != 120) ||
        result->score < -32768 || result->score > 32767 ||
        wf::EncodeText(wf::ResultRecord(result->seconds, result->score), wf::ScoreKey, true) !=
            digits)
        std::abort();
}

void CheckName(const QByteArray& typed) {
    const auto name = wf::ValidName(typed);
    if (!name)
        return;
    const qsizetype length = name->toUcs4().size();
    if (length < 1 || length > wf::kMaxNameLength || *name != name->trimmed())
        std::abort();
    const QString escaped = wf::HtmlEscape(*name);
    for (QChar c : {QChar('<'), QChar('>'), QChar('"'), QChar('\'')}) {
        if (escaped.contains(c))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckRecord(input);
    CheckName(input);
    const auto fields = wf::DecodeForm(input);
    if (!fields)
        return 0;
    if (fields->size() > wf::kMaxFormFields)
        std::abort();
    // The decoded fields, escaped again, decode to the same fields.
    QByteArray again;
    for (auto it = fields->cbegin(); it != fields->cend(); ++it)
        again += '&' + Escape(it.key()) + '=' + Escape(it.value());
    if (wf::DecodeForm(again) != fields)
        std::abort();
    CheckRecord(fields->value("punkte"));
    CheckName(fields->value("name"));
    return 0;
}

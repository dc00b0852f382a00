#pragma once
// The chained additive cipher (modulo 255) used for encoded MOD files and for
// the online highscore record. Works on 8-bit character codes.
#include <QByteArray>

namespace wf {

inline constexpr char kModKey[] = "kranichfeldmoosbachtal27wiese";

// threeDigit: every cipher code is written as three decimal digits.
QByteArray EncodeText(const QByteArray& plain, const QByteArray& key, bool threeDigit);

// Returns "" for anything that cannot be decoded (empty, a single code, a
// group that is not a number or above 255). Never reads out of bounds.
QByteArray DecodeText(const QByteArray& cipher, const QByteArray& key, bool threeDigit);

}  // namespace wf

// The INI reader over arbitrary content. Input: the section name up to the
// first line feed, the key name up to the second, then the file's content.
#include <cstdint>
#include <cstdlib>

#include "IniAccess.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype a = input.indexOf('\n');
    const qsizetype b = a < 0 ? -1 : input.indexOf('\n', a + 1);
    if (b < 0)
        return 0;
    const QByteArray section = input.left(a);
    const QByteArray key = input.mid(a + 1, b - a - 1);
    const QByteArray content = input.mid(b + 1);

    const QByteArray text = wf::ReadIniTextFromBytes(content, section, key);
    const int32_t number = wf::ReadIniNumberFromBytes(content, section, key);
    // A value never spans lines (CR alone ends one too), never exceeds the
    // read limit and is never a null array (callers compare with "").
    if (text.isNull() || text.size() > 254 || text.contains('\n') || text.contains('\r'))
        std::abort();
    if (number < 0 || number != wf::LeadingNumber(text))
        std::abort();
    // A byte-order mark in front changes nothing.
    if (!content.startsWith("\xEF\xBB\xBF") &&
        wf::ReadIniTextFromBytes("\xEF\xBB\xBF" + content, section, key) != text)
        std::abort();
    return 0;
}

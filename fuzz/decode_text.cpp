// The text cipher's decoder on arbitrary lines, in both forms. Input: a flag
// byte (bit 0: three-digit form, bit 1: key taken from the input, its length
// from the next byte), then the cipher text.
#include <cstdint>
#include <cstdlib>

#include <QList>

#include "TextCipher.h"

namespace {

// The codes a cipher text stands for, read independently of the decoder;
// false when it cannot stand for any.
bool Codes(const QByteArray& cipher, bool threeDigit, QList<int>* codes) {
    if (!threeDigit) {
        for (char ch : cipher)
            codes->append(static_cast<unsigned char>(ch));
        return true;
    }
    for (qsizetype pos = 0; pos < cipher.size(); pos += 3) {
        bool ok = false;
        const QByteArray group = cipher.mid(pos, 3);
        for (char ch : group) {
            if (ch < '0' || ch > '9')
                return false;
        }
        const int v = group.toInt(&ok);
        if (!ok || v > 255)
            return false;
        codes->append(v);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const bool threeDigit = data[0] & 1;
    QByteArray key(wf::kModKey);
    size_t pos = 1;
    if ((data[0] & 2) && size >= 2) {
        const size_t len = data[1] % 40 + 1;
        if (size < 2 + len)
            return 0;
        key = QByteArray(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(len));
        // Keys are texts: with a code 0 in the key a cipher code could be 0 and
        // the oracle below (0 comes back as 255) would not hold.
        key.replace('\0', '\x01');
        pos = 2 + len;
    }
    const QByteArray cipher(reinterpret_cast<const char*>(data + pos),
                            static_cast<qsizetype>(size - pos));

    const QByteArray plain = wf::DecodeText(cipher, key, threeDigit);
    QList<int> codes;
    const bool decodable = Codes(cipher, threeDigit, &codes) && codes.size() >= 2;
    if (!decodable) {
        if (!plain.isEmpty())
            std::abort();
    } else {
        // Encoding the decoded line gives the same codes back, with 0 as 255.
        if (plain.size() != codes.size())
            std::abort();
        const QByteArray again = wf::EncodeText(plain, key, threeDigit);
        QList<int> againCodes;
        if (!Codes(again, threeDigit, &againCodes) || againCodes.size() != codes.size())
            std::abort();
        for (qsizetype i = 0; i < codes.size(); ++i) {
            if (againCodes[i] != (codes[i] == 0 ? 255 : codes[i]))
                std::abort();
        }
        if (wf::DecodeText(again, key, threeDigit) != plain)
            std::abort();
    }

    // The input as a plain line comes back whole, code 255 as 0.
    if (cipher.size() >= 2) {
        QByteArray expected = cipher;
        expected.replace('\xff', '\0');
        if (wf::DecodeText(wf::EncodeText(cipher, key, threeDigit), key, threeDigit) != expected)
            std::abort();
    }
    return 0;
}

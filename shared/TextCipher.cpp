#include "TextCipher.h"

#include <QList>

namespace wf {
namespace {

int KeyCode(const QByteArray& key, int i) {  // i counts from 1
    return static_cast<unsigned char>(key[(i - 1) % key.size()]);
}

}  // namespace

QByteArray EncodeText(const QByteArray& plain, const QByteArray& key, bool threeDigit) {
    QByteArray result;
    const int n = plain.size();
    if (n == 0 || key.isEmpty())
        return result;
    result.reserve(threeDigit ? 3 * n : n);
    int previous = static_cast<unsigned char>(plain[n - 1]);  // the first code chains to the last
    for (int i = 1; i <= n; ++i) {
        int s = static_cast<unsigned char>(plain[i - 1]) + previous + KeyCode(key, i);
        while (s > 255)
            s -= 255;
        if (threeDigit) {
            result.append(char('0' + s / 100));
            result.append(char('0' + (s / 10) % 10));
            result.append(char('0' + s % 10));
        } else {
            result.append(static_cast<char>(s));
        }
        previous = s;
    }
    return result;
}

QByteArray DecodeText(const QByteArray& cipher, const QByteArray& key, bool threeDigit) {
    if (cipher.isEmpty() || key.isEmpty())
        return QByteArray();
    QList<int> codes;
    if (threeDigit) {
        codes.reserve(cipher.size() / 3 + 1);
        for (int pos = 0; pos < cipher.size(); pos += 3) {
            const QByteArray group = cipher.mid(pos, 3);
            int v = 0;
            for (char c : group) {
                if (c < '0' || c > '9')
                    return QByteArray();
                v = v * 10 + (c - '0');
            }
            if (v > 255)
                return QByteArray();
            codes.append(v);
        }
    } else {
        codes.reserve(cipher.size());
        for (char c : cipher)
            codes.append(static_cast<unsigned char>(c));
    }
    const int n = codes.size();
    if (n < 2)
        return QByteArray();

    QByteArray result(n, '\0');
    for (int i = 2; i <= n; ++i) {
        int v = codes[i - 1] - codes[i - 2] - KeyCode(key, i);
        while (v < 0)
            v += 255;
        result[i - 1] = static_cast<char>(v);
    }
    int v = codes[0] - static_cast<unsigned char>(result[n - 1]) - KeyCode(key, 1);
    while (v < 0)
        v += 255;
    result[0] = static_cast<char>(v);
    return result;
}

}  // namespace wf

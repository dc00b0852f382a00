// The INI writer against the reader. Input: section, key and value, each up
// to a line feed, then the file's old content. Whatever WriteIniText accepts
// must read back as the value itself would read.
#include <unistd.h>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "IniAccess.h"

#include "FuzzTempFile.h"

namespace {

QString FilePath() {
    return FuzzTempFile(QStringLiteral("file.ini"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype a = input.indexOf('\n');
    const qsizetype b = a < 0 ? -1 : input.indexOf('\n', a + 1);
    const qsizetype c = b < 0 ? -1 : input.indexOf('\n', b + 1);
    if (c < 0)
        return 0;
    const QByteArray section = input.left(a);
    const QByteArray key = input.mid(a + 1, b - a - 1);
    const QByteArray value = input.mid(b + 1, c - b - 1);
    const QByteArray content = input.mid(c + 1);

    const QString path = FilePath();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write(content) != content.size())
            std::abort();
    }
    const bool written = wf::WriteIniText(path, value, section, key);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray after = f.readAll();
    if (!written) {
        if (after != content)
            std::abort();  // a refused write must leave the file alone
        return 0;
    }
    const QByteArray expected = wf::ReadIniTextFromBytes("[s]\r\nk=" + value + "\r\n", "s", "k");
    if (wf::ReadIniTextFromBytes(after, section, key) != expected)
        std::abort();
    return 0;
}

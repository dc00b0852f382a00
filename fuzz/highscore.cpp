// A score file with arbitrary content through the whole highscore road:
// load, read every entry, rank a new score in (the prompt answered), save,
// load again. Input: byte 0 the table (1..3) and whether the prompt is
// cancelled (bit 7), bytes 1..4 the new score (little endian), the name typed
// up to the first line feed, then the file's content.
#include <unistd.h>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Highscore.h"
#include "Text8.h"

#include "FuzzTempFile.h"

namespace {

QString FilePath() {
    return FuzzTempFile(QStringLiteral("score.sre"));
}

struct Entry {
    QString name;
    qint32 score;
};

void Snapshot(wf::Highscore& hs, int table, Entry (&out)[5]) {
    for (int place = 1; place <= 4; ++place) {
        out[place].name = hs.GetEntry(table, 1, place);
        out[place].score = wf::Highscore::ScoreNumber(wf::ToText8(hs.GetEntry(table, 0, place)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5)
        return 0;
    const int table = data[0] % 3 + 1;
    const bool cancel = data[0] & 0x80;
    int32_t score;
    std::memcpy(&score, data + 1, sizeof score);
    const QByteArray rest(reinterpret_cast<const char*>(data + 5),
                          static_cast<qsizetype>(size - 5));
    const qsizetype nl = rest.indexOf('\n');
    const QByteArray typed = nl < 0 ? rest : rest.left(nl);
    const QByteArray content = nl < 0 ? QByteArray() : rest.mid(nl + 1);

    const QString path = FilePath();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write(content) != content.size())
            std::abort();
    }

    int asked = 0;
    const auto askName = [&](int) {
        ++asked;
        return cancel ? QString() : wf::FromText8(typed);
    };

    wf::Highscore& hs = wf::Highscore::Instance();
    hs.InitTables();
    const int loaded = hs.LoadTableOrDefaults(path, table, 400, 300, 200, 100);
    if (loaded != 1 || !hs.TableValid(table))
        std::abort();  // a readable file always gives a table
    for (int kind = 0; kind <= 2; ++kind) {
        for (int place = -1; place <= 5; ++place)
            (void)hs.GetEntry(table, kind, place);
    }
    Entry before[5];
    Snapshot(hs, table, before);

    const int inserted = hs.InsertScore(table, score, askName);
    Entry after[5];
    Snapshot(hs, table, after);
    if (inserted) {
        // The new score takes the first place it beats; the ones below move
        // down by one, the last drops out.
        int taken = 0;
        for (int place = 1; place <= 4 && !taken; ++place) {
            if (before[place].score < score)
                taken = place;
        }
        if (taken == 0 || asked != 1 || after[taken].score != score)
            std::abort();
        for (int place = 1; place < taken; ++place) {
            if (after[place].name != before[place].name ||
                after[place].score != before[place].score)
                std::abort();
        }
        for (int place = taken + 1; place <= 4; ++place) {
            if (after[place].name != before[place - 1].name ||
                after[place].score != before[place - 1].score)
                std::abort();
        }
        if (after[taken].name.contains('\r') || after[taken].name.contains('\n'))
            std::abort();
    } else {
        for (int place = 1; place <= 4; ++place) {
            if (before[place].score < score || asked != 0)
                std::abort();
        }
    }

    if (hs.SaveTable(path, table) != 1)
        std::abort();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray saved = f.readAll();
    f.close();
    // Eight lines, each ending in CR LF.
    if (saved.count('\n') != 8 || !saved.endsWith("\r\n"))
        std::abort();
    for (qsizetype i = saved.indexOf('\n'); i >= 0; i = saved.indexOf('\n', i + 1)) {
        if (i == 0 || saved[i - 1] != '\r')
            std::abort();
    }
    hs.InitTables();
    if (hs.LoadTable(path, table) != 1)
        std::abort();
    Entry reloaded[5];
    Snapshot(hs, table, reloaded);
    for (int place = 1; place <= 4; ++place) {
        if (reloaded[place].name != after[place].name ||
            reloaded[place].score != after[place].score)
            std::abort();
    }
    return 0;
}

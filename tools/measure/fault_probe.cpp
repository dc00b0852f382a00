// The game's own code for the fault sweeps of measure.sh.
//
//   fault_probe mod MODDIR  loads the MOD as start-up does: "plain: ..." or
//                           "encoded: ..." with a summary, or exit 1 and why
//   fault_probe seed DIR    writes round 0 of the three highscore tables
//   fault_probe loop DIR    prints "saving", then saves round after round
//   fault_probe check DIR   the round each file holds; exit 1 unless whole
//   fault_probe once DIR    saves the next round; prints the round each file
//                           must hold (the old one where it reported failure)
//
// Round k of a table: four times "NoBody" with the scores 10k+4 .. 10k+1, so
// that a table mixed from two rounds is told from a whole one.
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Highscore.h"
#include "ModLoader.h"

namespace {

QString ScorePath(const QString& dir, int table) {
    return dir + QStringLiteral("/score%1.sre").arg(table);
}

// The round a file holds, -1 when it is not one whole table of one round.
qint64 RoundOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray content = f.readAll();
    const QList<QByteArray> lines = content.split('\n');
    const qint64 round =
        lines.size() < 2 ? -1 : (wf::Highscore::ScoreNumber(lines[1].trimmed()) - 4) / 10;
    QByteArray whole;
    for (int place = 1; place <= 4; ++place)
        whole += "NoBody\r\n " + QByteArray::number(10 * round + 5 - place) + " \r\n";
    // And the game's loader reads it whole.
    wf::Highscore& hs = wf::Highscore::Instance();
    hs.InitTables();
    if (round < 0 || content != whole || hs.LoadTable(path, 1) != 1 ||
        hs.GetEntry(1, 0, 4).trimmed().toLongLong() != 10 * round + 1)
        return -1;
    return round;
}

bool SaveRound(const QString& dir, int table, qint64 round) {
    wf::Highscore& hs = wf::Highscore::Instance();
    // Loaded again before it is changed, as the game does.
    if (hs.LoadTableOrDefaults(ScorePath(dir, table), table, 0, 0, 0, 0) != 1)
        return false;
    const auto s = [round](int place) { return static_cast<qint32>(10 * round + 5 - place); };
    return hs.ApplyDefaults(s(1), s(2), s(3), s(4), table) == 1 &&
           hs.SaveTable(ScorePath(dir, table), table) == 1;
}

int CheckMod(const QString& dir) {
    const wf::ModLoadResult r = wf::LoadMod(dir);
    if (!r.loaded) {
        std::printf("refused: %s: %s\n", qPrintable(r.text), qPrintable(r.detail));
        return 1;
    }
    int extras = 0, cells = 0;
    for (int i = 1; i <= r.mod.backgroundCount; ++i) {
        extras += r.mod.backgrounds[i].extraCount;
        for (int j = 1; j <= r.mod.backgrounds[i].extraCount; ++j)
            cells += r.mod.backgrounds[i].extras[j].hitCellCount;
    }
    std::printf("%s: %s, %d backgrounds, %d extras, %d hit cells\n",
                r.mod.modIsEncoded ? "encoded" : "plain", r.mod.modName.constData(),
                r.mod.backgroundCount, extras, cells);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc == 3 ? argv[1] : "";
    const QString dir = QString::fromLocal8Bit(argc == 3 ? argv[2] : "");
    const auto is = [mode](const char* m) { return std::strcmp(mode, m) == 0; };
    if (is("mod"))
        return CheckMod(dir);
    qint64 rounds[4] = {0, 0, 0, 0}, newest = 0;
    for (int t = 1; t <= 3 && !is("seed"); ++t) {
        rounds[t] = RoundOf(ScorePath(dir, t));
        newest = std::max(newest, rounds[t]);
    }
    int status = 0;
    if (is("seed") || is("once")) {
        const qint64 next = is("seed") ? 0 : newest + 1;
        for (int t = 1; t <= 3; ++t) {
            const bool saved = SaveRound(dir, t, next);
            status |= saved ? 0 : 1;
            std::printf("%lld ", static_cast<long long>(saved ? next : rounds[t]));
        }
    } else if (is("check")) {
        for (int t = 1; t <= 3; ++t) {
            if (rounds[t] < 0) {
                std::printf("score%d.sre: not a whole table ", t);
                status = 1;
            } else {
                std::printf("%lld ", static_cast<long long>(rounds[t]));
            }
        }
    } else if (is("loop")) {
        std::printf("saving\n");
        std::fflush(stdout);
        for (qint64 round = newest + 1;; ++round) {
            for (int t = 1; t <= 3; ++t) {
                if (!SaveRound(dir, t, round))
                    return 1;
            }
        }
    } else {
        std::fprintf(stderr, "usage: fault_probe mod MODDIR | seed|loop|check|once DIR\n");
        return 2;
    }
    std::printf("\n");
    return status;
}

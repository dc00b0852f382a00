// Saves the three highscore tables over and over with the game's own code,
// to be killed at random moments; and checks what a kill left behind.
//
//   score_saver seed DIR    writes round 0 of every table
//   score_saver loop DIR    from the rounds found, saves round after round
//                           of all three tables, printing "saving" first
//   score_saver check DIR   exit 0 when every file is a complete table of
//                           one round; prints the round of each file
//   score_saver once DIR    saves the next round of every table once; prints
//                           the round each file must now hold (the new one
//                           where the save succeeded, the old one where it
//                           reported failure); exit 1 when any save failed
//
// Round k of a table: four times "NoBody", with the scores 10k+4 .. 10k+1,
// so that a table mixed from two rounds is told apart from a whole one.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstring>

#include "Highscore.h"

namespace {

constexpr int kTables = 3;

QString ScorePath(const QString& dir, int table) {
    return dir + QStringLiteral("/score%1.sre").arg(table);
}

QByteArray Expected(qint64 round) {
    QByteArray content;
    for (int place = 1; place <= 4; ++place) {
        content += "NoBody\r\n";
        content += " " + QByteArray::number(10 * round + 5 - place) + " \r\n";
    }
    return content;
}

// The round a file holds, or -1 when it is not one whole table of one round.
qint64 RoundOf(const QString& path, QString* why) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = "cannot be read";
        return -1;
    }
    const QByteArray content = f.readAll();
    const QList<QByteArray> lines = content.split('\n');
    if (lines.size() < 2) {
        *why = QStringLiteral("not a table (%1 bytes)").arg(content.size());
        return -1;
    }
    const qint64 round = (wf::Highscore::ScoreNumber(lines[1].trimmed()) - 4) / 10;
    if (round < 0 || content != Expected(round)) {
        *why = QStringLiteral("not a whole table of one round (%1 bytes)").arg(content.size());
        return -1;
    }
    // And the game's loader reads it as a complete table.
    wf::Highscore& hs = wf::Highscore::Instance();
    hs.InitTables();
    if (hs.LoadTable(path, 1) != 1 ||
        hs.GetEntry(1, 0, 4).trimmed().toLongLong() != 10 * round + 1) {
        *why = "the loader does not read it whole";
        return -1;
    }
    return round;
}

bool SaveRound(const QString& dir, int table, qint64 round) {
    wf::Highscore& hs = wf::Highscore::Instance();
    // A saved table is loaded again before it is changed, as the game does.
    if (hs.LoadTableOrDefaults(ScorePath(dir, table), table, 0, 0, 0, 0) != 1)
        return false;
    const auto s = [round](int place) { return static_cast<qint32>(10 * round + 5 - place); };
    return hs.ApplyDefaults(s(1), s(2), s(3), s(4), table) == 1 &&
           hs.SaveTable(ScorePath(dir, table), table) == 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: score_saver seed|loop|check|once DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[2]);
    const char* mode = argv[1];
    if (std::strcmp(mode, "seed") == 0) {
        for (int t = 1; t <= kTables; ++t) {
            if (!SaveRound(dir, t, 0))
                return 1;
        }
        return 0;
    }
    if (std::strcmp(mode, "check") == 0) {
        int status = 0;
        for (int t = 1; t <= kTables; ++t) {
            QString why;
            const qint64 round = RoundOf(ScorePath(dir, t), &why);
            if (round < 0) {
                std::printf("score%d.sre: %s\n", t, qPrintable(why));
                status = 1;
            } else {
                std::printf("%lld ", static_cast<long long>(round));
            }
        }
        std::printf("\n");
        return status;
    }
    qint64 round = 0;
    for (int t = 1; t <= kTables; ++t) {
        QString why;
        round = std::max(round, RoundOf(ScorePath(dir, t), &why));
    }
    if (std::strcmp(mode, "once") == 0) {
        int status = 0;
        for (int t = 1; t <= kTables; ++t) {
            QString why;
            const qint64 old = RoundOf(ScorePath(dir, t), &why);
            const bool saved = SaveRound(dir, t, round + 1);
            status |= saved ? 0 : 1;
            std::printf("%lld ", static_cast<long long>(saved ? round + 1 : old));
        }
        std::printf("\n");
        return status;
    }
    if (std::strcmp(mode, "loop") == 0) {
        std::printf("saving\n");
        std::fflush(stdout);
        for (;;) {
            ++round;
            for (int t = 1; t <= kTables; ++t) {
                if (!SaveRound(dir, t, round)) {
                    std::fprintf(stderr, "score_saver: saving score%d.sre failed\n", t);
                    return 1;
                }
            }
        }
    }
    std::fprintf(stderr, "usage: score_saver seed|loop|check|once DIR\n");
    return 2;
}

#include "Highscore.h"

#include <algorithm>
#include <limits>

#include "FileLimits.h"
#include "SafeFile.h"
#include "Text8.h"

namespace wf {

namespace {
constexpr int kPlaces = Highscore::kPlaces;
constexpr int kLines = 2 * kPlaces;

constexpr std::array<std::array<qint32, kPlaces>, Highscore::kTables> kDefaultScores{{
    {120, 90, 70, 50},
    {240, 180, 140, 100},
    {480, 360, 280, 200},
}};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

Highscore& Highscore::Instance() {
    static Highscore tables;
    return tables;
}

std::array<qint32, Highscore::kPlaces> Highscore::DefaultScores(int table) {
    if (table < 1 || table > kTables)
        return {};
    return kDefaultScores[table - 1];
}

QString Highscore::ScoreFilePath(const QString& programDir, int table) {
    return programDir + QStringLiteral("/score%1.sre").arg(table);
}

void Highscore::EnsureInit() {
    if (!initialised_)
        InitTables();
}

void Highscore::InitTables() {
    valid_.fill(false);
    initialised_ = true;
}

bool Highscore::TableValid(int table) {
    EnsureInit();
    return InRange(table) && valid_[table];
}

int Highscore::LoadTable(const QString& path, int table) {
    EnsureInit();
    if (!InRange(table))
        return 0;
    // Never blocks on a FIFO or device, never reads a huge file: both are
    // unreadable tables.
    const FileContent file = ReadRegularFile(path, kMaxScoreFileBytes);
    // A missing file is the normal first start, not a failure.
    if (file.error == ReadError::Missing) {
        valid_[table] = true;
        return 2;
    }
    if (!file.ok())
        return 0;
    qsizetype pos = 0;
    for (int line = 0; line < kLines; ++line) {
        if (pos >= file.bytes.size()) {
            valid_[table] = true;
            return 2;
        }
        qsizetype end = file.bytes.indexOf('\n', pos);
        if (end < 0)
            end = file.bytes.size();
        QByteArray text = file.bytes.mid(pos, end - pos);
        pos = end + 1;
        if (text.endsWith('\r'))
            text.chop(1);
        const int place = line / 2 + 1;
        if (line % 2 == 0) {
            names_[table][place] = text;
        } else {
            scores_[table][place] = text;
        }
    }
    valid_[table] = true;
    return 1;
}

int Highscore::ApplyDefaults(qint32 s1, qint32 s2, qint32 s3, qint32 s4, int table) {
    EnsureInit();
    if (!InRange(table) || !valid_[table])
        return 0;
    const std::array<qint32, kPlaces> defaults{s1, s2, s3, s4};
    for (int place = 1; place <= kPlaces; ++place) {
        names_[table][place] = "NoBody";
        scores_[table][place] = defaults[place - 1];
    }
    return 1;
}

int Highscore::LoadTableOrDefaults(const QString& path, int table, qint32 s1, qint32 s2, qint32 s3,
                                   qint32 s4) {
    switch (LoadTable(path, table)) {
        case 1:
            return 1;
        case 2:
            return ApplyDefaults(s1, s2, s3, s4, table) != 0 ? 1 : 0;
        default:
            return 0;
    }
}

int Highscore::SaveTable(const QString& path, int table) {
    EnsureInit();
    if (!InRange(table) || !valid_[table])
        return 0;
    QByteArray content;
    for (int place = 1; place <= kPlaces; ++place) {
        content += names_[table][place] + "\r\n";
        content += ScoreLine(scores_[table][place]) + "\r\n";
    }
    // Written completely beside the old file and put in its place only then,
    // never through a link. A shared install whose directory takes no new
    // files but whose score files are writable has them rewritten in place.
    if (!ReplaceFile(path, content, ReplaceMode::AllowInPlace))
        return 0;
    valid_[table] = false;
    return 1;
}

QString Highscore::GetEntry(int table, int kind, int place) {
    EnsureInit();
    if (!InRange(table) || !InRange(place))
        return QString();
    if (!valid_[table])
        return QStringLiteral("0");
    if (kind == 0) {
        const ScoreValue& score = scores_[table][place];
        if (const qint32* number = std::get_if<qint32>(&score))
            return QString::number(*number);
        return FromText8(std::get<QByteArray>(score));
    }
    if (kind == 1)
        return FromText8(names_[table][place]);
    return QString();
}

int Highscore::RankScore(int table, qint32 score) {
    EnsureInit();
    if (!InRange(table) || !valid_[table])
        return 0;
    for (int place = 1; place <= kPlaces; ++place) {
        if (ScoreNumber(scores_[table][place]) < score)
            return place;
    }
    return 0;
}

int Highscore::InsertEntry(int table, int place, const QString& typedName, qint32 score) {
    EnsureInit();
    if (!InRange(table) || !valid_[table] || place < 1 || place > kPlaces)
        return 0;
    for (int below = kPlaces - 1; below >= place; --below) {
        names_[table][below + 1] = names_[table][below];
        scores_[table][below + 1] = scores_[table][below];
    }
    names_[table][place] = NameFromInput(typedName);
    scores_[table][place] = score;
    return 1;
}

int Highscore::InsertScore(int table, qint32 score, const NameQuestion& askName) {
    const int place = RankScore(table, score);
    if (place == 0)
        return 0;
    // Asked before anything moves.
    return InsertEntry(table, place, askName(place), score);
}

qint32 Highscore::ScoreNumber(const QByteArray& text) {
    // A damaged line counts as its leading number so that it can be outranked
    // like any other score.
    QByteArrayView rest(text);
    const auto skipBlanks = [&rest] {
        while (!rest.isEmpty() && IsBlank(rest.front()))
            rest = rest.sliced(1);
    };
    skipBlanks();
    const bool negative = rest.startsWith('-');
    if (negative) {
        rest = rest.sliced(1);
        skipBlanks();
    }
    constexpr qint64 kMax = std::numeric_limits<qint32>::max();
    qint64 value = 0;
    for (; !rest.isEmpty() && rest.front() >= '0' && rest.front() <= '9'; rest = rest.sliced(1))
        value = std::min(value * 10 + (rest.front() - '0'), kMax + 1);
    if (negative)
        return static_cast<qint32>(-value);
    return static_cast<qint32>(std::min(value, kMax));
}

qint32 Highscore::ScoreNumber(const ScoreValue& value) {
    if (const qint32* number = std::get_if<qint32>(&value))
        return *number;
    return ScoreNumber(std::get<QByteArray>(value));
}

QByteArray Highscore::ScoreLine(const ScoreValue& value) {
    if (const QByteArray* text = std::get_if<QByteArray>(&value))
        return *text;
    const qint32 number = std::get<qint32>(value);
    // The first column holds the sign: a blank for positive numbers.
    if (number < 0)
        return QByteArray::number(number) + ' ';
    return ' ' + QByteArray::number(number) + ' ';
}

QByteArray Highscore::NameFromInput(const QString& typed) {
    // A line break would shift every following line of the score file.
    QString name = typed;
    name.remove(QChar('\r'));
    name.remove(QChar('\n'));
    return ToText8(name);
}

}  // namespace wf

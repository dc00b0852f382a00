#include "Journal.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <algorithm>

#include "SafeFile.h"

namespace wf {
namespace {

const QByteArray kHeader = "modsiegel-journal 1\n";

QByteArray Field(const QString& text) {
    return QFile::encodeName(text).toPercentEncoding();
}

QString Text(const QByteArray& field) {
    return QFile::decodeName(QByteArray::fromPercentEncoding(field));
}

// A journal is a file in mods/ that anyone who may write there could plant:
// its names never lead out of mods/ or through another folder.
bool IsEntryName(const QString& name) {
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") &&
           !name.contains(QLatin1Char('/'));
}

bool IsFolderBelow(const QString& folder) {
    if (folder == QStringLiteral("."))
        return true;
    const QStringList parts = folder.split(QLatin1Char('/'));
    return std::all_of(parts.begin(), parts.end(), IsEntryName);
}

}  // namespace

QString JournalFileName(const QString& mod) {
    return HiddenNameBeside(mod, QStringLiteral(".journal"));
}

QByteArray JournalHeader() {
    return kHeader;
}

QByteArray JournalDigest(const QByteArray& content) {
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex();
}

QByteArray JournalPut(const QString& folder, const QString& temporary, const QString& name,
                      const QByteArray& digest) {
    return "put " + Field(folder) + ' ' + Field(temporary) + ' ' + Field(name) + ' ' + digest +
           '\n';
}

QByteArray JournalDrop(const QString& folder, const QString& name) {
    return "drop " + Field(folder) + ' ' + Field(name) + '\n';
}

QByteArray JournalRegister(int number, const QString& name) {
    return "register " + QByteArray::number(number) + ' ' + Field(name) + '\n';
}

std::optional<QList<JournalStep>> ParseJournal(const QByteArray& content) {
    if (!content.startsWith(kHeader) || !content.endsWith('\n'))
        return std::nullopt;
    QList<JournalStep> steps;
    const QList<QByteArray> lines = content.mid(kHeader.size()).chopped(1).split('\n');
    for (const QByteArray& line : lines) {
        if (line.isEmpty() && lines.size() == 1)
            break;
        const QList<QByteArray> f = line.split(' ');
        JournalStep step;
        bool ok = true;
        if (f[0] == "put" && f.size() == 5) {
            step = {JournalStep::Kind::Put, Text(f[1]), Text(f[2]), Text(f[3]), f[4], 0};
        } else if (f[0] == "drop" && f.size() == 3) {
            step = {JournalStep::Kind::Drop, Text(f[1]), QString(), Text(f[2]), QByteArray(), 0};
        } else if (f[0] == "register" && f.size() == 3) {
            step.kind = JournalStep::Kind::Register;
            step.name = Text(f[2]);
            step.number = f[1].toInt(&ok);
            ok = ok && step.number > 0;
        } else {
            ok = false;
        }
        const bool inMods = step.kind == JournalStep::Kind::Register ||
                            (IsFolderBelow(step.folder) &&
                             (step.kind == JournalStep::Kind::Drop || IsEntryName(step.temporary)));
        if (!ok || !inMods || !IsEntryName(step.name))
            return std::nullopt;
        steps.append(step);
    }
    return steps;
}

}  // namespace wf

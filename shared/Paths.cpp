#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "Text8.h"

namespace wf {
namespace {

// dir & "/" & name when that exists, else the first entry of dir whose name
// equals name without regard to case; "" when there is none or it does not
// exist either (a dangling link).
QString EntryIgnoringCase(const QString& dir, const QString& name) {
    const QString exact = dir + '/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0) {
            const QString found = dir + '/' + e;
            return QFileInfo::exists(found) ? found : QString();
        }
    }
    return QString();
}

QString WithoutFinalSlash(QString dir) {
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    return dir;
}

}  // namespace

bool IsSafeStoredName(const QByteArray& stored) {
    if (stored.isEmpty() || stored.contains('\0'))
        return false;
    QByteArray s = stored;
    s.replace('\\', '/');
    if (s.startsWith('/'))
        return false;
    if (s.size() >= 2 && s[1] == ':')
        return false;  // drive letter
    bool namesSomething = false;
    for (const QByteArray& part : s.split('/')) {
        if (part == "..")
            return false;
        if (!part.isEmpty() && part != ".")
            namesSomething = true;
    }
    return namesSomething;
}

QString JoinStoredPath(const QString& dir, const QByteArray& stored) {
    if (!IsSafeStoredName(stored))
        return QString();
    // Stored names are 8-bit text like the files that hold them.
    QString rel = FromText8(stored);
    rel.replace('\\', '/');
    QStringList parts = rel.split('/', Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    const QString base = WithoutFinalSlash(dir);
    const QString exact = base + '/' + parts.join('/');
    if (QFileInfo::exists(exact))
        return exact;

    // Walk the elements, matching each one without regard to case.
    QString current = base;
    for (const QString& part : parts) {
        current = EntryIgnoringCase(current, part);
        if (current.isEmpty())
            return exact;
    }
    return current;
}

QString JoinPlainName(const QString& dir, const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains('/') || name.contains('\\') || name.contains(QChar(0))) {
        return QString();
    }
    const QString base = WithoutFinalSlash(dir);
    const QString found = EntryIgnoringCase(base, name);
    return found.isEmpty() ? base + '/' + name : found;
}

QString ProgramDirectory() {
    return QCoreApplication::applicationDirPath();
}

QString GameDirectory(const QString& besideProgram) {
    const QString named = qEnvironmentVariable(kGameDirectoryVariable);
    if (named.isEmpty())
        return besideProgram;
    return QDir::cleanPath(QDir(named).absolutePath());
}

}  // namespace wf

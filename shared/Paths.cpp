#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "Text8.h"

namespace wf {

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
    QString base = dir;
    while (base.size() > 1 && base.endsWith('/'))
        base.chop(1);
    const QString exact = base + '/' + parts.join('/');
    if (QFileInfo::exists(exact))
        return exact;

    // Walk the elements, matching each one without regard to case.
    QString current = base;
    for (const QString& part : parts) {
        QString candidate = current + '/' + part;
        if (!QFileInfo::exists(candidate)) {
            const QStringList entries =
                QDir(current).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QString& e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    candidate = current + '/' + e;
                    break;
                }
            }
            if (!QFileInfo::exists(candidate))
                return exact;
        }
        current = candidate;
    }
    return current;
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

#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace wf {

bool IsSafeStoredName(const QByteArray& stored) {
    if (stored.isEmpty()) return false;
    QByteArray s = stored;
    s.replace('\\', '/');
    if (s.startsWith('/')) return false;
    if (s.size() >= 2 && s[1] == ':') return false;  // drive letter
    for (const QByteArray& part : s.split('/')) {
        if (part == "..") return false;
    }
    return true;
}

QString JoinStoredPath(const QString& dir, const QByteArray& stored) {
    if (!IsSafeStoredName(stored)) return QString();
    QString rel = QString::fromLocal8Bit(stored);
    rel.replace('\\', '/');
    QString base = dir;
    while (base.size() > 1 && base.endsWith('/')) base.chop(1);
    const QString exact = base + '/' + rel;
    if (QFileInfo::exists(exact)) return exact;

    // Walk the elements, matching each one without regard to case.
    QString current = base;
    const QStringList parts = rel.split('/', Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part == ".") continue;
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
            if (!QFileInfo::exists(candidate)) return exact;
        }
        current = candidate;
    }
    return current;
}

QString ProgramDirectory() {
    return QCoreApplication::applicationDirPath();
}

}  // namespace wf

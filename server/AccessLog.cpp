#include "AccessLog.h"

#include <QDateTime>
#include <QFile>

namespace wf {
namespace {

// What a client sent, fit for a line of its own: printable ASCII, no blanks
// or quotes, not too long.
QByteArray Tame(const QByteArray& text) {
    QByteArray out = text.left(200);
    for (char& c : out) {
        if (c <= ' ' || c > '~' || c == '"')
            c = '?';
    }
    return out.isEmpty() ? QByteArray("-") : out;
}

}  // namespace

bool AccessLog::Open(const QString& path, QString* error) {
    if (path.isEmpty() || path == QLatin1String("-"))
        return true;
    file_ = std::fopen(QFile::encodeName(path).constData(), "ae");
    if (file_)
        return true;
    *error = QStringLiteral("cannot open %1").arg(path);
    file_ = stdout;
    return false;
}

AccessLog::~AccessLog() {
    Flush();
    if (file_ != stdout)
        std::fclose(file_);
}

void AccessLog::Add(const QByteArray& client, const QByteArray& method, const QByteArray& path,
                    int status, qint64 bytes, double ms) {
    const QByteArray line = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + ' ' +
                            client + " \"" + Tame(method) + ' ' + Tame(path) + "\" " +
                            QByteArray::number(status) + ' ' + QByteArray::number(bytes) + ' ' +
                            QByteArray::number(ms, 'f', 1) + '\n';
    std::lock_guard lock(mutex_);
    pending_ += line;
    if (pending_.size() > 64 * 1024) {
        std::fwrite(pending_.constData(), 1, size_t(pending_.size()), file_);
        std::fflush(file_);
        pending_.clear();
    }
}

void AccessLog::Flush() {
    std::lock_guard lock(mutex_);
    if (!pending_.isEmpty())
        std::fwrite(pending_.constData(), 1, size_t(pending_.size()), file_);
    std::fflush(file_);
    pending_.clear();
}

}  // namespace wf

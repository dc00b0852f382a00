#pragma once
// Files, readable Qt values and a file-size limit for the highscore tests.
#include <sys/resource.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <csignal>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& s, std::ostream* os) {
    *os << '"' << s.toStdString() << "\" (" << s.size() << " bytes)";
}

namespace wf::test {

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

// Lines joined with CR LF, each line ended.
inline QByteArray Lines(std::initializer_list<QByteArray> lines) {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

// While alive, no file of this process can grow beyond `bytes` (as on a full
// disk); works for root as well, where directory permissions do not.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }
    bool Active() const { return active_; }

  private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
    bool active_ = false;
};

}  // namespace wf::test

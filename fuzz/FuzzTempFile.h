#pragma once
// One scratch file per fuzzing process, on a memory file system when there is
// one (every write is synced to disk), removed when the process ends.
#include <unistd.h>
#include <QFile>
#include <QString>
#include <cstdlib>

inline QString FuzzTempFile(const QString& name) {
    static const QString path = [&] {
        const char* dir = std::getenv("WF_FUZZ_TMP");
        if (!dir || !*dir)
            dir = QFile::exists("/dev/shm") ? "/dev/shm" : "/tmp";
        return QString::fromLocal8Bit(dir) +
               QStringLiteral("/wf-fuzz-%1-%2").arg(getpid()).arg(name);
    }();
    static const struct Remover {
        ~Remover() { QFile::remove(path); }
    } remover;
    return path;
}

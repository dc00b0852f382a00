#pragma once
// Stand-ins for the engine's listeners and its file changes.
#include <QList>
#include <QStringList>
#include <stdexcept>

#include "EngineSink.h"
#include "FileOps.h"

namespace wf::test {

class RecordingSink : public EngineSink {
  public:
    void OnLogLine(const QString& entry) override { entries.append(entry); }
    void OnProgress(int percent) override { progress.append(percent); }

    // The logged lines without the CR LF each entry begins with.
    QStringList Lines() const {
        QStringList lines;
        for (const QString& e : entries)
            lines.append(e.mid(2));
        return lines;
    }

    QStringList entries;
    QList<int> progress;
};

// Thrown to stop a run dead, as if the process had been killed.
struct Killed : std::runtime_error {
    Killed() : std::runtime_error("killed") {}
};

// Real file changes, except that change number failAt fails (returns false)
// or, with die set, never happens because the process "dies" before it.
class FaultyFiles : public FileOps {
  public:
    int failAt = 0;  // 1-based; 0 never
    bool die = false;
    QStringList changes;

    bool MakeDir(const QString& path) override {
        return Step(QStringLiteral("mkdir ") + path) && FileOps::MakeDir(path);
    }
    bool CopyFile(const QString& from, const QString& to) override {
        return Step(QStringLiteral("copy ") + to) && FileOps::CopyFile(from, to);
    }
    bool RemoveFile(const QString& path) override {
        return Step(QStringLiteral("remove ") + path) && FileOps::RemoveFile(path);
    }
    bool WriteFileAtomically(const QString& path, const QByteArray& content) override {
        return Step(QStringLiteral("write ") + path) && FileOps::WriteFileAtomically(path, content);
    }
    bool WriteIni(const QString& path, const QByteArray& value, const QByteArray& section,
                  const QByteArray& key) override {
        return Step(QStringLiteral("ini ") + path) && FileOps::WriteIni(path, value, section, key);
    }

  private:
    bool Step(const QString& what) {
        changes.append(what);
        if (changes.size() != failAt)
            return true;
        if (die)
            throw Killed();
        return false;
    }
};

}  // namespace wf::test

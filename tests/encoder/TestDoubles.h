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
    bool RemoveDir(const QString& path) override {
        return Step(QStringLiteral("rmdir ") + path) && FileOps::RemoveDir(path);
    }
    std::optional<StagedFile> Stage(const QString& path, const QByteArray& content,
                                    QString* why) override {
        if (!Step(QStringLiteral("write ") + path))
            return std::nullopt;
        return FileOps::Stage(path, content, why);
    }
    bool Commit(StagedFile& staged, QString* why) override {
        return Step(QStringLiteral("commit ") + staged.Path()) && FileOps::Commit(staged, why);
    }
    bool RemoveFile(const QString& path) override {
        return Step(QStringLiteral("remove ") + path) && FileOps::RemoveFile(path);
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

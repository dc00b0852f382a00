#pragma once
// One encoding run over a game directory, with everything it reported, and
// file changes that fail or "die" at a chosen step.
#include <QStringList>
#include <stdexcept>

#include "Engine.h"
#include "FileOps.h"
#include "GameFiles.h"
#include "ScriptedPlatform.h"

namespace wf::test {

// game.ini listing names, and "welt" (the standard test MOD) installed.
inline QMap<QByteArray, QByteArray> InstallWelt(const GameFiles& g, const Lines& names = {"welt"}) {
    g.Write("game.ini", ModList(names));
    return g.WriteMod("welt", MakeMod());
}

class RecordingSink : public EngineSink {
  public:
    void OnLogLine(const QString& entry) override { entries.append(entry); }
    void OnProgress(int percent) override { progress.push_back(percent); }
    // The logged lines without the CR LF each entry begins with.
    QStringList Lines() const {
        QStringList lines;
        for (const QString& e : entries)
            lines.append(e.mid(2));
        return lines;
    }
    QStringList entries;
    std::vector<int> progress;
};

// Thrown to stop a run dead, as if the process had been killed.
struct Killed : std::runtime_error {
    Killed() : std::runtime_error("killed") {}
};

// Real file changes, except that change number failAt fails or, with die
// set, never happens because the process "dies" before it.
class FaultyFiles : public FileOps {
  public:
    int failAt = 0;  // 1-based; 0 never
    bool die = false;
    QStringList changes;

    bool MakeDir(const QString& p) override { return Step("mkdir " + p) && FileOps::MakeDir(p); }
    bool RemoveDir(const QString& p) override {
        return Step("rmdir " + p) && FileOps::RemoveDir(p);
    }
    std::optional<StagedFile> Stage(const QString& p, const QByteArray& content,
                                    QString* why) override {
        if (!Step("write " + p))
            return std::nullopt;
        return FileOps::Stage(p, content, why);
    }
    bool Commit(StagedFile& staged, QString* why) override {
        return Step("commit " + staged.Path()) && FileOps::Commit(staged, why);
    }
    bool RemoveFile(const QString& p) override {
        return Step("remove " + p) && FileOps::RemoveFile(p);
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

struct EngineRun {
    explicit EngineRun(const GameFiles& g, FileOps* files = nullptr) : engine(sink, files) {
        engine.SetGameDirectory(g.Path());
    }
    // Reads game.ini and runs; true when the run returned, false when it
    // ended the program.
    bool Run(const QString& mod, const QString& backup, bool backupWanted) {
        try {
            engine.ReadModList();
            engine.RunEncoding({mod, backup, backupWanted});
            return true;
        } catch (const ProgramExit&) {
            return false;
        }
    }
    RecordingSink sink;
    Engine engine;
};

}  // namespace wf::test

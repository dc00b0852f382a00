#pragma once
// One encoding run over a game directory, with everything it reported.
#include "Engine.h"
#include "GameFiles.h"
#include "ScriptedPlatform.h"

namespace wf::test {

// game.ini listing names, and "welt" (the standard test MOD) installed.
inline QMap<QByteArray, QByteArray> InstallWelt(const GameFiles& g, const Lines& names = {"welt"}) {
    g.Write("game.ini", ModList(names));
    return g.WriteMod("welt", MakeMod());
}

struct EngineRun : EngineSink {
    explicit EngineRun(const GameFiles& g, FileOps* files = nullptr) : engine(*this, files) {
        engine.SetGameDirectory(g.Path());
    }
    void OnLogLine(const QString&) override {}
    void OnProgress(int percent) override { progress.push_back(percent); }
    // Reads game.ini and runs; false when the run ended the program.
    bool Run(const QString& mod, const QString& backup, bool backupWanted) {
        try {
            engine.ReadModList();
            engine.RunEncoding({mod, backup, backupWanted});
            return true;
        } catch (const ProgramExit&) {
            return false;
        }
    }
    std::vector<int> progress;
    Engine engine;
};

}  // namespace wf::test

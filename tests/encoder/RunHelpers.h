#pragma once
// One encoding run over a fixture, with everything it reported.
#include <QString>

#include "Engine.h"
#include "ModFixture.h"
#include "ScriptedPlatform.h"
#include "TestDoubles.h"

namespace wf::test {

struct EngineRun {
    explicit EngineRun(const ModFixture& fx, FileOps* files = nullptr) : engine(sink, files) {
        engine.SetGameDirectory(fx.GameDir());
        engine.ReadModList();
    }
    // Runs; true when the run returned, false when it ended the program.
    bool Run(const QString& mod, const QString& backup, bool backupWanted) {
        try {
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

#pragma once
// One encoding run over a game directory, with everything it reported.
#include <QStringList>
#include <string>

#include "Engine.h"
#include "GameFiles.h"
#include "ScriptedPlatform.h"

namespace wf::test {

// game.ini listing names, and "welt" (the standard test MOD) installed.
inline QMap<QByteArray, QByteArray> InstallWelt(const GameFiles& g, const Lines& names = {"welt"}) {
    g.Write("game.ini", ModList(names));
    return g.WriteMod("welt", MakeMod());
}

// What differs between two snapshots, "" when nothing: "+added -removed
// ~changed" entries, so that a failure names the files rather than dumping
// their bytes.
inline std::string Differences(const QMap<QString, QByteArray>& before,
                               const QMap<QString, QByteArray>& after) {
    QStringList found;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            found.append('-' + it.key());
        else if (after.value(it.key()) != it.value())
            found.append('~' + it.key());
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            found.append('+' + it.key());
    }
    return found.join(' ').toStdString();
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

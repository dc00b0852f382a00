#pragma once
// One encoding run over a game directory, with everything it reported.
#include <QProcess>
#include <QStringList>
#include <string>

#include "Engine.h"
#include "GameFiles.h"
#include "IniAccess.h"
#include "ScriptedPlatform.h"

namespace wf::test {

inline QByteArray GameIniValue(const GameFiles& g, const char* key) {
    return ReadIniText(g.Path("game.ini"), "Mods", key);
}

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

#ifdef MODSIEGEL_BINARY
// The real program, run on its command line.
struct Result {
    int exitCode = -1;  // -2: crashed
    QString out, err;
};

// prefix: a program that runs modsiegel (strace).
inline Result Modsiegel(const QStringList& args, const QStringList& prefix = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing of this mode may need a display.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    // The leak checker of a sanitizer build cannot work under a tracer and
    // would end every traced run with an abort.
    if (!prefix.isEmpty())
        env.insert("LSAN_OPTIONS", "detect_leaks=0");
    p.setProcessEnvironment(env);
    const QStringList line = prefix + QStringList{MODSIEGEL_BINARY} + args;
    p.start(line[0], line.mid(1));
    if (!p.waitForFinished(30000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
#endif

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

#pragma once
// The scripted way to publish a MOD: the same engine as the wizard, without
// any window, for build scripts and MOD authors.
#include <QString>
#include <QStringList>

namespace wf {

struct CommandLine {
    enum class Mode { Wizard, Encode, Install, Check, Help, Error };
    Mode mode = Mode::Wizard;
    QString gameDirectory;  // empty: derived from the program's location
    QString mod;            // Encode and Check: the MOD's name in mods/
    QString archive;        // Install
    QString backupDir;
    bool backupWanted = false;
    bool overwrite = false;
    QString error;  // Mode::Error: what was wrong
};

// arguments: without the program name.
CommandLine ParseCommandLine(const QStringList& arguments);

// Whether the arguments ask for the command-line mode, decided before any
// application object exists (the wizard needs a display, this mode does not).
bool WantsCommandLineMode(const QStringList& arguments);

QString UsageText();

// Runs every mode but the wizard and returns the exit status: 0 success (a
// check: the MOD loads and plays), 1 the run failed or was refused (a check:
// the MOD has problems), 2 the arguments were wrong.
int RunCommandLine(const CommandLine& commandLine);

}  // namespace wf

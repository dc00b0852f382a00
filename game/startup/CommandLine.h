#pragma once
// The game's command line: split into at most ten tokens at blanks, then the
// switches "-mod:<name>" and the debug switches, compared exactly.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace wf {

inline constexpr int kMaxCommandTokens = 10;

struct CommandLineOptions {
    bool debugMode = false;
    uint8_t debugStyle = 2;
    QString modName;  // empty: the default MOD
};

// The platform hands over argv; the line is the arguments joined by one blank.
QString JoinCommandLine(const QStringList& arguments);

// Tokens at blanks (two blanks give an empty token); a last tail shorter than
// three characters is dropped; tokens after the tenth are ignored.
QStringList SplitCommandLine(const QString& line);

// Applies the switches in order; a later one overrides an earlier one.
CommandLineOptions ApplySwitches(const QStringList& tokens);

// "--help" anywhere on the command line: the program prints UsageText()
// and ends instead of starting.
bool AsksForHelp(const QStringList& arguments);
QString UsageText();

}  // namespace wf

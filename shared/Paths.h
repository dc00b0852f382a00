#pragma once
// File names stored in the system's files use '\' as separator and were often
// made on systems that ignore case. These helpers turn them into real paths.
#include <QByteArray>
#include <QString>

namespace wf {

// Joins dir and a stored relative name: '\' becomes '/', and when the exact
// name does not exist, each element is matched without regard to case.
// Returns "" when the stored name is empty, names only dir itself, is absolute
// or climbs out of dir with "..": such a name is treated as missing and never opened. The result
// may name a file that does not exist (when nothing matched).
QString JoinStoredPath(const QString& dir, const QByteArray& stored);

// dir & "/" & name for a name of one directory entry, found without regard
// to case like a stored name; "" for a name that is empty, "." or "..", or
// holds a path separator, so that it can never lead out of dir.
QString JoinPlainName(const QString& dir, const QString& name);

// True when the stored relative name is safe to use below a directory.
bool IsSafeStoredName(const QByteArray& stored);

// The directory of the running executable.
QString ProgramDirectory();

// The name of the environment variable that names the game directory.
inline constexpr char kGameDirectoryVariable[] = "WOLKENFANG_DIR";

// The game directory, where game.ini, the score files, Info.txt, Grafiken/
// and mods/ lie: the directory that WOLKENFANG_DIR names (made absolute) when
// it is set and not empty, else besideProgram, the directory that the
// running program finds from its own location. A system install's launcher
// sets the variable to the player's own directory; a program started from
// the game (the MOD manager's restart) inherits it.
QString GameDirectory(const QString& besideProgram);

}  // namespace wf

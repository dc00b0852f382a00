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

}  // namespace wf

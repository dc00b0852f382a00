#pragma once
// Writes MOD directories for the tests, plain or encoded, and takes
// snapshots of a directory to prove that nothing in it changed.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace wf::test {

// Lines of a definition file, written with CR LF.
QByteArray JoinLines(const QStringList& lines);

// Writes bytes to dir/name, creating folders as needed.
void WriteFile(const QString& dir, const QString& name, const QByteArray& bytes);

// Writes a definition file: base + ".ini" as plain lines, or, when encoded,
// base + ".cod" with every line in the encoded three-digit form.
void WriteDefinition(const QString& dir, const QString& base, const QStringList& lines,
                     bool encoded);

// Relative path of every file and folder below dir with its bytes.
QMap<QString, QByteArray> Snapshot(const QString& dir);

}  // namespace wf::test

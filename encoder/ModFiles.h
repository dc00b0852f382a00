#pragma once
// Small rules about the files and names of a MOD, shared by the encoding run
// and the source backup.
#include <QByteArray>
#include <QList>
#include <QString>

namespace wf {

// The lines of a plain file without their line ends ("\r\n" or "\n"). A
// final line end does not start another line; an empty file is one empty
// line.
QList<QByteArray> PlainLines(const QByteArray& content);

// The encoded twin of a plain file: every line ciphered on its own with the
// MOD key (so the game can decode line by line), each ended by CR LF.
QByteArray EncodeModContent(const QByteArray& plain);

// The size of EncodeModContent(plain), without making it.
qint64 EncodedSize(const QByteArray& plain);

// A name that can only mean a directory directly below "mods": not empty, no
// path separator, not "." or "..", no control character, and expressible in
// the files' 8-bit code page (game.ini stores it).
bool IsPlainDirName(const QString& name);

// A stored relative name ('\' separators) as a path below dir, mirrored
// element for element.
QString MirrorStoredPath(const QString& dir, const QByteArray& stored);

// The stored name up to and including each '\', from the first to the last.
QList<QByteArray> FolderPrefixes(const QByteArray& stored);

}  // namespace wf

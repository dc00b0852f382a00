#pragma once
// A MOD packed as an archive (.zip, .tar.gz, .tar.xz), read and unpacked
// with the checks a downloaded file needs before any of it lands: only
// files and folders, names that stay inside the MOD, sizes within what the
// game reads at all, and a bound on the whole that a decompression bomb
// meets early (the bytes unpacked are counted, not the sizes the archive
// claims).
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "SafeFile.h"

namespace wf {

// The whole of a MOD unpacked, and its number of entries.
inline constexpr qint64 kMaxArchiveBytes = 512 * 1024 * 1024;
inline constexpr int kMaxArchiveEntries = 10000;

// What the archive holds, read from its entries' headers.
struct ArchiveListing {
    // The MOD's folder name: the archive's one top folder, or, for loose
    // files, the archive's name without its endings.
    QString modName;
    // The top folder every path starts with ("" for loose files).
    QString topFolder;
    int files = 0;
    // German, naming the entry and the limit; empty when the archive may be
    // unpacked.
    QString problem;
};

ArchiveListing ListModArchive(const QString& archivePath);

// The largest a file of this name may be (by its ending: definition files,
// pictures, sounds, music, anything else).
qint64 MaxUnpackedBytes(const QString& name);

// Unpacks the archive's MOD into the folder `into` (new and empty) inside
// parent: the top folder's content, or the loose files. Every folder and
// file is made new through the folders held open; nothing is followed.
// false with a German reason in *problem.
bool UnpackModArchive(const QString& archivePath, const ArchiveListing& listing,
                      const FolderRef& parent, const QString& into, QString* problem);

// Removes name in folder with everything below it, never through a link.
void RemoveTreeIn(const Folder& folder, const QString& name);

}  // namespace wf

#include "ModArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <cerrno>
#include <memory>

#include "FileLimits.h"
#include "Text8.h"

namespace wf {
namespace {

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveFree>;

QString Mib(qint64 bytes) {
    return QString::number(bytes / (1024 * 1024)) + QStringLiteral(" MiB");
}

// Zip archives and tar archives, plain, gzip'd or xz'd.
ArchivePtr OpenArchive(const QString& path, QString* problem) {
    if (!IsRegularFile(path)) {
        *problem = QStringLiteral("'%1' ist keine gewöhnliche Datei.").arg(path);
        return nullptr;
    }
    ArchivePtr a(archive_read_new());
    archive_read_support_filter_gzip(a.get());
    archive_read_support_filter_xz(a.get());
    archive_read_support_format_zip(a.get());
    archive_read_support_format_tar(a.get());
    if (archive_read_open_filename(a.get(), QFile::encodeName(path).constData(), 1 << 16) !=
        ARCHIVE_OK) {
        *problem = QStringLiteral(
                       "'%1' ist kein Archiv, das Wolkenfang lesen kann (.zip, .tar.gz "
                       "oder .tar.xz): %2")
                       .arg(path, QString::fromLocal8Bit(archive_error_string(a.get())));
        return nullptr;
    }
    return a;
}

QString Damaged(const QString& path, archive* a) {
    return QStringLiteral("Das Archiv '%1' ist beschädigt: %2")
        .arg(path, QString::fromLocal8Bit(archive_error_string(a)));
}

// The next entry's header: true with *entry set, false at the end or (with
// *problem set) when the archive is damaged.
bool NextEntry(archive* a, const QString& path, archive_entry** entry, QString* problem) {
    const int status = archive_read_next_header(a, entry);
    if (status == ARCHIVE_EOF)
        return false;
    if (status < ARCHIVE_WARN) {
        *problem = Damaged(path, a);
        return false;
    }
    return true;
}

QString EntryName(archive_entry* entry) {
    if (const char* utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    // Archives made on older systems name their files in the 8-bit code page.
    const char* raw = archive_entry_pathname(entry);
    return raw ? FromText8(QByteArray(raw)) : QString();
}

// The parts of an entry's name, "." parts dropped; a problem when the name
// is absolute, climbs out or cannot be a name below the MOD's folder.
QStringList NameParts(const QString& name, QString* problem) {
    if (name.isEmpty()) {
        *problem = QStringLiteral("Ein Eintrag des Archivs hat keinen Namen.");
        return {};
    }
    if (name.startsWith('/')) {
        *problem = QStringLiteral(
                       "'%1' im Archiv ist ein absoluter Pfad; ein MOD hat nur Namen "
                       "unterhalb seines Verzeichnisses.")
                       .arg(name);
        return {};
    }
    if (name.contains('\\')) {
        *problem = QStringLiteral(
                       "'%1' im Archiv enthält einen umgekehrten Schrägstrich; ein "
                       "Archiv trennt Verzeichnisse mit '/'.")
                       .arg(name);
        return {};
    }
    QStringList parts;
    for (const QString& part : name.split('/', Qt::SkipEmptyParts)) {
        if (part == QStringLiteral("."))
            continue;
        if (part == QStringLiteral("..")) {
            *problem = QStringLiteral(
                           "'%1' im Archiv führt mit '..' aus dem Verzeichnis des MODs "
                           "heraus.")
                           .arg(name);
            return {};
        }
        if (QFile::encodeName(part).size() > 255) {
            *problem =
                QStringLiteral("'%1' im Archiv hat einen Namen mit mehr als 255 Bytes.").arg(name);
            return {};
        }
        parts.append(part);
    }
    return parts;
}

// Only files and folders belong to a MOD.
QString TypeProblem(archive_entry* entry, const QString& name) {
    if (archive_entry_hardlink(entry) || archive_entry_filetype(entry) == AE_IFLNK) {
        return QStringLiteral(
                   "'%1' im Archiv ist ein Verweis (Link); ein MOD enthält nur "
                   "Dateien und Verzeichnisse.")
            .arg(name);
    }
    switch (archive_entry_filetype(entry)) {
        case AE_IFREG:
        case AE_IFDIR:
            return QString();
        case AE_IFIFO:
            return QStringLiteral(
                       "'%1' im Archiv ist eine FIFO; ein MOD enthält nur Dateien und "
                       "Verzeichnisse.")
                .arg(name);
        case AE_IFCHR:
        case AE_IFBLK:
            return QStringLiteral(
                       "'%1' im Archiv ist eine Gerätedatei; ein MOD enthält nur "
                       "Dateien und Verzeichnisse.")
                .arg(name);
        default:
            return QStringLiteral("'%1' im Archiv ist weder eine Datei noch ein Verzeichnis.")
                .arg(name);
    }
}

QString KindOf(const QString& name) {
    const QString ending = QFileInfo(name).suffix().toLower();
    if (ending == "ini" || ending == "cod")
        return QStringLiteral("Definitionsdateien");
    if (ending == "jpg" || ending == "jpeg" || ending == "bmp" || ending == "gif" ||
        ending == "png")
        return QStringLiteral("Bilder");
    if (ending == "wav")
        return QStringLiteral("Klänge");
    if (ending == "mid" || ending == "midi")
        return QStringLiteral("Musik");
    return QStringLiteral("andere Dateien");
}

QString TooLarge(const QString& name, qint64 atLeast) {
    return QStringLiteral(
               "'%1' im Archiv ist größer als erlaubt: mindestens %2 Bytes "
               "(höchstens %3 für %4).")
        .arg(name)
        .arg(atLeast)
        .arg(Mib(MaxUnpackedBytes(name)), KindOf(name));
}

QString TooMuch() {
    return QStringLiteral("Das Archiv entpackt zu mehr als erlaubt (höchstens %1 für ein MOD).")
        .arg(Mib(kMaxArchiveBytes));
}

// A name a player can start the MOD with: the game's command line splits
// at blanks, and game.ini holds the name in its 8-bit code page.
QString ModNameProblem(const QString& name) {
    bool unusable = name.isEmpty() || name == QStringLiteral(".") || name.startsWith('.') ||
                    FromText8(ToText8(name)) != name || QFile::encodeName(name).size() > 200;
    for (const QChar c : name)
        unusable = unusable || c.isSpace() || c.unicode() < 0x20 || c == QChar(0x7f);
    if (!unusable)
        return QString();
    return QStringLiteral(
               "'%1' kann nicht der Name eines MODs sein: er darf nicht leer sein, nicht "
               "mit '.' beginnen und keine Leerzeichen enthalten.")
        .arg(name);
}

QString WithoutArchiveEnding(const QString& fileName) {
    for (const char* ending : {".tar.gz", ".tar.xz", ".tgz", ".txz", ".tar", ".zip"}) {
        if (fileName.endsWith(QLatin1String(ending), Qt::CaseInsensitive))
            return fileName.chopped(static_cast<int>(qstrlen(ending)));
    }
    return fileName;
}

int WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

QString WriteProblem(const QString& name, int error) {
    if (error == ENOSPC || error == EDQUOT) {
        return QStringLiteral("Beim Entpacken von '%1' ist kein Platz mehr auf dem Datenträger.")
            .arg(name);
    }
    return QStringLiteral("'%1' kann nicht entpackt werden: %2")
        .arg(name, QString::fromLocal8Bit(std::strerror(error)));
}

}  // namespace

qint64 MaxUnpackedBytes(const QString& name) {
    const QString kind = KindOf(name);
    if (kind == QStringLiteral("Definitionsdateien"))
        return kMaxDefinitionFileBytes;
    if (kind == QStringLiteral("Klänge"))
        return kMaxSoundFileBytes;
    if (kind == QStringLiteral("Musik"))
        return kMaxMusicFileBytes;
    return kMaxPictureFileBytes;
}

ArchiveListing ListModArchive(const QString& archivePath) {
    ArchiveListing listing;
    ArchivePtr a = OpenArchive(archivePath, &listing.problem);
    if (!a)
        return listing;
    QSet<QString> tops;
    bool looseFile = false;
    qint64 declared = 0;
    int entries = 0;
    archive_entry* entry = nullptr;
    while (NextEntry(a.get(), archivePath, &entry, &listing.problem)) {
        if (++entries > kMaxArchiveEntries) {
            listing.problem =
                QStringLiteral("Das Archiv hat mehr als %1 Einträge.").arg(kMaxArchiveEntries);
            return listing;
        }
        const QString name = EntryName(entry);
        const QStringList parts = NameParts(name, &listing.problem);
        if (!listing.problem.isEmpty())
            return listing;
        if (parts.isEmpty())
            continue;  // "./" itself
        listing.problem = TypeProblem(entry, name);
        if (!listing.problem.isEmpty())
            return listing;
        const bool file = archive_entry_filetype(entry) == AE_IFREG;
        tops.insert(parts.first());
        looseFile = looseFile || (file && parts.size() == 1);
        if (file) {
            ++listing.files;
            // What the header claims is checked now; what the data really
            // holds is counted while it is unpacked.
            const qint64 size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
            if (size > MaxUnpackedBytes(name)) {
                listing.problem = TooLarge(name, size);
                return listing;
            }
            declared += size;
            if (declared > kMaxArchiveBytes) {
                listing.problem = TooMuch();
                return listing;
            }
        }
        archive_read_data_skip(a.get());
    }
    if (!listing.problem.isEmpty())
        return listing;
    if (listing.files == 0) {
        listing.problem = QStringLiteral("Das Archiv '%1' enthält keine Dateien.").arg(archivePath);
        return listing;
    }
    if (!looseFile && tops.size() > 1) {
        QStringList names(tops.begin(), tops.end());
        names.sort();
        listing.problem = QStringLiteral(
                              "Das Archiv hat mehrere oberste Verzeichnisse (%1); ein "
                              "MOD liegt in einem Verzeichnis oder lose im Archiv.")
                              .arg(names.join(QStringLiteral(", ")));
        return listing;
    }
    listing.topFolder = looseFile ? QString() : *tops.begin();
    listing.modName =
        looseFile ? WithoutArchiveEnding(QFileInfo(archivePath).fileName()) : listing.topFolder;
    listing.problem = ModNameProblem(listing.modName);
    return listing;
}

bool UnpackModArchive(const QString& archivePath, const ArchiveListing& listing,
                      const FolderRef& parent, const QString& into, QString* problem) {
    ArchivePtr a = OpenArchive(archivePath, problem);
    if (!a)
        return false;
    if (::mkdirat(parent->Fd(), QFile::encodeName(into).constData(), 0755) != 0) {
        *problem = WriteProblem(into, errno);
        return false;
    }
    QHash<QString, FolderRef> folders;  // by their path below the MOD's folder
    folders.insert(QString(), Folder::OpenIn(parent, into));
    if (!folders.value(QString())) {
        *problem = WriteProblem(into, errno);
        return false;
    }
    // The folder for parts (made where missing), never through a link.
    const auto folderOf = [&](const QStringList& parts, int count) -> FolderRef {
        QString path;
        FolderRef folder = folders.value(QString());
        for (int i = 0; i < count && folder; ++i) {
            path += '/' + parts[i];
            if (const FolderRef known = folders.value(path)) {
                folder = known;
                continue;
            }
            if (::mkdirat(folder->Fd(), QFile::encodeName(parts[i]).constData(), 0755) != 0 &&
                errno != EEXIST)
                return nullptr;
            folder = Folder::OpenIn(folder, parts[i]);
            folders.insert(path, folder);
        }
        return folder;
    };

    const int skip = listing.topFolder.isEmpty() ? 0 : 1;
    qint64 total = 0;
    std::unique_ptr<char[]> buffer(new char[1 << 16]);
    archive_entry* entry = nullptr;
    while (NextEntry(a.get(), archivePath, &entry, problem)) {
        const QString name = EntryName(entry);
        QString bad;
        const QStringList parts = NameParts(name, &bad);
        bad = bad.isEmpty() ? TypeProblem(entry, name) : bad;
        if (!bad.isEmpty() || parts.size() <= skip) {
            // Listed and checked before; only the top folder itself is here.
            if (!bad.isEmpty()) {
                *problem = bad;
                return false;
            }
            continue;
        }
        const bool isDir = archive_entry_filetype(entry) == AE_IFDIR;
        const FolderRef folder = folderOf(parts.mid(skip), parts.size() - skip - (isDir ? 0 : 1));
        if (!folder) {
            *problem = WriteProblem(name, errno);
            return false;
        }
        if (isDir)
            continue;
        const int fd = ::openat(folder->Fd(), QFile::encodeName(parts.last()).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            *problem = errno == EEXIST ? QStringLiteral("'%1' steht zweimal im Archiv.").arg(name)
                                       : WriteProblem(name, errno);
            return false;
        }
        qint64 written = 0;
        int error = 0;
        for (;;) {
            const la_ssize_t n = archive_read_data(a.get(), buffer.get(), 1 << 16);
            if (n == 0)
                break;
            if (n < 0) {
                ::close(fd);
                *problem = Damaged(archivePath, a.get());
                return false;
            }
            written += n;
            total += n;
            if (written > MaxUnpackedBytes(name) || total > kMaxArchiveBytes) {
                ::close(fd);
                *problem = written > MaxUnpackedBytes(name) ? TooLarge(name, written) : TooMuch();
                return false;
            }
            if ((error = WriteAll(fd, buffer.get(), static_cast<size_t>(n))) != 0)
                break;
        }
        if (error == 0 && ::fsync(fd) != 0)
            error = errno;
        ::close(fd);
        if (error != 0) {
            *problem = WriteProblem(name, error);
            return false;
        }
    }
    if (!problem->isEmpty())
        return false;
    for (const FolderRef& folder : folders)
        folder->Sync();
    return true;
}

void RemoveTreeIn(const Folder& folder, const QString& name) {
    const QByteArray native = QFile::encodeName(name);
    struct stat st;
    if (::fstatat(folder.Fd(), native.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        ::unlinkat(folder.Fd(), native.constData(), 0);
        return;
    }
    const int fd =
        ::openat(folder.Fd(), native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        if (DIR* dir = ::fdopendir(::dup(fd))) {
            QStringList names;
            while (const dirent* e = ::readdir(dir)) {
                const QByteArray n(e->d_name);
                if (n != "." && n != "..")
                    names.append(QFile::decodeName(n));
            }
            ::closedir(dir);
            const std::shared_ptr<const Folder> inner =
                Folder::OpenIn(Folder::Open(folder.Path()), name);
            if (inner) {
                for (const QString& n : names)
                    RemoveTreeIn(*inner, n);
            }
        }
        ::close(fd);
    }
    ::unlinkat(folder.Fd(), native.constData(), AT_REMOVEDIR);
}

}  // namespace wf

#pragma once
// The one way both programs read and replace files. Reads never block on a
// FIFO or device and never run past a size limit; replacements never follow a
// link, never leave a short file behind on a full disk, and keep the old file
// byte for byte when anything fails.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace wf {

// A folder held open once found: whatever later happens to its name (a swap
// for a link, a rename), what is read, made, replaced or removed through it
// stays in it.
class Folder {
  public:
    // followLink: whether path itself may be a link (a game directory may
    // be); the folders above it are always followed. nullptr (errno set) when
    // it is no folder.
    static std::shared_ptr<const Folder> Open(const QString& path, bool followLink = true);
    // The folder name directly in parent, never through a link (errno ELOOP
    // or ENOTDIR when it is one).
    static std::shared_ptr<const Folder> OpenIn(const std::shared_ptr<const Folder>& parent,
                                                const QString& name);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int Fd() const { return fd_; }
    // Where it was found, for messages and logs.
    const QString& Path() const { return path_; }
    QString PathOf(const QString& name) const { return path_ + QLatin1Char('/') + name; }
    // Makes the folder's entries (new, renamed, removed) durable.
    bool Sync() const;

  private:
    Folder(int fd, QString path) : fd_(fd), path_(std::move(path)) {}
    int fd_;
    QString path_;
};
using FolderRef = std::shared_ptr<const Folder>;

// The name of a hidden file beside entry that says what it is for:
// "." + entry + suffix, or, where that would not fit a file name, entry cut
// short and told apart by a hash of the whole name. reserve: bytes that are
// still appended to it (a temporary's suffix).
QString HiddenNameBeside(const QString& entry, const QString& suffix, int reserve = 0);

enum class ReadError { None, Missing, NotRegular, TooLarge, Unreadable };

struct FileContent {
    ReadError error = ReadError::None;
    QByteArray bytes;
    bool ok() const { return error == ReadError::None; }
};

// The whole file when it is a regular file (a link to one is followed) of at
// most maxBytes.
FileContent ReadRegularFile(const QString& path, qint64 maxBytes);

// The same for a name in folder (a link there is followed, as above).
FileContent ReadRegularFileIn(const Folder& folder, const QString& name, qint64 maxBytes);

// What name in folder is, without following a link: 0 when it is missing,
// else its st_mode type bits (S_IFREG, S_IFLNK, ...); -1 when it cannot be
// told.
int EntryTypeIn(const Folder& folder, const QString& name);

// The names in folder but "." and "..", sorted.
QStringList EntryNamesIn(const Folder& folder);

// True for a regular file or a link to one; false for FIFOs, devices,
// directories, dangling links and missing names. Never opens the file.
bool IsRegularFile(const QString& path);

// True when path exists as a symbolic link (dangling or not).
bool IsSymLink(const QString& path);

// True when the directory holding path, with every link resolved, is root or
// lies below it (root resolved too), and path itself is not a link.
bool LiesInside(const QString& root, const QString& path);

// A complete new content for a file, written and synced to a temporary
// beside it; the file itself changes only when it is committed. A staged file
// that is neither committed nor discarded is discarded when it goes.
class StagedFile {
  public:
    // nullopt when the target is a link or not a regular file, or the
    // temporary could not be written completely (why says what failed).
    static std::optional<StagedFile> Stage(const QString& path, const QByteArray& content,
                                           QString* why = nullptr);
    // The same for name in a folder held open.
    static std::optional<StagedFile> StageIn(const FolderRef& folder, const QString& name,
                                             const QByteArray& content, QString* why = nullptr);
    // Takes over a complete temporary that an interrupted run staged for name
    // and listed in its journal; nullopt when it is no longer there.
    static std::optional<StagedFile> Adopt(const FolderRef& folder, const QString& name,
                                           const QString& temporaryName);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    // Renames the temporary into place (refused when the target has become a
    // link or something other than a regular file) and syncs the directory.
    bool Commit(QString* why = nullptr);
    void Discard();

    const QString& Path() const { return path_; }
    QString TemporaryPath() const;
    const QString& TemporaryName() const { return temporary_; }
    const FolderRef& InFolder() const { return folder_; }
    const QString& Name() const { return name_; }

  private:
    StagedFile(FolderRef folder, QString name, QString temporary, int lockFd);

    FolderRef folder_;
    QString name_;
    QString path_;
    QString temporary_;  // its name in folder_, "" once committed or discarded
    int lockFd_ = -1;    // held while the temporary is ours (see RemoveStaleTemporaries)
};

enum class ReplaceMode {
    // Only by renaming a complete temporary into place.
    RenameOnly,
    // When the directory cannot take a new file but the file itself is
    // writable (shared score files), rewrite it in place: its space is
    // reserved first, so the old content stays until the new one fits.
    AllowInPlace,
};

// Stage and commit in one step; also removes stale temporaries of earlier,
// interrupted replacements of the same file. false (why says what) leaves the
// old file as it was.
bool ReplaceFile(const QString& path, const QByteArray& content,
                 ReplaceMode mode = ReplaceMode::RenameOnly, QString* why = nullptr);

// Removes temporaries that interrupted replacements of path left behind (the
// process that made them is gone: nobody holds their lock any more).
void RemoveStaleTemporaries(const QString& path);
void RemoveStaleTemporariesIn(const Folder& folder, const QString& name);

}  // namespace wf

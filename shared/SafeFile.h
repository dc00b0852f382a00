#pragma once
// The one way both programs read and replace files. Reads never block on a
// FIFO or device and never run past a size limit; replacements never follow a
// link, never leave a short file behind on a full disk, and keep the old file
// byte for byte when anything fails.
#include <QByteArray>
#include <QString>
#include <optional>

namespace wf {

enum class ReadError { None, Missing, NotRegular, TooLarge, Unreadable };

struct FileContent {
    ReadError error = ReadError::None;
    QByteArray bytes;
    bool ok() const { return error == ReadError::None; }
};

// The whole file when it is a regular file (a link to one is followed) of at
// most maxBytes.
FileContent ReadRegularFile(const QString& path, qint64 maxBytes);

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
    const QString& TemporaryPath() const { return temporary_; }

  private:
    StagedFile(QString path, QString temporary, int lockFd);

    QString path_;
    QString temporary_;
    int lockFd_ = -1;  // held while the temporary is ours (see RemoveStaleTemporaries)
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

}  // namespace wf

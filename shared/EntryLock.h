#pragma once
// The lock of one entry of a folder: a MOD's directory, or game.ini. It is a
// hidden file beside the entry, locked with open-file-description locks. The
// kernel lets go of such a lock when its holder ends, however it ends (and a
// network file system when the holder's machine stops renewing its lease), so
// a lock file left behind by a killed run, on this machine or another one, is
// simply taken over: only a live holder keeps others out. The file itself is
// only ever a regular file; a link, FIFO or device in its place is refused
// before anything reads from or writes to it.
//
// Byte 0 belongs to the one run that changes the entry (modsiegel, an
// installer), for the whole run. Byte 1 is held exclusively by that run while
// it puts its changes in place, and shared by readers while they read the
// entry, so that a reader sees the entry before a change or after it, never
// half switched; a change run holds it only for those moments, so readers
// wait for a commit, never for a question to the author. Byte 2 is a gate:
// the change run closes it before it waits for byte 1, readers pass it on
// their way in, so that a stream of readers cannot starve a commit.
#include <QString>
#include <memory>

#include "SafeFile.h"

namespace wf {

class EntryLock {
  public:
    enum class Status {
        Held,
        Busy,    // another holder did not let go in time
        Unsafe,  // a link, FIFO, device or folder in the lock file's place
        NoFile,  // a reader that may not make the file, and none is there
        Failed,  // the file system refused (errno says why)
    };
    struct Outcome {
        Status status = Status::Failed;
        QString file;    // the lock file, for messages
        QString holder;  // what a change run holding it wrote about itself
        int error = 0;
    };

    // The lock of a run that changes entry, waiting up to waitMs for another
    // run to end. nullptr unless outcome says Held.
    static std::unique_ptr<EntryLock> ForChange(const FolderRef& folder, const QString& entry,
                                                int waitMs, Outcome* outcome);
    // The lock of a reader, waiting up to waitMs for a change to go in place.
    static std::unique_ptr<EntryLock> ForReading(const FolderRef& folder, const QString& entry,
                                                 int waitMs, Outcome* outcome);

    // A change run's byte 1: readers are kept out until EndSwitch.
    bool BeginSwitch(int waitMs);
    void EndSwitch();

    // Lets go; the file goes too when nobody else holds any of it (whoever
    // waits on it then makes a new one).
    ~EntryLock();
    EntryLock(const EntryLock&) = delete;
    EntryLock& operator=(const EntryLock&) = delete;

    // The lock file's name beside entry; it fits every name entry can have.
    static QString FileName(const QString& entry);

  private:
    EntryLock(FolderRef folder, QString name, int fd, bool writable, bool change);
    static std::unique_ptr<EntryLock> Take(const FolderRef& folder, const QString& entry,
                                           bool change, int waitMs, Outcome* outcome);

    FolderRef folder_;
    QString name_;
    int fd_;
    bool writable_;
    bool change_;
};

}  // namespace wf

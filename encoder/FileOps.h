#pragma once
// Every change the encoder makes on disk goes through here, so that tests can
// make any single step fail and check what is left behind.
#include <QByteArray>
#include <QString>

namespace wf {

class FileOps {
  public:
    virtual ~FileOps() = default;

    // Creates one directory level.
    virtual bool MakeDir(const QString& path);
    // Fails when the destination exists.
    virtual bool CopyFile(const QString& from, const QString& to);
    virtual bool RemoveFile(const QString& path);
    // The file is either replaced as a whole or left as it was.
    virtual bool WriteFileAtomically(const QString& path, const QByteArray& content);
    virtual bool WriteIni(const QString& path, const QByteArray& value, const QByteArray& section,
                          const QByteArray& key);
};

}  // namespace wf

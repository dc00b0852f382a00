#pragma once
// Writing the game's INI files line by line: Windows-1252, CR LF line ends.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace wf::assetgen {

class IniText {
  public:
    void Comment(const QString& text);
    // A new section, set off from what comes before by an empty line.
    void Section(const QString& name);
    void Key(const QString& key, const QString& value);
    void Key(const QString& key, int value);

    const QStringList& Lines() const { return lines_; }
    QByteArray Bytes() const;

  private:
    QStringList lines_;
};

// Lines as the files hold them: 8-bit text, every line ended by CR LF.
QByteArray TextFileBytes(const QStringList& lines);

}  // namespace wf::assetgen

#pragma once
// The journal of a run's commit. It is written beside the MOD (in mods/)
// once everything is staged and before the first file goes in place, and
// removed after the last: a run that finds one was killed on the way, and the
// next run on that MOD finishes it before it does anything else. Each line is
// one step, its fields percent-encoded:
//
//   put FOLDER TEMPORARY NAME DIGEST   put a staged temporary in place
//   drop FOLDER NAME                   remove a plain file
//   register NUMBER NAME               register NAME in game.ini, as entry
//                                      NUMBER unless that is taken since
//
// FOLDER is relative to mods/ ("." for mods/ itself). A step already done is
// recognised (the temporary is gone and the file has the DIGEST of what was
// staged), so finishing may itself be interrupted and finished again.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace wf {

struct JournalStep {
    enum class Kind { Put, Drop, Register } kind = Kind::Put;
    QString folder;
    QString temporary;
    QString name;
    QByteArray digest;
    int number = 0;
};

QString JournalFileName(const QString& mod);
// The first line; the steps follow.
QByteArray JournalHeader();
QByteArray JournalDigest(const QByteArray& content);
QByteArray JournalPut(const QString& folder, const QString& temporary, const QString& name,
                      const QByteArray& digest);
QByteArray JournalDrop(const QString& folder, const QString& name);
QByteArray JournalRegister(int number, const QString& name);
// nullopt when any line is not one of the above (a journal is written whole
// or not at all, so that is never a torn write).
std::optional<QList<JournalStep>> ParseJournal(const QByteArray& content);

}  // namespace wf

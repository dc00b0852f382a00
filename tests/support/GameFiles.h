#pragma once
// A game directory in a temporary folder for the tests of both programs:
// game.ini, pictures, MODs with their definition files (plain or encoded)
// and the media they name, and snapshots that show whether anything changed.
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMap>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

namespace wf::test {

// The lines of a definition file, without their line ends.
using Lines = QList<QByteArray>;

// Each line followed by CR LF; encoded: in the three-digit form with the MOD key.
QByteArray Join(const Lines& lines, bool encoded = false);
// Sets key = value in section (the first such key; added when missing).
void Set(Lines& lines, const QByteArray& section, const QByteArray& key, const QByteArray& value);
// "[Mods]" with the count (unless left out) and the names.
Lines ModList(const Lines& names, bool withCount = true);

struct BackgroundDraft {
    QByteArray type = "BMP";
    int width = 40;
    int height = 30;
    int extras = 0;
};

// A MOD as its files; tests change lines before it is written.
struct ModDraft {
    Lines config{"[game]", "sound=yes", "music=yes"};
    Lines mod;                 // mod.ini
    QList<Lines> backgrounds;  // 1.ini, 2.ini, ...
    bool encoded = false;      // .cod files and "type=code"
    // Every file the MOD names: a picture of that size, other bytes for none.
    QMap<QByteArray, QSize> media;
};

// "Testwelt", music in a sub-folder. Background i has its picture (named by
// a colour background too, which never uses it) in a sub-folder, at the
// declared size; its extra j the picture ExtraPicture(i, j) of (4 + j) ×
// (4 + i) pixels, place (10 j, 5 i), hit cell (j, i), 15 points, "static"
// for odd j and "sequenziell" for even, destructable for j = 1 only.
ModDraft MakeMod(const QList<BackgroundDraft>& backgrounds = {{"BMP", 40, 30, 2},
                                                              {"COLOR", 40, 30, 1}});
QByteArray ExtraPicture(int background, int extra);

enum class LoadsAs { Plain, Encoded, Broken };

class GameFiles {
  public:
    GameFiles();
    // game.ini with the marker key and the MOD listed, the fixed pictures
    // (slot s FixedWidth(s) pixels wide) and the MOD as "wolkfng4".
    void WriteGame(const ModDraft& mod = MakeMod()) const;
    static int FixedWidth(int slot) { return 10 + slot; }

    // rel may use '\' as the MOD files do.
    QString Path(const QString& rel = QString()) const;
    QString ModPath(const QString& mod = QStringLiteral("wolkfng4")) const;
    // Makes the folders as needed.
    void Write(const QString& rel, const QByteArray& bytes) const;
    void Write(const QString& rel, const Lines& lines) const { Write(rel, Join(lines)); }
    void WritePicture(const QString& rel, QSize size, QColor colour = Qt::darkGreen) const;
    QByteArray Read(const QString& rel) const;
    bool Exists(const QString& rel) const;
    void Remove(const QString& rel) const;

    // Writes mods/<name>/, with the media unless told not to. Returns the
    // plain bytes of each definition file by base name ("mod", "1", ...).
    QMap<QByteArray, QByteArray> WriteMod(const QString& name, const ModDraft& draft,
                                          bool media = true) const;
    // How the game would read the MOD now: its plain files as written, its
    // .cod files decoding to them under "type=code", or neither.
    LoadsAs HowItLoads(const QString& mod, const QMap<QByteArray, QByteArray>& plain) const;

    // Every entry below the directory with its bytes; links, folders and
    // special files by what they are, never read through.
    QMap<QString, QByteArray> Snapshot() const { return SnapshotOf(Path()); }
    static QMap<QString, QByteArray> SnapshotOf(const QString& dir);

  private:
    QTemporaryDir dir_;
};

}  // namespace wf::test

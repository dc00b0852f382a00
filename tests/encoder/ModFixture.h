#pragma once
// A game directory in a temporary folder with MODs written by the test, and
// the helpers to look at what a run left behind.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace wf::test {

struct ExtraLayout {
    QByteArray gfx;  // stored name of the extra's picture
};

struct BackgroundLayout {
    QByteArray type = "BMP";
    QByteArray datei;  // stored picture name; written for "COLOR" too
    QList<ExtraLayout> extras;
};

struct ModLayout {
    QByteArray musik = "sounds\\loop.mid";
    QByteArray schussSound = "shot.wav";
    QList<BackgroundLayout> backgrounds;
    QByteArray type;  // "type" of config.ini, "" for none
};

// A MOD with two backgrounds: a picture with two extras (one in a
// sub-directory) and a colour background whose "datei" must not be copied.
ModLayout StandardMod();

class ModFixture {
  public:
    ModFixture();

    QString GameDir() const { return temp_.path(); }
    QString Path(const QString& rel) const { return GameDir() + '/' + rel; }
    QString ModDir(const QString& mod) const { return Path(QStringLiteral("mods/") + mod); }

    void WriteFile(const QString& rel, const QByteArray& content);
    QByteArray ReadFile(const QString& rel) const;
    bool Exists(const QString& rel) const;

    // game.ini with "ModAnzahl" = names.size() (left out when count < 0).
    void WriteGameIni(const QList<QByteArray>& names, int count = 0);
    // Writes the MOD's files; with media, every picture and sound named is
    // created with a content of its own name. Returns the plain files by name
    // (mod, 1, 2, ...).
    QMap<QByteArray, QByteArray> AddMod(const QString& name, const ModLayout& layout,
                                        bool media = true);

    // Every file below the game directory with its content (links and
    // special files by what they are).
    QMap<QString, QByteArray> Snapshot() const;
    static QMap<QString, QByteArray> SnapshotOf(const QString& dir);

  private:
    QTemporaryDir temp_;
};

// The lines of a .cod file decoded with the MOD key, joined by CR LF after
// every line (as the plain files of the fixture are written).
QByteArray DecodeCodFile(const QByteArray& cod);

// How the game would load the MOD now: from its plain files (type not
// "code" and every plain file as written), from its .cod files (type "code"
// and every .cod decoding to its plain original), or not at all.
enum class LoadsAs { Plain, Encoded, Broken };
LoadsAs HowItLoads(const ModFixture& fx, const QString& mod,
                   const QMap<QByteArray, QByteArray>& originals);

}  // namespace wf::test

#pragma once
// Loading the active MOD from its definition files, plain or encoded. The
// loader only reads: encoded files are decoded in memory, so an encoded MOD
// never has readable twins on disk and read-only installs work.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "ModDefinition.h"
#include "Platform.h"

namespace wf {

struct ModLoadResult {
    bool loaded = false;
    ModDefinition mod;  // complete when loaded

    // When refused: the message the caller shows before the program ends.
    MsgIcon icon = MsgIcon::None;
    QString title;
    QString text;
    // Which file and key were wrong; also written to standard error.
    QString detail;
};

// modDir: the MOD's directory ('/' separators, with or without a final '/').
// Shows nothing; the caller turns a refusal into its message box. Besides
// the definition files, the pictures' sizes and JPEG scans and the shot
// sound's format are checked against the limits of FileLimits.h (nothing is
// decoded here).
ModLoadResult LoadMod(const QString& modDir);

// A MOD loaded as the game would, going on past every problem, then looked at
// for what start-up and a game would meet: pictures that are missing or
// cannot be decoded, a preset background whose picture has another size than
// it declares, extras of an unknown kind. Each line names file, section and
// key (and the line, where there is one), in German.
struct ModCheck {
    QStringList problems;  // each keeps the MOD from loading or from playing
    QStringList notes;     // what the game plays on without (sound, music)
    bool Playable() const { return problems.isEmpty(); }
};
ModCheck CheckMod(const QString& modDir);

// The refusal of a MOD name from the command line that names no directory
// directly inside "mods".
ModLoadResult RefuseModName(const QString& name);

// The plain text of an encoded definition file: every line decoded with the
// MOD key, a line that cannot be decoded becoming an empty one; lines end in
// CR LF.
QByteArray DecodeModFile(const QByteArray& encodedContent);

// The MOD's config.ini, for the sound and music defaults ("" when it cannot
// be named below modDir).
QString ModConfigPath(const QString& modDir);

}  // namespace wf

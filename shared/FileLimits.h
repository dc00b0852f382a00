#pragma once
// How large a file the programs read at all. The limits lie far above any
// real game or MOD; they only keep a strange or hostile file from eating the
// memory or the time of a player or an author.
#include <QtGlobal>

namespace wf {

// INI files and their encoded twins (three digits per character).
inline constexpr qint64 kMaxDefinitionFileBytes = 32 * 1024 * 1024;
// A score file holds eight short lines.
inline constexpr qint64 kMaxScoreFileBytes = 1024 * 1024;
// Any file of a MOD that the encoder copies into a backup (pictures, sounds
// and music included): above every limit the game itself reads.
inline constexpr qint64 kMaxCopiedFileBytes = 256 * 1024 * 1024;

}  // namespace wf

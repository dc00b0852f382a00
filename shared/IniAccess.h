#pragma once
// Reading and writing INI-style profile files (game.ini, config.ini, mod.ini,
// numbered background files). The files are 8-bit text; values are handed out
// as the raw bytes. Every call reads the file as it is on disk at that moment.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace wf {

// Value of key in section; "" when the file, section or key is missing.
// Section and key names are matched without regard to case, the first
// occurrence counts, blanks around the value are removed, matching quotes are
// stripped and the value is cut to 254 characters.
QByteArray ReadIniText(const QString& path, const QByteArray& section, const QByteArray& key);

// Leading decimal digits of the value (after blanks); 0 when there are none.
int32_t ReadIniNumber(const QString& path, const QByteArray& section, const QByteArray& key);

// Writes value under key in section, creating file, section or key as needed.
// Every other line, line end included, stays as it was; new lines end in
// CR LF. The file is replaced as a whole (never through a link, never by a
// short file); on failure the old file is untouched. Refused (false): an
// empty section or key, a line break in any argument, a ']' in the section, a
// key with '=' or starting with ';' or '['.
// Note the argument order: the value comes before section and key.
bool WriteIniText(const QString& path, const QByteArray& value, const QByteArray& section,
                  const QByteArray& key);

// The content WriteIniText would write over a file holding content, or
// nullopt where it refuses; for callers that replace several files together.
std::optional<QByteArray> IniTextWithValue(const QByteArray& content, const QByteArray& value,
                                           const QByteArray& section, const QByteArray& key);

// Same rules as ReadIniText, over bytes already in memory (used for decoded
// MOD files, which are never written to disk).
QByteArray ReadIniTextFromBytes(const QByteArray& content, const QByteArray& section,
                                const QByteArray& key);
int32_t ReadIniNumberFromBytes(const QByteArray& content, const QByteArray& section,
                               const QByteArray& key);

// Leading-digit rule shared by the number readers and the score tables.
int32_t LeadingNumber(const QByteArray& text);

}  // namespace wf

#pragma once
// Reading and writing INI-style profile files (game.ini, config.ini, mod.ini,
// numbered background files). The files are 8-bit text; values are handed out
// as the raw bytes. Every call reads the file as it is on disk at that moment.
// Lines end in CR LF, LF or CR alone; a leading UTF-8 byte-order mark is not
// part of the first line. Only regular files of at most
// kMaxDefinitionFileBytes are read; anything else reads as a missing file.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

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

// The sections and keys of one file's content, found in one pass, for a
// reader that asks for many keys: each lookup then costs about the length of
// the names asked for, not of the file. Same rules as ReadIniText.
class IniIndex {
  public:
    explicit IniIndex(const QByteArray& content);
    QByteArray Text(const QByteArray& section, const QByteArray& key) const;
    int32_t Number(const QByteArray& section, const QByteArray& key) const;
    // The line (from 1) where the key stands, or its section when the key is
    // missing; 0 when neither is there.
    int Line(const QByteArray& section, const QByteArray& key) const;

  private:
    // Positions in the content; definition files are far below 4 GiB, and
    // anything beyond that is not indexed.
    struct Span {
        uint32_t pos = 0;
        uint32_t size = 0;
    };
    struct Entry {
        int32_t section = 0;
        uint32_t hash = 0;
        Span key;
        Span value;
    };
    // Hash of a name without regard to case, within a section (-1: of a
    // section name); scratch holds the folded name.
    uint32_t Hash(const char* name, qsizetype size, int32_t section, QByteArray& scratch) const;
    bool SameName(Span span, const char* name, qsizetype size) const;
    int32_t FindSection(const char* name, qsizetype size, uint32_t hash) const;
    int32_t FindEntry(int32_t section, const char* key, qsizetype size, uint32_t hash) const;
    // The key's entry (-1: none) and, in *section, its section's (-1: none).
    int32_t Find(const QByteArray& section, const QByteArray& key, int32_t* sectionIndex) const;
    void Index();

    QByteArray content_;
    size_t seed_ = 0;
    // First occurrences only; a later section of the same name is ignored
    // and so is a later key of the same name in the same section.
    std::vector<Span> sections_;
    std::vector<uint32_t> sectionHashes_;
    std::vector<Entry> entries_;
    // Open addressing: indexes into sections_ and entries_, -1 for free.
    std::vector<int32_t> sectionSlots_;
    std::vector<int32_t> entrySlots_;
};

// Leading-digit rule shared by the number readers and the score tables.
int32_t LeadingNumber(const QByteArray& text);

}  // namespace wf

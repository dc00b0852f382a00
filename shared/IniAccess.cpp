#include "IniAccess.h"

#include <QHashFunctions>
#include <QList>
#include <cstring>

#include "FileLimits.h"
#include "SafeFile.h"

namespace wf {
namespace {

constexpr int kMaxValueLength = 254;
const QByteArray kByteOrderMark("\xEF\xBB\xBF");

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray Trimmed(const QByteArray& s) {
    int b = 0;
    int e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && (IsBlank(s[e - 1]) || s[e - 1] == '\r'))
        --e;
    return s.mid(b, e - b);
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where the first line begins: a leading UTF-8 byte-order mark, which some
// editors write, belongs to no line.
qsizetype BodyStart(const QByteArray& content) {
    return content.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

// Calls line(textBegin, textEnd, next) for every line: a line ends at CR LF,
// LF or CR alone, the last one also at the end of the content. The one line
// splitting of reader and writer, so that both see the same lines.
template <typename Line>
void ForEachLine(const QByteArray& content, Line line) {
    const char* data = content.constData();
    const qsizetype size = content.size();
    qsizetype start = BodyStart(content);
    while (start < size) {
        qsizetype end = start;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        qsizetype next = end;
        if (end < size)
            next = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
        line(start, end, next);
        start = next;
    }
}

// One line of a file: its text without the line end, and the line end itself
// ("\r\n", "\n", "\r", or "" for a last line without one). Writing keeps the
// line ends of untouched lines so that they come back byte for byte.
struct RawLine {
    QByteArray text;
    QByteArray end;
};

struct RawLines {
    QByteArray head;  // the byte-order mark, if any
    QList<RawLine> lines;
};

RawLines SplitLines(const QByteArray& content) {
    RawLines split;
    split.head = content.left(BodyStart(content));
    ForEachLine(content, [&](qsizetype begin, qsizetype end, qsizetype next) {
        split.lines.append({content.mid(begin, end - begin), content.mid(end, next - end)});
    });
    return split;
}

// Name of a section header line, or a null array when the line is none.
QByteArray SectionName(const QByteArray& line) {
    const QByteArray t = Trimmed(line);
    if (t.size() < 2 || t[0] != '[')
        return QByteArray();
    const int close = t.indexOf(']');
    if (close < 0)
        return QByteArray();
    QByteArray name = Trimmed(t.mid(1, close - 1));
    if (name.isNull())
        name = QByteArray("");
    return name;
}

bool IsComment(const QByteArray& line) {
    const QByteArray t = Trimmed(line);
    return t.startsWith(';');
}

// Splits "key = value"; false when the line holds no '='.
bool SplitKeyValue(const QByteArray& line, QByteArray* key, QByteArray* value) {
    const int eq = line.indexOf('=');
    if (eq < 0)
        return false;
    *key = Trimmed(line.left(eq));
    *value = Trimmed(line.mid(eq + 1));
    return true;
}

QByteArray Unquoted(const QByteArray& v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v[v.size() - 1] == v[0]) {
        return v.mid(1, v.size() - 2);
    }
    return v;
}

// The blanks rule of Trimmed on a part of the content, without copying it.
void TrimSpan(const char* data, qsizetype* begin, qsizetype* end) {
    while (*begin < *end && IsBlank(data[*begin]))
        ++*begin;
    while (*end > *begin && (IsBlank(data[*end - 1]) || data[*end - 1] == '\r'))
        --*end;
}

// Puts index at the first free slot of its hash (linear probing).
void Place(std::vector<int32_t>& table, uint32_t hash, int32_t index) {
    const size_t mask = table.size() - 1;
    size_t i = hash & mask;
    while (table[i] >= 0)
        i = (i + 1) & mask;
    table[i] = index;
}

// Slots for count entries and one more, at most half full; hashOf(i) gives
// the hash of entry i. Doubling keeps the total work linear.
template <typename HashOf>
void Reserve(std::vector<int32_t>& table, size_t count, HashOf hashOf) {
    if ((count + 1) * 2 <= table.size())
        return;
    std::vector<int32_t> grown(std::max<size_t>(16, table.size() * 2), -1);
    for (size_t i = 0; i < count; ++i)
        Place(grown, hashOf(i), static_cast<int32_t>(i));
    table.swap(grown);
}

}  // namespace

int32_t LeadingNumber(const QByteArray& text) {
    const QByteArray t = Trimmed(text);
    int64_t n = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            break;
        n = n * 10 + (c - '0');
        if (n > INT32_MAX)
            return INT32_MAX;
    }
    return static_cast<int32_t>(n);
}

IniIndex::IniIndex(const QByteArray& content) : content_(content), seed_(QHashSeed::globalSeed()) {
    if (content_.size() >= qsizetype{UINT32_MAX})
        content_.truncate(UINT32_MAX - 1);
    Index();
}

void IniIndex::Index() {
    const char* data = content_.constData();
    QByteArray scratch;
    int32_t current = -1;  // the section whose keys count; -1: none
    ForEachLine(content_, [&](qsizetype begin, qsizetype end, qsizetype) {
        qsizetype tBegin = begin;
        qsizetype tEnd = end;
        TrimSpan(data, &tBegin, &tEnd);
        if (tEnd - tBegin >= 2 && data[tBegin] == '[') {
            const void* close = std::memchr(data + tBegin, ']', tEnd - tBegin);
            if (close) {
                qsizetype nBegin = tBegin + 1;
                qsizetype nEnd = static_cast<const char*>(close) - data;
                TrimSpan(data, &nBegin, &nEnd);
                const uint32_t hash = Hash(data + nBegin, nEnd - nBegin, -1, scratch);
                if (FindSection(data + nBegin, nEnd - nBegin, hash) >= 0) {
                    current = -1;  // a section's later occurrences are not read
                    return;
                }
                current = static_cast<int32_t>(sections_.size());
                Reserve(sectionSlots_, sections_.size(),
                        [this](size_t i) { return sectionHashes_[i]; });
                sections_.push_back(
                    {static_cast<uint32_t>(nBegin), static_cast<uint32_t>(nEnd - nBegin)});
                sectionHashes_.push_back(hash);
                Place(sectionSlots_, hash, current);
                return;
            }
        }
        if (current < 0 || (tEnd > tBegin && data[tBegin] == ';'))
            return;
        const void* eq = std::memchr(data + begin, '=', end - begin);
        if (!eq)
            return;
        const qsizetype eqAt = static_cast<const char*>(eq) - data;
        qsizetype kBegin = begin;
        qsizetype kEnd = eqAt;
        qsizetype vBegin = eqAt + 1;
        qsizetype vEnd = end;
        TrimSpan(data, &kBegin, &kEnd);
        TrimSpan(data, &vBegin, &vEnd);
        const uint32_t hash = Hash(data + kBegin, kEnd - kBegin, current, scratch);
        if (FindEntry(current, data + kBegin, kEnd - kBegin, hash) >= 0)
            return;  // the first occurrence of a key counts
        Reserve(entrySlots_, entries_.size(), [this](size_t i) { return entries_[i].hash; });
        entries_.push_back(
            {current, hash,
             Span{static_cast<uint32_t>(kBegin), static_cast<uint32_t>(kEnd - kBegin)},
             Span{static_cast<uint32_t>(vBegin), static_cast<uint32_t>(vEnd - vBegin)}});
        Place(entrySlots_, hash, static_cast<int32_t>(entries_.size() - 1));
    });
}

uint32_t IniIndex::Hash(const char* name, qsizetype size, int32_t section,
                        QByteArray& scratch) const {
    // Names are compared like QByteArray's case-insensitive compare: ASCII
    // letters only.
    scratch.resize(size);
    char* folded = scratch.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = name[i];
        folded[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return static_cast<uint32_t>(qHashMulti(seed_, QByteArrayView(scratch), section));
}

bool IniIndex::SameName(Span span, const char* name, qsizetype size) const {
    return qstrnicmp(content_.constData() + span.pos, span.size, name, size) == 0;
}

int32_t IniIndex::FindSection(const char* name, qsizetype size, uint32_t hash) const {
    if (sectionSlots_.empty())
        return -1;
    const size_t mask = sectionSlots_.size() - 1;
    for (size_t i = hash & mask; sectionSlots_[i] >= 0; i = (i + 1) & mask) {
        const int32_t s = sectionSlots_[i];
        if (sectionHashes_[s] == hash && SameName(sections_[s], name, size))
            return s;
    }
    return -1;
}

int32_t IniIndex::FindEntry(int32_t section, const char* key, qsizetype size, uint32_t hash) const {
    if (entrySlots_.empty())
        return -1;
    const size_t mask = entrySlots_.size() - 1;
    for (size_t i = hash & mask; entrySlots_[i] >= 0; i = (i + 1) & mask) {
        const Entry& e = entries_[entrySlots_[i]];
        if (e.hash == hash && e.section == section && SameName(e.key, key, size))
            return entrySlots_[i];
    }
    return -1;
}

int32_t IniIndex::Find(const QByteArray& section, const QByteArray& key, int32_t* s) const {
    const QByteArray wantSection = Trimmed(section);
    const QByteArray wantKey = Trimmed(key);
    QByteArray scratch;
    *s = FindSection(wantSection.constData(), wantSection.size(),
                     Hash(wantSection.constData(), wantSection.size(), -1, scratch));
    if (*s < 0)
        return -1;
    return FindEntry(*s, wantKey.constData(), wantKey.size(),
                     Hash(wantKey.constData(), wantKey.size(), *s, scratch));
}

QByteArray IniIndex::Text(const QByteArray& section, const QByteArray& key) const {
    int32_t s = -1;
    const int32_t k = Find(section, key, &s);
    if (k < 0)
        return QByteArray("");
    const Span v = entries_[k].value;
    QByteArray value = Unquoted(content_.mid(v.pos, v.size)).left(kMaxValueLength);
    return value.isNull() ? QByteArray("") : value;
}

int32_t IniIndex::Number(const QByteArray& section, const QByteArray& key) const {
    return LeadingNumber(Text(section, key));
}

int IniIndex::Line(const QByteArray& section, const QByteArray& key) const {
    int32_t s = -1;
    const int32_t k = Find(section, key, &s);
    if (s < 0)
        return 0;
    const uint32_t pos = k >= 0 ? entries_[k].key.pos : sections_[s].pos;
    // Lines end in CR LF, LF or CR alone, as the reader takes them.
    int line = 1;
    for (uint32_t i = 0; i < pos && i < static_cast<uint32_t>(content_.size()); ++i) {
        const char c = content_[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= static_cast<uint32_t>(content_.size()) ||
                                        content_[i + 1] != '\n')))
            ++line;
    }
    return line;
}

QByteArray ReadIniTextFromBytes(const QByteArray& content, const QByteArray& section,
                                const QByteArray& key) {
    return IniIndex(content).Text(section, key);
}

int32_t ReadIniNumberFromBytes(const QByteArray& content, const QByteArray& section,
                               const QByteArray& key) {
    return LeadingNumber(ReadIniTextFromBytes(content, section, key));
}

QByteArray ReadIniText(const QString& path, const QByteArray& section, const QByteArray& key) {
    // A FIFO, a device or a huge file reads as a missing one.
    const FileContent file = ReadRegularFile(path, kMaxDefinitionFileBytes);
    if (!file.ok())
        return QByteArray("");
    return ReadIniTextFromBytes(file.bytes, section, key);
}

int32_t ReadIniNumber(const QString& path, const QByteArray& section, const QByteArray& key) {
    return LeadingNumber(ReadIniText(path, section, key));
}

std::optional<QByteArray> IniTextWithValue(const QByteArray& content, const QByteArray& value,
                                           const QByteArray& section, const QByteArray& key) {
    const QByteArray wantSection = Trimmed(section);
    const QByteArray wantKey = Trimmed(key);
    // Names or values that would break the line structure are refused rather
    // than written into a file that then reads back differently.
    const auto breaksLine = [](const QByteArray& s) {
        return s.contains('\n') || s.contains('\r');
    };
    if (wantSection.isEmpty() || wantKey.isEmpty() || breaksLine(wantSection) ||
        breaksLine(wantKey) || breaksLine(value) || wantSection.contains(']') ||
        wantKey.contains('=') || wantKey.startsWith(';') || wantKey.startsWith('[')) {
        return std::nullopt;
    }

    RawLines split = SplitLines(content);
    QList<RawLine>& lines = split.lines;

    // Locate the first occurrence of the section and, inside it, of the key.
    int sectionLine = -1;
    int lastEntry = -1;  // last non-empty line of the section
    int keyLine = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& text = lines[i].text;
        const QByteArray name = SectionName(text);
        if (!name.isNull()) {
            if (sectionLine >= 0)
                break;
            if (SameName(name, wantSection)) {
                sectionLine = i;
                lastEntry = i;
            }
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!Trimmed(text).isEmpty())
            lastEntry = i;
        if (keyLine >= 0 || IsComment(text))
            continue;
        QByteArray k, v;
        if (SplitKeyValue(text, &k, &v) && SameName(k, wantKey))
            keyLine = i;
    }

    const QByteArray crlf("\r\n");
    if (keyLine >= 0) {
        RawLine& line = lines[keyLine];
        const QByteArray oldKey = Trimmed(line.text.left(line.text.indexOf('=')));
        line.text = oldKey + "=" + value;
        if (line.end.isEmpty())
            line.end = crlf;
    } else {
        // New lines go after a line that must then be ended first.
        const int after = sectionLine >= 0 ? lastEntry : static_cast<int>(lines.size()) - 1;
        if (after >= 0 && lines[after].end.isEmpty())
            lines[after].end = crlf;
        if (sectionLine >= 0) {
            lines.insert(after + 1, {wantKey + "=" + value, crlf});
        } else {
            lines.append({"[" + wantSection + "]", crlf});
            lines.append({wantKey + "=" + value, crlf});
        }
    }

    QByteArray changed = split.head;
    for (const RawLine& l : lines)
        changed += l.text + l.end;
    return changed;
}

bool WriteIniText(const QString& path, const QByteArray& value, const QByteArray& section,
                  const QByteArray& key) {
    // A FIFO, device or huge file in place of the INI is never read, and the
    // replacement refuses it (and any link) as well.
    const FileContent old = ReadRegularFile(path, kMaxDefinitionFileBytes);
    if (!old.ok() && old.error != ReadError::Missing)
        return false;
    const std::optional<QByteArray> content = IniTextWithValue(old.bytes, value, section, key);
    return content && ReplaceFile(path, *content);
}

}  // namespace wf

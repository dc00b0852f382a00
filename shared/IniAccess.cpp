#include "IniAccess.h"

#include <QFile>
#include <QList>

#include "FileLimits.h"
#include "SafeFile.h"

namespace wf {
namespace {

constexpr int kMaxValueLength = 254;

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

// One line of a file: its text without the line end, and the line end itself
// ("\r\n", "\n", or "" for a last line without one). Writing keeps the line
// ends of untouched lines so that they come back byte for byte.
struct RawLine {
    QByteArray text;
    QByteArray end;
};

QList<RawLine> SplitLines(const QByteArray& content) {
    QList<RawLine> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype nl = content.indexOf('\n', start);
        if (nl < 0) {
            lines.append({content.mid(start), QByteArray()});
            break;
        }
        const bool crlf = nl > start && content[nl - 1] == '\r';
        const qsizetype textEnd = crlf ? nl - 1 : nl;
        lines.append(
            {content.mid(start, textEnd - start), crlf ? QByteArray("\r\n") : QByteArray("\n")});
        start = nl + 1;
    }
    return lines;
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

QByteArray ReadIniTextFromBytes(const QByteArray& content, const QByteArray& section,
                                const QByteArray& key) {
    const QByteArray wantSection = Trimmed(section);
    const QByteArray wantKey = Trimmed(key);
    bool inSection = false;
    bool sectionSeen = false;
    for (const RawLine& raw : SplitLines(content)) {
        const QByteArray& line = raw.text;
        const QByteArray name = SectionName(line);
        if (!name.isNull()) {
            if (inSection)
                break;  // only the first occurrence of a section counts
            if (!sectionSeen && SameName(name, wantSection)) {
                inSection = true;
                sectionSeen = true;
            }
            continue;
        }
        if (!inSection || IsComment(line))
            continue;
        QByteArray k, v;
        if (SplitKeyValue(line, &k, &v) && SameName(k, wantKey)) {
            return Unquoted(v).left(kMaxValueLength);
        }
    }
    return QByteArray("");
}

int32_t ReadIniNumberFromBytes(const QByteArray& content, const QByteArray& section,
                               const QByteArray& key) {
    return LeadingNumber(ReadIniTextFromBytes(content, section, key));
}

QByteArray ReadIniText(const QString& path, const QByteArray& section, const QByteArray& key) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("");
    return ReadIniTextFromBytes(f.readAll(), section, key);
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

    QList<RawLine> lines = SplitLines(content);

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

    QByteArray changed;
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

#include "IniAccess.h"

#include <QFile>
#include <QSaveFile>
#include <QList>

namespace wf {
namespace {

constexpr int kMaxValueLength = 254;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray Trimmed(const QByteArray& s) {
    int b = 0;
    int e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && (IsBlank(s[e - 1]) || s[e - 1] == '\r')) --e;
    return s.mid(b, e - b);
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Lines without their line end; both CR LF and LF are accepted.
QList<QByteArray> SplitLines(const QByteArray& content) {
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& l : lines) {
        if (l.endsWith('\r')) l.chop(1);
    }
    return lines;
}

// Name of a section header line, or a null array when the line is none.
QByteArray SectionName(const QByteArray& line) {
    const QByteArray t = Trimmed(line);
    if (t.size() < 2 || t[0] != '[') return QByteArray();
    const int close = t.indexOf(']');
    if (close < 0) return QByteArray();
    QByteArray name = Trimmed(t.mid(1, close - 1));
    if (name.isNull()) name = QByteArray("");
    return name;
}

bool IsComment(const QByteArray& line) {
    const QByteArray t = Trimmed(line);
    return t.startsWith(';');
}

// Splits "key = value"; false when the line holds no '='.
bool SplitKeyValue(const QByteArray& line, QByteArray* key, QByteArray* value) {
    const int eq = line.indexOf('=');
    if (eq < 0) return false;
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
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        if (n > INT32_MAX) return INT32_MAX;
    }
    return static_cast<int32_t>(n);
}

QByteArray ReadIniTextFromBytes(const QByteArray& content, const QByteArray& section,
                                const QByteArray& key) {
    const QByteArray wantSection = Trimmed(section);
    const QByteArray wantKey = Trimmed(key);
    bool inSection = false;
    bool sectionSeen = false;
    for (const QByteArray& line : SplitLines(content)) {
        const QByteArray name = SectionName(line);
        if (!name.isNull()) {
            if (inSection) break;  // only the first occurrence of a section counts
            if (!sectionSeen && SameName(name, wantSection)) {
                inSection = true;
                sectionSeen = true;
            }
            continue;
        }
        if (!inSection || IsComment(line)) continue;
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
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("");
    return ReadIniTextFromBytes(f.readAll(), section, key);
}

int32_t ReadIniNumber(const QString& path, const QByteArray& section, const QByteArray& key) {
    return LeadingNumber(ReadIniText(path, section, key));
}

bool WriteIniText(const QString& path, const QByteArray& value, const QByteArray& section,
                  const QByteArray& key) {
    const QByteArray wantSection = Trimmed(section);
    const QByteArray wantKey = Trimmed(key);
    if (wantSection.isEmpty() || wantKey.isEmpty() || value.contains('\n') ||
        value.contains('\r')) {
        return false;
    }

    QList<QByteArray> lines;
    {
        QFile f(path);
        if (f.exists()) {
            if (!f.open(QIODevice::ReadOnly)) return false;
            lines = SplitLines(f.readAll());
        }
    }

    // Locate the first occurrence of the section and, inside it, of the key.
    int sectionLine = -1;
    int sectionEnd = lines.size();  // index of the line after the section's last line
    int lastEntry = -1;             // last non-empty line of the section
    int keyLine = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray name = SectionName(lines[i]);
        if (!name.isNull()) {
            if (sectionLine >= 0) {
                sectionEnd = i;
                break;
            }
            if (SameName(name, wantSection)) {
                sectionLine = i;
                lastEntry = i;
            }
            continue;
        }
        if (sectionLine < 0) continue;
        if (!Trimmed(lines[i]).isEmpty()) lastEntry = i;
        if (keyLine >= 0 || IsComment(lines[i])) continue;
        QByteArray k, v;
        if (SplitKeyValue(lines[i], &k, &v) && SameName(k, wantKey)) keyLine = i;
    }

    if (keyLine >= 0) {
        const QByteArray& old = lines[keyLine];
        const QByteArray oldKey = Trimmed(old.left(old.indexOf('=')));
        lines[keyLine] = oldKey + "=" + value;
    } else if (sectionLine >= 0) {
        Q_UNUSED(sectionEnd);
        lines.insert(lastEntry + 1, wantKey + "=" + value);
    } else {
        lines.append("[" + wantSection + "]");
        lines.append(wantKey + "=" + value);
    }

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    for (const QByteArray& l : lines) {
        if (out.write(l) != l.size() || out.write("\r\n", 2) != 2) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

}  // namespace wf

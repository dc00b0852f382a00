#include "ModLoader.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "IniAccess.h"
#include "Paths.h"
#include "Text8.h"
#include "TextCipher.h"

namespace wf {
namespace {

const QString kRefusedTitle = QStringLiteral("Fehler !");

// A refusal on its way out of the loader.
struct Refusal {
    QString title;
    QString text;
    QString detail;
};

// One definition file in memory, with the name it has on disk for messages.
struct DefinitionFile {
    QByteArray fileName;
    QByteArray content;
};

QString Quoted(const QByteArray& value) {
    return "\"" + FromText8(value) + "\"";
}

QString Where(const DefinitionFile& file, const QByteArray& section, const QByteArray& key) {
    return FromText8(file.fileName) + " [" + FromText8(section) + "] " + FromText8(key) + ": ";
}

// Everything that goes wrong inside a MOD's files is reported under one text;
// the detail tells the author what to mend.
Refusal Faulty(const QByteArray& modName, const QString& detail) {
    return {kRefusedTitle, "Fehler beim Laden des MODs '" + FromText8(modName) + "'", detail};
}

// The file's content; nullopt when it is missing, unreadable or empty, or its
// name cannot be used below the MOD directory.
std::optional<QByteArray> ReadWholeFile(const QString& modDir, const QByteArray& name) {
    const QString path = JoinStoredPath(modDir, name);
    if (path.isEmpty())
        return std::nullopt;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray content = f.readAll();
    if (content.isEmpty())
        return std::nullopt;
    return content;
}

// A number text that a leading-digit read would turn into 0 although the
// author meant a value below zero.
bool IsNegative(const QByteArray& text) {
    return text.startsWith('-') && LeadingNumber(text.mid(1)) > 0;
}

// The usual Boolean text rules: true/false in any capitalisation, or a number
// (0 false, anything else true).
std::optional<bool> ParseBoolean(const QByteArray& text) {
    if (text.compare("true", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare("false", Qt::CaseInsensitive) == 0)
        return false;
    int i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    bool nonZero = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            nonZero = nonZero || c != '0';
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    return nonZero;
}

class Reader {
  public:
    explicit Reader(const DefinitionFile& file) : file_(file) {}
    QByteArray Text(const QByteArray& section, const QByteArray& key) const {
        return ReadIniTextFromBytes(file_.content, section, key);
    }
    int32_t Number(const QByteArray& section, const QByteArray& key) const {
        return ReadIniNumberFromBytes(file_.content, section, key);
    }

  private:
    const DefinitionFile& file_;
};

// A count that must lie in 0..limit; the refusal names file, section and key.
std::optional<Refusal> CheckCount(const DefinitionFile& file, const QByteArray& modName,
                                  const QByteArray& section, const QByteArray& key, int limit,
                                  int32_t* count) {
    const QByteArray text = ReadIniTextFromBytes(file.content, section, key);
    if (IsNegative(text)) {
        return Faulty(modName, Where(file, section, key) + Quoted(text) + " ist negativ");
    }
    *count = LeadingNumber(text);
    if (*count > limit) {
        return Faulty(modName, Where(file, section, key) + QString::number(*count) +
                                   " ist mehr als erlaubt (höchstens " + QString::number(limit) +
                                   ")");
    }
    return std::nullopt;
}

std::optional<Refusal> LoadExtra(const DefinitionFile& file, const QByteArray& modName, int j,
                                 ExtraDef* extra) {
    const QByteArray section = "extra" + QByteArray::number(j);
    const Reader r(file);
    extra->pictureFile = r.Text(section, "gfx");
    extra->x = r.Number(section, "gfxx");
    extra->y = r.Number(section, "gfxy");
    if (auto bad =
            CheckCount(file, modName, section, "points", kMaxHitCells, &extra->hitCellCount)) {
        return bad;
    }
    extra->extraKind = r.Text(section, "typ");
    extra->extraPoints = r.Number(section, "gpts");
    const QByteArray destructable = r.Text(section, "destructable");
    const std::optional<bool> flag = ParseBoolean(destructable);
    if (!flag) {
        const QString why = destructable.isEmpty()
                                ? QStringLiteral("fehlt")
                                : Quoted(destructable) + " ist kein Wahrheitswert";
        return Faulty(modName, Where(file, section, "destructable") + why);
    }
    extra->destructable = *flag;
    extra->extraTimer = 100;
    for (int k = 1; k <= extra->hitCellCount; ++k) {
        const QByteArray p = "p" + QByteArray::number(k);
        extra->hitCells[k].column = r.Number(section, p + "x");
        extra->hitCells[k].row = r.Number(section, p + "y");
    }
    return std::nullopt;
}

std::optional<Refusal> LoadBackground(const DefinitionFile& file, const QByteArray& modName,
                                      BackgroundDef* bg) {
    const Reader r(file);
    bg->title = r.Text("hg", "name");
    const QByteArray type = r.Text("hg", "type");
    if (type == "BMP") {
        bg->isPicture = true;
        bg->pictureFile = r.Text("hg", "datei");
        bg->colour = QColor(0, 0, 0);
    } else if (type == "COLOR") {
        bg->isPicture = false;
        bg->pictureFile.clear();
        const auto component = [&](const char* key) {
            return std::min<int32_t>(r.Number("hg", key), 255);
        };
        bg->colour = QColor(component("r"), component("g"), component("b"));
    } else {
        return Faulty(modName, Where(file, "hg", "type") + Quoted(type) +
                                   " ist weder \"BMP\" noch \"COLOR\"");
    }
    bg->height = r.Number("hg", "y");
    bg->width = r.Number("hg", "x");
    if (auto bad = CheckCount(file, modName, "hg", "extra", kMaxExtras, &bg->extraCount)) {
        return bad;
    }
    for (int j = 1; j <= bg->extraCount; ++j) {
        if (auto bad = LoadExtra(file, modName, j, &bg->extras[j]))
            return bad;
    }
    return std::nullopt;
}

// Reads the general definition (mod.ini or its encoded twin) and every
// background file; the first fault ends the reading.
std::optional<Refusal> LoadInto(const QString& modDir, ModDefinition* mod) {
    const QByteArray ext = mod->modIsEncoded ? ".cod" : ".ini";
    const auto definition = [&](const QByteArray& base) -> std::optional<DefinitionFile> {
        const QByteArray name = base + ext;
        std::optional<QByteArray> content = ReadWholeFile(modDir, name);
        if (!content)
            return std::nullopt;
        return DefinitionFile{name, mod->modIsEncoded ? DecodeModFile(*content) : *content};
    };

    // A plain mod.ini that is missing reads as all keys empty: the MOD then
    // has no backgrounds and start-up stops at its picture checks.
    std::optional<DefinitionFile> general = definition("mod");
    if (!general && mod->modIsEncoded) {
        const QByteArray dirName = ToText8(QDir(modDir).dirName());
        return Faulty(dirName, "mod.cod: Datei fehlt oder ist leer");
    }
    if (!general)
        general = DefinitionFile{"mod.ini", QByteArray()};
    const Reader r(*general);
    mod->modName = r.Text("Allgemein", "Name");
    mod->shotSoundFile = r.Text("sfx", "SchussSound");
    mod->musicFile = r.Text("sfx", "Musik");

    const QByteArray countText = r.Text("Hintergrund", "Anzahl");
    if (IsNegative(countText)) {
        return Faulty(mod->modName, Where(*general, "Hintergrund", "Anzahl") + Quoted(countText) +
                                        " ist negativ");
    }
    mod->backgroundCount = LeadingNumber(countText);
    if (mod->backgroundCount > kMaxBackgrounds) {
        return Refusal{QStringLiteral("Fehler!"),
                       "Geladener MOD '" + FromText8(mod->modName) +
                           "' wird nicht von dieser Wolkenfang Version unterstützt!!!",
                       Where(*general, "Hintergrund", "Anzahl") +
                           QString::number(mod->backgroundCount) + " Hintergründe (höchstens " +
                           QString::number(kMaxBackgrounds) + ")"};
    }

    for (int i = 1; i <= mod->backgroundCount; ++i) {
        const QByteArray base = QByteArray::number(i);
        const std::optional<DefinitionFile> file = definition(base);
        if (!file) {
            return Faulty(mod->modName, FromText8(base + ext) + ": Datei fehlt oder ist leer");
        }
        if (auto bad = LoadBackground(*file, mod->modName, &mod->backgrounds[i]))
            return bad;
    }
    return std::nullopt;
}

}  // namespace

QByteArray DecodeModFile(const QByteArray& encodedContent) {
    QList<QByteArray> lines = encodedContent.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QByteArray plain;
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        plain += DecodeText(line, QByteArray(kModKey), true);
        plain += "\r\n";
    }
    return plain;
}

QString ModConfigPath(const QString& modDir) {
    return JoinStoredPath(modDir, "config.ini");
}

ModLoadResult LoadMod(const QString& modDir) {
    ModLoadResult result;
    const QString config = ModConfigPath(modDir);
    result.mod.modIsEncoded = !config.isEmpty() && ReadIniText(config, "game", "type") == "code";

    const std::optional<Refusal> refusal = LoadInto(modDir, &result.mod);
    if (!refusal) {
        result.loaded = true;
        return result;
    }
    result.icon = MsgIcon::Exclamation;
    result.title = refusal->title;
    result.text = refusal->text;
    result.detail = refusal->detail;

    QByteArray name = result.mod.modName;
    if (name.isEmpty())
        name = ToText8(QDir(modDir).dirName());
    const QByteArray line = (Platform::Instance().ProgramName() + ": MOD '" + FromText8(name) +
                             "': " + refusal->detail + "\n")
                                .toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
    return result;
}

}  // namespace wf

#include "ModLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSet>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "EntryLock.h"
#include "FileLimits.h"
#include "IniAccess.h"
#include "ModMedia.h"
#include "Paths.h"
#include "SafeFile.h"
#include "Text8.h"
#include "TextCipher.h"

namespace wf {
namespace {

const QString kRefusedTitle = QStringLiteral("Fehler !");

// modsiegel holds a MOD's lock for as long as it takes to put its files in
// place (renames and syncs, milliseconds; seconds on a slow disk), never
// while it reads, copies or asks: a start waits that long, not for ever.
constexpr int kSealWaitMs = 10000;

// A refusal on its way out of the loader.
struct Refusal {
    QString title;
    QString text;
    QString detail;
    int line = 0;  // of the key in its definition file, where there is one
};

// What the reading does with a problem: a load stops at the first one, a
// check notes each and reads on with the value kept within its limit.
class Findings {
  public:
    explicit Findings(QList<Refusal>* all = nullptr) : all_(all) {}
    // The problem when the reading is to stop at it.
    std::optional<Refusal> Note(std::optional<Refusal> bad) {
        if (!bad || !all_)
            return bad;
        all_->append(*bad);
        return std::nullopt;
    }

  private:
    QList<Refusal>* all_;
};

// One definition file in memory, indexed once, with the name it has on disk
// for messages.
struct DefinitionFile {
    QByteArray fileName;
    IniIndex index;
};

QString Quoted(const QByteArray& value) {
    return "\"" + FromText8(value) + "\"";
}

QString Where(const QByteArray& fileName, const QByteArray& section, const QByteArray& key) {
    return FromText8(fileName) + " [" + FromText8(section) + "] " + FromText8(key) + ": ";
}

QString Where(const DefinitionFile& file, const QByteArray& section, const QByteArray& key) {
    return Where(file.fileName, section, key);
}

// The refusal with the line of the key it is about.
Refusal At(Refusal refusal, const DefinitionFile& file, const QByteArray& section,
           const QByteArray& key) {
    refusal.line = file.index.Line(section, key);
    return refusal;
}

// Everything that goes wrong inside a MOD's files is reported under one text;
// the detail tells the author what to mend.
Refusal Faulty(const QByteArray& modName, const QString& detail) {
    return {kRefusedTitle, "Fehler beim Laden des MODs '" + FromText8(modName) + "'", detail};
}

// A file that cannot be opened counts as missing, as it always has; only
// what must not be read at all refuses the MOD.
QString RefusedReadProblem(ReadError error, qint64 limit) {
    return error == ReadError::Unreadable ? QString() : ReadProblem(error, limit);
}

// A definition file's content: nullopt when it is missing, unreadable or
// empty, or its name cannot be used below the MOD directory; problem is set
// when it is something that must not be read (a FIFO, a device, a directory,
// a huge file).
std::optional<QByteArray> ReadWholeFile(const QString& modDir, const QByteArray& name,
                                        QString* problem) {
    const QString path = JoinStoredPath(modDir, name);
    if (path.isEmpty())
        return std::nullopt;
    FileContent file = ReadRegularFile(path, kMaxDefinitionFileBytes);
    *problem = RefusedReadProblem(file.error, kMaxDefinitionFileBytes);
    if (!file.ok() || file.bytes.isEmpty())
        return std::nullopt;
    return std::move(file.bytes);
}

// The digits a number text begins with, as written (a leading-digit read of
// ten digits or more gives the largest 32-bit number instead).
QString Written(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    qsizetype n = 0;
    while (n < t.size() && t[n] >= '0' && t[n] <= '9')
        ++n;
    return FromText8(t.left(n));
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
        return file_.index.Text(section, key);
    }
    int32_t Number(const QByteArray& section, const QByteArray& key) const {
        return file_.index.Number(section, key);
    }

  private:
    const DefinitionFile& file_;
};

// A number read by its leading digits that must not exceed limit: counts,
// and the sizes and positions the game computes with.
std::optional<Refusal> CheckAtMost(const DefinitionFile& file, const QByteArray& modName,
                                   const QByteArray& section, const QByteArray& key, int limit,
                                   int32_t* value) {
    const QByteArray text = file.index.Text(section, key);
    *value = LeadingNumber(text);
    if (*value <= limit)
        return std::nullopt;
    // A check reads on with the value at its limit.
    *value = limit;
    return At(
        Faulty(modName, Where(file, section, key) + Written(text) +
                            " ist mehr als erlaubt (höchstens " + QString::number(limit) + ")"),
        file, section, key);
}

// A count that must lie in 0..limit; the refusal names file, section and key.
std::optional<Refusal> CheckCount(const DefinitionFile& file, const QByteArray& modName,
                                  const QByteArray& section, const QByteArray& key, int limit,
                                  int32_t* count) {
    const QByteArray text = file.index.Text(section, key);
    if (IsNegative(text)) {
        *count = 0;
        return At(Faulty(modName, Where(file, section, key) + Quoted(text) + " ist negativ"), file,
                  section, key);
    }
    return CheckAtMost(file, modName, section, key, limit, count);
}

std::optional<Refusal> LoadExtra(const DefinitionFile& file, const QByteArray& modName, int j,
                                 ExtraDef* extra, Findings& f) {
    const QByteArray section = "extra" + QByteArray::number(j);
    const Reader r(file);
    extra->pictureFile = r.Text(section, "gfx");
    if (auto bad = f.Note(CheckAtMost(file, modName, section, "gfxx", kMaxPlayPosition, &extra->x)))
        return bad;
    if (auto bad = f.Note(CheckAtMost(file, modName, section, "gfxy", kMaxPlayPosition, &extra->y)))
        return bad;
    if (auto bad = f.Note(
            CheckCount(file, modName, section, "points", kMaxHitCells, &extra->hitCellCount))) {
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
        if (auto bad = f.Note(At(Faulty(modName, Where(file, section, "destructable") + why), file,
                                 section, "destructable")))
            return bad;
    }
    extra->destructable = flag.value_or(false);
    extra->extraTimer = kExtraTimerPeriod;
    for (int k = 1; k <= extra->hitCellCount; ++k) {
        const QByteArray p = "p" + QByteArray::number(k);
        HitCell& cell = extra->hitCells[k];
        if (auto bad = f.Note(
                CheckAtMost(file, modName, section, p + "x", kMaxPlayPosition, &cell.column)))
            return bad;
        if (auto bad =
                f.Note(CheckAtMost(file, modName, section, p + "y", kMaxPlayPosition, &cell.row)))
            return bad;
    }
    return std::nullopt;
}

std::optional<Refusal> LoadBackground(const DefinitionFile& file, const QByteArray& modName,
                                      BackgroundDef* bg, Findings& f) {
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
    } else if (auto bad = f.Note(At(Faulty(modName, Where(file, "hg", "type") + Quoted(type) +
                                                        " ist weder \"BMP\" noch \"COLOR\""),
                                    file, "hg", "type"))) {
        return bad;
    }
    if (auto bad = f.Note(CheckAtMost(file, modName, "hg", "y", kMaxBackgroundSide, &bg->height)))
        return bad;
    if (auto bad = f.Note(CheckAtMost(file, modName, "hg", "x", kMaxBackgroundSide, &bg->width)))
        return bad;
    if (qint64{bg->width} * bg->height > kMaxBackgroundPixels) {
        if (auto bad = f.Note(At(
                Faulty(modName, FromText8(file.fileName) +
                                    QStringLiteral(" [hg] x, y: %1 × %2 Bildpunkte sind mehr als "
                                                   "erlaubt (höchstens %3 zusammen)")
                                        .arg(bg->width)
                                        .arg(bg->height)
                                        .arg(kMaxBackgroundPixels)),
                file, "hg", "x")))
            return bad;
    }
    if (auto bad = f.Note(CheckCount(file, modName, "hg", "extra", kMaxExtras, &bg->extraCount))) {
        return bad;
    }
    for (int j = 1; j <= bg->extraCount; ++j) {
        if (auto bad = LoadExtra(file, modName, j, &bg->extras[j], f))
            return bad;
    }
    return std::nullopt;
}

// The pictures a MOD names, checked before any is decoded: each must be a
// regular file within the limits, declare a size within the limits and not
// take far longer to decode than its size lets one expect, and all pictures
// held at one time (every different extra picture and the largest
// background) must fit the budget. Missing files and files that hold no
// picture are left to start-up, which reports them as missing pictures.
std::optional<Refusal> CheckPictures(const QString& modDir, const ModDefinition& mod,
                                     const QByteArray& ext,
                                     const std::vector<std::optional<DefinitionFile>>& files,
                                     Findings& f) {
    QHash<QString, qint64> seen;  // pixels of each file read, by its real path
    QSet<QString> countedExtras;
    qint64 extraPixels = 0;
    qint64 largestBackground = 0;
    std::optional<Refusal> bad;
    bool overBudget = false;
    int background = 0;
    // Noted with the line of the key that names the picture.
    const auto note = [&](Refusal refusal, const QByteArray& section, const QByteArray& key) {
        if (const auto& file = files[background])
            refusal = At(refusal, *file, section, key);
        bad = f.Note(refusal);
    };
    const auto check = [&](const QByteArray& file, const QByteArray& section, const QByteArray& key,
                           const QByteArray& name, bool isExtra) {
        const QString path = JoinStoredPath(modDir, name);
        if (path.isEmpty())
            return;
        const QString where = Where(file, section, key) + FromText8(name) + ": ";
        const QString real = QFileInfo(path).canonicalFilePath();
        qint64 pixels = 0;
        if (!real.isEmpty() && seen.contains(real)) {
            pixels = seen.value(real);
        } else {
            const FileContent content = ReadRegularFile(path, kMaxPictureFileBytes);
            const QString problem = RefusedReadProblem(content.error, kMaxPictureFileBytes);
            const QSize size = content.ok() ? PictureSize(content.bytes) : QSize();
            const QString tooLarge = PictureSizeProblem(size);
            if (!problem.isEmpty() || !tooLarge.isEmpty()) {
                note(Faulty(mod.modName, where + problem + tooLarge), section, key);
                return;
            }
            // Within every size limit, and yet it would take minutes to decode.
            if (const QString work = size.isValid() ? PictureWorkProblem(content.bytes) : QString();
                !work.isEmpty()) {
                note(Refusal{kRefusedTitle,
                             QStringLiteral("Das Bild '%1' des MODs '%2' lässt sich nicht in "
                                            "vertretbarer Zeit laden: %3. Der MOD wird nicht "
                                            "geladen.")
                                 .arg(FromText8(name), FromText8(mod.modName), work),
                             where + work},
                     section, key);
                return;
            }
            if (size.isValid())
                pixels = qint64{size.width()} * size.height();
            if (!real.isEmpty())
                seen.insert(real, pixels);
        }
        if (isExtra && (real.isEmpty() || !countedExtras.contains(real))) {
            countedExtras.insert(real);
            extraPixels += pixels;
        }
        if (extraPixels + largestBackground > kMaxModPicturePixels && !overBudget) {
            overBudget = true;
            note(Faulty(mod.modName,
                        where + QStringLiteral("alle Bilder des MODs zusammen sind mehr als "
                                               "erlaubt (höchstens %1 Bildpunkte)")
                                    .arg(kMaxModPicturePixels)),
                 section, key);
        }
    };

    // Whatever its picture measures, a preset is shown at its declared size
    // (a picture of another size ends the game when it is chosen).
    for (int i = 1; i <= mod.backgroundCount; ++i) {
        const BackgroundDef& bg = mod.backgrounds[i];
        largestBackground = std::max(largestBackground, qint64{bg.width} * bg.height);
    }
    for (int i = 1; i <= mod.backgroundCount && !bad; ++i) {
        const BackgroundDef& bg = mod.backgrounds[i];
        const QByteArray file = QByteArray::number(i) + ext;
        background = i;
        if (bg.isPicture)
            check(file, "hg", "datei", bg.pictureFile, false);
        for (int j = 1; j <= bg.extraCount && !bad; ++j)
            check(file, "extra" + QByteArray::number(j), "gfx", bg.extras[j].pictureFile, true);
    }
    return bad;
}

// A shot sound whose format the game could play but will not (see
// WaveFormatProblem). A sound that is missing or cannot be played at all is
// no reason to refuse the MOD: the game then plays without it.
std::optional<Refusal> CheckShotSound(const QString& modDir, const ModDefinition& mod,
                                      const DefinitionFile& general, Findings& f) {
    const QString path = JoinStoredPath(modDir, mod.shotSoundFile);
    if (path.isEmpty())
        return std::nullopt;
    const FileContent content = ReadRegularFile(path, kMaxSoundFileBytes);
    const std::optional<WaveFormat> format =
        content.ok() ? ReadWaveFormat(content.bytes) : std::nullopt;
    if (!format)
        return std::nullopt;
    bool beyondLimits = false;
    const QString why = WaveFormatProblem(*format, &beyondLimits);
    if (!beyondLimits)
        return std::nullopt;
    return f.Note(At(Faulty(mod.modName, Where(general, "sfx", "SchussSound") +
                                             FromText8(mod.shotSoundFile) + ": " + why),
                     general, "sfx", "SchussSound"));
}

// Reads the general definition (mod.ini or its encoded twin) and every
// background file, then checks the pictures and the shot sound; for a load
// the first fault ends the reading. files: the background files as read.
std::optional<Refusal> LoadInto(const QString& modDir, ModDefinition* mod, Findings& f,
                                std::vector<std::optional<DefinitionFile>>& files,
                                std::optional<DefinitionFile>& general) {
    const QByteArray ext = mod->modIsEncoded ? ".cod" : ".ini";
    QString problem;
    const auto definition = [&](const QByteArray& base) -> std::optional<DefinitionFile> {
        const QByteArray name = base + ext;
        std::optional<QByteArray> content = ReadWholeFile(modDir, name, &problem);
        if (!content)
            return std::nullopt;
        return DefinitionFile{name,
                              IniIndex(mod->modIsEncoded ? DecodeModFile(*content) : *content)};
    };
    const QByteArray dirName = ToText8(QDir(modDir).dirName());

    // A plain mod.ini that is missing reads as all keys empty: the MOD then
    // has no backgrounds and start-up stops at its picture checks.
    general = definition("mod");
    if (!problem.isEmpty()) {
        if (auto bad = f.Note(Faulty(dirName, FromText8("mod" + ext) + ": " + problem)))
            return bad;
        problem.clear();
    } else if (!general && mod->modIsEncoded) {
        if (auto bad = f.Note(Faulty(dirName, "mod.cod: Datei fehlt oder ist leer")))
            return bad;
    }
    if (!general)
        general = DefinitionFile{"mod.ini", IniIndex(QByteArray())};
    const Reader r(*general);
    mod->modName = r.Text("Allgemein", "Name");
    mod->shotSoundFile = r.Text("sfx", "SchussSound");
    mod->musicFile = r.Text("sfx", "Musik");

    const QByteArray countText = r.Text("Hintergrund", "Anzahl");
    mod->backgroundCount = LeadingNumber(countText);
    if (IsNegative(countText)) {
        if (auto bad = f.Note(At(Faulty(mod->modName, Where(*general, "Hintergrund", "Anzahl") +
                                                          Quoted(countText) + " ist negativ"),
                                 *general, "Hintergrund", "Anzahl")))
            return bad;
    }
    if (mod->backgroundCount > kMaxBackgrounds) {
        mod->backgroundCount = kMaxBackgrounds;
        if (auto bad = f.Note(
                At({QStringLiteral("Fehler!"),
                    "Geladener MOD '" + FromText8(mod->modName) +
                        "' wird nicht von dieser Wolkenfang Version unterstützt!!!",
                    Where(*general, "Hintergrund", "Anzahl") + Written(countText) +
                        " Hintergründe (höchstens " + QString::number(kMaxBackgrounds) + ")"},
                   *general, "Hintergrund", "Anzahl")))
            return bad;
    }

    files.assign(mod->backgroundCount + 1, std::nullopt);
    for (int i = 1; i <= mod->backgroundCount; ++i) {
        const QByteArray base = QByteArray::number(i);
        files[i] = definition(base);
        if (!problem.isEmpty()) {
            if (auto bad = f.Note(Faulty(mod->modName, FromText8(base + ext) + ": " + problem)))
                return bad;
            problem.clear();
            continue;
        }
        if (!files[i]) {
            if (auto bad = f.Note(
                    Faulty(mod->modName, FromText8(base + ext) + ": Datei fehlt oder ist leer")))
                return bad;
            continue;
        }
        if (auto bad = LoadBackground(*files[i], mod->modName, &mod->backgrounds[i], f))
            return bad;
    }
    if (auto bad = CheckPictures(modDir, *mod, ext, files, f))
        return bad;
    return CheckShotSound(modDir, *mod, *general, f);
}

// Fills in the refusal and tells standard error which file and key were
// wrong.
ModLoadResult Refused(ModLoadResult result, const Refusal& refusal, QByteArray name) {
    result.loaded = false;
    result.icon = MsgIcon::Exclamation;
    result.title = refusal.title;
    result.text = refusal.text;
    result.detail = refusal.detail;
    const QByteArray line = (Platform::Instance().ProgramName() + ": MOD '" + FromText8(name) +
                             "': " + refusal.detail + "\n")
                                .toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
    return result;
}

ModLoadResult LoadUnlocked(const QString& modDir);

// The MOD's lock, shared: a seal that puts its files in place meanwhile is
// seen before or after, never half switched. Where there can be no lock (a
// folder nobody may write), there can be no seal either.
std::unique_ptr<EntryLock> LockForReading(const QString& modDir, EntryLock::Outcome* outcome) {
    const QFileInfo where(QDir::cleanPath(modDir));
    if (const FolderRef mods = Folder::Open(where.path()))
        return EntryLock::ForReading(mods, where.fileName(), kSealWaitMs, outcome);
    return nullptr;
}

}  // namespace

QByteArray DecodeModFile(const QByteArray& encodedContent) {
    const QByteArray key(kModKey);
    QByteArray plain;
    qsizetype start = 0;
    while (start < encodedContent.size()) {
        qsizetype end = encodedContent.indexOf('\n', start);
        const qsizetype next = end < 0 ? encodedContent.size() : end + 1;
        if (end < 0)
            end = encodedContent.size();
        if (end > start && encodedContent[end - 1] == '\r')
            --end;
        plain += DecodeText(encodedContent.mid(start, end - start), key, true);
        plain += "\r\n";
        start = next;
    }
    return plain;
}

QString ModConfigPath(const QString& modDir) {
    return JoinStoredPath(modDir, "config.ini");
}

ModLoadResult LoadMod(const QString& modDir) {
    const QFileInfo where(QDir::cleanPath(modDir));
    EntryLock::Outcome outcome;
    const std::unique_ptr<EntryLock> lock = LockForReading(modDir, &outcome);
    if (outcome.status == EntryLock::Status::Busy) {
        const QByteArray name = ToText8(where.fileName());
        return Refused(ModLoadResult(),
                       {kRefusedTitle,
                        "Das MOD '" + where.fileName() +
                            "' wird gerade von modsiegel umgestellt. Bitte starten Sie das Spiel "
                            "gleich noch einmal.",
                        outcome.file + ": " + outcome.holder},
                       name);
    }
    return LoadUnlocked(modDir);
}

namespace {

ModLoadResult LoadUnlocked(const QString& modDir) {
    ModLoadResult result;
    const QString config = ModConfigPath(modDir);
    const FileContent configContent = config.isEmpty()
                                          ? FileContent{ReadError::Missing, {}}
                                          : ReadRegularFile(config, kMaxDefinitionFileBytes);
    const QByteArray dirName = ToText8(QDir(modDir).dirName());
    const QString problem = RefusedReadProblem(configContent.error, kMaxDefinitionFileBytes);
    if (!problem.isEmpty())
        return Refused(result, Faulty(dirName, "config.ini: " + problem), dirName);
    result.mod.modIsEncoded = IniIndex(configContent.bytes).Text("game", "type") == "code";

    Findings first;
    std::vector<std::optional<DefinitionFile>> files;
    std::optional<DefinitionFile> general;
    const std::optional<Refusal> refusal = LoadInto(modDir, &result.mod, first, files, general);
    if (!refusal) {
        result.loaded = true;
        return result;
    }
    return Refused(result, *refusal, result.mod.modName.isEmpty() ? dirName : result.mod.modName);
}

}  // namespace

namespace {

// The key's line added to a line of the check.
QString WithLine(const QString& text, int line) {
    return line > 0 ? text + QStringLiteral(" (Zeile %1)").arg(line) : text;
}

// What start-up makes of a picture the loader let through: "" when it
// decodes (size: what it measures), else why not; problems the loader has
// noted already (limits, work) are not told twice.
QString PictureProblem(const QString& modDir, const QByteArray& stored, QSize* size) {
    const QString path = JoinStoredPath(modDir, stored);
    const FileContent content = path.isEmpty() ? FileContent{ReadError::Missing, {}}
                                               : ReadRegularFile(path, kMaxPictureFileBytes);
    if (content.error == ReadError::Missing || content.error == ReadError::Unreadable)
        return QStringLiteral("das Bild fehlt");
    if (!content.ok())
        return QString();
    const QSize declared = PictureSize(content.bytes);
    if (!declared.isValid())
        return QStringLiteral("ist kein Bild, das das Spiel liest (BMP, GIF, JPEG oder PNG)");
    if (!PictureSizeProblem(declared).isEmpty() || !PictureWorkProblem(content.bytes).isEmpty())
        return QString();
    const QImage picture = DecodePicture(content.bytes);
    if (picture.isNull())
        return QStringLiteral("das Bild lässt sich nicht lesen");
    *size = picture.size();
    return QString();
}

}  // namespace

ModCheck CheckMod(const QString& modDir) {
    ModCheck check;
    EntryLock::Outcome outcome;
    const std::unique_ptr<EntryLock> lock = LockForReading(modDir, &outcome);
    if (outcome.status == EntryLock::Status::Busy) {
        check.problems.append(
            QStringLiteral("Das MOD wird gerade von modsiegel umgestellt (%1).").arg(outcome.file));
        return check;
    }
    const QByteArray dirName = ToText8(QDir(modDir).dirName());
    QList<Refusal> all;
    Findings every(&all);
    ModDefinition mod;
    const QString config = ModConfigPath(modDir);
    const FileContent configContent = config.isEmpty()
                                          ? FileContent{ReadError::Missing, {}}
                                          : ReadRegularFile(config, kMaxDefinitionFileBytes);
    const QString problem = RefusedReadProblem(configContent.error, kMaxDefinitionFileBytes);
    if (!problem.isEmpty())
        every.Note(Faulty(dirName, "config.ini: " + problem));
    mod.modIsEncoded = IniIndex(configContent.bytes).Text("game", "type") == "code";
    std::vector<std::optional<DefinitionFile>> files;
    std::optional<DefinitionFile> general;
    LoadInto(modDir, &mod, every, files, general);
    for (const Refusal& r : all)
        check.problems.append(WithLine(r.detail, r.line));

    const QByteArray ext = mod.modIsEncoded ? ".cod" : ".ini";
    const auto lineIn = [&](int background, const QByteArray& section, const QByteArray& key) {
        const auto& file = background ? files[background] : general;
        return file ? file->index.Line(section, key) : 0;
    };
    const auto problemAt = [&](int background, const QByteArray& section, const QByteArray& key,
                               const QString& what) {
        const QByteArray file = background ? QByteArray::number(background) + ext : "mod" + ext;
        check.problems.append(
            WithLine(Where(file, section, key) + what, lineIn(background, section, key)));
    };
    if (mod.backgroundCount < 1 && general) {
        problemAt(0, "Hintergrund", "Anzahl",
                  QStringLiteral("kein Hintergrund; das Spiel braucht mindestens einen"));
    }
    for (int i = 1; i <= mod.backgroundCount; ++i) {
        if (!files[i])
            continue;  // told by the loader
        const BackgroundDef& bg = mod.backgrounds[i];
        QSize size;
        if (bg.isPicture) {
            const QString why = PictureProblem(modDir, bg.pictureFile, &size);
            if (!why.isEmpty()) {
                problemAt(i, "hg", "datei", FromText8(bg.pictureFile) + ": " + why);
            } else if (size.isValid() && size != QSize(bg.width, bg.height)) {
                problemAt(i, "hg", "x",
                          QStringLiteral("das Bild %1 ist %2 × %3 Bildpunkte groß, angegeben sind "
                                         "%4 × %5")
                              .arg(FromText8(bg.pictureFile))
                              .arg(size.width())
                              .arg(size.height())
                              .arg(bg.width)
                              .arg(bg.height));
            }
        }
        for (int j = 1; j <= bg.extraCount; ++j) {
            const ExtraDef& extra = bg.extras[j];
            const QByteArray section = "extra" + QByteArray::number(j);
            if (extra.extraKind != "static" && extra.extraKind != "sequenziell") {
                problemAt(i, section, "typ",
                          Quoted(extra.extraKind) +
                              QStringLiteral(" ist weder \"static\" noch \"sequenziell\""));
            }
            QSize unused;
            const QString why = PictureProblem(modDir, extra.pictureFile, &unused);
            if (!why.isEmpty())
                problemAt(i, section, "gfx", FromText8(extra.pictureFile) + ": " + why);
        }
    }

    // The game plays on without sound or music; the author learns of it all
    // the same.
    const auto note = [&](const QByteArray& key, const QByteArray& stored, const QString& why) {
        check.notes.append(WithLine(Where("mod" + ext, "sfx", key) + FromText8(stored) + ": " + why,
                                    lineIn(0, "sfx", key)));
    };
    const QString sound = JoinStoredPath(modDir, mod.shotSoundFile);
    const FileContent wave = sound.isEmpty() ? FileContent{ReadError::Missing, {}}
                                             : ReadRegularFile(sound, kMaxSoundFileBytes);
    if (!wave.ok() || !ReadWaveFormat(wave.bytes)) {
        note("SchussSound", mod.shotSoundFile,
             QStringLiteral("fehlt oder ist kein WAV; das Spiel schießt dann lautlos"));
    } else if (const QString why = WaveFormatProblem(*ReadWaveFormat(wave.bytes)); !why.isEmpty()) {
        note("SchussSound", mod.shotSoundFile, why);
    }
    const QString music = JoinStoredPath(modDir, mod.musicFile);
    const FileContent midi = music.isEmpty() ? FileContent{ReadError::Missing, {}}
                                             : ReadRegularFile(music, kMaxMusicFileBytes);
    const std::optional<MidiLoad> load = midi.ok() ? ReadMidiLoad(midi.bytes) : std::nullopt;
    if (!load) {
        note("Musik", mod.musicFile,
             QStringLiteral("fehlt oder ist keine MIDI-Datei; das Spiel ist dann ohne Musik"));
    } else if (const QString why = MidiLoadProblem(*load); !why.isEmpty()) {
        note("Musik", mod.musicFile, why);
    }
    return check;
}

ModLoadResult RefuseModName(const QString& name) {
    const QByteArray text = ToText8(name);
    return Refused(ModLoadResult(),
                   Faulty(text, "-mod:" + name +
                                    ": kein Verzeichnisname im Verzeichnis \"mods\" (ein Name "
                                    "ohne Pfadtrenner, nicht \".\" oder \"..\")"),
                   text);
}

}  // namespace wf

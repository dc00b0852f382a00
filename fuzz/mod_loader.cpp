// The MOD loader over a MOD directory made from the input. Input: files, each
// introduced by a line "@@<file name>" (letters, digits, '.', '_', '-'),
// e.g. config.ini, mod.ini, 1.ini or their .cod twins. A loaded MOD must stay
// within its limits, a refused one must say why; and a plain MOD must load
// the same after the encoder has encoded it.
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "ModFiles.h"
#include "ModLoader.h"

namespace {

struct InputFile {
    QString name;
    QByteArray content;
};

QString ModDirectory() {
    static const QString root = [] {
        const char* dir = std::getenv("WF_FUZZ_TMP");
        if (!dir || !*dir)
            dir = QFile::exists("/dev/shm") ? "/dev/shm" : "/tmp";
        return QString::fromLocal8Bit(dir) + QStringLiteral("/wf-fuzz-mod-%1").arg(getpid());
    }();
    static const struct Remover {
        ~Remover() { QDir(root).removeRecursively(); }
    } remover;
    return root + QStringLiteral("/fuzzmod");
}

bool UsableName(const QByteArray& name) {
    if (name.isEmpty() || name.size() > 32 || name == "." || name == "..")
        return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

QList<InputFile> SplitInput(const QByteArray& input) {
    QList<InputFile> files;
    qsizetype pos = input.startsWith("@@") ? 0 : input.indexOf("\n@@");
    if (pos > 0)
        ++pos;
    while (pos >= 0 && pos < input.size()) {
        const qsizetype nameEnd = input.indexOf('\n', pos);
        if (nameEnd < 0)
            break;
        QByteArray name = input.mid(pos + 2, nameEnd - pos - 2);
        if (name.endsWith('\r'))
            name.chop(1);
        qsizetype next = input.indexOf("\n@@", nameEnd);
        const qsizetype end = next < 0 ? input.size() : next + 1;
        if (UsableName(name)) {
            const QString fileName = QString::fromLatin1(name);
            const QByteArray content = input.mid(nameEnd + 1, end - nameEnd - 1);
            // A name given twice is one file: the last content counts.
            qsizetype k = 0;
            while (k < files.size() && files[k].name != fileName)
                ++k;
            if (k < files.size())
                files[k].content = content;
            else
                files.append({fileName, content});
        }
        pos = next < 0 ? -1 : next + 1;
    }
    return files;
}

void WriteDirectory(const QString& dir, const QList<InputFile>& files) {
    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir))
        std::abort();
    for (const InputFile& f : files) {
        QFile out(dir + '/' + f.name);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(f.content) != f.content.size())
            std::abort();
    }
}

void CheckResult(const wf::ModLoadResult& r) {
    if (!r.loaded) {
        if (r.icon != wf::MsgIcon::Exclamation || (r.title != "Fehler !" && r.title != "Fehler!") ||
            r.text.isEmpty() || r.detail.isEmpty())
            std::abort();
        return;
    }
    const wf::ModDefinition& m = r.mod;
    if (m.backgroundCount < 0 || m.backgroundCount > wf::kMaxBackgrounds)
        std::abort();
    for (int i = 1; i <= m.backgroundCount; ++i) {
        const wf::BackgroundDef& bg = m.backgrounds[i];
        if (bg.extraCount < 0 || bg.extraCount > wf::kMaxExtras || !bg.colour.isValid())
            std::abort();
        if (!bg.isPicture && !bg.pictureFile.isEmpty())
            std::abort();
        for (int j = 1; j <= bg.extraCount; ++j) {
            const int cells = bg.extras[j].hitCellCount;
            if (cells < 0 || cells > wf::kMaxHitCells)
                std::abort();
        }
    }
}

bool SameExtra(const wf::ExtraDef& a, const wf::ExtraDef& b) {
    if (a.pictureFile != b.pictureFile || a.x != b.x || a.y != b.y ||
        a.hitCellCount != b.hitCellCount || a.extraPoints != b.extraPoints ||
        a.extraKind != b.extraKind || a.destructable != b.destructable ||
        a.extraState != b.extraState || a.extraTimer != b.extraTimer)
        return false;
    for (int k = 1; k <= a.hitCellCount; ++k) {
        if (a.hitCells[k].column != b.hitCells[k].column || a.hitCells[k].row != b.hitCells[k].row)
            return false;
    }
    return true;
}

bool SameMod(const wf::ModDefinition& a, const wf::ModDefinition& b) {
    if (a.modName != b.modName || a.shotSoundFile != b.shotSoundFile ||
        a.musicFile != b.musicFile || a.backgroundCount != b.backgroundCount)
        return false;
    for (int i = 1; i <= a.backgroundCount; ++i) {
        const wf::BackgroundDef& x = a.backgrounds[i];
        const wf::BackgroundDef& y = b.backgrounds[i];
        if (x.title != y.title || x.isPicture != y.isPicture || x.pictureFile != y.pictureFile ||
            x.width != y.width || x.height != y.height || x.colour != y.colour ||
            x.extraCount != y.extraCount)
            return false;
        for (int j = 1; j <= x.extraCount; ++j) {
            if (!SameExtra(x.extras[j], y.extras[j]))
                return false;
        }
    }
    return true;
}

// Lines the cipher gives back exactly: no code 255 (it comes back as 0), and
// no line of a single character (a single code cannot be decoded).
bool CipherSafe(const QByteArray& content) {
    if (content.contains('\xff'))
        return false;
    for (const QByteArray& line : wf::PlainLines(content)) {
        if (line.size() == 1)
            return false;
    }
    return true;
}

// The plain MOD as the encoder leaves it: every definition file encoded to
// its .cod twin, the plain ones gone, "type" set to "code".
bool EncodedTwin(const QList<InputFile>& plain, QList<InputFile>* encoded) {
    QStringList seen;
    for (const InputFile& f : plain) {
        const QString lower = f.name.toLower();
        if (seen.contains(lower))
            return false;  // which of two spellings a lookup finds is not defined
        seen.append(lower);
        if (lower == "config.ini" || lower.endsWith(".cod"))
            continue;
        if (lower.endsWith(".ini")) {
            if (!CipherSafe(f.content))
                return false;
            encoded->append({f.name.chopped(4) + ".cod", wf::EncodeModContent(f.content)});
        } else {
            encoded->append(f);
        }
    }
    // Without a mod.ini the plain MOD reads as empty, while the encoder has
    // nothing to encode.
    if (!seen.contains(QStringLiteral("mod.ini")))
        return false;
    encoded->append({QStringLiteral("config.ini"), QByteArray("[game]\r\ntype=code\r\n")});
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<InputFile> files = SplitInput(input);
    const QString dir = ModDirectory();

    WriteDirectory(dir, files);
    const wf::ModLoadResult plain = wf::LoadMod(dir);
    CheckResult(plain);
    // Loading only reads: the directory is as it was.
    if (QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size() !=
        files.size())
        std::abort();

    QList<InputFile> encoded;
    if (plain.mod.modIsEncoded || !EncodedTwin(files, &encoded))
        return 0;
    WriteDirectory(dir, encoded);
    const wf::ModLoadResult twin = wf::LoadMod(dir);
    CheckResult(twin);
    if (!twin.mod.modIsEncoded || twin.loaded != plain.loaded)
        std::abort();
    if (plain.loaded && !SameMod(plain.mod, twin.mod))
        std::abort();
    if (!plain.loaded && (twin.title != plain.title || twin.text != plain.text))
        std::abort();
    return 0;
}

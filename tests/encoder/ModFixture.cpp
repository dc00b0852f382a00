#include "ModFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "IniAccess.h"
#include "TextCipher.h"

namespace wf::test {

ModLayout StandardMod() {
    ModLayout layout;
    layout.backgrounds = {
        {"BMP", "bilder\\wiese.bmp", {{"extras\\ziel1.bmp"}, {"ziel2.bmp"}}},
        {"COLOR", "blau.bmp", {{"ziel3.bmp"}}},
    };
    return layout;
}

ModFixture::ModFixture() {
    if (!temp_.isValid())
        throw std::runtime_error("no temporary directory");
}

void ModFixture::WriteFile(const QString& rel, const QByteArray& content) {
    const QString path = Path(rel);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray ModFixture::ReadFile(const QString& rel) const {
    QFile f(Path(rel));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool ModFixture::Exists(const QString& rel) const {
    return QFileInfo::exists(Path(rel));
}

void ModFixture::WriteGameIni(const QList<QByteArray>& names, int count) {
    QByteArray ini = "[Spiel]\r\nsound=mod\r\n[Mods]\r\n";
    if (count >= 0)
        ini += "ModAnzahl=" + QByteArray::number(names.size()) + "\r\n";
    for (int i = 0; i < names.size(); ++i)
        ini += "ModName" + QByteArray::number(i + 1) + "=" + names[i] + "\r\n";
    WriteFile(QStringLiteral("game.ini"), ini);
}

QMap<QByteArray, QByteArray> ModFixture::AddMod(const QString& name, const ModLayout& layout,
                                                bool withMedia) {
    const QString dir = QStringLiteral("mods/") + name + '/';
    const auto media = [&](const QByteArray& stored) {
        if (stored.isEmpty() || !withMedia)
            return;
        QString rel = QString::fromLatin1(stored);
        rel.replace('\\', '/');
        WriteFile(dir + rel, "media " + stored);
    };
    QByteArray config = "[game]\r\nsound=yes\r\nmusic=yes\r\n";
    if (!layout.type.isEmpty())
        config += "type=" + layout.type + "\r\n";
    WriteFile(dir + "config.ini", config);

    QMap<QByteArray, QByteArray> plain;
    plain["mod"] =
        "[Allgemein]\r\nName=Testwelt " + name.toLatin1() +
        "\r\n\r\n[sfx]\r\nMusik=" + layout.musik + "\r\nSchussSound=" + layout.schussSound +
        "\r\n[Hintergrund]\r\nAnzahl=" + QByteArray::number(layout.backgrounds.size()) + "\r\n";
    media(layout.musik);
    media(layout.schussSound);
    for (int u = 0; u < layout.backgrounds.size(); ++u) {
        const BackgroundLayout& bg = layout.backgrounds[u];
        QByteArray ini = "[hg]\r\nname=Hintergrund " + QByteArray::number(u + 1) +
                         " mit \xDCmlaut\r\ntype=" + bg.type + "\r\ndatei=" + bg.datei +
                         "\r\nx=640\r\ny=480\r\nr=10\r\ng=20\r\nb=300\r\nextra=" +
                         QByteArray::number(bg.extras.size()) + "\r\n";
        media(bg.datei);
        for (int f = 0; f < bg.extras.size(); ++f) {
            ini += "[extra" + QByteArray::number(f + 1) + "]\r\ngfx=" + bg.extras[f].gfx +
                   "\r\ngfxx=100\r\ngfxy=50\r\npoints=1\r\np1x=7\r\np1y=4\r\ntyp=static\r\n"
                   "gpts=15\r\ndestructable=true\r\n";
            media(bg.extras[f].gfx);
        }
        plain[QByteArray::number(u + 1)] = ini;
    }
    for (auto it = plain.cbegin(); it != plain.cend(); ++it)
        WriteFile(dir + QString::fromLatin1(it.key()) + ".ini", it.value());
    return plain;
}

QMap<QString, QByteArray> ModFixture::Snapshot() const {
    return SnapshotOf(GameDir());
}

QMap<QString, QByteArray> ModFixture::SnapshotOf(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir,
                    QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(dir).relativeFilePath(path);
        const QFileInfo info(path);
        // Never read through a link or from a FIFO or device.
        if (info.isSymLink()) {
            files[rel] = "<link to " + info.symLinkTarget().toUtf8() + '>';
            continue;
        }
        if (info.isDir()) {
            files[rel + '/'] = QByteArray();
            continue;
        }
        if (!info.isFile()) {
            files[rel] = "<special>";
            continue;
        }
        QFile f(path);
        files[rel] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    return files;
}

QByteArray DecodeCodFile(const QByteArray& cod) {
    QList<QByteArray> lines = cod.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QByteArray plain;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        plain += DecodeText(line, QByteArray(kModKey), true) + "\r\n";
    }
    return plain;
}

LoadsAs HowItLoads(const ModFixture& fx, const QString& mod,
                   const QMap<QByteArray, QByteArray>& originals) {
    const QString dir = QStringLiteral("mods/") + mod + '/';
    const bool encoded = ReadIniText(fx.Path(dir + "config.ini"), "game", "type") == "code";
    for (auto it = originals.cbegin(); it != originals.cend(); ++it) {
        const QString name = dir + QString::fromLatin1(it.key());
        if (encoded) {
            if (!fx.Exists(name + ".cod") ||
                DecodeCodFile(fx.ReadFile(name + ".cod")) != it.value())
                return LoadsAs::Broken;
        } else if (fx.ReadFile(name + ".ini") != it.value()) {
            return LoadsAs::Broken;
        }
    }
    return encoded ? LoadsAs::Encoded : LoadsAs::Plain;
}

}  // namespace wf::test

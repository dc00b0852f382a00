#include "GameFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <stdexcept>

#include "IniAccess.h"
#include "PictureSlots.h"
#include "TextCipher.h"

namespace wf::test {

QByteArray Join(const Lines& lines, bool encoded) {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += (encoded ? EncodeText(line, kModKey, true) : line) + "\r\n";
    return out;
}

void Set(Lines& lines, const QByteArray& section, const QByteArray& key, const QByteArray& value) {
    qsizetype at = lines.indexOf("[" + section + "]");
    if (at < 0) {
        lines << "[" + section + "]" << key + "=" + value;
        return;
    }
    for (++at; at < lines.size() && !lines[at].startsWith('['); ++at) {
        if (lines[at].startsWith(key + "=")) {
            lines[at] = key + "=" + value;
            return;
        }
    }
    lines.insert(at, key + "=" + value);
}

Lines ModList(const Lines& names, bool withCount) {
    Lines lines{"[Mods]"};
    if (withCount)
        lines << "ModAnzahl=" + QByteArray::number(names.size());
    for (int k = 0; k < names.size(); ++k)
        lines << "ModName" + QByteArray::number(k + 1) + "=" + names[k];
    return lines;
}

QByteArray ExtraPicture(int background, int extra) {
    return QStringLiteral("extras\\e%1_%2.png").arg(background).arg(extra).toLatin1();
}

ModDraft MakeMod(const QList<BackgroundDraft>& backgrounds) {
    // Lines separated by '|'.
    const auto lines = [](const QString& text) { return text.toLatin1().split('|'); };
    ModDraft draft;
    draft.mod = lines(QStringLiteral("[Allgemein]|Name=Testwelt|[sfx]|Musik=sounds\\musik.mid|"
                                     "SchussSound=schuss.wav|[Hintergrund]|Anzahl=%1")
                          .arg(backgrounds.size()));
    draft.media = {{"sounds\\musik.mid", QSize()}, {"schuss.wav", QSize()}};
    for (int i = 1; i <= backgrounds.size(); ++i) {
        const BackgroundDraft& bg = backgrounds[i - 1];
        draft.backgrounds << lines(
            QStringLiteral("[hg]|name=Hintergrund %1 Ä|type=%2|datei=bilder\\"
                           "hg%1.png|x=%3|y=%4|r=10|g=20|b=300|extra=%5")
                .arg(i)
                .arg(QString::fromLatin1(bg.type))
                .arg(bg.width)
                .arg(bg.height)
                .arg(bg.extras));
        draft.media["bilder\\hg" + QByteArray::number(i) + ".png"] = QSize(bg.width, bg.height);
        for (int j = 1; j <= bg.extras; ++j) {
            draft.backgrounds.last() << lines(
                QStringLiteral("[extra%1]|gfx=%2|gfxx=%3|gfxy=%4|points=1|p1x=%1|p1y=%5|typ=%6|"
                               "gpts=15|destructable=%7")
                    .arg(j)
                    .arg(QString::fromLatin1(ExtraPicture(i, j)))
                    .arg(10 * j)
                    .arg(5 * i)
                    .arg(i)
                    .arg(j % 2 ? "static" : "sequenziell")
                    .arg(j == 1 ? "true" : "0"));
            draft.media[ExtraPicture(i, j)] = QSize(4 + j, 4 + i);
        }
    }
    return draft;
}

GameFiles::GameFiles() {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary directory");
}

void GameFiles::WriteGame(const ModDraft& mod) const {
    Write(QStringLiteral("game.ini"), Lines{"[game]", "werbung=ja"} + ModList({"wolkfng4"}));
    for (const FixedPicture& f : kFixedPictures) {
        WritePicture(QString::fromLatin1(f.file), QSize(FixedWidth(f.slot), 8),
                     QColor(f.slot * 10, 0, 0));
    }
    WriteMod(QStringLiteral("wolkfng4"), mod);
}

QString GameFiles::Path(const QString& rel) const {
    QString path = dir_.path();
    if (!rel.isEmpty())
        path += '/' + QString(rel).replace('\\', '/');
    return path;
}

QString GameFiles::ModPath(const QString& mod) const {
    return Path("mods/" + mod);
}

void GameFiles::Write(const QString& rel, const QByteArray& bytes) const {
    const QString path = Path(rel);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void GameFiles::WritePicture(const QString& rel, QSize size, QColor colour) const {
    QDir().mkpath(QFileInfo(Path(rel)).path());
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    if (!picture.save(Path(rel), "PNG"))
        throw std::runtime_error("cannot write " + rel.toStdString());
}

QByteArray GameFiles::Read(const QString& rel) const {
    QFile f(Path(rel));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool GameFiles::Exists(const QString& rel) const {
    return QFileInfo(Path(rel)).exists() || QFileInfo(Path(rel)).isSymLink();
}

void GameFiles::Remove(const QString& rel) const {
    QFile::remove(Path(rel));
}

QMap<QByteArray, QByteArray> GameFiles::WriteMod(const QString& name, const ModDraft& draft,
                                                 bool media) const {
    const QString dir = "mods/" + name + '/';
    Lines config = draft.config;
    if (draft.encoded)
        Set(config, "game", "type", "code");
    Write(dir + "config.ini", config);
    QMap<QByteArray, Lines> files{{"mod", draft.mod}};
    for (int i = 0; i < draft.backgrounds.size(); ++i)
        files[QByteArray::number(i + 1)] = draft.backgrounds[i];
    QMap<QByteArray, QByteArray> plain;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        plain[it.key()] = Join(it.value());
        Write(dir + it.key() + (draft.encoded ? ".cod" : ".ini"), Join(it.value(), draft.encoded));
    }
    for (auto it = draft.media.cbegin(); media && it != draft.media.cend(); ++it) {
        const QString rel = dir + QString::fromLatin1(it.key());
        if (it.value().isEmpty())
            Write(rel, "media " + it.key());
        else
            WritePicture(rel, it.value(), Qt::yellow);
    }
    return plain;
}

LoadsAs GameFiles::HowItLoads(const QString& mod, const QMap<QByteArray, QByteArray>& plain) const {
    const QString dir = "mods/" + mod + '/';
    const bool encoded = ReadIniText(Path(dir + "config.ini"), "game", "type") == "code";
    for (auto it = plain.cbegin(); it != plain.cend(); ++it) {
        QByteArray read = Read(dir + it.key() + (encoded ? ".cod" : ".ini"));
        if (encoded) {
            Lines lines;
            for (const QByteArray& line : read.split('\n'))
                lines << DecodeText(line.endsWith('\r') ? line.chopped(1) : line, kModKey, true);
            read = Join(lines.mid(0, lines.size() - 1));  // the split's last, empty piece
        }
        if (read != it.value())
            return LoadsAs::Broken;
    }
    return encoded ? LoadsAs::Encoded : LoadsAs::Plain;
}

QMap<QString, QByteArray> GameFiles::SnapshotOf(const QString& dir) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(dir).relativeFilePath(path);
        const QFileInfo info(path);
        if (info.isSymLink()) {
            entries[rel] = "<link to " + info.symLinkTarget().toUtf8() + '>';
        } else if (info.isDir()) {
            entries[rel + '/'] = QByteArray();
        } else if (!info.isFile()) {
            entries[rel] = "<special>";
        } else {
            QFile f(path);
            entries[rel] = f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>";
        }
    }
    return entries;
}

}  // namespace wf::test

#include "GameDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace wf::test {

GameDirectory::GameDirectory(std::vector<BackgroundSpec> backgrounds) {
    WriteSettings("werbung=ja\r\n");
    for (int s = 1; s <= 21; ++s) {
        const QString file = FixedFile(s);
        if (!file.isEmpty())
            WritePicture(file, FixedWidth(s), 8, QColor(s * 10, 0, 0));
    }
    if (backgrounds.empty())
        backgrounds.push_back({"Wiese"});
    WriteMod(QStringLiteral("wolkfng4"), backgrounds);
}

QString GameDirectory::ModPath(const QString& name) const {
    return Path() + "/mods/" + name;
}

void GameDirectory::WriteText(const QString& relative, const QByteArray& content) const {
    const QString path = Path() + "/" + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

void GameDirectory::Remove(const QString& relative) const {
    QFile::remove(Path() + "/" + relative);
}

void GameDirectory::WritePicture(const QString& relative, int width, int height,
                                 QColor colour) const {
    const QString path = Path() + "/" + relative;
    QDir().mkpath(QFileInfo(path).path());
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(colour);
    img.save(path, "PNG");
}

void GameDirectory::WriteSettings(const QByteArray& gameSection) const {
    WriteText(QStringLiteral("game.ini"), "[game]\r\n" + gameSection);
}

void GameDirectory::WriteMod(const QString& name,
                             const std::vector<BackgroundSpec>& backgrounds) const {
    const QString mod = "mods/" + name + "/";
    WriteText(mod + "config.ini", "[game]\r\ntype=plain\r\n");
    WriteText(mod + "mod.ini",
              "[Allgemein]\r\nName=Testwelt\r\n[sfx]\r\nSchussSound=schuss.wav\r\n"
              "Musik=musik.mid\r\n[Hintergrund]\r\nAnzahl=" +
                  QByteArray::number(static_cast<int>(backgrounds.size())) + "\r\n");
    for (size_t k = 0; k < backgrounds.size(); ++k) {
        const BackgroundSpec& bg = backgrounds[k];
        const int i = static_cast<int>(k) + 1;
        QByteArray ini = "[hg]\r\nname=" + bg.title + "\r\ntype=" + bg.type + "\r\n";
        ini +=
            "x=" + QByteArray::number(bg.width) + "\r\ny=" + QByteArray::number(bg.height) + "\r\n";
        if (bg.type == "BMP") {
            const QByteArray file = "hg" + QByteArray::number(i) + ".png";
            ini += "datei=" + file + "\r\n";
            WritePicture(mod + QString::fromLatin1(file), bg.width, bg.height, Qt::darkGreen);
        } else {
            ini += "r=10\r\ng=20\r\nb=30\r\n";
        }
        ini += "extra=" + QByteArray::number(bg.extras) + "\r\n";
        for (int j = 1; j <= bg.extras; ++j) {
            ini += "[extra" + QByteArray::number(j) + "]\r\ngfx=" + ExtraFile(i, j).toLatin1() +
                   "\r\ngfxx=5\r\ngfxy=6\r\npoints=1\r\np1x=1\r\np1y=1\r\ntyp=static\r\n"
                   "gpts=3\r\ndestructable=true\r\n";
            WritePicture(mod + ExtraFile(i, j), 4 + j, 4 + i, Qt::yellow);
        }
        WriteText(mod + QString::number(i) + ".ini", ini);
    }
}

QString GameDirectory::FixedFile(int slot) {
    static const char* const files[22] = {
        nullptr,       "Munition.jpg", "Cursor.jpg",   "Maske.jpg", nullptr, "Vogel.jpg",
        "Vogelsw.jpg", "Vogelu.jpg",   "Vogelusw.jpg", nullptr,     nullptr, "WFLogo.jpg",
        "SPWLogo.jpg", "presents.jpg", "3.jpg",        "1.jpg",     "2.jpg", "4.jpg",
        "5.jpg",       nullptr,        "7.jpg",        "8.jpg"};
    if (slot < 1 || slot > 21 || !files[slot])
        return QString();
    return QStringLiteral("Grafiken/") + QString::fromLatin1(files[slot]);
}

QString GameDirectory::ExtraFile(int i, int j) {
    return QStringLiteral("extra%1_%2.png").arg(i).arg(j);
}

}  // namespace wf::test

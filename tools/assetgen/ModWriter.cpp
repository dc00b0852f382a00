#include "ModWriter.h"

#include <QBuffer>
#include <QImageWriter>

#include <stdexcept>

#include "IniText.h"
#include "Layout.h"
#include "Text8.h"
#include "TextCipher.h"

namespace wf::assetgen {

namespace {

QStringList ModIniLines(const ModSpec& plan) {
    IniText ini;
    ini.Comment(QStringLiteral("Wolkenfang MOD: ") + plan.description);
    ini.Section("Allgemein");
    ini.Key("Name", plan.name);
    ini.Section("sfx");
    ini.Key("SchussSound", plan.shotFile);
    ini.Key("Musik", plan.musicFile);
    ini.Section("Hintergrund");
    ini.Key("Anzahl", static_cast<int>(plan.backgrounds.size()));
    return ini.Lines();
}

QStringList BackgroundIniLines(const ModSpec& plan, int number, const BackgroundSpec& bg,
                               const std::vector<RenderedExtra>& extras) {
    IniText ini;
    ini.Comment(QStringLiteral("%1 - Hintergrund %2: %3").arg(plan.name).arg(number).arg(bg.title));
    ini.Section("hg");
    ini.Key("name", bg.title);
    if (bg.scene) {
        ini.Key("type", "BMP");
        ini.Key("datei", bg.file);
    } else {
        ini.Key("type", "COLOR");
        ini.Key("r", bg.colour.red());
        ini.Key("g", bg.colour.green());
        ini.Key("b", bg.colour.blue());
    }
    ini.Key("x", layout::kSceneSize.width());
    ini.Key("y", layout::kSceneSize.height());
    ini.Key("extra", static_cast<int>(bg.extras.size()));
    for (size_t j = 0; j < bg.extras.size(); ++j) {
        const ExtraSpec& e = bg.extras[j];
        const std::vector<QPoint>& cells = extras[j].hitCells;
        ini.Section(QStringLiteral("extra%1").arg(j + 1));
        ini.Comment(e.title);
        ini.Key("gfx", e.file);
        ini.Key("gfxx", e.box.x());
        ini.Key("gfxy", e.box.y());
        ini.Key("typ", QString::fromLatin1(e.kind));
        ini.Key("gpts", e.points);
        ini.Key("destructable", e.destructable ? "true" : "false");
        ini.Key("points", static_cast<int>(cells.size()));
        for (size_t k = 0; k < cells.size(); ++k) {
            ini.Key(QStringLiteral("p%1x").arg(k + 1), cells[k].x());
            ini.Key(QStringLiteral("p%1y").arg(k + 1), cells[k].y());
        }
    }
    return ini.Lines();
}

QImage PlainColour(QColor colour) {
    QImage image(layout::kSceneSize, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

}  // namespace

QByteArray PictureBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setCompression(1);  // fast; the pictures are smooth and pack well anyway
    writer.write(image);
    return bytes;
}

QByteArray EncodeLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        out += wf::EncodeText(wf::ToText8(line), QByteArray(wf::kModKey), true) + "\r\n";
    }
    return out;
}

BuiltMod BuildMod(const ModSpec& plan) {
    BuiltMod mod;
    mod.plan = plan;
    mod.modIni = ModIniLines(plan);
    for (size_t i = 0; i < plan.backgrounds.size(); ++i) {
        const BackgroundSpec& bg = plan.backgrounds[i];
        const QImage scene = bg.scene ? PaintScene(*bg.scene) : PlainColour(bg.colour);
        mod.backgroundPictures.push_back(scene);
        if (bg.scene)
            mod.pictures.push_back({bg.file, scene});
        std::vector<RenderedExtra> rendered;
        for (const ExtraSpec& e : bg.extras) {
            rendered.push_back(RenderExtra(scene, e.box, e.object, plan.night));
            if (rendered.back().hitCells.empty()) {
                throw std::logic_error("extra without hit cells: " + e.file.toStdString());
            }
            mod.pictures.push_back({e.file, rendered.back().picture});
        }
        mod.backgroundInis.push_back(
            BackgroundIniLines(plan, static_cast<int>(i + 1), bg, rendered));
        mod.extras.push_back(std::move(rendered));
    }

    IniText config;
    config.Comment(QStringLiteral("Einstellungen des MODs ") + plan.name);
    config.Section("game");
    config.Key("sound", "yes");
    config.Key("music", "yes");
    if (plan.encoded)
        config.Key("type", "code");
    mod.files.push_back({"config.ini", config.Bytes()});
    const QString suffix = plan.encoded ? ".cod" : ".ini";
    const auto definition = [&](const QStringList& lines) {
        return plan.encoded ? EncodeLines(lines) : TextFileBytes(lines);
    };
    mod.files.push_back({"mod" + suffix, definition(mod.modIni)});
    for (size_t i = 0; i < mod.backgroundInis.size(); ++i) {
        mod.files.push_back({QString::number(i + 1) + suffix, definition(mod.backgroundInis[i])});
    }
    for (const NamedPicture& pic : mod.pictures)
        mod.files.push_back({pic.path, PictureBytes(pic.image)});
    mod.files.push_back({plan.shotFile, MakeShotWav(plan.shot)});
    mod.files.push_back({plan.musicFile, ComposeMidi(plan.music)});
    return mod;
}

}  // namespace wf::assetgen

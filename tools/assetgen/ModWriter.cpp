#include "ModWriter.h"

#include <QBuffer>
#include <QImageWriter>

#include <stdexcept>

#include "Art.h"
#include "IniText.h"
#include "Layout.h"
#include "Text8.h"
#include "TextCipher.h"

namespace wf::assetgen {

namespace {

QStringList ModIniLines(const ModPlan& plan) {
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

QStringList BackgroundIniLines(const ModPlan& plan, int number, const BackgroundPlan& bg,
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
        const ExtraPlan& e = bg.extras[j];
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
    return NewCanvas(layout::kSceneSize.width(), layout::kSceneSize.height(), colour)
        .convertToFormat(QImage::Format_RGB888);
}

// The pictures of every background at the canvas scale in force: the scenes
// as the game shows them and the extras painted onto them.
struct ScenePictures {
    std::vector<QImage> backgrounds;
    std::vector<std::vector<RenderedExtra>> extras;
    std::vector<NamedPicture> files;
};

ScenePictures PaintBackgrounds(const ModPlan& plan) {
    ScenePictures out;
    for (const BackgroundPlan& bg : plan.backgrounds) {
        QImage scene = bg.scene ? PaintScene(*bg.scene) : PlainColour(bg.colour);
        scene.setDevicePixelRatio(CanvasScale());
        if (bg.scene)
            out.files.push_back({bg.file, scene});
        std::vector<RenderedExtra> rendered;
        for (const ExtraPlan& e : bg.extras) {
            rendered.push_back(RenderExtra(scene, e.box, e.object, plan.night));
            out.files.push_back({e.file, rendered.back().picture});
        }
        out.backgrounds.push_back(scene);
        out.extras.push_back(std::move(rendered));
    }
    return out;
}

}  // namespace

QByteArray PictureBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Qt reads this on a scale of 0 to 100, and below 20 it stores the
    // pixels unpacked; 20 packs a painted picture twentyfold and is quick.
    writer.setCompression(20);
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

QString HdPath(const QString& path) {
    const int slash = path.lastIndexOf('/');
    return path.left(slash + 1) + "hd/" + path.mid(slash + 1);
}

BuiltMod BuildMod(const ModPlan& plan) {
    BuiltMod mod;
    mod.plan = plan;
    mod.modIni = ModIniLines(plan);
    ScenePictures game = PaintBackgrounds(plan);
    for (size_t i = 0; i < plan.backgrounds.size(); ++i) {
        for (size_t j = 0; j < game.extras[i].size(); ++j) {
            if (game.extras[i][j].hitCells.empty()) {
                throw std::logic_error("extra without hit cells: " +
                                       plan.backgrounds[i].extras[j].file.toStdString());
            }
        }
        mod.backgroundInis.push_back(
            BackgroundIniLines(plan, static_cast<int>(i + 1), plan.backgrounds[i], game.extras[i]));
    }
    mod.backgroundPictures = std::move(game.backgrounds);
    mod.extras = std::move(game.extras);
    mod.pictures = std::move(game.files);
    {
        const ScaledCanvases hd(kHdScale);
        mod.hdPictures = PaintBackgrounds(plan).files;
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
    for (const NamedPicture& pic : mod.hdPictures)
        mod.files.push_back({HdPath(pic.path), PictureBytes(pic.image)});
    mod.files.push_back({plan.shotFile, MakeShotWav(plan.shot)});
    mod.files.push_back({plan.musicFile, ComposeMidi(plan.music)});
    return mod;
}

}  // namespace wf::assetgen

// The game directory the build generated (WF_GAME_DIR), read the way the
// game reads it: what a player sees and hears must work, not only load.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <set>

#include "AssetGenerator.h"
#include "FluidMusic.h"
#include "FrameComposer.h"
#include "GameClock.h"
#include "ModLoader.h"
#include "NullGameHost.h"
#include "Paths.h"
#include "SdlAudioDevice.h"
#include "SdlSound.h"
#include "WorkingCopies.h"

namespace wf {
namespace {

// Set by the test main, after static initialisation.
QString Game() {
    return qEnvironmentVariable("WF_GAME_DIR");
}
QImage Graphic(const QString& name) {
    return QImage(Game() + "/Grafiken/" + name);
}
QString ModDir(const char* name) {
    return Game() + "/mods/" + name;
}
ModDefinition Mod(const char* name) {
    const ModLoadResult r = LoadMod(ModDir(name));
    EXPECT_TRUE(r.loaded) << name << ": " << r.detail.toStdString();
    return r.mod;
}
const char* const kMods[] = {"wolkfng4", "nachtflug"};

QImage Scene(const char* mod, const BackgroundDef& bg) {
    if (bg.isPicture)
        return QImage(JoinStoredPath(ModDir(mod), bg.pictureFile))
            .convertToFormat(QImage::Format_RGB32);
    QImage scene(bg.width, bg.height, QImage::Format_RGB32);
    scene.fill(bg.colour);
    return scene;
}

// WCAG relative luminance, and the contrast of two.
double Luminance(QRgb c) {
    const auto lin = [](int v) {
        const double x = v / 255.0;
        return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}
double Contrast(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}
// The mean colour of a block of pixels.
QRgb Mean(const QImage& image, const QRect& block) {
    int r = 0, g = 0, b = 0, n = 0;
    for (int y = block.top(); y <= block.bottom(); ++y) {
        for (int x = block.left(); x <= block.right(); ++x, ++n) {
            const QRgb c = image.pixel(x, y);
            r += qRed(c), g += qGreen(c), b += qBlue(c);
        }
    }
    return n ? qRgb(r / n, g / n, b / n) : 0;
}

TEST(GeneratedGame, EveryRunWritesTheSameTextAndPicturesAndNoLeftovers) {
    const assetgen::GameData data = assetgen::BuildGameData();
    QTemporaryDir dir;
    // As after sealing the default MOD, or a stop with a sealed MOD's plain
    // twins on disk.
    for (const QString& stale : data.staleFiles) {
        QDir().mkpath(QFileInfo(dir.filePath(stale)).path());
        QFile f(dir.filePath(stale));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("old\r\n") == 5);
    }
    ASSERT_FALSE(data.staleFiles.isEmpty());
    QString error;
    ASSERT_TRUE(assetgen::WriteGameData(data, dir.path(), &error)) << error.toStdString();
    for (const QString& stale : data.staleFiles)
        EXPECT_FALSE(QFile::exists(dir.filePath(stale))) << stale.toStdString();
    for (const assetgen::NamedFile& file : data.files) {
        QFile written(dir.filePath(file.path)), built(Game() + "/" + file.path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly) && built.open(QIODevice::ReadOnly))
            << file.path.toStdString();
        const QByteArray bytes = written.readAll();
        EXPECT_TRUE(bytes == built.readAll())
            << file.path.toStdString() << " differs from the build's (changed since?)";
        // Text as the game reads it: 8 bits, CR LF.
        if (QRegularExpression(QStringLiteral("\\.(ini|cod|txt)$")).match(file.path).hasMatch()) {
            EXPECT_TRUE(bytes.endsWith("\r\n") && !bytes.contains("\xC3") &&
                        bytes.count('\n') + bytes.count('\r') == 2 * bytes.count("\r\n"))
                << file.path.toStdString() << ": not 8-bit text with CR LF";
        }
    }
}

bool Covered(const QImage& mask, int x, int y) {
    return mask.valid(x, y) && mask.pixel(x, y) == qRgb(0, 0, 0);
}

// Under AND then XOR the sprite shows where the mask is black and leaves the
// scene alone where it is white; no see-through hole inside its shape (a
// transparent pixel the border cannot reach); the right bird the left one
// mirrored.
TEST(Sprites, MasksShapesAndDirections) {
    const std::pair<const char*, const char*> pairs[] = {
        {"Cursor.jpg", "Maske.jpg"}, {"Vogel.jpg", "Vogelsw.jpg"}, {"Vogelu.jpg", "Vogelusw.jpg"}};
    for (const QString folder : {"", "hd/"}) {
        for (const auto& [spriteName, maskName] : pairs) {
            const QString name = folder + spriteName;
            SCOPED_TRACE(name.toStdString());
            const QImage sprite = Graphic(name), mask = Graphic(folder + maskName);
            ASSERT_FALSE(sprite.isNull());
            ASSERT_EQ(sprite.size(), mask.size());
            const int w = mask.width(), h = mask.height();
            int covered = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const QRgb m = mask.pixel(x, y) & 0xFFFFFF, s = sprite.pixel(x, y) & 0xFFFFFF;
                    ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << x << "," << y;
                    ASSERT_EQ(m == 0, s != 0) << x << "," << y;
                    covered += m == 0;
                }
            }
            EXPECT_GT(covered, w * h / 10);
            EXPECT_LT(covered, w * h * 9 / 10);
            std::vector<QPoint> todo;
            std::vector<char> outside(static_cast<size_t>(w) * h, 0);
            for (int i = 0; i < 2 * (w + h); ++i)
                todo.push_back(i < 2 * w ? QPoint(i % w, i < w ? 0 : h - 1)
                                         : QPoint(i % 2 ? w - 1 : 0, (i - 2 * w) / 2));
            while (!todo.empty()) {
                const QPoint p = todo.back();
                todo.pop_back();
                if (!mask.valid(p) || Covered(mask, p.x(), p.y()) || outside[p.y() * w + p.x()])
                    continue;
                outside[p.y() * w + p.x()] = 1;
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
                    todo.push_back(p + d);
            }
            EXPECT_EQ(std::count(outside.begin(), outside.end(), 1), w * h - covered)
                << "a see-through hole";
        }
    }
    const QImage left = Graphic("Vogelsw.jpg"), right = Graphic("Vogelusw.jpg");
    ASSERT_EQ(left.size(), QSize(88, 40));
    int same = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 88; ++x)
            same += Covered(left, x, y) == Covered(right, 87 - x, y);
    }
    EXPECT_GT(same, 88 * 40 * 97 / 100);
    // The cross-hair's middle is its aim point, the bird's its hit centre.
    for (const auto& [mask, centre, near] :
         {std::tuple{Graphic("Maske.jpg"), QPointF(16, 16), 0.5}, {left, QPointF(44, 20), 6.0}}) {
        QPointF sum;
        int n = 0;
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                if (Covered(mask, x, y))
                    sum += QPointF(x, y), ++n;
            }
        }
        EXPECT_NEAR(sum.x() / n, centre.x(), near);
        EXPECT_NEAR(sum.y() / n, centre.y(), near);
    }
}

// A bird stands out wherever it flies, on the lightest and the darkest sky
// of every MOD: one of its two outermost rings of pixels (a pale rim, a dark
// outline) differs from that sky by 3:1 (WCAG's measure for shapes).
TEST(Sprites, BirdsStandOutOnTheLightestAndTheDarkestSky) {
    double lightest = 0, darkest = 1;
    for (const char* name : kMods) {
        const ModDefinition mod = Mod(name);
        for (int i = 1; i <= mod.backgroundCount; ++i) {
            const QImage scene = Scene(name, mod.backgrounds[i]);
            // Birds fly from the top down to 35 units above the bottom.
            for (int by = 0; by + 8 <= scene.height() - 35; by += 8) {
                for (int bx = 0; bx + 8 <= scene.width(); bx += 8) {
                    const double l = Luminance(Mean(scene, QRect(bx, by, 8, 8)));
                    lightest = std::max(lightest, l);
                    darkest = std::min(darkest, l);
                }
            }
        }
    }
    for (const auto& [spriteName, maskName] :
         {std::pair{"Vogel.jpg", "Vogelsw.jpg"}, {"Vogelu.jpg", "Vogelusw.jpg"}}) {
        const QImage sprite = Graphic(spriteName), mask = Graphic(maskName);
        const int w = mask.width();
        // Ring k: covered pixels next to ring k - 1, ring 0 being the scene.
        std::vector<int> ring(static_cast<size_t>(w) * mask.height(), 0);
        const auto at = [&](int x, int y) {
            return !Covered(mask, x, y) ? 0 : ring[y * w + x] == 0 ? 99 : ring[y * w + x];
        };
        double median[3] = {0, 0, 0};
        for (int k = 1; k <= 2; ++k) {
            std::vector<double> l;
            for (int y = 0; y < mask.height(); ++y) {
                for (int x = 0; x < w; ++x) {
                    if (at(x, y) == 99 && (at(x + 1, y) == k - 1 || at(x - 1, y) == k - 1 ||
                                           at(x, y + 1) == k - 1 || at(x, y - 1) == k - 1))
                        ring[y * w + x] = k;
                }
            }
            for (int i = 0; i < static_cast<int>(ring.size()); ++i) {
                if (ring[i] == k)
                    l.push_back(Luminance(sprite.pixel(i % w, i / w)));
            }
            ASSERT_FALSE(l.empty()) << spriteName;
            std::nth_element(l.begin(), l.begin() + l.size() / 2, l.end());
            median[k] = l[l.size() / 2];
        }
        for (const double sky : {lightest, darkest}) {
            EXPECT_GE(std::max(Contrast(median[1], sky), Contrast(median[2], sky)), 3.0)
                << spriteName << " vanishes on a sky of luminance " << sky;
        }
    }
}

// Every extra lies on its scene without a seam, its hit cells on the object
// it shows, and pays fairly: a shot costs 2, so a target that stays may gain
// nothing, one that breaks is worth aiming at.
TEST(Mods, ExtrasSitOnTheirSceneAndPayFairly) {
    for (const char* name : kMods) {
        const ModDefinition mod = Mod(name);
        std::set<QByteArray> kinds;
        for (int i = 1; i <= mod.backgroundCount; ++i) {
            const QImage scene = Scene(name, mod.backgrounds[i]);
            for (int j = 1; j <= mod.backgrounds[i].extraCount; ++j) {
                const ExtraDef& e = mod.backgrounds[i].extras[j];
                SCOPED_TRACE(std::string(name) + " " + std::to_string(i) + " " +
                             e.pictureFile.data());
                kinds.insert(e.extraKind);
                EXPECT_EQ(e.extraPoints > 2, e.destructable) << e.extraPoints << " points";
                const QImage pic = QImage(JoinStoredPath(ModDir(name), e.pictureFile));
                const QRect box(QPoint(e.x, e.y), pic.size());
                ASSERT_TRUE(scene.rect().contains(box));
                const QImage under = scene.copy(box);
                for (const QPoint c : {QPoint(0, 0), QPoint(box.width() - 1, box.height() - 1),
                                       QPoint(box.width() - 1, 0), QPoint(0, box.height() - 1)})
                    EXPECT_EQ(pic.pixel(c) & 0xFFFFFF, under.pixel(c) & 0xFFFFFF) << "a seam";
                for (int k = 1; k <= e.hitCellCount; ++k) {
                    const QRect cell =
                        QRect(17 * e.hitCells[k].column, 17 * e.hitCells[k].row, 17, 17)
                            .translated(-box.topLeft());
                    ASSERT_TRUE(pic.rect().contains(cell)) << "cell " << k << " off the picture";
                    int changed = 0;  // pixels that differ from the bare scene
                    for (int y = cell.top(); y <= cell.bottom(); ++y) {
                        for (int x = cell.left(); x <= cell.right(); ++x) {
                            const QRgb a = pic.pixel(x, y), b = under.pixel(x, y);
                            changed += std::abs(qRed(a) - qRed(b)) +
                                           std::abs(qGreen(a) - qGreen(b)) +
                                           std::abs(qBlue(a) - qBlue(b)) >
                                       24;
                        }
                    }
                    EXPECT_GE(changed, 17 * 17 * 36 / 100) << "cell " << k << " hardly covered";
                }
            }
        }
        EXPECT_EQ(kinds, (std::set<QByteArray>{"static", "sequenziell"})) << name;
    }
}

// The clock and the score are black, so every background keeps the area
// behind them light: 4.5:1 against black for every 8 x 8 block behind what
// the game draws there, in the window and on a 1920 x 1080 screen (from the
// hd twin there).
TEST(Mods, TheClockAndTheScoreAreReadableOnEveryBackground) {
    const char* const sprites[] = {"Munition.jpg", "Cursor.jpg",  "Maske.jpg",  nullptr,
                                   "Vogel.jpg",    "Vogelsw.jpg", "Vogelu.jpg", "Vogelusw.jpg"};
    StretchedCopies kept;  // with the hd twins
    int measured = 0;
    for (const char* name : kMods) {
        const ModDefinition mod = Mod(name);
        for (int i = 1; i <= mod.backgroundCount; ++i) {
            PictureStores stores;
            for (int slot = 1; slot <= 8; ++slot) {
                stores.sources.NewSlot();
                if (sprites[slot - 1])
                    stores.sources.LoadSlotPicture(slot, Game() + "/Grafiken/" + sprites[slot - 1]);
            }
            const BackgroundDef& bg = mod.backgrounds[i];
            if (bg.isPicture) {
                ASSERT_EQ(
                    stores.sources.LoadSlotPicture(4, JoinStoredPath(ModDir(name), bg.pictureFile)),
                    1);
            } else {
                stores.sources.SetSlotSize(4, 800, 600);
                stores.sources.Picture(4)->fill(bg.colour);
            }
            for (const QSize screen : {QSize(), QSize(1920, 1080)}) {
                NullGameHost host;
                host.window = QImage(800, 600, QImage::Format_RGB32);
                GameState state;
                state.selectedBackground = 0;
                state.magazine = 0;
                state.secondsLeft = 359;  // "5.59", as wide as any clock
                state.score = -888;
                if (screen.isEmpty()) {
                    ASSERT_TRUE(MakeWindowCopies(stores));
                } else {
                    host.screen = screen;
                    host.full = QImage(screen, QImage::Format_RGB32);
                    state.drawTarget = DrawTarget::FullScreenSurface;
                    state.scaleX = FixedScale::Ratio(screen.width(), 800);
                    state.scaleY = FixedScale::Ratio(screen.height(), 600);
                    ASSERT_TRUE(MakeStretchedCopies(stores, state.scaleX, state.scaleY, &kept));
                }
                UpdateCountdown(state);
                FrameComposer(state, stores, host).ComposeFrame();
                const QImage& frame = screen.isEmpty() ? host.window : host.full;
                const QImage& background = *stores.working.Picture(4);
                ASSERT_EQ(frame.size(), background.size());
                for (const bool score : {false, true}) {  // the clock left, the score right
                    QRect box;
                    const int x0 = score ? frame.width() / 2 : 0;
                    for (int y = 0; y < frame.height(); ++y) {
                        const QRgb* f = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
                        const QRgb* b = reinterpret_cast<const QRgb*>(background.constScanLine(y));
                        for (int x = x0; x < x0 + frame.width() / 2; ++x) {
                            if ((f[x] ^ b[x]) & 0xFFFFFF)
                                box |= QRect(x, y, 1, 1);
                        }
                    }
                    ASSERT_FALSE(box.isEmpty()) << "nothing drawn";
                    double least = 21;
                    for (int by = box.top() / 8 * 8; by <= box.bottom(); by += 8) {
                        for (int bx = box.left() / 8 * 8; bx <= box.right(); bx += 8) {
                            const QRgb c =
                                Mean(background, QRect(bx, by, 8, 8) & background.rect());
                            least = std::min(least, Contrast(Luminance(c), 0));
                        }
                    }
                    std::cout << "[ measured ] " << name << " " << i << " " << frame.width()
                              << (score ? " score " : " clock ") << least << ":1\n";
                    EXPECT_GE(least, 4.5) << name << " " << i << " " << frame.width()
                                          << (score ? " score" : " clock");
                    ++measured;
                }
            }
        }
    }
    EXPECT_GE(measured, 2 * 4 * 2 * 2);
}

// The mix as the player hears it, through the game's own output path: the
// music as the music hook renders it (gain and limiter), the shot as the
// mixer holds it (at the volume the game gives it), added by the mixer's own
// function. A shot every quarter of a second over the whole piece, each
// cutting off the one before, must never bring the mix to full scale, and
// the shot must stand out of the music.
TEST(Mods, TheMusicIsHeardAndTheShotStandsOutWithoutReachingFullScale) {
    const auto dbfs = [](const int16_t* s, size_t n) {
        double sum = 0;
        for (size_t i = 0; i < n; ++i)
            sum += double(s[i]) * s[i];
        return 20 * std::log10(std::sqrt(sum / std::max<size_t>(n, 1)) / 32768.0 + 1e-12);
    };
    SdlSound sound;
    ASSERT_EQ(SdlAudioDevice::SampleRate() * SdlAudioDevice::Channels(), 2 * 44100);
    for (const char* name : kMods) {
        SCOPED_TRACE(name);
        const ModDefinition mod = Mod(name);
        const std::vector<int16_t> music =
            FluidMusic::RenderPiece(JoinStoredPath(ModDir(name), mod.musicFile), 44100);
        ASSERT_GT(music.size(), 2u * 44100 * 45) << "no sound font, or not a piece of 45 s";
        const double musicDb = dbfs(music.data(), music.size());

        const QString shotPath = JoinStoredPath(ModDir(name), mod.shotSoundFile);
        QFile file(shotPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        ASSERT_GT(wav.size(), 44);
        const auto le = [&](int at, int n) {
            uint32_t v = 0;
            for (int i = n - 1; i >= 0; --i)
                v = v << 8 | static_cast<uchar>(wav.at(at + i));
            return v;
        };
        // PCM, mono, 16 bits, all data, at the mixer's own rate (no dull resampling).
        EXPECT_EQ(wav.left(4) + wav.mid(8, 8) + wav.mid(36, 4), "RIFFWAVEfmt data");
        EXPECT_EQ(QList<uint32_t>({le(20, 2), le(22, 2), le(34, 2), le(24, 4)}),
                  QList<uint32_t>({1, 1, 16, 44100}));
        ASSERT_EQ(le(40, 4), static_cast<uint32_t>(wav.size() - 44));
        const std::vector<int16_t> shot(reinterpret_cast<const int16_t*>(wav.constData() + 44),
                                        reinterpret_cast<const int16_t*>(wav.constEnd()));
        const size_t n = shot.size(), tenth = n / 10;
        EXPECT_GT(n, 4410u);
        EXPECT_LT(n, 22050u);
        EXPECT_LT(dbfs(shot.data() + n - tenth, tenth), dbfs(shot.data(), tenth) - 18)
            << "no decay";
        EXPECT_EQ(shot.back(), 0) << "a click at the end";

        // The shot as the mixer adds it: alone, and every quarter second over the piece.
        const Mix_Chunk* chunk = sound.Preload(shotPath);
        ASSERT_NE(chunk, nullptr);
        const size_t every = 2 * 44100 / 4, length = std::min<size_t>(chunk->alen / 2, every);
        const auto add = [&](int16_t* into) {
            SDL_MixAudioFormat(reinterpret_cast<Uint8*>(into), chunk->abuf, AUDIO_S16SYS,
                               static_cast<Uint32>(2 * length), chunk->volume);
        };
        std::vector<int16_t> alone(length), mix = music;
        add(alone.data());
        const double shotDb = dbfs(alone.data(), std::min<size_t>(length, 2 * 4410));
        int shots = 0, atFullScale = 0;
        for (size_t at = 0; at + length <= mix.size(); at += every, ++shots) {
            add(mix.data() + at);
            atFullScale += std::any_of(mix.begin() + at, mix.begin() + at + length,
                                       [](int16_t s) { return std::abs(int{s}) >= 32767; });
        }
        const auto [low, high] = std::minmax_element(mix.begin(), mix.end());
        std::cout << "[ measured ] " << name << ": music " << musicDb << " dBFS RMS, the shot's "
                  << "first 100 ms " << shotDb << " dBFS RMS; " << shots << " shots over the "
                  << "music: peak " << 20 * std::log10(std::max(-*low, int{*high}) / 32768.0)
                  << " dBFS, " << atFullScale << " at full scale\n";
        EXPECT_EQ(atFullScale, 0) << "of " << shots << " shots";
        EXPECT_GE(musicDb, -26.0);
        EXPECT_LE(shotDb - musicDb, 10.0);
        EXPECT_GE(shotDb - musicDb, 3.0) << "the shot drowns in the music";
    }
}

}  // namespace
}  // namespace wf

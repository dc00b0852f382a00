#pragma once
// Turns a MOD's description into the files of its directory: definition
// files (plain or sealed), pictures, shot sound and music.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

#include "Extras.h"
#include "ModCatalog.h"

namespace wf::assetgen {

struct NamedPicture {
    QString path;  // relative, '/' separated
    QImage image;
};

struct NamedFile {
    QString path;  // relative, '/' separated
    QByteArray bytes;
};

struct BuiltMod {
    ModPlan plan;
    QStringList modIni;                       // plain lines of mod.ini
    std::vector<QStringList> backgroundInis;  // plain lines of 1.ini, 2.ini, ...
    std::vector<QImage> backgroundPictures;   // as the game shows them, colours too
    std::vector<std::vector<RenderedExtra>> extras;
    std::vector<NamedPicture> pictures;    // picture files of the directory
    std::vector<NamedPicture> hdPictures;  // their twins at 4×, by the same names
    std::vector<NamedFile> files;          // everything the directory holds
};

// The scale of the hd twins and the folder that holds them beside their
// pictures.
inline constexpr int kHdScale = 4;
QString HdPath(const QString& path);

BuiltMod BuildMod(const ModPlan& plan);

// The sealed form of a definition file: every line enciphered on its own in
// the three-digit form with the MOD key, every line ended by CR LF.
QByteArray EncodeLines(const QStringList& lines);

// Picture file contents: PNG, whatever the name says; the game reads any
// format by its content.
QByteArray PictureBytes(const QImage& image);

}  // namespace wf::assetgen

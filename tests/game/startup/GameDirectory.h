#pragma once
// A complete game directory in a temporary folder: game.ini, the fixed
// pictures and a MOD, all small enough to write for every test.
#include <QByteArray>
#include <QColor>
#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace wf::test {

struct BackgroundSpec {
    QByteArray title;
    QByteArray type = "BMP";
    int width = 40;
    int height = 30;
    int extras = 0;
};

class GameDirectory {
  public:
    // Writes game.ini (werbung, no sound or music), every fixed picture and
    // the default MOD with the given backgrounds (one picture background
    // without extras when none are given).
    explicit GameDirectory(std::vector<BackgroundSpec> backgrounds = {});

    QString Path() const { return dir_.path(); }
    QString ModPath(const QString& name = QStringLiteral("wolkfng4")) const;

    void WriteText(const QString& relative, const QByteArray& content) const;
    void Remove(const QString& relative) const;
    // A PNG under any name; the loader goes by the content.
    void WritePicture(const QString& relative, int width, int height, QColor colour) const;
    void WriteMod(const QString& name, const std::vector<BackgroundSpec>& backgrounds) const;
    void WriteSettings(const QByteArray& gameSection) const;

    // The fixed picture file of a slot ("" for the slots without one) and
    // the width the directory gives it, distinct per slot.
    static QString FixedFile(int slot);
    static int FixedWidth(int slot) { return 10 + slot; }
    // The picture of extra j of background i in a written MOD.
    static QString ExtraFile(int i, int j);

  private:
    QTemporaryDir dir_;
};

}  // namespace wf::test

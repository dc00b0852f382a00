#pragma once
// The hd twins of pictures. A picture file may have a twin of the same name
// in a folder "hd" beside it, drawn at 2, 3 or 4 times its width and height.
// The full-screen working copies are scaled from the twin instead of the
// picture, so that they stay crisp; sizes, positions and rules stay those of
// the picture. A twin is decoded once, when a full-screen game first needs
// it, and kept while the program runs, within a memory budget: when a new
// twin does not fit, the twins used longest ago are let go.
#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <map>

namespace wf {

// The twin's path: "hd" inserted before the file name.
QString HdTwinPath(const QString& picturePath);

class HdTwins {
  public:
    // Four backgrounds and every sprite and extra of a MOD at 4 × 800 × 600
    // fit; a twin that alone would need more is never used.
    static constexpr int64_t kBudgetBytes = int64_t{128} * 1024 * 1024;

    explicit HdTwins(int64_t budgetBytes = kBudgetBytes) : budget_(budgetBytes) {}

    // The twin of the picture loaded from picturePath, which measures
    // pictureSize; a null image when there is none, it is not a whole
    // multiple (2 to 4) of the picture in both directions, cannot be read,
    // or does not fit the budget.
    QImage Twin(const QString& picturePath, QSize pictureSize);

    int64_t BytesKept() const { return kept_; }
    int Decodes() const { return decodes_; }

  private:
    struct Entry {
        QImage image;  // null: the file has no usable twin
        QSize pictureSize;
        uint64_t lastUse = 0;
    };
    void MakeRoom(int64_t bytes);

    int64_t budget_;
    int64_t kept_ = 0;
    int decodes_ = 0;
    uint64_t clock_ = 0;
    std::map<QString, Entry> entries_;
};

}  // namespace wf

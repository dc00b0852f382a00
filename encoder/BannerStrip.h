#pragma once
// The wizard's left strip: a night-blue band with the seal and the name.
#include <QWidget>

namespace wf {

class BannerStrip : public QWidget {
    Q_OBJECT
  public:
    explicit BannerStrip(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace wf

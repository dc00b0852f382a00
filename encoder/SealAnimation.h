#pragma once
// The closing page's little animation: a stamp presses the seal onto a
// sheet, lifts, and after a pause starts again.
#include <QTimer>
#include <QWidget>

namespace wf {

class SealAnimation : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFrames = 100;

    explicit SealAnimation(QWidget* parent = nullptr);

    int Frame() const { return frame_; }
    bool IsRunning() const { return timer_.isActive(); }
    // How far the stamp's foot is above the sheet, 0 (pressing) to 1.
    static double Lift(int frame);

  public slots:
    void Advance();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace wf

#pragma once
// The progress bar of the run: a white box filled from the left in dark blue.
#include <QRect>
#include <QWidget>

namespace wf {

class ProgressBox : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressBox(QWidget* parent = nullptr);

    // Redraws at once, since the run does not return to the event loop.
    void ShowProgress(int percent);
    int Percent() const { return percent_; }
    // The filled part for percent in a box of size: from (1, 1) to
    // (width / 100 * percent - 2, height - 2); above 100 it just fills.
    static QRect BarRect(const QSize& size, int percent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int percent_ = 0;
};

}  // namespace wf

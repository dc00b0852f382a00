#pragma once
// The decorative picture of the highscore window: a golden cup, drawn.
#include <QWidget>

namespace wf {

class TrophyPicture : public QWidget {
    Q_OBJECT
  public:
    explicit TrophyPicture(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace wf

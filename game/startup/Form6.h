#pragma once
// The splash window shown while the game loads, with its progress bar.
#include <QWidget>

class QLabel;

namespace wf {

class PlaySurface;

class Form6 : public QWidget {
    Q_OBJECT

  public:
    explicit Form6(QWidget* parent = nullptr);

    // Shows the window centred on the primary screen and paints it at once.
    void ShowAndPaint();
    // Draws the bar to percent of its width over what it showed before.
    void SetProgress(int percent);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    PlaySurface* Picture1;  // the progress bar
};

}  // namespace wf

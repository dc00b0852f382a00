#pragma once
// The splash window shown while the game loads, with its progress bar.
#include <QWidget>

class QLabel;

namespace wf {

class PlaySurface;

class SplashWindow : public QWidget {
    Q_OBJECT

  public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // Shows the window centred on the primary screen and paints it at once.
    void ShowAndPaint();
    // Draws the bar to percent of its width over what it showed before.
    void SetProgress(int percent);

    QLabel* picture;
    QLabel* loadingLabel;
    QLabel* versionLabel;
    PlaySurface* progressBar;  // the progress bar
};

}  // namespace wf

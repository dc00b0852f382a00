#include "FullScreenWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

#include "GameRunner.h"
#include "PlaySurface.h"

namespace wf {

FullScreenWindow::FullScreenWindow(GameRunner& game, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      surface(new PlaySurface(this)),
      game_(game) {
    setObjectName(QStringLiteral("fullScreenWindow"));
    surface->setObjectName(QStringLiteral("surface"));
    setFocusPolicy(Qt::StrongFocus);
    // The surface measures in screen pixels; the game divides them by the
    // display scale.
    connect(surface, &PlaySurface::PointerMoved, this,
            [this](double x, double y) { game_.ScreenPointerMoved(x, y); });
    connect(surface, &PlaySurface::ButtonReleased, this,
            [this](PointerButton button, double x, double y) {
                game_.ScreenButtonReleased(button, x, y);
            });
}

void FullScreenWindow::ShowOn(QScreen* screen) {
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    surface->SetSurfaceSize(area.width(), area.height());
    surface->move(0, 0);
    if (screen)
        setScreen(screen);
    // Without a window manager the full-screen request alone keeps the old
    // size, so the geometry is set as well.
    setGeometry(area);
    showFullScreen();
    raise();
    activateWindow();
    setFocus();
}

void FullScreenWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit leaveRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The window frame (or the window manager's close key) on the full-screen
// window takes the road of Esc: the game is aborted and the main window comes
// back. Closing it must not end the program, as the hidden main window would
// leave it the last window.
void FullScreenWindow::closeEvent(QCloseEvent* event) {
    if (isVisible())
        emit leaveRequested();
    event->accept();
}

}  // namespace wf

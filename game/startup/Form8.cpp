#include "Form8.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

#include "GameController.h"
#include "PlaySurface.h"

namespace wf {

Form8::Form8(GameController& game, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      Picture1(new PlaySurface(this)),
      game_(game) {
    setObjectName(QStringLiteral("Form8"));
    Picture1->setObjectName(QStringLiteral("Picture1"));
    setFocusPolicy(Qt::StrongFocus);
    // The surface measures in screen pixels; the game takes them as they are.
    connect(Picture1, &PlaySurface::PointerMoved, this,
            [this](double x, double y) { game_.MouseMove(x, y); });
    connect(Picture1, &PlaySurface::ButtonReleased, this,
            [this](int button, double x, double y) { game_.MouseUp(button, x, y); });
}

void Form8::ShowOn(QScreen* screen) {
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    Picture1->SetSurfaceSize(area.width(), area.height());
    Picture1->move(0, 0);
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

void Form8::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        game_.FullScreenEscape();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The window frame (or the window manager's close key) on the full-screen
// window takes the road of Esc: the game is aborted and the main window comes
// back. Closing it must not end the program, as the hidden main window would
// leave it the last window.
void Form8::closeEvent(QCloseEvent* event) {
    if (isVisible())
        game_.FullScreenEscape();
    event->accept();
}

}  // namespace wf

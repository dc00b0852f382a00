#include "Borrowing.h"

#include <QEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace wf {
namespace {

// The number of open borrowers, kept on the owner itself.
constexpr char kBorrowers[] = "wfBorrowers";

class Loan : public QObject {
  public:
    Loan(QWidget* window, QWidget* owner) : QObject(window), window_(window), owner_(owner) {
        window->installEventFilter(this);
    }
    ~Loan() override { Release(); }

    void Take() {
        if (!held_ && owner_) {
            held_ = true;
            Count(+1);
        }
        KeepInFront();
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show:
                // A spontaneous show or hide is the window system mapping
                // the window (minimised, restored), not an opening or closing.
                if (!event->spontaneous())
                    Take();
                break;
            case QEvent::Hide:
                if (!event->spontaneous())
                    Release();
                break;
            case QEvent::Close:
                // A window closed before it was ever shown gets no hide event.
                if (!window_->isVisible())
                    Release();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    void Release() {
        if (!held_)
            return;
        held_ = false;
        Count(-1);
    }

    void Count(int delta) {
        if (!owner_)
            return;
        const int open = std::max(0, owner_->property(kBorrowers).toInt() + delta);
        owner_->setProperty(kBorrowers, open);
        owner_->setEnabled(open == 0);
    }

    // Set when the window is shown, as its handle exists from then on and
    // the window manager reads it when the window is mapped.
    void KeepInFront() {
        QWindow* handle = window_->windowHandle();
        if (owner_ && handle)
            handle->setTransientParent(owner_->window()->windowHandle());
    }

    QWidget* window_;
    QPointer<QWidget> owner_;
    bool held_ = false;
};

}  // namespace

void BorrowOwner(QWidget* window, QWidget* owner) {
    if (!window || !owner)
        return;
    for (QObject* child : window->children()) {
        if (auto* loan = dynamic_cast<Loan*>(child)) {
            loan->Take();
            return;
        }
    }
    (new Loan(window, owner))->Take();
}

}  // namespace wf

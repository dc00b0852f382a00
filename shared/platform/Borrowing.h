#pragma once
// Windows that borrow their owner: while such a window is open its owner
// takes no input, and the owner is enabled again when the last of its
// borrowers closes, however it closes (its own button, the window frame,
// hidden or deleted). Showing a closed borrower again borrows again.
//
// A borrower is not a child of its owner, since a disabled parent would
// disable it too; it gets the owner as transient parent instead, so that a
// window manager keeps it in front of the disabled window that waits for it.
class QWidget;

namespace wf {

// Disables owner now and keeps it disabled while window is open. A window
// borrows its owner once, however often this is called.
void BorrowOwner(QWidget* window, QWidget* owner);

}  // namespace wf

#pragma once

#include <QObject>

// Installed on the application: while a modal box or dialog is open, the
// windows it blocks refuse to close, as they take no other input either; code
// that waits under a box finds its window there when the box is answered. The
// box, and what it opens (a context menu), close as usual.
// Qt drops an X11 close request to a blocked window itself, but a Wayland
// compositor's arrives through the same QWindow::close() as a call in the
// program: both are refused. The program never closes a window a box blocks.
class ModalCloseGuard final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#include "ui/MessageBoxes.h"

#include "ui/WindowManager.h"

#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

namespace {

// Ends the wait for the player when the window becomes active or is asked to
// close. The close itself is dropped, as it would be while the box stood over
// the window.
class PlayerReturn final : public QObject {
public:
    PlayerReturn(QWidget *window, QEventLoop &loop) : m_loop(loop)
    {
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::WindowActivate:
            m_loop.quit();
            return false;
        case QEvent::Close:
            event->ignore();
            m_loop.quit();
            return true;
        default:
            return false;
        }
    }

private:
    QEventLoop &m_loop;
};

// A box for a window the player has left does not take the keyboard from the
// program in front: the window asks for attention (the task bar flags it) and
// the box waits until the player comes back to it.
void waitForPlayer(QWidget *owner)
{
    QPointer<QWidget> window = owner->window();
    if (window->isActiveWindow() || !window->isVisible())
        return;
    QEventLoop loop;
    PlayerReturn player(window, loop);
    setUrgent(window, true);
    loop.exec();
    if (window)
        setUrgent(window, false);
}

} // namespace

MessageAnswer QtMessageBoxes::ask(const MessageRequest &request)
{
    QPointer<QWidget> owner = request.owner;
    if (owner)
        waitForPlayer(owner);
    QMessageBox box(QMessageBox::NoIcon, request.title, request.text, QMessageBox::NoButton,
                    owner.data());
    box.setObjectName(QStringLiteral("MessageBox"));
    if (request.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == MessageAnswer::No ? QMessageBox::No
                                                                        : QMessageBox::Yes);
        // Closing a Yes/No box without a choice must not count as Yes.
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (request.buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

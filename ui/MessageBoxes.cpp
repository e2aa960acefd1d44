#include "ui/MessageBoxes.h"

#include "ui/WindowManager.h"

#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

namespace {

// Ends the wait for the player when the window becomes active, or when the
// player presses a key or a mouse button in it; that press only ends the wait.
// A request to close the window ends it too and is dropped, as it would be
// while the box stood over the window.
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
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
            m_loop.quit();
            return true;
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
// the box waits until the player comes back to it. Only where something gives
// windows the keyboard: elsewhere nothing would ever end the wait.
void waitForPlayer(QWidget *owner)
{
    QPointer<QWidget> window = owner->window();
    if (window->isActiveWindow() || !window->isVisible() || !windowsGetTheKeyboard(window))
        return;
    QEventLoop loop;
    PlayerReturn player(window, loop);
    setUrgent(window, true);
    loop.exec();
    if (window)
        setUrgent(window, false);
}

// A box that opens where the request says. Beside its owner, it is placed once
// its own show event has laid it out to its final size, before it is mapped;
// the manager will frame it as it framed the owner.
class PlacedBox final : public QMessageBox {
public:
    PlacedBox(const MessageRequest &request, QWidget *owner)
        : QMessageBox(QMessageBox::NoIcon, request.title, request.text, QMessageBox::NoButton,
                      owner),
          m_place(request.place)
    {
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (m_place == MessagePlace::BesideOwner && parentWidget())
            placeBesideOwner(this, frameMargins(parentWidget()->window()));
    }

private:
    MessagePlace m_place;
};

} // namespace

MessageAnswer QtMessageBoxes::ask(const MessageRequest &request)
{
    QPointer<QWidget> owner = request.owner;
    if (owner)
        waitForPlayer(owner);
    PlacedBox box(request, owner.data());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setAccessibleDescription(request.description);
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
    if (owner)
        takeBackTheKeyboard(owner);
    if (request.buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

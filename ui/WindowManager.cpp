#include "ui/WindowManager.h"

#include <QApplication>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

#if QT_CONFIG(xcb) && defined(KORVU_X11)
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace {

#if QT_CONFIG(xcb) && defined(KORVU_X11)
template <class Reply>
using XReply = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t *x11Connection()
{
    const auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const XReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection,
                                  xcb_intern_atom(connection, 0, std::strlen(name), name),
                                  nullptr),
            &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The 32-bit items of a window's property of the given type; empty when absent.
QList<quint32> property32(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                          xcb_atom_t type)
{
    const XReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 0, window, name, type, 0, 1024),
                                   nullptr),
            &std::free);
    if (!reply || reply->format != 32)
        return {};
    const auto *items = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    return QList<quint32>(items, items + xcb_get_property_value_length(reply.get()) / 4);
}

bool managerTracksActiveWindow(xcb_connection_t *connection, xcb_window_t window)
{
    const XReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr),
            &std::free);
    if (!geometry)
        return false;
    const xcb_window_t root = geometry->root;
    const xcb_atom_t check = internAtom(connection, "_NET_SUPPORTING_WM_CHECK");
    const QList<quint32> child = property32(connection, root, check, XCB_ATOM_WINDOW);
    // The child window names itself too; one left behind by a manager that has
    // gone no longer exists and names nothing.
    if (child.isEmpty()
        || property32(connection, child.first(), check, XCB_ATOM_WINDOW) != child)
        return false;
    return property32(connection, root, internAtom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM)
            .contains(internAtom(connection, "_NET_ACTIVE_WINDOW"));
}
#endif

// The start of a span of `length` moved the least distance that puts it within
// [low, high]; a span longer than that starts at `low`.
int slidInto(int start, int length, int low, int high)
{
    return std::clamp(start, low, std::max(low, high + 1 - length));
}

const QWidget *ownerWindow(const QWidget *window)
{
    const QWidget *owner = window->parentWidget();
    return owner ? owner->window() : nullptr;
}

// Placed by its client area: a created window's move() would put the client
// area, not the frame, where the frame belongs.
void placeOuterFrame(QWidget *window, const QMargins &ownFrame, const QRect &outer)
{
    window->setGeometry(
            QRect(outer.topLeft() + QPoint(ownFrame.left(), ownFrame.top()), window->size()));
}

} // namespace

void requestBorderWithoutTitle(QWidget *window)
{
#if QT_CONFIG(xcb) && defined(KORVU_X11)
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    const xcb_atom_t hintsAtom = internAtom(connection, "_MOTIF_WM_HINTS");
    // The Motif hints: which fields count, the functions the manager offers
    // (resize, move, close) and the one decoration it draws, the border.
    // Resize handles are left out: managers draw them with the title bar.
    enum : quint32 { Functions = 1, Decorations = 2 };
    enum : quint32 { Resize = 2, Move = 4, Close = 32 };
    enum : quint32 { Border = 2 };
    const quint32 hints[5] = {Functions | Decorations, Resize | Move | Close, Border, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        hintsAtom, hintsAtom, 32, 5, hints);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

bool windowsGetTheKeyboard(const QWidget *window)
{
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        return true;
#if QT_CONFIG(xcb) && defined(KORVU_X11)
    if (xcb_connection_t *connection = x11Connection())
        return managerTracksActiveWindow(connection, xcb_window_t(window->winId()));
#else
    Q_UNUSED(window);
#endif
    return false;
}

void takeBackTheKeyboard(QWidget *window)
{
    // Long enough for a busy desktop to hand the keyboard back (a dialog opened
    // before it has would have the game window flagged for attention), short
    // enough that a desktop that never does costs the player little; a desktop
    // that does ends the wait at once.
    constexpr int LongestWaitMs = 2000;
    const QPointer<QWidget> top = window->window();
    if (!top->isVisible())
        return;
    if (!windowsGetTheKeyboard(top))
        top->activateWindow();
    if (top->isActiveWindow())
        return;
    QEventLoop loop;
    QTimer::singleShot(LongestWaitMs, &loop, &QEventLoop::quit);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &loop, [&] {
        if (!top || top->isActiveWindow())
            loop.quit();
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void setUrgent(QWidget *window, bool urgent)
{
    if (urgent)
        QApplication::alert(window);
#if QT_CONFIG(xcb) && defined(KORVU_X11)
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    // WM_HINTS, nine words with the flags first; the toolkit keeps the others.
    constexpr quint32 UrgencyHint = 1u << 8;
    constexpr int HintWords = 9;
    const xcb_window_t id = xcb_window_t(window->winId());
    const XReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS,
                                                    XCB_ATOM_WM_HINTS, 0, HintWords),
                                   nullptr),
            &std::free);
    quint32 hints[HintWords] = {};
    if (reply && reply->format == 32)
        std::memcpy(hints, xcb_get_property_value(reply.get()),
                    std::min<size_t>(sizeof hints, xcb_get_property_value_length(reply.get())));
    hints[0] = urgent ? hints[0] | UrgencyHint : hints[0] & ~UrgencyHint;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS,
                        XCB_ATOM_WM_HINTS, 32, HintWords, hints);
    // Sent now: the toolkit sends its alert only when it next flushes, and a
    // window waiting for the player may draw nothing that would flush it.
    xcb_flush(connection);
#endif
}

QMargins frameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QRect centredOn(const QRect &owner, QSize box, const QRect &screen)
{
    QRect centred(QPoint(), box);
    centred.moveCenter(owner.center());
    return QRect(QPoint(slidInto(centred.left(), box.width(), screen.left(), screen.right()),
                        slidInto(centred.top(), box.height(), screen.top(), screen.bottom())),
                 box);
}

void centreOnOwner(QWidget *window, const QMargins &ownFrame)
{
    if (const QWidget *owner = ownerWindow(window))
        placeOuterFrame(window, ownFrame,
                        centredOn(owner->frameGeometry(), window->size().grownBy(ownFrame),
                                  owner->screen()->availableGeometry()));
}

QRect besideOwner(const QRect &owner, QSize box, const QRect &screen)
{
    // Slid along the owner's edge into the screen, never across the owner.
    const auto clampedTop = [&](int top) {
        return slidInto(top, box.height(), screen.top(), screen.bottom());
    };
    const auto clampedLeft = [&](int left) {
        return slidInto(left, box.width(), screen.left(), screen.right());
    };
    const QRect candidates[] = {
            QRect(QPoint(owner.right() + 1, clampedTop(owner.top())), box),
            QRect(QPoint(owner.left() - box.width(), clampedTop(owner.top())), box),
            QRect(QPoint(clampedLeft(owner.left()), owner.bottom() + 1), box),
    };
    for (const QRect &candidate : candidates) {
        if (screen.contains(candidate))
            return candidate;
    }
    return centredOn(owner, box, screen);
}

void placeBesideOwner(QWidget *window, const QMargins &ownFrame)
{
    if (const QWidget *owner = ownerWindow(window))
        placeOuterFrame(window, ownFrame,
                        besideOwner(owner->frameGeometry(), window->size().grownBy(ownFrame),
                                    owner->screen()->availableGeometry()));
}

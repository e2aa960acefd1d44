#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/KorvuRun.h"

#include <functional>
#include <memory>
#include <optional>

struct xcb_connection_t;

// Paths of the X programs a session runs; the build finds them.
struct XTools {
    QString xvfb;
    QString xdotool;
    QString xwininfo;
    QString import;
    QString openbox;

    // The programs the build found.
    static XTools fromBuild();
};

// A display of the test's own on a fresh Xvfb, and the X tools that find, drive
// and photograph the windows on it; on request, with Openbox managing it. Only
// the server and the manager this session started are ever stopped, by their
// process ids.
class XSession {
public:
    using WindowId = quint32;
    using Window = WindowId;
    enum class Mapping { Any, MappedOnly };
    // A bare server, or one that Openbox manages with its packaged settings.
    enum class Desktop { Bare, Openbox };

    explicit XSession(Desktop desktop = Desktop::Bare, XTools tools = XTools::fromBuild());
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // Starts the server on a display number that no other server holds, and
    // Openbox if asked for, waiting until it manages the screen.
    bool start(QDeadlineTimer deadline);
    void stop();

    QString displayName() const;
    // Why the last call that returned false or nothing failed.
    QString errorString() const { return m_error; }

    // The caller's environment, pointed at this display through Qt's xcb plugin
    // and cleared of desktop settings that would change how a Qt program looks.
    QProcessEnvironment environment() const;

    // Windows whose title is exactly `title`.
    QList<WindowId> windowsTitled(const QString &title, Mapping mapping) const;
    // The one mapped window of the process with this id, by the _NET_WM_PID it
    // set, that is none of `known`, once there is exactly one: the way to find a
    // window that has no title, such as the name dialog.
    std::optional<WindowId> waitForOtherWindow(qint64 processId, const QList<WindowId> &known,
                                               QDeadlineTimer deadline) const;
    std::optional<WindowId> waitForMappedWindow(const QString &title,
                                                QDeadlineTimer deadline) const;
    // The mapped window titled `title` of the process with this id, once there is one.
    std::optional<WindowId> waitForWindow(qint64 processId, const QString &title,
                                          QDeadlineTimer deadline) const;
    bool isMapped(WindowId window) const;
    // True once the window is unmapped or destroyed.
    bool waitUntilUnmapped(WindowId window, QDeadlineTimer deadline) const;

    std::optional<QSize> clientSize(WindowId window) const;
    // Where the window's client area lies on the screen, in device pixels.
    std::optional<QRect> geometry(WindowId window) const;
    // Puts the client area's top-left corner at `topLeft`, as a player dragging it would.
    bool move(WindowId window, QPoint topLeft) const;
    // The window's client area as the X server holds it, in device pixels; null on failure.
    QImage screenshot(WindowId window) const;
    // Takes pictures of a window until one satisfies `wanted`; the last one otherwise.
    QImage waitForScreenshot(WindowId window, QDeadlineTimer deadline,
                             const std::function<bool(const QImage &)> &wanted) const;

    // Without a window manager, focus is given explicitly before typing.
    bool focus(WindowId window) const;
    // Under a window manager: what a click on the window's task-bar button
    // does, asking the manager to activate it. It does not wait for the answer.
    bool activate(WindowId window) const;
    // The window the manager holds active (_NET_ACTIVE_WINDOW), if any.
    std::optional<WindowId> activeWindow() const;
    // A property of 32-bit items (CARDINAL, ATOM, WM_HINTS, _MOTIF_WM_HINTS);
    // nothing when the window does not carry it.
    std::optional<QList<quint32>> property(WindowId window, const char *name) const;
    // The names of the atoms in an ATOM property, such as "_NET_WM_STATE_MODAL".
    QStringList atomNames(WindowId window, const char *name) const;
    // A plain top-level window of the test's own: a second X client beside the
    // program, which can hold the keyboard focus.
    std::optional<WindowId> createWindow(const QString &title, const QRect &rect);
    // Key names as xdotool knows them ("Return", "ctrl+a"), sent to the focus.
    bool pressKeys(const QStringList &keys) const;
    // The window given the focus, then the keys pressed in it.
    bool pressKeysIn(WindowId window, const QStringList &keys) const;
    // Keys sent to one window, wherever the keyboard is: a key pressed in a
    // window the manager has not made active.
    bool sendKeys(WindowId window, const QStringList &keys) const;
    // Text typed character by character, blanks included, into the focus.
    bool typeText(const QString &text) const;
    // A left click at `at` in the window's client area.
    bool click(WindowId window, QPoint at) const;
    // Where the pointer is on the screen.
    std::optional<QPoint> pointer() const;
    // Puts the pointer at `at` on the screen, without a click.
    bool movePointer(QPoint at) const;
    // What a window manager's close button sends: WM_DELETE_WINDOW.
    bool requestClose(WindowId window) const;
    // The text of the CLIPBOARD selection, asked of its owner as UTF-8; nothing
    // when no client owns it or the owner does not answer by the deadline.
    std::optional<QString> clipboardText(QDeadlineTimer deadline) const;

private:
    bool startOn(int display, QDeadlineTimer deadline);
    bool startWindowManager(QDeadlineTimer deadline);
    bool windowManagerRuns() const;
    bool holdsLock(int display) const;
    ToolRun run(const QString &program, const QStringList &arguments) const;
    QList<WindowId> searchWindows(const QStringList &criteria, Mapping mapping) const;

    Desktop m_desktop;
    XTools m_tools;
    QProcess m_server;
    QProcess m_windowManager;
    // The manager's home, so that no settings of the user or an earlier run reach it.
    std::unique_ptr<QTemporaryDir> m_windowManagerHome;
    int m_display = -1;
    xcb_connection_t *m_connection = nullptr;
    mutable QString m_error;
};

// The program on a display of the test's own.
using XRun = KorvuRun<XSession>;

#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

struct xcb_connection_t;

// Paths of the X programs a session runs; the build finds them.
struct XTools {
    QString xvfb;
    QString xdotool;
    QString xwininfo;
    QString import;
};

// A display of the test's own on a fresh Xvfb, and the X tools that find, drive
// and photograph the windows on it. Only the server this session started is
// ever stopped, by its process id.
class XSession {
public:
    using WindowId = quint32;
    enum class Mapping { Any, MappedOnly };

    explicit XSession(XTools tools);
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // Starts the server on a display number that no other server holds.
    bool start(QDeadlineTimer deadline);
    void stop();

    QString displayName() const;
    // Why the last call that returned false or nothing failed.
    QString errorString() const { return m_error; }

    // The caller's environment, pointed at this display and cleared of desktop
    // settings that would change how a Qt program looks.
    QProcessEnvironment environment() const;

    // Windows whose title is exactly `title`.
    QList<WindowId> windowsTitled(const QString &title, Mapping mapping) const;
    std::optional<WindowId> waitForMappedWindow(const QString &title,
                                                QDeadlineTimer deadline) const;
    bool isMapped(WindowId window) const;
    // True once the window is unmapped or destroyed.
    bool waitUntilUnmapped(WindowId window, QDeadlineTimer deadline) const;

    std::optional<QSize> clientSize(WindowId window) const;
    // The window's client area as the X server holds it; null on failure.
    QImage screenshot(WindowId window) const;

    // There is no window manager, so focus is given explicitly before typing.
    bool focus(WindowId window) const;
    // Key names as xdotool knows them ("Return", "ctrl+a"), sent to the focus.
    bool pressKeys(const QStringList &keys) const;
    bool click(WindowId window, QPoint at) const;
    // What a window manager's close button sends: WM_DELETE_WINDOW.
    bool requestClose(WindowId window) const;

private:
    struct ToolRun {
        bool ok = false;
        QByteArray output;
    };

    bool startOn(int display, QDeadlineTimer deadline);
    bool holdsLock(int display) const;
    ToolRun run(const QString &program, const QStringList &arguments) const;

    XTools m_tools;
    QProcess m_server;
    int m_display = -1;
    xcb_connection_t *m_connection = nullptr;
    mutable QString m_error;
};

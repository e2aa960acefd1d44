#pragma once

#include <QDeadlineTimer>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/KorvuRun.h"

#include <memory>
#include <optional>

// A headless sway of the test's own, and the tools that drive it: wtype for
// keys, grim for pictures, swaymsg for the windows and the keyboard focus.
// Sway will not run as root: a root test starts it as `nobody`, in a private
// runtime folder that user owns. Only the compositor and the keyboard this
// session started are ever stopped, by their process ids.
class WaylandSession {
public:
    // A window as the compositor holds it.
    struct View {
        qint64 id = 0;
        QString title;
        qint64 processId = 0;
        // The client area on the output.
        QRect client;
        bool focused = false;
        // The compositor flags it as asking for attention.
        bool urgent = false;
    };
    using Window = View;

    WaylandSession();
    ~WaylandSession();
    WaylandSession(const WaylandSession &) = delete;
    WaylandSession &operator=(const WaylandSession &) = delete;

    // Starts sway on an output of 1024 x 768 and the virtual keyboard a real
    // session always has; without one, no window would ever become active.
    bool start(QDeadlineTimer deadline);
    void stop();
    QString errorString() const { return m_error; }

    // The caller's environment, pointed at this compositor through Qt's
    // Wayland plugin and cleared of desktop settings.
    QProcessEnvironment environment() const;

    // Every window that is shown, in the compositor's order.
    QList<View> views() const;
    // The window of the process titled `title` once the compositor has given
    // it the keyboard: keys typed before then would land elsewhere.
    std::optional<View> waitForWindow(qint64 processId, const QString &title,
                                      QDeadlineTimer deadline) const;
    bool waitUntilGone(qint64 id, QDeadlineTimer deadline) const;

    // Key names as wtype knows them ("Return", "Down"), to the focused window.
    bool pressKeys(const QStringList &keys) const;
    // Keys for a window that has the keyboard; a Wayland client cannot aim
    // them anywhere else, so this fails when `view` does not have it.
    bool pressKeysIn(const View &view, const QStringList &keys) const;
    // Text typed into the focused window; "ctrl+a" first selects what is there.
    bool typeText(const QString &text, bool selectFirst) const;
    // A sway command for one window: "focus", "kill".
    bool command(qint64 id, const QString &what) const;
    // What a close button does: sway's "kill" asks the window to close.
    bool requestClose(const View &view) const;
    // The output's pixels in `rect`; null on failure.
    QImage grab(const QRect &rect) const;

private:
    ToolRun run(const QString &program, const QStringList &arguments) const;
    bool socketsReady();

    std::unique_ptr<QTemporaryDir> m_runtime;
    QProcess m_compositor;
    QProcess m_keyboard;
    qint64 m_swayPid = 0;
    QString m_display;
    QString m_ipc;
    mutable QString m_error;
};

// The program as a native Wayland client of a compositor of the test's own.
using WaylandRun = KorvuRun<WaylandSession>;

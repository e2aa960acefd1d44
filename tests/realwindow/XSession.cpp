#include "tests/realwindow/XSession.h"

#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/Waiting.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int PollMilliseconds = 20;
constexpr int ToolMilliseconds = 10000;
constexpr int FirstDisplay = 100;
constexpr int DisplaySpread = 400;
constexpr int DisplayAttempts = 40;
// Characters that mean something in xdotool's POSIX extended regular expressions.
constexpr char TitleSpecials[] = "\\.[]()*+?{}|^$";

QString lockFile(int display)
{
    return QStringLiteral("/tmp/.X%1-lock").arg(display);
}

QString socketFile(int display)
{
    return QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
}

QString exactTitlePattern(const QString &title)
{
    QString pattern = QStringLiteral("^");
    for (const QChar c : title) {
        if (QLatin1String(TitleSpecials).contains(c))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('$');
}

void waitOnePoll()
{
    QThread::msleep(PollMilliseconds);
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

const xcb_screen_t *screenOf(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
}

} // namespace

XTools XTools::fromBuild()
{
    return {QStringLiteral(KORVU_XVFB), QStringLiteral(KORVU_XDOTOOL),
            QStringLiteral(KORVU_XWININFO), QStringLiteral(KORVU_IMPORT),
            QStringLiteral(KORVU_OPENBOX)};
}

XSession::XSession(Desktop desktop, XTools tools) : m_desktop(desktop), m_tools(std::move(tools))
{
}

XSession::~XSession()
{
    stop();
}

bool XSession::start(QDeadlineTimer deadline)
{
    // Spread by process id, so that tests running side by side rarely try the
    // same number; a server that loses the race exits and the next is tried.
    const int first = FirstDisplay + int(QCoreApplication::applicationPid() % DisplaySpread);
    for (int attempt = 0; attempt < DisplayAttempts && !deadline.hasExpired(); ++attempt) {
        const int display = first + attempt;
        if (QFileInfo::exists(lockFile(display)) || QFileInfo::exists(socketFile(display)))
            continue;
        if (startOn(display, deadline))
            return m_desktop == Desktop::Bare || startWindowManager(deadline);
    }
    if (m_error.isEmpty())
        m_error = QStringLiteral("no free display found");
    return false;
}

bool XSession::startOn(int display, QDeadlineTimer deadline)
{
    m_server.setProgram(m_tools.xvfb);
    m_server.setArguments({QStringLiteral(":%1").arg(display), QStringLiteral("-screen"),
                           QStringLiteral("0"), QStringLiteral("1024x768x24"),
                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    // Nobody reads the server's chatter while a test polls; a full pipe would stall it.
    m_server.setStandardOutputFile(QProcess::nullDevice());
    m_server.setStandardErrorFile(QProcess::nullDevice());
    m_server.start();
    if (!m_server.waitForStarted(ToolMilliseconds)) {
        m_error = QStringLiteral("%1 did not start: %2").arg(m_tools.xvfb, m_server.errorString());
        return false;
    }
    const QByteArray name = QStringLiteral(":%1").arg(display).toLatin1();
    while (!deadline.hasExpired()) {
        if (m_server.state() != QProcess::Running) {
            m_error = QStringLiteral("Xvfb on :%1 exited with code %2")
                              .arg(display)
                              .arg(m_server.exitCode());
            return false;
        }
        xcb_connection_t *connection = xcb_connect(name.constData(), nullptr);
        if (!xcb_connection_has_error(connection) && holdsLock(display)) {
            m_connection = connection;
            m_display = display;
            return true;
        }
        xcb_disconnect(connection);
        waitOnePoll();
    }
    m_error = QStringLiteral("Xvfb on :%1 did not answer in time").arg(display);
    stop();
    return false;
}

// The lock file names the server that owns the display; it must be ours, not
// one that another test started on the same number a moment earlier.
bool XSession::holdsLock(int display) const
{
    QFile lock(lockFile(display));
    if (!lock.open(QIODevice::ReadOnly))
        return false;
    return lock.readAll().trimmed().toLongLong() == m_server.processId();
}

bool XSession::startWindowManager(QDeadlineTimer deadline)
{
    if (!m_connection) {
        m_error = QStringLiteral("no display");
        return false;
    }
    m_windowManagerHome = std::make_unique<QTemporaryDir>();
    if (!m_windowManagerHome->isValid()) {
        m_error = QStringLiteral("no home for the window manager: %1")
                          .arg(m_windowManagerHome->errorString());
        return false;
    }
    QProcessEnvironment environment = this->environment();
    const QString home = m_windowManagerHome->path();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    m_windowManager.setProcessEnvironment(environment);
    m_windowManager.setProgram(m_tools.openbox);
    m_windowManager.setArguments({QStringLiteral("--sm-disable")});
    m_windowManager.setStandardOutputFile(QProcess::nullDevice());
    m_windowManager.setStandardErrorFile(QProcess::nullDevice());
    m_windowManager.start();
    if (!m_windowManager.waitForStarted(ToolMilliseconds)) {
        m_error = QStringLiteral("%1 did not start: %2")
                          .arg(m_tools.openbox, m_windowManager.errorString());
        return false;
    }
    while (!deadline.hasExpired()) {
        if (m_windowManager.state() != QProcess::Running) {
            m_error = QStringLiteral("%1 exited with code %2")
                              .arg(m_tools.openbox)
                              .arg(m_windowManager.exitCode());
            return false;
        }
        if (windowManagerRuns())
            return true;
        waitOnePoll();
    }
    m_error = QStringLiteral("%1 did not take over the screen in time").arg(m_tools.openbox);
    return false;
}

// A manager announces itself with _NET_SUPPORTING_WM_CHECK on the root window
// as it takes over the screen, and publishes _NET_CLIENT_LIST once it has
// started up. A window mapped in between can be left unmanaged and unmapped.
bool XSession::windowManagerRuns() const
{
    const xcb_window_t root = screenOf(m_connection)->root;
    const std::optional<QList<quint32>> check = property(root, "_NET_SUPPORTING_WM_CHECK");
    return check && !check->isEmpty() && check->first() != XCB_WINDOW_NONE
            && property(root, "_NET_CLIENT_LIST").has_value();
}

void XSession::stop()
{
    if (m_windowManager.state() != QProcess::NotRunning) {
        m_windowManager.terminate();
        if (!m_windowManager.waitForFinished(5000)) {
            m_windowManager.kill();
            m_windowManager.waitForFinished(5000);
        }
    }
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
    m_display = -1;
}

QString XSession::displayName() const
{
    return m_display < 0 ? QString() : QStringLiteral(":%1").arg(m_display);
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment environment = plainDesktopEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), displayName());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

ToolRun XSession::run(const QString &program, const QStringList &arguments) const
{
    return runTool(program, arguments, environment(), m_error);
}

QList<XSession::WindowId> XSession::windowsTitled(const QString &title, Mapping mapping) const
{
    return searchWindows({QStringLiteral("--name"), exactTitlePattern(title)}, mapping);
}

std::optional<XSession::WindowId> XSession::waitForOtherWindow(qint64 processId,
                                                               const QList<WindowId> &known,
                                                               QDeadlineTimer deadline) const
{
    std::optional<WindowId> found;
    waitFor(deadline, [&] {
        QList<WindowId> windows =
                searchWindows({QStringLiteral("--pid"), QString::number(processId)},
                              Mapping::MappedOnly);
        for (const WindowId window : known)
            windows.removeAll(window);
        found = windows.size() == 1 ? std::optional(windows.first()) : std::nullopt;
        return found.has_value();
    });
    if (!found)
        m_error = QStringLiteral("process %1 has no one other mapped window").arg(processId);
    return found;
}

QList<XSession::WindowId> XSession::searchWindows(const QStringList &criteria,
                                                  Mapping mapping) const
{
    QStringList arguments{QStringLiteral("search")};
    if (mapping == Mapping::MappedOnly)
        arguments << QStringLiteral("--onlyvisible");
    arguments << criteria;
    // xdotool search fails when nothing matches; that is an empty answer here.
    const ToolRun search = run(m_tools.xdotool, arguments);
    QList<WindowId> windows;
    for (const QByteArray &line : search.output.split('\n')) {
        bool ok = false;
        const WindowId id = line.trimmed().toUInt(&ok);
        if (ok)
            windows << id;
    }
    return windows;
}

std::optional<XSession::WindowId> XSession::waitForMappedWindow(const QString &title,
                                                                QDeadlineTimer deadline) const
{
    for (;;) {
        const QList<WindowId> windows = windowsTitled(title, Mapping::MappedOnly);
        if (!windows.isEmpty())
            return windows.first();
        if (deadline.hasExpired())
            break;
        waitOnePoll();
    }
    m_error = QStringLiteral("no mapped window titled \"%1\"").arg(title);
    return std::nullopt;
}

std::optional<XSession::WindowId> XSession::waitForWindow(qint64 processId, const QString &title,
                                                          QDeadlineTimer deadline) const
{
    std::optional<WindowId> found;
    waitFor(deadline, [&] {
        const QList<WindowId> windows =
                searchWindows({QStringLiteral("--all"), QStringLiteral("--pid"),
                               QString::number(processId), QStringLiteral("--name"),
                               exactTitlePattern(title)},
                              Mapping::MappedOnly);
        if (!windows.isEmpty())
            found = windows.first();
        return found.has_value();
    });
    if (!found)
        m_error = QStringLiteral("no mapped window titled \"%1\" of process %2")
                          .arg(title)
                          .arg(processId);
    return found;
}

bool XSession::isMapped(WindowId window) const
{
    const ToolRun info = run(m_tools.xwininfo, {QStringLiteral("-id"), QString::number(window)});
    return info.ok && info.output.contains("Map State: IsViewable");
}

bool XSession::waitUntilUnmapped(WindowId window, QDeadlineTimer deadline) const
{
    for (;;) {
        if (!isMapped(window))
            return true;
        if (deadline.hasExpired())
            break;
        waitOnePoll();
    }
    m_error = QStringLiteral("window %1 is still mapped").arg(window);
    return false;
}

std::optional<QSize> XSession::clientSize(WindowId window) const
{
    const std::optional<QRect> rect = geometry(window);
    return rect ? std::optional<QSize>(rect->size()) : std::nullopt;
}

std::optional<QRect> XSession::geometry(WindowId window) const
{
    if (!m_connection) {
        m_error = QStringLiteral("no display");
        return std::nullopt;
    }
    // Asked of the server itself: under a window manager the client area lies
    // inside the manager's frame, and only a translation to the root window
    // gives its place on the screen.
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> size(
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr),
            &std::free);
    const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> place(
            xcb_translate_coordinates_reply(
                    m_connection,
                    xcb_translate_coordinates(m_connection, window, screenOf(m_connection)->root,
                                              0, 0),
                    nullptr),
            &std::free);
    if (!size || !place) {
        m_error = QStringLiteral("window %1 has no geometry").arg(window);
        return std::nullopt;
    }
    return QRect(place->dst_x, place->dst_y, size->width, size->height);
}

bool XSession::move(WindowId window, QPoint topLeft) const
{
    return run(m_tools.xdotool, {QStringLiteral("windowmove"), QStringLiteral("--sync"),
                                 QString::number(window), QString::number(topLeft.x()),
                                 QString::number(topLeft.y())})
            .ok;
}

QImage XSession::screenshot(WindowId window) const
{
    // png24 keeps every pixel as 8-bit RGB, whatever colours the picture holds.
    const ToolRun shot = run(m_tools.import, {QStringLiteral("-silent"), QStringLiteral("-window"),
                                              QString::number(window), QStringLiteral("png24:-")});
    if (!shot.ok)
        return {};
    const QImage image = QImage::fromData(shot.output, "PNG");
    if (image.isNull()) {
        m_error = QStringLiteral("import gave no readable picture of window %1").arg(window);
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage XSession::waitForScreenshot(WindowId window, QDeadlineTimer deadline,
                                   const std::function<bool(const QImage &)> &wanted) const
{
    QImage shot;
    for (;;) {
        shot = screenshot(window);
        if ((!shot.isNull() && wanted(shot)) || deadline.hasExpired())
            return shot;
        waitOnePoll();
    }
}

bool XSession::focus(WindowId window) const
{
    return run(m_tools.xdotool, {QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                 QString::number(window)})
            .ok;
}

bool XSession::activate(WindowId window) const
{
    // Not --sync: a window that hands the keyboard on at once, to a box of its
    // own, may never be seen active.
    return run(m_tools.xdotool, {QStringLiteral("windowactivate"), QString::number(window)}).ok;
}

std::optional<XSession::WindowId> XSession::activeWindow() const
{
    if (!m_connection)
        return std::nullopt;
    const std::optional<QList<quint32>> active =
            property(screenOf(m_connection)->root, "_NET_ACTIVE_WINDOW");
    if (!active || active->isEmpty() || active->first() == XCB_WINDOW_NONE)
        return std::nullopt;
    return active->first();
}

std::optional<QList<quint32>> XSession::property(WindowId window, const char *name) const
{
    if (!m_connection) {
        m_error = QStringLiteral("no display");
        return std::nullopt;
    }
    const xcb_get_property_cookie_t cookie = xcb_get_property(
            m_connection, 0, window, internAtom(m_connection, name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 32) {
        m_error = QStringLiteral("window %1 has no %2").arg(window).arg(QLatin1String(name));
        return std::nullopt;
    }
    const auto *items = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    return QList<quint32>(items, items + xcb_get_property_value_length(reply.get()) / 4);
}

QStringList XSession::atomNames(WindowId window, const char *name) const
{
    QStringList names;
    for (const quint32 item : property(window, name).value_or(QList<quint32>())) {
        const std::unique_ptr<xcb_get_atom_name_reply_t, decltype(&std::free)> reply(
                xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, item),
                                        nullptr),
                &std::free);
        if (reply)
            names << QString::fromLatin1(xcb_get_atom_name_name(reply.get()),
                                         xcb_get_atom_name_name_length(reply.get()));
    }
    return names;
}

std::optional<XSession::WindowId> XSession::createWindow(const QString &title, const QRect &rect)
{
    if (!m_connection) {
        m_error = QStringLiteral("no display");
        return std::nullopt;
    }
    const xcb_screen_t *screen = screenOf(m_connection);
    const xcb_window_t window = xcb_generate_id(m_connection);
    const quint32 background = screen->white_pixel;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, qint16(rect.x()),
                      qint16(rect.y()), quint16(rect.width()), quint16(rect.height()), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL,
                      &background);
    const QByteArray name = title.toUtf8();
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, quint32(name.size()), name.constData());
    const xcb_void_cookie_t mapped = xcb_map_window_checked(m_connection, window);
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
            xcb_request_check(m_connection, mapped), &std::free);
    if (error) {
        m_error = QStringLiteral("the window \"%1\" could not be mapped: X error %2")
                          .arg(title)
                          .arg(error->error_code);
        return std::nullopt;
    }
    return window;
}

bool XSession::pressKeys(const QStringList &keys) const
{
    return run(m_tools.xdotool, QStringList{QStringLiteral("key")} + keys).ok;
}

bool XSession::pressKeysIn(WindowId window, const QStringList &keys) const
{
    return focus(window) && pressKeys(keys);
}

bool XSession::sendKeys(WindowId window, const QStringList &keys) const
{
    return run(m_tools.xdotool, QStringList{QStringLiteral("key"), QStringLiteral("--window"),
                                            QString::number(window)}
                       + keys)
            .ok;
}

bool XSession::typeText(const QString &text) const
{
    return run(m_tools.xdotool, {QStringLiteral("type"), QStringLiteral("--"), text}).ok;
}

std::optional<QPoint> XSession::pointer() const
{
    const ToolRun location =
            run(m_tools.xdotool, {QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    if (!location.ok)
        return std::nullopt;
    std::optional<int> x;
    std::optional<int> y;
    for (const QByteArray &line : location.output.split('\n')) {
        if (line.startsWith("X="))
            x = line.mid(2).toInt();
        else if (line.startsWith("Y="))
            y = line.mid(2).toInt();
    }
    if (!x || !y) {
        m_error = QStringLiteral("no pointer in: %1").arg(QString::fromLatin1(location.output));
        return std::nullopt;
    }
    return QPoint(*x, *y);
}

bool XSession::movePointer(QPoint at) const
{
    return pointer() == at
            || run(m_tools.xdotool, {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                     QString::number(at.x()), QString::number(at.y())})
                       .ok;
}

bool XSession::click(WindowId window, QPoint at) const
{
    // mousemove --sync waits for a motion, and none comes when the pointer is already there.
    const std::optional<QRect> client = geometry(window);
    if (!client)
        return false;
    if (pointer() == client->topLeft() + at)
        return run(m_tools.xdotool, {QStringLiteral("click"), QStringLiteral("1")}).ok;
    return run(m_tools.xdotool,
               {QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
                QString::number(window), QString::number(at.x()), QString::number(at.y()),
                QStringLiteral("click"), QStringLiteral("1")})
            .ok;
}

bool XSession::requestClose(WindowId window) const
{
    if (!m_connection) {
        m_error = QStringLiteral("no display");
        return false;
    }
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = internAtom(m_connection, "WM_PROTOCOLS");
    event.data.data32[0] = internAtom(m_connection, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    // With no event mask the server hands the message to the window's own client.
    const xcb_void_cookie_t cookie =
            xcb_send_event_checked(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                   reinterpret_cast<const char *>(&event));
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
            xcb_request_check(m_connection, cookie), &std::free);
    if (error) {
        m_error = QStringLiteral("WM_DELETE_WINDOW to %1 failed with X error %2")
                          .arg(window)
                          .arg(error->error_code);
        return false;
    }
    return true;
}

std::optional<QString> XSession::clipboardText(QDeadlineTimer deadline) const
{
    if (!m_connection) {
        m_error = QStringLiteral("no display");
        return std::nullopt;
    }
    const xcb_atom_t clipboard = internAtom(m_connection, "CLIPBOARD");
    const xcb_atom_t utf8 = internAtom(m_connection, "UTF8_STRING");
    const xcb_atom_t property = internAtom(m_connection, "KORVU_TEST_CLIPBOARD");
    // The owner answers by writing the text into a property of a window of ours.
    const xcb_screen_t *screen = screenOf(m_connection);
    const xcb_window_t requestor = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, requestor, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_convert_selection(m_connection, requestor, clipboard, utf8, property, XCB_CURRENT_TIME);
    xcb_flush(m_connection);

    std::optional<QString> text;
    bool answered = false;
    while (!answered && !deadline.hasExpired()) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(
                xcb_poll_for_event(m_connection), &std::free);
        if (!event) {
            waitOnePoll();
            continue;
        }
        if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
            continue;
        const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event.get());
        if (notify->requestor != requestor)
            continue;
        answered = true;
        // No property: nobody owns the clipboard, or the owner has no text.
        if (notify->property == XCB_ATOM_NONE)
            break;
        const xcb_get_property_cookie_t cookie = xcb_get_property(
                m_connection, 1, requestor, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16);
        const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
                xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
        if (reply && reply->type == utf8 && reply->format == 8)
            text = QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply.get())),
                                     xcb_get_property_value_length(reply.get()));
    }
    xcb_destroy_window(m_connection, requestor);
    xcb_flush(m_connection);
    if (!text)
        m_error = answered ? QStringLiteral("the clipboard holds no text")
                           : QStringLiteral("the clipboard's owner did not answer");
    return text;
}

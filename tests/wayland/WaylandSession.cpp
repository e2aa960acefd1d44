#include "tests/wayland/WaylandSession.h"

#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/Waiting.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>

#include <pwd.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>


namespace {

constexpr int ToolMilliseconds = 10000;

int number(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toInt();
}

QRect rectOf(const QJsonObject &object)
{
    return {number(object, "x"), number(object, "y"), number(object, "width"),
            number(object, "height")};
}

void collectViews(const QJsonObject &node, QList<WaylandSession::View> &views)
{
    if (node.contains(QLatin1String("pid")) && node.value(QLatin1String("visible")).toBool()) {
        // The window's rectangle, and within it where the client draws.
        const QRect outer = rectOf(node.value(QLatin1String("rect")).toObject());
        const QRect inner = rectOf(node.value(QLatin1String("window_rect")).toObject());
        views << WaylandSession::View{node.value(QLatin1String("id")).toInteger(),
                                      node.value(QLatin1String("name")).toString(),
                                      node.value(QLatin1String("pid")).toInteger(),
                                      inner.translated(outer.topLeft()),
                                      node.value(QLatin1String("focused")).toBool(),
                                      node.value(QLatin1String("urgent")).toBool()};
    }
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray())
            collectViews(child.toObject(), views);
    }
}

} // namespace

WaylandSession::WaylandSession() = default;

WaylandSession::~WaylandSession()
{
    stop();
}

bool WaylandSession::start(QDeadlineTimer deadline)
{
    m_runtime = std::make_unique<QTemporaryDir>();
    if (!m_runtime->isValid()) {
        m_error = QStringLiteral("no runtime folder: %1").arg(m_runtime->errorString());
        return false;
    }
    const QString runtime = m_runtime->path();
    QFile config(m_runtime->filePath(QStringLiteral("sway.conf")));
    if (!config.open(QIODevice::WriteOnly)
        || config.write("output HEADLESS-1 resolution 1024x768\n") < 0) {
        m_error = QStringLiteral("%1 could not be written").arg(config.fileName());
        return false;
    }
    config.close();

    const QStringList swayEnvironment{
            QStringLiteral("PATH=") + qEnvironmentVariable("PATH"),
            QStringLiteral("HOME=") + runtime,
            QStringLiteral("XDG_RUNTIME_DIR=") + runtime,
            QStringLiteral("WLR_BACKENDS=headless"),
            QStringLiteral("WLR_LIBINPUT_NO_DEVICES=1"),
            QStringLiteral("WLR_RENDERER=pixman"),
    };
    const QStringList sway{QStringLiteral(KORVU_SWAY), QStringLiteral("-c"), config.fileName()};
    if (geteuid() == 0) {
        // Root hands the folder to `nobody`, the user sway runs as.
        const passwd *nobody = getpwnam("nobody");
        if (!nobody || chown(QFile::encodeName(runtime).constData(), nobody->pw_uid,
                             nobody->pw_gid) != 0) {
            m_error = QStringLiteral("the runtime folder could not be given to nobody");
            return false;
        }
        m_compositor.setProgram(QStringLiteral(KORVU_RUNUSER));
        m_compositor.setArguments(QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                              QStringLiteral("--"), QStringLiteral("env"),
                                              QStringLiteral("-i")}
                                  + swayEnvironment + sway);
    } else {
        QProcessEnvironment environment;
        for (const QString &assignment : swayEnvironment)
            environment.insert(assignment.section(QLatin1Char('='), 0, 0),
                               assignment.section(QLatin1Char('='), 1));
        m_compositor.setProcessEnvironment(environment);
        m_compositor.setProgram(sway.first());
        m_compositor.setArguments(sway.mid(1));
    }
    // Into a file nobody reads while the test polls, so that a full pipe never stalls it.
    m_compositor.setStandardOutputFile(QProcess::nullDevice());
    m_compositor.setStandardErrorFile(QProcess::nullDevice());
    m_compositor.start();
    if (!m_compositor.waitForStarted(ToolMilliseconds)) {
        m_error = QStringLiteral("sway did not start: %1").arg(m_compositor.errorString());
        return false;
    }
    if (!waitFor(deadline, [this] { return socketsReady(); })) {
        m_error = QStringLiteral("sway did not open its sockets in %1").arg(runtime);
        return false;
    }
    if (!waitFor(deadline, [this] {
            return run(QStringLiteral(KORVU_SWAYMSG), {QStringLiteral("-t"),
                                                       QStringLiteral("get_outputs")})
                    .output.contains("\"HEADLESS-1\"");
        })) {
        m_error = QStringLiteral("sway has no headless output");
        return false;
    }

    // A keyboard that stays for the whole test: wtype sleeps for an hour
    // before it types nothing, and is stopped long before.
    m_keyboard.setProcessEnvironment(environment());
    m_keyboard.setProgram(QStringLiteral(KORVU_WTYPE));
    m_keyboard.setArguments({QStringLiteral("-s"), QStringLiteral("3600000"), QString()});
    m_keyboard.setStandardOutputFile(QProcess::nullDevice());
    m_keyboard.setStandardErrorFile(QProcess::nullDevice());
    m_keyboard.start();
    if (!m_keyboard.waitForStarted(ToolMilliseconds)
        || !waitFor(deadline, [this] {
               return run(QStringLiteral(KORVU_SWAYMSG),
                          {QStringLiteral("-t"), QStringLiteral("get_inputs")})
                       .output.contains("\"keyboard\"");
           })) {
        m_error = QStringLiteral("no virtual keyboard: %1").arg(m_keyboard.errorString());
        return false;
    }
    return true;
}

// Sway names its IPC socket after its process id, the one it is stopped by.
bool WaylandSession::socketsReady()
{
    const QDir runtime(m_runtime->path());
    static const QRegularExpression ipcName(QStringLiteral("^sway-ipc\\.\\d+\\.(\\d+)\\.sock$"));
    static const QRegularExpression displayName(QStringLiteral("^wayland-\\d+$"));
    for (const QString &name : runtime.entryList(QDir::System)) {
        if (const QRegularExpressionMatch ipc = ipcName.match(name); ipc.hasMatch()) {
            m_ipc = runtime.filePath(name);
            m_swayPid = ipc.captured(1).toLongLong();
        } else if (displayName.match(name).hasMatch()) {
            m_display = runtime.filePath(name);
        }
    }
    return m_swayPid > 0 && !m_display.isEmpty();
}

void WaylandSession::stop()
{
    if (m_keyboard.state() != QProcess::NotRunning) {
        m_keyboard.kill();
        m_keyboard.waitForFinished(5000);
    }
    if (m_swayPid > 0) {
        kill(pid_t(m_swayPid), SIGTERM);
        m_swayPid = 0;
    }
    if (m_compositor.state() != QProcess::NotRunning && !m_compositor.waitForFinished(5000)) {
        m_compositor.kill();
        m_compositor.waitForFinished(5000);
    }
    m_runtime.reset();
}

QProcessEnvironment WaylandSession::environment() const
{
    QProcessEnvironment environment = plainDesktopEnvironment();
    // A full path: the program keeps a runtime folder of its own.
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_display);
    environment.insert(QStringLiteral("SWAYSOCK"), m_ipc);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime ? m_runtime->path() : QString());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    return environment;
}

ToolRun WaylandSession::run(const QString &program, const QStringList &arguments) const
{
    return runTool(program, arguments, environment(), m_error);
}

QList<WaylandSession::View> WaylandSession::views() const
{
    const ToolRun tree =
            run(QStringLiteral(KORVU_SWAYMSG), {QStringLiteral("-t"), QStringLiteral("get_tree")});
    QList<View> views;
    if (tree.ok)
        collectViews(QJsonDocument::fromJson(tree.output).object(), views);
    return views;
}

std::optional<WaylandSession::View> WaylandSession::waitForWindow(qint64 processId,
                                                                  const QString &title,
                                                                  QDeadlineTimer deadline) const
{
    std::optional<View> found;
    waitFor(deadline, [&] {
        for (const View &view : views()) {
            if (view.processId == processId && view.title == title && view.focused) {
                found = view;
                return true;
            }
        }
        return false;
    });
    if (!found)
        m_error = QStringLiteral("no window titled \"%1\" of process %2 has the keyboard")
                          .arg(title)
                          .arg(processId);
    return found;
}

bool WaylandSession::waitUntilGone(qint64 id, QDeadlineTimer deadline) const
{
    const bool gone = waitFor(deadline, [&] {
        const QList<View> shown = views();
        return std::none_of(shown.begin(), shown.end(),
                            [id](const View &view) { return view.id == id; });
    });
    if (!gone)
        m_error = QStringLiteral("window %1 is still shown").arg(id);
    return gone;
}

bool WaylandSession::pressKeys(const QStringList &keys) const
{
    QStringList arguments;
    for (const QString &key : keys)
        arguments << QStringLiteral("-k") << key;
    return run(QStringLiteral(KORVU_WTYPE), arguments).ok;
}

bool WaylandSession::pressKeysIn(const View &view, const QStringList &keys) const
{
    const QList<View> shown = views();
    if (std::none_of(shown.begin(), shown.end(),
                     [&view](const View &v) { return v.id == view.id && v.focused; })) {
        m_error = QStringLiteral("window %1 does not have the keyboard").arg(view.id);
        return false;
    }
    return pressKeys(keys);
}

bool WaylandSession::typeText(const QString &text, bool selectFirst) const
{
    QStringList arguments;
    if (selectFirst)
        arguments << QStringLiteral("-M") << QStringLiteral("ctrl") << QStringLiteral("a")
                  << QStringLiteral("-m") << QStringLiteral("ctrl");
    return run(QStringLiteral(KORVU_WTYPE), arguments << text).ok;
}

bool WaylandSession::command(qint64 id, const QString &what) const
{
    return run(QStringLiteral(KORVU_SWAYMSG),
               {QStringLiteral("[con_id=%1] %2").arg(id).arg(what)})
            .ok;
}

bool WaylandSession::requestClose(const View &view) const
{
    return command(view.id, QStringLiteral("kill"));
}

QImage WaylandSession::grab(const QRect &rect) const
{
    const ToolRun shot = run(QStringLiteral(KORVU_GRIM),
                             {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-g"),
                              QStringLiteral("%1,%2 %3x%4")
                                      .arg(rect.x())
                                      .arg(rect.y())
                                      .arg(rect.width())
                                      .arg(rect.height()),
                              QStringLiteral("-")});
    if (!shot.ok)
        return {};
    return QImage::fromData(shot.output, "PPM").convertToFormat(QImage::Format_RGB32);
}

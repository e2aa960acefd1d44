#include "tests/realwindow/KorvuProcess.h"

#include <QDir>
#include <QFile>
#include <QSettings>

QProcessEnvironment plainDesktopEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS",
                             "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "QT_QPA_PLATFORMTHEME",
                             "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                             "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI"})
        environment.remove(QLatin1String(name));
    return environment;
}

ToolRun runTool(const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment, QString &error)
{
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    ToolRun result;
    if (!tool.waitForFinished(10000)) {
        // Only this tool: xdotool's windowfocus --sync waits for ever on a
        // window that cannot take focus.
        tool.kill();
        tool.waitForFinished();
        error = QStringLiteral("%1 %2 did not finish").arg(program, arguments.join(QLatin1Char(' ')));
        return result;
    }
    result.output = tool.readAllStandardOutput();
    result.ok = tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (!result.ok)
        error = QStringLiteral("%1 %2 failed: %3")
                        .arg(program, arguments.join(QLatin1Char(' ')),
                             QString::fromLocal8Bit(tool.readAllStandardError()));
    return result;
}

KorvuProcess::~KorvuProcess()
{
    if (!isRunning())
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString KorvuProcess::configFolder() const
{
    return m_home.filePath(QStringLiteral(".config"));
}

QString KorvuProcess::settingsFile() const
{
    return configFolder() + QStringLiteral("/Korvu/Korvu.conf");
}

QString KorvuProcess::storedValue(const QString &key) const
{
    return QSettings(settingsFile(), QSettings::IniFormat).value(key).toString();
}

bool KorvuProcess::prepareQuickGameOver(int speed, bool zeroBeatsRowOne, int size)
{
    QSettings prepared(settingsFile(), QSettings::IniFormat);
    prepared.beginGroup(QStringLiteral("Options"));
    prepared.setValue(QStringLiteral("Played"), QStringLiteral("True"));
    prepared.setValue(QStringLiteral("Speed"), QString::number(speed));
    prepared.setValue(QStringLiteral("Size"), QString::number(size));
    prepared.setValue(QStringLiteral("PPFood"), QStringLiteral("0"));
    prepared.setValue(QStringLiteral("HardCore"), QStringLiteral("1"));
    prepared.endGroup();
    prepared.beginGroup(QStringLiteral("Highscore"));
    for (int row = 1; row <= 4; ++row) {
        prepared.setValue(QStringLiteral("Name%1").arg(row), QStringLiteral("Best"));
        prepared.setValue(QStringLiteral("Score%1").arg(row),
                          row == 1 && zeroBeatsRowOne ? QStringLiteral("-1")
                                                      : QStringLiteral("32767"));
    }
    prepared.endGroup();
    prepared.sync();
    if (prepared.status() != QSettings::NoError) {
        m_error = QStringLiteral("%1 could not be written").arg(settingsFile());
        return false;
    }
    return true;
}

void KorvuProcess::setEnvironment(const QString &name, const QString &value)
{
    m_extraEnvironment.insert(name, value);
}

bool KorvuProcess::start(const QProcessEnvironment &session)
{
    if (!m_home.isValid() || !QDir().mkpath(configFolder())) {
        m_error = QStringLiteral("no temporary home: %1").arg(m_home.errorString());
        return false;
    }
    QProcessEnvironment environment = session;
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder());
    // The temporary folder is private (0700), as Qt wants its runtime folder.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    environment.insert(m_extraEnvironment);
    m_process.setProcessEnvironment(environment);
    // Into a file, not a pipe: the test does not read while it polls the display.
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(outputFile());
    m_process.setProgram(m_program);
    m_process.start();
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("%1 did not start: %2").arg(m_program, m_process.errorString());
        return false;
    }
    return true;
}

bool KorvuProcess::waitForExit(QDeadlineTimer deadline)
{
    const int wait = deadline.isForever() ? -1 : int(qMax<qint64>(1, deadline.remainingTime()));
    if (isRunning() && !m_process.waitForFinished(wait)) {
        m_error = QStringLiteral("%1 is still running").arg(m_program);
        return false;
    }
    return true;
}

QString KorvuProcess::outputFile() const
{
    return m_home.filePath(QStringLiteral("output.log"));
}

QString KorvuProcess::output() const
{
    QFile printed(outputFile());
    if (!printed.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(printed.readAll());
}

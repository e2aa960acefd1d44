#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// The caller's environment without any display, and cleared of desktop
// settings that would change how a Qt program looks; a session adds its own.
QProcessEnvironment plainDesktopEnvironment();

// What a tool run to its end printed, and whether it exited with 0.
struct ToolRun {
    bool ok = false;
    QByteArray output;
};

// Runs a tool for ten seconds at most; why it failed goes to `error`.
ToolRun runTool(const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment, QString &error);

// One run of the built program on a session's display, with a home and a
// configuration folder of its own, so that its settings file starts empty and
// can be prepared or read back by the test. The session's environment names the
// display and the platform plugin that reaches it.
class KorvuProcess {
public:
    KorvuProcess() = default;
    ~KorvuProcess();
    KorvuProcess(const KorvuProcess &) = delete;
    KorvuProcess &operator=(const KorvuProcess &) = delete;

    // The program's XDG_CONFIG_HOME, and the INI file it keeps its settings in.
    QString configFolder() const;
    QString settingsFile() const;
    // One value as the file holds it now, "Section/Key"; empty when missing.
    QString storedValue(const QString &key) const;

    // Settings of a later start in which a game ends at the first wall: cells
    // of `size`, the CSpeed position `speed`, one blocked move allowed. Food is
    // worth nothing, so every game ends with 0, wherever the food lies. That
    // beats row 1 of the score table, and so opens the name dialog, only when
    // `zeroBeatsRowOne`, and only once; no other row can be beaten.
    bool prepareQuickGameOver(int speed, bool zeroBeatsRowOne, int size = 5);

    // A variable the next start sets over the session's cleared desktop settings,
    // such as QT_SCALE_FACTOR for a run on a high-density screen.
    void setEnvironment(const QString &name, const QString &value);
    // Another copy of the program than the one this build made, such as one
    // unpacked from the package.
    void setProgram(const QString &path) { m_program = path; }

    bool start(const QProcessEnvironment &session);
    bool waitForExit(QDeadlineTimer deadline);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // The running program's process id, which its windows carry as _NET_WM_PID.
    qint64 processId() const { return m_process.processId(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    int exitCode() const { return m_process.exitCode(); }

    // Everything the program printed so far, for failure messages.
    QString output() const;
    QString errorString() const { return m_error; }

private:
    QString outputFile() const;

    QString m_program = QStringLiteral(KORVU_BINARY);
    QTemporaryDir m_home;
    QProcess m_process;
    QProcessEnvironment m_extraEnvironment;
    QString m_error;
};

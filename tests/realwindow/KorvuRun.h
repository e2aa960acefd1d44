#pragma once

#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/Waiting.h"

#include <QStringList>

#include <chrono>
#include <optional>
#include <utility>

// One run of the built program on a desktop of the test's own, and the steps
// every real-window test takes before the part it is about: the desktop, the
// program with a home of its own up to its start window, and a game started
// from there. `Session` is the desktop (an X display, a Wayland compositor);
// it names its windows as `Session::Window`. Each step returns false with the
// reason, what the program printed included, in errorString(). Prepare
// `korvu` (its settings, its environment) before the first step.
template<typename Session>
class KorvuRun {
public:
    using Window = typename Session::Window;

    template<typename... SessionArguments>
    explicit KorvuRun(SessionArguments &&...arguments)
        : session(std::forward<SessionArguments>(arguments)...)
    {
    }

    // The desktop, then the program as prepared, up to its start window.
    bool openStartWindow()
    {
        using namespace std::chrono_literals;
        if (!session.start(within(30s)))
            return failed(session.errorString());
        if (!korvu.start(session.environment()))
            return failed(korvu.errorString());
        start = session.waitForWindow(korvu.processId(), KorvuScreen::StartTitle, within(15s));
        return start || failed(session.errorString());
    }

    // `keys` pressed in the start window, then Enter, its default button "Baslat".
    bool startGame(const QStringList &keys = {})
    {
        if (!session.pressKeysIn(*start, keys + QStringList{QStringLiteral("Return")}))
            return failed(session.errorString());
        return waitForGameWindow();
    }

    // The game window, once "Baslat" has been pressed.
    bool waitForGameWindow()
    {
        using namespace std::chrono_literals;
        game = session.waitForWindow(korvu.processId(), KorvuScreen::GameTitle, within(10s));
        return game || failed(session.errorString());
    }

    // What a close button sends to `window`; the program must then end by
    // itself, with exit code 0.
    bool closeAndEndCleanly(const Window &window)
    {
        using namespace std::chrono_literals;
        if (!session.requestClose(window))
            return failed(session.errorString());
        if (!korvu.waitForExit(within(10s)))
            return failed(korvu.errorString());
        if (korvu.exitStatus() != QProcess::NormalExit)
            return failed(QStringLiteral("the program crashed"));
        if (korvu.exitCode() != 0)
            return failed(QStringLiteral("the program exited with code %1").arg(korvu.exitCode()));
        return true;
    }

    QString errorString() const { return m_error; }

    Session session;
    KorvuProcess korvu;
    std::optional<Window> start;
    std::optional<Window> game;

private:
    bool failed(const QString &why)
    {
        const QString printed = korvu.output();
        m_error = printed.isEmpty() ? why : why + QStringLiteral("; the program printed:\n") + printed;
        return false;
    }

    QString m_error;
};

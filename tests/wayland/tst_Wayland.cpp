#include "tests/realwindow/BoardPicture.h"
#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/Waiting.h"
#include "tests/wayland/WaylandSession.h"

#include <QSettings>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <optional>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

using View = WaylandSession::View;

constexpr int Size = 7;

// The windows shown, for failure messages.
QString viewsText(const WaylandSession &w)
{
    QStringList shown;
    for (const View &view : w.views())
        shown << QStringLiteral("\"%1\" of %2 at %3,%4 %5x%6%7%8")
                         .arg(view.title)
                         .arg(view.processId)
                         .arg(view.client.x())
                         .arg(view.client.y())
                         .arg(view.client.width())
                         .arg(view.client.height())
                         .arg(view.focused ? QStringLiteral(", focused") : QString())
                         .arg(view.urgent ? QStringLiteral(", urgent") : QString());
    return QStringLiteral("; shown: ") + shown.join(QStringLiteral("; "));
}

} // namespace

// The program as a native Wayland client on a headless sway, driven through
// the compositor alone: keys from a virtual keyboard, pictures of the output,
// and windows as the compositor lists them. Sway places every window itself.
class tst_Wayland : public QObject {
    Q_OBJECT

private slots:
    void aWholeRunFromTheStartWindowToTheSavedName();
};

// A later start with cells of 7, where a score of 0 beats row 1 once: Enter
// starts a game and hides the start window, the board is drawn to the pixel,
// the game ends at the wall, the name typed into the dialog is saved in row 1,
// and the next game ends too. The game window's close button does nothing while
// its box or dialog is open, and nothing asks for attention while they have the
// keyboard. The third game ends while another program has the keyboard: it
// stays there and no box shows until the player gives the game window the
// keyboard. Closing the game window then saves and ends the program cleanly.
void tst_Wayland::aWholeRunFromTheStartWindowToTheSavedName()
{
    WaylandRun run;
    const WaylandSession &w = run.session;
    KorvuProcess &korvu = run.korvu;
    // "Speed 5": the worm reaches the wall in three seconds.
    QVERIFY2(korvu.prepareQuickGameOver(4, true, Size), qPrintable(korvu.errorString()));
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    QCOMPARE(run.start->client.size(), StartClientSize);
    QVERIFY2(run.startGame(), qPrintable(run.errorString()));
    QVERIFY2(w.waitUntilGone(run.start->id, within(5s)), qPrintable(w.errorString()));
    QCOMPARE(run.game->client.size(), QSize(Columns * Size, Rows * Size));
    const qint64 pid = korvu.processId();

    QString problem;
    // Sway centres the window again as it narrows to the board: its place is
    // read afresh for every picture.
    waitFor(within(5s), [&] {
        const auto now = w.waitForWindow(pid, GameTitle, within(0ms));
        problem = now ? boardProblem(w.grab(now->client), Size) : QStringLiteral("no game window");
        return problem.isEmpty();
    });
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    // A close request for the game window leaves `open` shown for a while, and no
    // window of the program is flagged.
    const auto closeIsDropped = [&](qint64 open) {
        return w.requestClose(*run.game) && !waitFor(within(1500ms), [&] {
            const QList<View> shown = w.views();
            return std::none_of(shown.begin(), shown.end(),
                                [open](const View &view) { return view.id == open; })
                    || std::any_of(shown.begin(), shown.end(), [pid](const View &view) {
                           return view.processId == pid && view.urgent;
                       });
        });
    };

    for (int gameOver = 1; gameOver <= 2; ++gameOver) {
        const auto box = w.waitForWindow(pid, MessageTitle, within(10s));
        QVERIFY2(box, qPrintable(QStringLiteral("no box at game over %1: ").arg(gameOver)
                                 + w.errorString() + korvu.output()));
        QVERIFY2(closeIsDropped(box->id), qPrintable(korvu.output() + viewsText(w)));
        QVERIFY2(w.pressKeys({QStringLiteral("Return")}), qPrintable(w.errorString()));
        QVERIFY2(w.waitUntilGone(box->id, within(5s)), qPrintable(w.errorString()));
        if (gameOver == 2)
            break;
        // The name dialog has no title of its own: the compositor is given the
        // program's name, as for the box before it.
        const auto dialog = w.waitForWindow(pid, MessageTitle, within(5s));
        QVERIFY2(dialog, qPrintable(QStringLiteral("no name dialog after a score that beats row 1")
                                    + viewsText(w)));
        QCOMPARE(dialog->client.size(), NameDialogSize);
        const QString typed = QStringLiteral("Deniz");
        QVERIFY2(w.typeText(typed, true), qPrintable(w.errorString()));
        QVERIFY2(closeIsDropped(dialog->id), qPrintable(korvu.output() + viewsText(w)));
        QVERIFY2(w.pressKeys({QStringLiteral("Return")}), qPrintable(w.errorString()));
        QVERIFY2(w.waitUntilGone(dialog->id, within(5s)), qPrintable(w.errorString()));
        QString name;
        waitFor(within(5s), [&] {
            name = korvu.storedValue(QStringLiteral("Highscore/Name1"));
            return name == typed;
        });
        QCOMPARE(name, typed);
    }

    // Another program, as the compositor sees one: a second copy with a home of
    // its own, which takes the keyboard as its window opens.
    KorvuProcess other;
    QVERIFY2(other.start(w.environment()), qPrintable(other.errorString()));
    QVERIFY2(w.waitForWindow(other.processId(), StartTitle, within(15s)),
             "the other program did not get the keyboard");
    // Three seconds to the wall; nothing may show or take the keyboard meanwhile.
    // Qt asks the compositor to activate the game window, which sway leaves
    // unmarked by default.
    const bool disturbed = waitFor(within(5s), [&] {
        for (const View &view : w.views()) {
            if ((view.processId == pid && view.title == MessageTitle)
                || (view.focused && view.processId != other.processId()))
                return true;
        }
        return false;
    });
    QVERIFY2(!disturbed, "the game-over box showed or took the keyboard");
    QVERIFY2(w.command(run.game->id, QStringLiteral("focus")), qPrintable(w.errorString()));
    const auto box = w.waitForWindow(pid, MessageTitle, within(5s));
    QVERIFY2(box, qPrintable(w.errorString() + korvu.output()));
    QVERIFY2(w.pressKeys({QStringLiteral("Return")}), qPrintable(w.errorString()));
    QVERIFY2(w.waitUntilGone(box->id, within(5s)), qPrintable(w.errorString()));
    QVERIFY2(w.waitForWindow(pid, GameTitle, within(5s)),
             "the keyboard did not go back to the game window");

    QVERIFY2(run.closeAndEndCleanly(*run.game), qPrintable(run.errorString() + viewsText(w)));
    QSettings stored(korvu.settingsFile(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Options/Size")).toString(), QString::number(Size));
}

QTEST_MAIN(tst_Wayland)
#include "tst_Wayland.moc"

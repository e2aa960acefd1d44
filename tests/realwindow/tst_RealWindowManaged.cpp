#include "tests/realwindow/BoardPicture.h"
#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/Waiting.h"
#include "tests/realwindow/XSession.h"

#include <QTest>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

using WindowId = XSession::WindowId;

const QString ClearTitle = QStringLiteral("Skor Tablosu Sil");

// Where the about box's client area always opens on the screen.
const QRect AboutPlace(156, 129, 382, 237);

// _MOTIF_WM_HINTS is flags, functions, decorations, ...
enum : quint32 { FunctionResize = 2, FunctionMinimize = 8, FunctionMaximize = 16, FunctionClose = 32 };
enum : quint32 { DecorBorder = 2, DecorTitle = 8, DecorMinimize = 32, DecorMaximize = 64 };
// The ICCCM urgency flag, in the first word of WM_HINTS.
constexpr quint32 UrgencyHint = 1u << 8;

enum class Window { Start, ScoreTable, About, Game, NameDialog };
enum class Frame { TitleAndClose, BorderOnly };
enum class Placement { Default, CentredOnOwner, Fixed };
// How the player comes back to a game that ended in the background.
enum class WayBack { Activate, KeyInGameWindow, CloseRequest };

// The whole window as the manager frames it: the client area grown by the
// frame the manager reports drawing around it.
std::optional<QRect> outerFrame(const XSession &x, WindowId window)
{
    const std::optional<QRect> client = x.geometry(window);
    const std::optional<QList<quint32>> extents = x.property(window, "_NET_FRAME_EXTENTS");
    if (!client || !extents || extents->size() != 4)
        return std::nullopt;
    // left, right, top, bottom
    return client->adjusted(-int(extents->at(0)), -int(extents->at(2)), int(extents->at(1)),
                            int(extents->at(3)));
}

QString rectText(const std::optional<QRect> &rect)
{
    if (!rect)
        return QStringLiteral("none");
    return QStringLiteral("(%1, %2) %3 x %4")
            .arg(rect->x())
            .arg(rect->y())
            .arg(rect->width())
            .arg(rect->height());
}

} // namespace

// The program under Openbox, as a player sees it on a desktop: the frames its
// windows ask for and get, where they open, who has the keyboard, and a game
// that ends while the player works in another program.
class tst_RealWindowManaged : public QObject {
    Q_OBJECT

private slots:
    void framesPlacesAndFocus_data();
    void framesPlacesAndFocus();
    void gameOverInTheBackgroundLeavesTheKeyboardAndAsksForAttention_data();
    void gameOverInTheBackgroundLeavesTheKeyboardAndAsksForAttention();
};

void tst_RealWindowManaged::framesPlacesAndFocus_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<Frame>("frame");
    QTest::addColumn<Placement>("placement");
    QTest::newRow("start window") << Window::Start << Frame::TitleAndClose << Placement::Default;
    QTest::newRow("score table")
            << Window::ScoreTable << Frame::TitleAndClose << Placement::CentredOnOwner;
    QTest::newRow("about box") << Window::About << Frame::TitleAndClose << Placement::Fixed;
    QTest::newRow("game window") << Window::Game << Frame::TitleAndClose << Placement::Default;
    QTest::newRow("name dialog")
            << Window::NameDialog << Frame::BorderOnly << Placement::CentredOnOwner;
}

void tst_RealWindowManaged::framesPlacesAndFocus()
{
    QFETCH(Window, window);
    QFETCH(Frame, frame);
    QFETCH(Placement, placement);

    XRun run(XSession::Desktop::Openbox);
    const XSession &x = run.session;
    KorvuProcess &korvu = run.korvu;
    // "Speed 9", and a score of 0 that opens the name dialog.
    if (window == Window::NameDialog)
        QVERIFY2(korvu.prepareQuickGameOver(8, true), qPrintable(korvu.errorString()));
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    const WindowId start = *run.start;

    // Open the window as a player would, by mouse; the keys come later.
    WindowId shown = start;
    std::optional<WindowId> owner;
    switch (window) {
    case Window::Start:
        break;
    case Window::ScoreTable: {
        QVERIFY2(x.click(start, SkorTablo.center()), qPrintable(x.errorString()));
        const auto table = x.waitForMappedWindow(ScoreTableTitle, within(10s));
        QVERIFY2(table, qPrintable(x.errorString() + korvu.output()));
        shown = *table;
        owner = start;
        break;
    }
    case Window::About: {
        QVERIFY2(x.click(start, Bilgi.center()), qPrintable(x.errorString()));
        const auto about = x.waitForMappedWindow(AboutTitle, within(10s));
        QVERIFY2(about, qPrintable(x.errorString() + korvu.output()));
        shown = *about;
        break;
    }
    case Window::Game:
    case Window::NameDialog: {
        QVERIFY2(x.click(start, Baslat.center()), qPrintable(x.errorString()));
        QVERIFY2(run.waitForGameWindow(), qPrintable(run.errorString()));
        const WindowId game = *run.game;
        shown = game;
        if (window == Window::Game)
            break;
        // "Oyun Bitti!" over the active game window takes the keyboard, as before.
        const auto box = x.waitForMappedWindow(MessageTitle, within(10s));
        QVERIFY2(box, qPrintable(x.errorString() + korvu.output()));
        QVERIFY2(waitFor(within(5s), [&] { return x.activeWindow() == box; }),
                 "the game-over box over the active game window did not get the keyboard");
        // The game window's close button is no answer to its box or dialog: the
        // run goes on, and ends cleanly later with the name typed.
        QVERIFY2(x.requestClose(game), qPrintable(x.errorString()));
        QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
        // The name dialog has no title: it is the program's one new window.
        std::optional<WindowId> dialog;
        waitFor(within(5s), [&] {
            QList<WindowId> windows =
                    x.windowsOfProcess(korvu.processId(), XSession::Mapping::MappedOnly);
            windows.removeAll(game);
            windows.removeAll(*box);
            if (windows.size() == 1)
                dialog = windows.first();
            return dialog.has_value();
        });
        QVERIFY2(dialog, "no name dialog after a score that beats row 1");
        QCOMPARE(x.clientSize(*dialog), std::optional(NameDialogSize));
        QVERIFY2(x.requestClose(game), qPrintable(x.errorString()));
        shown = *dialog;
        owner = game;
        break;
    }
    }

    // The manager gives the new window the keyboard; the test gives it nothing.
    QVERIFY2(waitFor(within(5s), [&] { return x.activeWindow() == shown; }),
             qPrintable(QStringLiteral("window %1 is not active; %2 is")
                                .arg(shown)
                                .arg(x.activeWindow().value_or(0))));

    // The frame asked for, and the frame drawn: a title bar makes the top of the
    // frame deeper than its sides.
    const std::optional<QList<quint32>> motif = x.property(shown, "_MOTIF_WM_HINTS");
    QVERIFY2(motif && motif->size() >= 3, qPrintable(x.errorString()));
    const quint32 functions = motif->at(1);
    const quint32 decorations = motif->at(2);
    QVERIFY2(decorations & DecorBorder, qPrintable(QString::number(decorations, 16)));
    QCOMPARE(bool(decorations & DecorTitle), frame == Frame::TitleAndClose);
    QCOMPARE(decorations & (DecorMinimize | DecorMaximize), 0u);
    QCOMPARE(functions & (FunctionMinimize | FunctionMaximize), 0u);
    QVERIFY2(functions & FunctionClose, qPrintable(QString::number(functions, 16)));
    const std::optional<QList<quint32>> extents = x.property(shown, "_NET_FRAME_EXTENTS");
    QVERIFY2(extents && extents->size() == 4, qPrintable(x.errorString()));
    const quint32 side = extents->at(0);
    QVERIFY2(side > 0 && extents->at(1) == side && extents->at(3) >= side,
             "no border drawn around the window");
    QCOMPARE(extents->at(2) > side, frame == Frame::TitleAndClose);
    // What the manager lets the player do; Openbox offers minimising to every window.
    const QStringList actions = x.atomNames(shown, "_NET_WM_ALLOWED_ACTIONS");
    QVERIFY2(actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")), qPrintable(actions.join(' ')));
    if (frame == Frame::TitleAndClose)
        QVERIFY2(!actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE_HORZ")),
                 qPrintable(actions.join(' ')));
    else
        QVERIFY2((functions & FunctionResize)
                         && actions.contains(QStringLiteral("_NET_WM_ACTION_RESIZE")),
                 qPrintable(actions.join(' ')));

    switch (placement) {
    case Placement::Default:
        break;
    case Placement::CentredOnOwner: {
        // Whole frames centred on each other, to the pixel that halving allows.
        const std::optional<QRect> outer = outerFrame(x, shown);
        const std::optional<QRect> ownerOuter = outerFrame(x, *owner);
        QVERIFY2(outer && ownerOuter, qPrintable(x.errorString()));
        const QPoint offCentre = (outer->topLeft() * 2 + QPoint(outer->width(), outer->height()))
                - (ownerOuter->topLeft() * 2
                   + QPoint(ownerOuter->width(), ownerOuter->height()));
        QVERIFY2(qAbs(offCentre.x()) <= 1 && qAbs(offCentre.y()) <= 1,
                 qPrintable(QStringLiteral("frame %1 is not centred on its owner's %2")
                                    .arg(rectText(outer), rectText(ownerOuter))));
        break;
    }
    case Placement::Fixed:
        QCOMPARE(rectText(x.geometry(shown)), rectText(AboutPlace));
        break;
    }

    // Keys go wherever the keyboard is; what they do shows which control has it.
    switch (window) {
    case Window::Start: {
        // The size box: the stored 5 becomes 7, and Enter starts a game of that size.
        QVERIFY2(x.pressKeys({QStringLiteral("BackSpace"), QStringLiteral("7"),
                              QStringLiteral("Return")}),
                 qPrintable(x.errorString()));
        QVERIFY2(run.waitForGameWindow(), qPrintable(run.errorString()));
        QCOMPARE(x.clientSize(*run.game), std::optional(QSize(Columns * 7, Rows * 7)));
        break;
    }
    case Window::ScoreTable: {
        // "Sil": Enter asks before clearing; Esc answers No.
        QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
        const auto ask = x.waitForMappedWindow(ClearTitle, within(5s));
        QVERIFY2(ask, "Enter in the score table did not press \"Sil\"");
        QVERIFY2(x.pressKeys({QStringLiteral("Escape")}), qPrintable(x.errorString()));
        QVERIFY2(x.waitUntilUnmapped(*ask, within(5s)), qPrintable(x.errorString()));
        break;
    }
    case Window::About:
        // "&Tamam": Enter closes the box.
        QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
        QVERIFY2(x.waitUntilUnmapped(shown, within(5s)), qPrintable(x.errorString()));
        break;
    case Window::Game: {
        // The window itself: an arrow key turns the worm out of row 2.
        QVERIFY2(x.pressKeys({QStringLiteral("Down")}), qPrintable(x.errorString()));
        const auto turnedDown = [](const QImage &shot) { return wormBelowRowTwo(shot, 5); };
        const QImage turned = x.waitForScreenshot(shown, within(5s), turnedDown);
        QVERIFY2(turnedDown(turned), "the arrow key did not reach the game");
        break;
    }
    case Window::NameDialog: {
        // The text box: what is typed becomes row 1's name.
        QVERIFY2(x.pressKeys({QStringLiteral("ctrl+a")}), qPrintable(x.errorString()));
        QVERIFY2(x.typeText(QStringLiteral("Deniz")), qPrintable(x.errorString()));
        QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
        QVERIFY2(x.waitUntilUnmapped(shown, within(5s)), qPrintable(x.errorString()));
        QString name;
        waitFor(within(5s), [&] {
            name = korvu.storedValue(QStringLiteral("Highscore/Name1"));
            return name == QStringLiteral("Deniz");
        });
        QCOMPARE(name, QStringLiteral("Deniz"));
        QVERIFY2(run.closeAndEndCleanly(*owner), qPrintable(run.errorString()));
        break;
    }
    }
}

void tst_RealWindowManaged::gameOverInTheBackgroundLeavesTheKeyboardAndAsksForAttention_data()
{
    QTest::addColumn<WayBack>("wayBack");
    QTest::newRow("task bar") << WayBack::Activate;
    QTest::newRow("key in the game window") << WayBack::KeyInGameWindow;
    QTest::newRow("close button") << WayBack::CloseRequest;
}

// While the player works in another program, a game ends: the keyboard stays
// where it is and the game window asks for attention. The player comes back,
// by the task bar, a key in the game window or its close button, and finds
// "Oyun Bitti!", which stays until the player closes it: a close request is
// no answer to a box it came before. Enter closes it.
void tst_RealWindowManaged::gameOverInTheBackgroundLeavesTheKeyboardAndAsksForAttention()
{
    QFETCH(WayBack, wayBack);
    XRun run(XSession::Desktop::Openbox);
    XSession &x = run.session;
    // "Speed 5": three seconds to the wall leave time to turn away.
    QVERIFY2(run.korvu.prepareQuickGameOver(4, false), qPrintable(run.korvu.errorString()));
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    const auto other = x.createWindow(QStringLiteral("Another program"), QRect(600, 500, 200, 100));
    QVERIFY2(other, qPrintable(x.errorString()));

    QVERIFY2(x.click(*run.start, Baslat.center()), qPrintable(x.errorString()));
    QVERIFY2(run.waitForGameWindow(), qPrintable(run.errorString()));
    const WindowId game = *run.game;
    QVERIFY2(x.activate(*other), qPrintable(x.errorString()));
    QVERIFY2(waitFor(within(5s), [&] { return x.activeWindow() == other; }),
             "the other program did not get the keyboard");

    // The game ends behind the other program's window: the game window asks for
    // attention, by its urgency hint and through the manager, and no box takes
    // the keyboard, then or a moment later.
    const auto urgent = [&] {
        const auto hints = x.property(game, "WM_HINTS");
        return hints && !hints->isEmpty() && (hints->first() & UrgencyHint);
    };
    const auto demandsAttention = [&] {
        return x.atomNames(game, "_NET_WM_STATE")
                .contains(QStringLiteral("_NET_WM_STATE_DEMANDS_ATTENTION"));
    };
    waitFor(within(10s), [&] { return urgent() && demandsAttention(); });
    QVERIFY2(urgent(), "the game window did not set its urgency hint");
    QVERIFY2(demandsAttention(), qPrintable(x.atomNames(game, "_NET_WM_STATE").join(' ')));
    const bool disturbed = waitFor(within(1500ms), [&] {
        return x.activeWindow() != other
                || !x.windowsTitled(MessageTitle, XSession::Mapping::MappedOnly).isEmpty();
    });
    QVERIFY2(!disturbed,
             qPrintable(QStringLiteral("the game-over box showed or took the keyboard: window "
                                       "%1 is active")
                                .arg(x.activeWindow().value_or(0))));

    switch (wayBack) {
    case WayBack::Activate:
        QVERIFY2(x.activate(game), qPrintable(x.errorString()));
        break;
    case WayBack::KeyInGameWindow:
        QVERIFY2(x.sendKeys(game, {QStringLiteral("space")}), qPrintable(x.errorString()));
        break;
    case WayBack::CloseRequest:
        QVERIFY2(x.requestClose(game), qPrintable(x.errorString()));
        break;
    }
    const auto box = x.waitForMappedWindow(MessageTitle, within(5s));
    QVERIFY2(box, qPrintable(x.errorString() + run.korvu.output()));
    QVERIFY2(!urgent(), "the game window still asks for attention");
    QVERIFY2(!waitFor(within(1s), [&] { return !x.isMapped(*box); }),
             "the game-over box went away by itself");
    if (wayBack != WayBack::Activate)
        QVERIFY2(x.activate(game), qPrintable(x.errorString()));
    QVERIFY2(waitFor(within(5s), [&] { return x.activeWindow() == box; }),
             "the game-over box does not have the keyboard");
    QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(*box, within(5s)), qPrintable(x.errorString()));
    QVERIFY2(waitFor(within(5s), [&] { return x.activeWindow() == game; }),
             "the keyboard did not go back to the game window");
    QVERIFY(run.korvu.isRunning());
}

QTEST_MAIN(tst_RealWindowManaged)
#include "tst_RealWindowManaged.moc"

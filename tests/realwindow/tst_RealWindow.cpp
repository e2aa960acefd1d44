#include "tests/realwindow/BoardPicture.h"
#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/ScreenText.h"
#include "tests/realwindow/Waiting.h"
#include "tests/realwindow/WormPlayer.h"
#include "tests/realwindow/XSession.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

using WindowId = XSession::WindowId;

const QRect Screen(0, 0, 1024, 768);
const QString ClearTitle = QStringLiteral("Skor Tablosu Sil");
// Where the about box's client area always opens on the screen.
const QRect AboutPlace(156, 129, 382, 237);

// _MOTIF_WM_HINTS is flags, functions, decorations, ...
enum : quint32 { FunctionResize = 2, FunctionMinimize = 8, FunctionMaximize = 16, FunctionClose = 32 };
enum : quint32 { DecorBorder = 2, DecorTitle = 8, DecorMinimize = 32, DecorMaximize = 64 };
// The ICCCM urgency flag, in the first word of WM_HINTS.
constexpr quint32 UrgencyHint = 1u << 8;

enum class Frame { TitleAndClose, BorderOnly };
// How the player comes back to a game that ended in the background.
enum class WayBack { Activate, KeyInGameWindow, CloseRequest };

// A window as the player sees it: its client area, grown by the frame the
// manager reports drawing around it, if any.
std::optional<QRect> outerFrame(const XSession &x, WindowId window)
{
    const std::optional<QRect> client = x.geometry(window);
    const std::optional<QList<quint32>> extents = x.property(window, "_NET_FRAME_EXTENTS");
    if (!client || !extents || extents->size() != 4)
        return client;
    // left, right, top, bottom
    return client->adjusted(-int(extents->at(0)), -int(extents->at(2)), int(extents->at(1)),
                            int(extents->at(3)));
}

QString rectText(const std::optional<QRect> &rect)
{
    return rect ? QStringLiteral("(%1, %2) %3 x %4")
                          .arg(rect->x())
                          .arg(rect->y())
                          .arg(rect->width())
                          .arg(rect->height())
                : QStringLiteral("none");
}

// The keys that type a cell size.
QStringList digitKeys(int size)
{
    return QString::number(size).split(QString(), Qt::SkipEmptyParts);
}

// What is wrong with the frame a managed window asks for and gets; empty when
// nothing is. A title bar makes the top of the frame deeper than its sides.
QString frameProblem(const XSession &x, WindowId window, Frame frame)
{
    const std::optional<QList<quint32>> motif = x.property(window, "_MOTIF_WM_HINTS");
    if (!motif || motif->size() < 3)
        return QStringLiteral("no _MOTIF_WM_HINTS: ") + x.errorString();
    const quint32 functions = motif->at(1);
    const quint32 decorations = motif->at(2);
    const bool titled = frame == Frame::TitleAndClose;
    if (!(decorations & DecorBorder) || bool(decorations & DecorTitle) != titled
        || (decorations & (DecorMinimize | DecorMaximize)))
        return QStringLiteral("decorations %1 asked for").arg(decorations, 0, 16);
    if ((functions & (FunctionMinimize | FunctionMaximize)) || !(functions & FunctionClose))
        return QStringLiteral("functions %1 asked for").arg(functions, 0, 16);
    const std::optional<QList<quint32>> extents = x.property(window, "_NET_FRAME_EXTENTS");
    if (!extents || extents->size() != 4)
        return QStringLiteral("no frame extents: ") + x.errorString();
    const quint32 side = extents->at(0);
    if (side == 0 || extents->at(1) != side || extents->at(3) < side)
        return QStringLiteral("no border drawn around the window");
    if ((extents->at(2) > side) != titled)
        return QStringLiteral("a top edge of %1 beside sides of %2").arg(extents->at(2)).arg(side);
    // What the manager lets the player do; Openbox offers minimising to every window.
    const QStringList actions = x.atomNames(window, "_NET_WM_ALLOWED_ACTIONS");
    const bool allowed = actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE"))
            && (titled ? !actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE_HORZ"))
                       : (functions & FunctionResize)
                               && actions.contains(QStringLiteral("_NET_WM_ACTION_RESIZE")));
    return allowed ? QString() : QStringLiteral("allowed: ") + actions.join(QLatin1Char(' '));
}

// Why `placed` is not where a window centred on `owner` lies (to the pixel that
// halving allows) once moved the least distance that puts it wholly on the
// screen; empty when it is.
QString centringProblem(const std::optional<QRect> &placed, const std::optional<QRect> &owner)
{
    const auto fits = [](int start, int length, int ownerStart, int ownerLength, int screen) {
        const int offCentre = 2 * start + length - (2 * ownerStart + ownerLength);
        return qAbs(offCentre) <= 1 || (start == 0 && offCentre > 0)
                || (start + length == screen && offCentre < 0);
    };
    if (placed && owner && Screen.contains(*placed)
        && fits(placed->x(), placed->width(), owner->x(), owner->width(), Screen.width())
        && fits(placed->y(), placed->height(), owner->y(), owner->height(), Screen.height()))
        return {};
    return QStringLiteral("%1 over %2").arg(rectText(placed), rectText(owner));
}

// Why the box is not "Oyun Bitti!" beside the whole board of cells of `size`,
// on the screen; empty when it is.
QString gameOverBoxProblem(const XSession &x, WindowId box, WindowId game, int size)
{
    const QImage message = renderedText(QStringLiteral("Oyun Bitti!"));
    const QImage shot = x.waitForScreenshot(box, within(5s), [&message](const QImage &picture) {
        return containsText(picture, message);
    });
    if (message.isNull() || !containsText(shot, message))
        return QStringLiteral("the message box does not show \"Oyun Bitti!\"");
    const std::optional<QRect> board = x.geometry(game);
    const std::optional<QRect> boxFrame = outerFrame(x, box);
    if (!board || board->size() != QSize(Columns * size, Rows * size) || !boxFrame
        || boxFrame->intersects(*board) || !Screen.contains(*boxFrame))
        return QStringLiteral("the box at %1 is not beside the board at %2")
                .arg(rectText(boxFrame), rectText(board));
    return {};
}

// Once no worm lies below row 2, as on a board begun anew, and with the pointer
// parked in a corner, clear of every window, Down is pressed until the worm
// shows it has turned: it reaches the game only if the game window has the keyboard.
bool steersDown(const XSession &x, WindowId game, int size)
{
    const auto inRowTwo = [size](const QImage &shot) {
        return shot.size() == QSize(Columns * size, Rows * size) && !wormBelowRowTwo(shot, size);
    };
    const auto down = [&x] { return x.pressKeys({QStringLiteral("Down")}); };
    if (!inRowTwo(x.waitForScreenshot(game, within(5s), inRowTwo))
        || !x.movePointer(Screen.bottomRight()) || !down())
        return false;
    const QImage turned = x.waitForScreenshot(game, within(3s), [&](const QImage &shot) {
        if (wormBelowRowTwo(shot, size))
            return true;
        down();
        return false;
    });
    return wormBelowRowTwo(turned, size);
}

// On a board begun anew after a game over, the column of the new worm's head in
// row 2; otherwise nothing, and why. The old worm was steered down out of row 2;
// the new one starts in it.
std::optional<int> newWormHead(const QImage &shot, int size, QString &why)
{
    if (shot.size() != QSize(Columns * size, Rows * size) || !brokenWall(shot, size).isEmpty()) {
        why = QStringLiteral("no whole wall ring on a picture of %1 x %2")
                      .arg(shot.width())
                      .arg(shot.height());
        return std::nullopt;
    }
    if (wormBelowRowTwo(shot, size)) {
        why = QStringLiteral("the old worm is still on the board");
        return std::nullopt;
    }
    for (int column = Columns - 2; column >= 1; --column) {
        if (cellColour(shot, size, column, 2) == Black)
            return column;
    }
    why = QStringLiteral("no worm in row 2");
    return std::nullopt;
}

// Why the game window does not clear its board after a game over and start a
// worm at the left that moves on, the timer running again; empty when it does.
QString restartProblem(const XSession &x, WindowId game, int size)
{
    QString why;
    const QImage restarted = x.waitForScreenshot(game, within(5s), [&](const QImage &shot) {
        return newWormHead(shot, size, why).has_value();
    });
    const std::optional<int> head = newWormHead(restarted, size, why);
    if (!head)
        return why;
    const QImage movedOn = x.waitForScreenshot(game, within(5s), [&](const QImage &shot) {
        return newWormHead(shot, size, why).value_or(0) > *head;
    });
    if (newWormHead(movedOn, size, why).value_or(0) <= *head)
        return QStringLiteral("the new worm stays at column %1: %2").arg(*head).arg(why);
    return {};
}

bool hasInk(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                return true;
        }
    }
    return false;
}

// Every file under the program's configuration folder.
QStringList filesWritten(const KorvuProcess &korvu)
{
    QStringList written;
    QDirIterator files(korvu.configFolder(), QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        written << QDir(korvu.configFolder()).relativeFilePath(files.next());
    written.sort();
    return written;
}

} // namespace

// The built program, run on a display of the test's own and driven through X
// alone, as a player would: keys, clicks, and what the windows show. One whole
// run on a bare server, one under Openbox.
class tst_RealWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void aWholeRunOnABareServer_data();
    void aWholeRunOnABareServer();
    void aWholeRunUnderOpenbox_data();
    void aWholeRunUnderOpenbox();
};

void tst_RealWindow::initTestCase()
{
    // The program draws with this style; the reference text must match it.
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void tst_RealWindow::aWholeRunOnABareServer_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<bool>("nameDialog");
    // A first start's table is beaten by a food's point.
    QTest::newRow("first start, size 10, two foods") << 10 << true << true;
    for (const int size : {2, 5, 7, 30}) {
        // Centred on a small board at the screen's edge, the name dialog would
        // reach past it.
        const bool nameDialog = size <= 5;
        QTest::addRow("size %d%s", size, nameDialog ? ", name dialog" : "")
                << size << false << nameDialog;
    }
}

// With no window manager: the size typed over the one shown, Enter in the start
// window starts a game and hides it, and the board is drawn. On a first start
// the worm is steered by what the board shows onto two foods, each raising the
// score label, and then into a wall; later starts at "Speed 9" with one bump
// allowed run right into it on their own. "Oyun Bitti!" opens beside the board,
// on the screen. Where the score beats row 1, the name dialog comes next, wholly
// on the screen, and offers "Oyuncu 1"; the name typed, blanks and all, is
// saved. Then the game window has the keyboard again, wherever the pointer is:
// nothing gives it back but the program itself, and its worm is steered down.
// In a later start the second box does not wait for the keyboard, and a third
// game begins. Closing the game window saves and ends the program cleanly.
void tst_RealWindow::aWholeRunOnABareServer()
{
    QFETCH(int, size);
    QFETCH(bool, firstStart);
    QFETCH(bool, nameDialog);
    constexpr int FoodsToEat = 2;
    const QString typedName = QStringLiteral("  Ada Nur  ");
    XRun run;
    const XSession &x = run.session;
    KorvuProcess &korvu = run.korvu;
    if (!firstStart)
        QVERIFY2(korvu.prepareQuickGameOver(8, nameDialog), qPrintable(korvu.errorString()));
    QCOMPARE(QFileInfo::exists(korvu.settingsFile()), !firstStart);
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    // Focus starts in the size box; Enter reaches the default button "Baslat".
    QVERIFY2(run.startGame(QStringList{QStringLiteral("ctrl+a")} + digitKeys(size)),
             qPrintable(run.errorString()));
    QVERIFY2(x.waitUntilUnmapped(*run.start, within(5s)), qPrintable(x.errorString()));
    const WindowId game = *run.game;
    QCOMPARE(x.clientSize(game).value_or(QSize()), QSize(Columns * size, Rows * size));
    QString problem;
    x.waitForScreenshot(game, within(5s), [&](const QImage &shot) {
        problem = boardProblem(shot, size);
        return problem.isEmpty();
    });
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    std::optional<WindowId> box;
    int foods = 0;
    if (firstStart) {
        QVERIFY2(x.focus(game), qPrintable(x.errorString()));
        const PlayedGame played = playUntilGameOver(x, game, size, FoodsToEat, within(45s));
        QVERIFY2(played.box, qPrintable(played.error + korvu.output()));
        QVERIFY2(played.foods >= FoodsToEat,
                 qPrintable(QStringLiteral("the game ended early: ") + played.state));
        QVERIFY2(played.againstAWall,
                 qPrintable(QStringLiteral("the game ended away from a wall: ") + played.state));
        // The label over row 0 changed with every food, and never went blank.
        QCOMPARE(int(played.scoreStrips.size()), played.foods + 1);
        for (int eaten = 0; eaten <= played.foods; ++eaten) {
            QVERIFY2(hasInk(played.scoreStrips[eaten]),
                     qPrintable(QStringLiteral("no score shown after %1 foods").arg(eaten)));
            QVERIFY2(eaten == 0 || played.scoreStrips[eaten] != played.scoreStrips[eaten - 1],
                     qPrintable(QStringLiteral("the score label kept its text at food %1")
                                        .arg(eaten)));
        }
        box = played.box;
        foods = played.foods;
    }

    // The first start's "Speed 1" and two bumps make a second game over slow.
    for (int gameOver = 1; gameOver <= (firstStart ? 1 : 2); ++gameOver) {
        // Nineteen ticks of 50 ms bring the head against the right wall; at the
        // 400 ms of a store that was not read it would take eight seconds.
        if (!box)
            box = x.waitForMappedWindow(MessageTitle, within(5s));
        QVERIFY2(box, qPrintable(QStringLiteral("no box at game over %1: ").arg(gameOver)
                                 + x.errorString() + korvu.output()));
        QCOMPARE(gameOverBoxProblem(x, *box, game, size), QString());
        QVERIFY2(x.focus(*box), qPrintable(x.errorString()));
        QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
        QVERIFY2(x.waitUntilUnmapped(*box, within(5s)), qPrintable(x.errorString()));
        box.reset();

        if (gameOver == 1 && nameDialog) {
            const auto dialog = x.waitForOtherWindow(korvu.processId(), {game}, within(5s));
            QVERIFY2(dialog, "no name dialog after a score that beats row 1");
            QCOMPARE(x.clientSize(*dialog).value_or(QSize()), NameDialogSize);
            QCOMPARE(centringProblem(outerFrame(x, *dialog), x.geometry(game)), QString());
            // What the text box shows, copied out through the clipboard.
            QVERIFY2(x.focus(*dialog), qPrintable(x.errorString()));
            QVERIFY2(x.pressKeys({QStringLiteral("ctrl+a"), QStringLiteral("ctrl+c")}),
                     qPrintable(x.errorString()));
            std::optional<QString> shown;
            waitFor(within(5s), [&] { return (shown = x.clipboardText(within(1s))).has_value(); });
            QCOMPARE(shown, std::optional(QStringLiteral("Oyuncu 1")));
            // Typing replaces the selected text; Enter presses "Kaydet".
            QVERIFY2(x.typeText(typedName), qPrintable(x.errorString()));
            QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
            QVERIFY2(x.waitUntilUnmapped(*dialog, within(5s)), qPrintable(x.errorString()));
        }

        if (gameOver == 1)
            QVERIFY2(steersDown(x, game, size), "the arrow key did not reach the second game");
        else
            QCOMPARE(restartProblem(x, game, size), QString());
        // The next game runs in the game window that stayed open, and in no other.
        QVERIFY(x.isMapped(game));
        QCOMPARE(x.windowsTitled(GameTitle, XSession::Mapping::Any), QList<WindowId>{game});
    }

    QVERIFY2(run.closeAndEndCleanly(game), qPrintable(run.errorString()));
    // One settings file and the lock its saves take turns on, where the store
    // keeps them, and nothing else.
    QCOMPARE(filesWritten(korvu),
             QStringList({"Korvu/Korvu.conf", "Korvu/Korvu.conf.commit-lock"}));
    QSettings stored(korvu.settingsFile(), QSettings::IniFormat);
    QCOMPARE(stored.status(), QSettings::NoError);
    QCOMPARE(stored.value(QStringLiteral("Options/Size")).toString(), QString::number(size));
    if (nameDialog) {
        QCOMPARE(stored.value(QStringLiteral("Highscore/Name1")).toString(), typedName);
        QCOMPARE(stored.value(QStringLiteral("Highscore/Score1")).toString(),
                 QString::number(foods));
    }
    if (!firstStart)
        return;
    // Every key of a first start, and no other: the rows below row 1 keep its
    // empty entries.
    const QList<std::pair<QString, QString>> firstStartKeys{
            {QStringLiteral("Options/HardCore"), QStringLiteral("2")},
            {QStringLiteral("Options/Played"), QStringLiteral("True")},
            {QStringLiteral("Options/Speed"), QStringLiteral("0")},
            {QStringLiteral("Options/PPFood"), QStringLiteral("1")},
            {QStringLiteral("Highscore/Name2"), QString()},
            {QStringLiteral("Highscore/Name3"), QString()},
            {QStringLiteral("Highscore/Name4"), QString()},
            {QStringLiteral("Highscore/Score2"), QStringLiteral("0")},
            {QStringLiteral("Highscore/Score3"), QStringLiteral("0")},
            {QStringLiteral("Highscore/Score4"), QStringLiteral("0")},
    };
    QStringList expectedKeys{QStringLiteral("Options/Size"), QStringLiteral("Highscore/Name1"),
                             QStringLiteral("Highscore/Score1")};
    for (const auto &[key, value] : firstStartKeys) {
        expectedKeys << key;
        QVERIFY2(stored.contains(key), qPrintable(key));
        QCOMPARE(stored.value(key).toString(), value);
    }
    QStringList storedKeys = stored.allKeys();
    storedKeys.sort();
    expectedKeys.sort();
    QCOMPARE(storedKeys, expectedKeys);
}

void tst_RealWindow::aWholeRunUnderOpenbox_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<WayBack>("wayBack");
    QTest::newRow("size 2, back by the task bar") << 2 << WayBack::Activate;
    QTest::newRow("size 5, back by a key in the game window") << 5 << WayBack::KeyInGameWindow;
    QTest::newRow("size 7, back by the close button") << 7 << WayBack::CloseRequest;
    QTest::newRow("size 30, back by the task bar") << 30 << WayBack::Activate;
}

// Under Openbox, as a player has it on a desktop: the manager gives each window
// the keyboard as it opens, and each has the frame it asks for, at its place.
// In the start window the size box has the keyboard; in the score table "Sil",
// whose question Esc answers No; in the about box "&Tamam". The first game ends
// while the player works in another program: the keyboard stays there, and the
// game window asks for attention until the player comes back, by the task bar,
// a key in the game window or its close button, to "Oyun Bitti!" beside the
// board, which stays until answered. Close requests under the box and the name
// dialog are no answer; the name typed is saved, and the keyboard goes back to
// the game window. The second game, steered down, ends in front of the player,
// its box taking the keyboard, and a third begins.
void tst_RealWindow::aWholeRunUnderOpenbox()
{
    QFETCH(int, size);
    QFETCH(WayBack, wayBack);
    XRun run(XSession::Desktop::Openbox);
    XSession &x = run.session;
    KorvuProcess &korvu = run.korvu;
    const auto becomesActive = [&x](WindowId window) {
        return waitFor(within(5s), [&] { return x.activeWindow() == window; });
    };
    // "Speed 5": three seconds to the wall leave time to turn away. A score of
    // 0 beats row 1 once.
    QVERIFY2(korvu.prepareQuickGameOver(4, true), qPrintable(korvu.errorString()));
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    const WindowId start = *run.start;
    QVERIFY2(becomesActive(start), "the start window did not get the keyboard");
    QCOMPARE(frameProblem(x, start, Frame::TitleAndClose), QString());
    // The stored 5 in the size box becomes the row's size; a game shows it.
    QVERIFY2(x.pressKeys(QStringList{QStringLiteral("BackSpace")} + digitKeys(size)),
             qPrintable(x.errorString()));

    QVERIFY2(x.click(start, SkorTablo.center()), qPrintable(x.errorString()));
    const auto table = x.waitForMappedWindow(ScoreTableTitle, within(10s));
    QVERIFY2(table, qPrintable(x.errorString() + korvu.output()));
    QVERIFY2(becomesActive(*table), "the score table did not get the keyboard");
    QCOMPARE(frameProblem(x, *table, Frame::TitleAndClose), QString());
    QCOMPARE(centringProblem(outerFrame(x, *table), outerFrame(x, start)), QString());
    QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
    const auto ask = x.waitForMappedWindow(ClearTitle, within(5s));
    QVERIFY2(ask, "Enter in the score table did not press \"Sil\"");
    QVERIFY2(x.pressKeys({QStringLiteral("Escape")}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(*ask, within(5s)), qPrintable(x.errorString()));
    QVERIFY2(becomesActive(*table), "the keyboard did not go back to the score table");
    QVERIFY2(x.pressKeys({QStringLiteral("Escape")}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(*table, within(5s)), qPrintable(x.errorString()));

    QVERIFY2(x.click(start, Bilgi.center()), qPrintable(x.errorString()));
    const auto about = x.waitForMappedWindow(AboutTitle, within(10s));
    QVERIFY2(about, qPrintable(x.errorString() + korvu.output()));
    QVERIFY2(becomesActive(*about), "the about box did not get the keyboard");
    QCOMPARE(frameProblem(x, *about, Frame::TitleAndClose), QString());
    QCOMPARE(rectText(x.geometry(*about)), rectText(AboutPlace));
    QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(*about, within(5s)), qPrintable(x.errorString()));

    const auto other = x.createWindow(QStringLiteral("Another program"), QRect(600, 500, 200, 100));
    QVERIFY2(other, qPrintable(x.errorString()));
    QVERIFY2(x.click(start, Baslat.center()), qPrintable(x.errorString()));
    QVERIFY2(run.waitForGameWindow(), qPrintable(run.errorString()));
    const WindowId game = *run.game;
    QCOMPARE(x.clientSize(game).value_or(QSize()), QSize(Columns * size, Rows * size));
    QVERIFY2(becomesActive(game), "the game window did not get the keyboard");
    QCOMPARE(frameProblem(x, game, Frame::TitleAndClose), QString());
    QVERIFY2(x.activate(*other), qPrintable(x.errorString()));
    QVERIFY2(becomesActive(*other), "the other program did not get the keyboard");

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
    QVERIFY2(!waitFor(within(1500ms),
                      [&] {
                          return x.activeWindow() != other
                                  || !x.windowsTitled(MessageTitle, XSession::Mapping::MappedOnly)
                                              .isEmpty();
                      }),
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
    QVERIFY2(box, qPrintable(x.errorString() + korvu.output()));
    QVERIFY2(!urgent(), "the game window still asks for attention");
    QVERIFY2(!waitFor(within(1s), [&] { return !x.isMapped(*box); }),
             "the game-over box went away by itself");
    if (wayBack != WayBack::Activate)
        QVERIFY2(x.activate(game), qPrintable(x.errorString()));
    QVERIFY2(becomesActive(*box), "the game-over box does not have the keyboard");
    QCOMPARE(gameOverBoxProblem(x, *box, game, size), QString());
    // The game window's close button is no answer to its box or dialog: the run
    // goes on, and ends cleanly later with the name typed.
    QVERIFY2(x.requestClose(game), qPrintable(x.errorString()));
    QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(*box, within(5s)), qPrintable(x.errorString()));

    const auto dialog = x.waitForOtherWindow(korvu.processId(), {game}, within(5s));
    QVERIFY2(dialog, "no name dialog after a score that beats row 1");
    QCOMPARE(x.clientSize(*dialog).value_or(QSize()), NameDialogSize);
    QVERIFY2(x.requestClose(game), qPrintable(x.errorString()));
    QVERIFY2(becomesActive(*dialog), "the name dialog did not get the keyboard");
    QCOMPARE(frameProblem(x, *dialog, Frame::BorderOnly), QString());
    QCOMPARE(centringProblem(outerFrame(x, *dialog), outerFrame(x, game)), QString());
    // The text box has the keyboard: what is typed becomes row 1's name.
    QVERIFY2(x.pressKeys({QStringLiteral("ctrl+a")}), qPrintable(x.errorString()));
    QVERIFY2(x.typeText(QStringLiteral("Deniz")), qPrintable(x.errorString()));
    QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(*dialog, within(5s)), qPrintable(x.errorString()));
    QString name;
    waitFor(within(5s), [&] {
        name = korvu.storedValue(QStringLiteral("Highscore/Name1"));
        return name == QStringLiteral("Deniz");
    });
    QCOMPARE(name, QStringLiteral("Deniz"));
    QVERIFY2(becomesActive(game), "the keyboard did not go back to the game window");
    QVERIFY2(steersDown(x, game, size), "the arrow key did not reach the second game");

    // "Oyun Bitti!" over the active game window takes the keyboard.
    const auto secondBox = x.waitForMappedWindow(MessageTitle, within(5s));
    QVERIFY2(secondBox, qPrintable(x.errorString() + korvu.output()));
    QVERIFY2(becomesActive(*secondBox), "the game-over box did not get the keyboard");
    QCOMPARE(gameOverBoxProblem(x, *secondBox, game, size), QString());
    QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(*secondBox, within(5s)), qPrintable(x.errorString()));
    QCOMPARE(restartProblem(x, game, size), QString());
    QCOMPARE(x.windowsTitled(GameTitle, XSession::Mapping::Any), QList<WindowId>{game});

    QVERIFY2(run.closeAndEndCleanly(game), qPrintable(run.errorString()));
    QCOMPARE(korvu.storedValue(QStringLiteral("Options/Size")), QString::number(size));
}

QTEST_MAIN(tst_RealWindow)
#include "tst_RealWindow.moc"

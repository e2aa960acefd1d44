#include "tests/realwindow/BoardPicture.h"
#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/ScreenText.h"
#include "tests/realwindow/Waiting.h"
#include "tests/realwindow/XSession.h"

#include <QApplication>
#include <QColor>
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

// Colours compared as "#rrggbb", so that a failure says which colour it saw.
QString colourName(QRgb colour)
{
    return QColor(colour).name();
}

// On a board begun anew after a game over, the column of the new worm's head in
// row 2; otherwise nothing, and why. The old worm ended against the right wall
// in columns 16 to 20; the new one starts at column 2 and reaches column 17
// only after its head has passed column 16.
std::optional<int> newWormHead(const QImage &shot, int size, QString &why)
{
    if (shot.size() != QSize(Columns * size, Rows * size)) {
        why = QStringLiteral("a picture of %1 x %2").arg(shot.width()).arg(shot.height());
        return std::nullopt;
    }
    if (const QString wall = brokenWall(shot, size); !wall.isEmpty()) {
        why = QStringLiteral("wall cell %1 is not black").arg(wall);
        return std::nullopt;
    }
    if (cellColour(shot, size, 17, 2) == Black) {
        why = QStringLiteral("a worm covers column 17 of row 2");
        return std::nullopt;
    }
    for (int column = 16; column >= 1; --column) {
        if (cellColour(shot, size, column, 2) == Black)
            return column;
    }
    why = QStringLiteral("no worm in row 2");
    return std::nullopt;
}

// A window as the player sees it: its client area, grown by the frame the
// manager reports drawing around it, if any.
std::optional<QRect> outerFrame(const XSession &x, XSession::WindowId window)
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

} // namespace

// The built program, run on a display of the test's own and driven through X
// alone, as a player would: keys, clicks, and what the windows show.
class tst_RealWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void enterStartsAGameAndClosingItSavesTheFirstStartSettings();
    void sizeSevenDrawsTheWalledBoardWithOneFoodCell();
    void gameOverBoxLeavesTheBoardInSightAndTheNextGameRuns_data();
    void gameOverBoxLeavesTheBoardInSightAndTheNextGameRuns();
};

void tst_RealWindow::initTestCase()
{
    // The program draws with this style; the reference text must match it.
    QApplication::setStyle(QStringLiteral("Fusion"));
}

// A first start with no settings: Enter in the start window launches the game,
// and closing the game window ends the program cleanly after it has saved every
// first-start key.
void tst_RealWindow::enterStartsAGameAndClosingItSavesTheFirstStartSettings()
{
    XRun run;
    const KorvuProcess &korvu = run.korvu;
    QVERIFY(!QFileInfo::exists(korvu.settingsFile()));
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    // Focus starts in the size box; Enter reaches the default button "Baslat".
    QVERIFY2(run.startGame(), qPrintable(run.errorString()));
    QVERIFY2(run.session.waitUntilUnmapped(*run.start, within(5s)),
             qPrintable(run.session.errorString()));
    QVERIFY2(run.closeAndEndCleanly(*run.game), qPrintable(run.errorString()));

    const QList<std::pair<QString, QString>> expected{
            {QStringLiteral("Options/HardCore"), QStringLiteral("2")},
            {QStringLiteral("Options/Played"), QStringLiteral("True")},
            {QStringLiteral("Options/Speed"), QStringLiteral("0")},
            {QStringLiteral("Options/PPFood"), QStringLiteral("1")},
            {QStringLiteral("Options/Size"), QStringLiteral("5")},
            {QStringLiteral("Highscore/Name1"), QString()},
            {QStringLiteral("Highscore/Name2"), QString()},
            {QStringLiteral("Highscore/Name3"), QString()},
            {QStringLiteral("Highscore/Name4"), QString()},
            {QStringLiteral("Highscore/Score1"), QStringLiteral("0")},
            {QStringLiteral("Highscore/Score2"), QStringLiteral("0")},
            {QStringLiteral("Highscore/Score3"), QStringLiteral("0")},
            {QStringLiteral("Highscore/Score4"), QStringLiteral("0")},
    };
    // One settings file and the lock its saves take turns on, where the store
    // keeps them, and nothing else.
    QStringList written;
    QDirIterator files(korvu.configFolder(), QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        written << QDir(korvu.configFolder()).relativeFilePath(files.next());
    written.sort();
    QCOMPARE(written, QStringList({"Korvu/Korvu.conf", "Korvu/Korvu.conf.commit-lock"}));

    QSettings stored(korvu.settingsFile(), QSettings::IniFormat);
    QCOMPARE(stored.status(), QSettings::NoError);
    QStringList expectedKeys;
    for (const auto &[key, value] : expected) {
        expectedKeys << key;
        QVERIFY2(stored.contains(key), qPrintable(key));
        QCOMPARE(stored.value(key).toString(), value);
    }
    QStringList storedKeys = stored.allKeys();
    storedKeys.sort();
    expectedKeys.sort();
    QCOMPARE(storedKeys, expectedKeys);
}

// Size 7 typed over the stored 5: the window narrows to 22 x 14 cells of 7
// pixels, the wall ring is black, row 0 and the interior keep the background,
// the first food is a single green cell inside the walls, and the size typed is
// what the program saves when it ends.
void tst_RealWindow::sizeSevenDrawsTheWalledBoardWithOneFoodCell()
{
    constexpr int Size = 7;
    XRun run;
    const XSession &x = run.session;
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    QVERIFY2(x.pressKeysIn(*run.start, {QStringLiteral("ctrl+a"), QStringLiteral("7")}),
             qPrintable(x.errorString()));
    // "Baslat" by mouse.
    QVERIFY2(x.click(*run.start, Baslat.center()), qPrintable(x.errorString()));
    QVERIFY2(run.waitForGameWindow(), qPrintable(run.errorString()));
    const XSession::WindowId game = *run.game;
    QCOMPARE(x.clientSize(game), std::optional<QSize>(QSize(Columns * Size, Rows * Size)));

    const QImage board = x.waitForScreenshot(game, within(5s), [](const QImage &shot) {
        return shot.width() > 1 && shot.height() > 8 && colourAt(shot, 1, 8) == Black;
    });
    QVERIFY2(!board.isNull(), qPrintable(x.errorString()));
    QCOMPARE(board.size(), QSize(Columns * Size, Rows * Size));

    QCOMPARE(colourName(colourAt(board, 1, 8)), colourName(Black));    // top wall
    QCOMPARE(colourName(colourAt(board, 148, 50)), colourName(Black)); // right wall
    QCOMPARE(colourName(colourAt(board, 8, 92)), colourName(Black));   // bottom wall
    QCOMPARE(brokenWall(board, Size), QString());

    const QRgb background = colourAt(board, 3, 3);
    QVERIFY2(background != Black && background != Green, qPrintable(colourName(background)));

    // Exactly one 7 x 7 block of pure green, on a cell of the interior.
    QRect food;
    QCOMPARE(foodProblem(board, Size, &food), QString());

    // The first interior cell, left of where the worm starts, unless the food lies there.
    const QRgb firstInterior = colourAt(board, 8, 15);
    QCOMPARE(colourName(firstInterior), colourName(food.contains(8, 15) ? Green : background));

    // Closing the game saves the size as it was typed into the hidden start window.
    QVERIFY2(run.closeAndEndCleanly(game), qPrintable(run.errorString()));
    QSettings stored(run.korvu.settingsFile(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Options/Size")).toString(), QStringLiteral("7"));
}

void tst_RealWindow::gameOverBoxLeavesTheBoardInSightAndTheNextGameRuns_data()
{
    QTest::addColumn<bool>("managed");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("nameDialog");
    for (const bool managed : {false, true}) {
        for (const int size : {2, 5, 7, 30}) {
            // Centred on a small board at the screen's edge, the name dialog would
            // reach past it.
            const bool nameDialog = !managed && size <= 5;
            QTest::addRow("%s, size %d%s", managed ? "Openbox" : "bare", size,
                          nameDialog ? ", name dialog" : "")
                    << managed << size << nameDialog;
        }
    }
}

// With one bump allowed at the fastest speed, the worm runs right into the wall
// on its own, twice: each time "Oyun Bitti!" opens with the whole board and its
// score in sight, on the screen, Enter dismisses it, and the game window that
// stays open clears its board and starts a worm at the left again. The first
// time the name dialog may come next, wholly on the screen; then the game
// window has the keyboard again, wherever the pointer is, and an arrow steers
// the second worm down. On a bare server nothing gives the game window the
// keyboard back but the program itself, and the second box must not wait for it.
void tst_RealWindow::gameOverBoxLeavesTheBoardInSightAndTheNextGameRuns()
{
    QFETCH(bool, managed);
    QFETCH(int, size);
    QFETCH(bool, nameDialog);
    XRun run(managed ? XSession::Desktop::Openbox : XSession::Desktop::Bare);
    const XSession &x = run.session;
    // "Speed 9"; a score of 0 beats the table, and opens the name dialog, only
    // when asked for. A second game could beat the first: one game is played then.
    QVERIFY2(run.korvu.prepareQuickGameOver(8, nameDialog, size),
             qPrintable(run.korvu.errorString()));
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    QVERIFY2(run.startGame(), qPrintable(run.errorString()));
    const XSession::WindowId game = *run.game;
    const QImage message = renderedText(QStringLiteral("Oyun Bitti!"));
    QVERIFY(!message.isNull());
    const QRect screen(0, 0, 1024, 768);

    for (int gameOver = 1; gameOver <= (nameDialog ? 1 : 2); ++gameOver) {
        // Nineteen ticks of 50 ms bring the head against the right wall; at the
        // 400 ms of a store that was not read it would take eight seconds.
        const auto box = x.waitForMappedWindow(MessageTitle, within(5s));
        QVERIFY2(box, qPrintable(QStringLiteral("no box at game over %1: ").arg(gameOver)
                                 + x.errorString() + run.korvu.output()));
        const QImage boxShot = x.waitForScreenshot(*box, within(5s), [&message](const QImage &shot) {
            return containsText(shot, message);
        });
        QVERIFY2(containsText(boxShot, message), "the message box does not show \"Oyun Bitti!\"");

        const std::optional<QRect> board = x.geometry(game);
        const std::optional<QRect> boxFrame = outerFrame(x, *box);
        QVERIFY2(board && boxFrame, qPrintable(x.errorString()));
        QCOMPARE(board->size(), QSize(Columns * size, Rows * size));
        QVERIFY2(!boxFrame->intersects(*board) && screen.contains(*boxFrame),
                 qPrintable(QStringLiteral("the box at %1 is not beside the board at %2")
                                    .arg(rectText(boxFrame), rectText(board))));

        QVERIFY2(x.focus(*box), qPrintable(x.errorString()));
        QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
        QVERIFY2(x.waitUntilUnmapped(*box, within(5s)), qPrintable(x.errorString()));
        QCOMPARE(x.windowsTitled(GameTitle, XSession::Mapping::Any),
                 QList<XSession::WindowId>{game});

        if (nameDialog) {
            // The name dialog has no title: it is the program's one other window.
            std::optional<XSession::WindowId> dialog;
            waitFor(within(5s), [&] {
                QList<XSession::WindowId> windows =
                        x.windowsOfProcess(run.korvu.processId(), XSession::Mapping::MappedOnly);
                windows.removeAll(game);
                dialog = windows.size() == 1 ? std::optional(windows.first()) : std::nullopt;
                return dialog.has_value();
            });
            QVERIFY2(dialog, "no name dialog after a score that beats row 1");
            // Centred on the board, then moved just far enough to lie on the screen:
            // along each axis centred, or against the screen's edge.
            const std::optional<QRect> placed = outerFrame(x, *dialog);
            const QPoint offCentre = placed ? placed->center() - board->center() : QPoint();
            QVERIFY2(placed && screen.contains(*placed)
                             && (qAbs(offCentre.x()) <= 1 || placed->left() == screen.left())
                             && (qAbs(offCentre.y()) <= 1 || placed->top() == screen.top()),
                     qPrintable(QStringLiteral("the name dialog at %1 over the board at %2")
                                        .arg(rectText(placed), rectText(board))));
            QVERIFY2(x.focus(*dialog), qPrintable(x.errorString()));
            QVERIFY2(x.pressKeys({QStringLiteral("Return")}), qPrintable(x.errorString()));
            QVERIFY2(x.waitUntilUnmapped(*dialog, within(5s)), qPrintable(x.errorString()));
        }

        if (gameOver == 1) {
            // Down, pressed until the turn shows, reaches no window of the program
            // unless one has the keyboard: the pointer lies in a corner.
            QVERIFY2(x.movePointer(QPoint(1023, 767)), qPrintable(x.errorString()));
            const auto down = [&x] { return x.pressKeys({QStringLiteral("Down")}); };
            QVERIFY2(down(), qPrintable(x.errorString()));
            const QImage turned = x.waitForScreenshot(game, within(3s), [&](const QImage &shot) {
                if (wormBelowRowTwo(shot, size))
                    return true;
                down();
                return false;
            });
            QVERIFY2(wormBelowRowTwo(turned, size), "the arrow key did not reach the second game");
            continue;
        }

        // The board is cleared and a new worm drawn, and it moves on: the timer runs again.
        QString why;
        const QImage restarted = x.waitForScreenshot(game, within(5s), [&](const QImage &shot) {
            return newWormHead(shot, size, why).has_value();
        });
        const std::optional<int> head = newWormHead(restarted, size, why);
        QVERIFY2(head, qPrintable(why));
        const QImage movedOn = x.waitForScreenshot(game, within(5s), [&](const QImage &shot) {
            return newWormHead(shot, size, why).value_or(0) > *head;
        });
        QVERIFY2(newWormHead(movedOn, size, why).value_or(0) > *head,
                 qPrintable(QStringLiteral("the new worm stays at column %1: %2")
                                    .arg(*head)
                                    .arg(why)));
    }
}

QTEST_MAIN(tst_RealWindow)
#include "tst_RealWindow.moc"

#include "game/Playfield.h"

#include "tests/support/FakeHost.h"
#include "tests/support/FixedClock.h"
#include "tests/support/MemoryStore.h"
#include "tests/support/ScriptedRandom.h"

#include <QTest>

#include <random>

namespace {

constexpr quint32 Grey = 0x00F0F0F0;

// One headless game: the rules over a canvas, a scripted host, a store in
// memory and scripted draws.
struct Game {
    Canvas canvas{Grey};
    FakeHost host;
    MemoryStore store;
    ScriptedRandom random;
    FixedClock clock;
    Playfield rules{canvas, host, store, random, clock};

    GameState &g() { return rules.state(); }
    int s() { return rules.state().CellSize; }

    // Starts a game of the given cell size with its first food at (column, row).
    void start(int size, int foodColumn, int foodRow)
    {
        host.settings.sizeText = QString::number(size);
        random.queueCell(foodColumn, foodRow);
        rules.StartSequence();
    }

    quint32 cell(int column, int row) { return canvas.PixelColour(column * s() + 1, row * s() + 1); }

    // Every pixel of the cell holds the colour.
    bool solid(int column, int row, quint32 colour)
    {
        for (int y = row * s(); y < (row + 1) * s(); ++y)
            for (int x = column * s(); x < (column + 1) * s(); ++x)
                if (canvas.PixelColour(x, y) != colour)
                    return false;
        return true;
    }

    int countInterior(quint32 colour)
    {
        int count = 0;
        for (int row = 2; row <= 12; ++row)
            for (int column = 1; column <= 20; ++column)
                count += cell(column, row) == colour;
        return count;
    }

    void paintInterior(quint32 colour)
    {
        canvas.BoxFill(s(), 2 * s(), 21 * s() - 1, 13 * s() - 1, colour);
    }

    void paintCell(int column, int row, quint32 colour)
    {
        canvas.BoxFill(column * s(), row * s(), (column + 1) * s() - 1, (row + 1) * s() - 1, colour);
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            rules.Tick();
    }

    void setHardCore(const QString &limit)
    {
        store.set(StoreKeys::Options, StoreKeys::HardCore, limit);
    }

    QPoint entry(int i) { return QPoint(g().TrailX[i], g().TrailY[i]); }
    QPoint head() { return QPoint(g().HeadX, g().HeadY); }
};

int blackPixels(const Canvas &canvas)
{
    int count = 0;
    for (int y = 0; y < Canvas::DesignHeight; ++y)
        for (int x = 0; x < Canvas::DesignWidth; ++x)
            count += canvas.PixelColour(x, y) == 0;
    return count;
}

constexpr int WallCells = 66; // 70 fills, the four corners painted twice

} // namespace

class tst_Playfield : public QObject {
    Q_OBJECT
private slots:
    // Board
    void wallsAndWindowForCellSizeSeven();
    void cellSizeOneWallsAreSinglePixels();
    void drawingTwiceEqualsDrawingOnce();
    void drawingLeavesInteriorAndTopRowAlone();
    void theWindowOnlyEverShrinks();
    void aPlatformThatRefusesToShrinkStillEndsTheLoops();
    void aRestartWithTheSameSizeTakesNoStep();

    // Food
    void foodRefusesBottomWallBlackAndGreenCandidates();
    void foodAcceptsACellJustErased();
    void foodPaintsExactlyOneGreenCell();
    void foodFindsTheOnlyFreeCell();
    void foodOnAFullBoardStopsAndSaysSo();
    void foodReseedsOncePerPlacement();

    // Start and restart
    void startSetsEveryStateValue();
    void startPlacesAndSizesTheScoreLabel_data();
    void startPlacesAndSizesTheScoreLabel();
    void startReadsNumbersRoundingHalfToEven_data();
    void startReadsNumbersRoundingHalfToEven();
    void restartClearsAndRedraws();

    // Tick
    void firstTickRecordsAndDrawsTheCellRightOfTheStart();
    void sixthTickErasesTheOldestCellAndShiftsTheTrail();
    void runningStraightRightEndsTheGame_data();
    void runningStraightRightEndsTheGame();
    void blockedCountSaturatesWhenBlockingNeverEnds();
    void foodDoesNotResetTheBlockedCount();
    void gameOverRunsMessageCheckRestartWithTheTimerStopped();
    void gameOverTickRecordsTheStartCellOfTheNextGame();
    void foodOnTheStartCellIsEatenByTheGameOverTick();
    void aWormCanCircleOntoItsOldestCell();
    void afterEatingTheOldestCellStandsTwiceAndIsErasedLater();
    void scoreSaturatesInsteadOfOverflowing();
    void aFullBoardAfterEatingEndsTheGame();
    void anOrdinaryTickRepaintsOnlyTheCellsItChanged();

    // Steering
    void reversalAndSameHeadingAreRefusedWithoutLatching();
    void onlyOneTurnIsTakenPerTick();
    void onlyArrowCodesSteer();
    void aTurnIntoAWallKeepsTheLatchAndEndsTheGame();
    void aKeyBeforeTheFirstTickAppliesToIt();

    // Many games
    void soakKeepsPictureAndTrailInAgreement();
};

void tst_Playfield::wallsAndWindowForCellSizeSeven()
{
    Game game;
    game.start(7, 10, 8);
    QCOMPARE(game.canvas.PixelColour(1, 8), 0u);
    QCOMPARE(game.canvas.PixelColour(148, 50), 0u);
    QCOMPARE(game.canvas.PixelColour(8, 92), 0u);
    QCOMPARE(game.canvas.PixelColour(8, 15), Grey);
    QCOMPARE(game.canvas.PixelColour(3, 3), Grey);
    QCOMPARE(game.host.client[0], 154);
    QCOMPARE(game.host.client[1], 98);
    QCOMPARE(blackPixels(game.canvas), WallCells * 49);
    for (int column = 0; column <= 21; ++column) {
        QVERIFY(game.solid(column, 1, 0));
        QVERIFY(game.solid(column, 13, 0));
        QVERIFY(game.solid(column, 0, Grey));
    }
    for (int row = 1; row <= 13; ++row) {
        QVERIFY(game.solid(0, row, 0));
        QVERIFY(game.solid(21, row, 0));
    }
}

void tst_Playfield::cellSizeOneWallsAreSinglePixels()
{
    Game game;
    game.g().CellSize = 1;
    game.rules.DrawPlayField();
    for (int x = 0; x <= 21; ++x) {
        QCOMPARE(game.canvas.PixelColour(x, 1), 0u);
        QCOMPARE(game.canvas.PixelColour(x, 13), 0u);
        QCOMPARE(game.canvas.PixelColour(x, 0), Grey);
    }
    for (int y = 1; y <= 13; ++y) {
        QCOMPARE(game.canvas.PixelColour(0, y), 0u);
        QCOMPARE(game.canvas.PixelColour(21, y), 0u);
    }
    for (int y = 2; y <= 12; ++y)
        for (int x = 1; x <= 20; ++x)
            QCOMPARE(game.canvas.PixelColour(x, y), Grey);
    QCOMPARE(blackPixels(game.canvas), WallCells);
}

void tst_Playfield::drawingTwiceEqualsDrawingOnce()
{
    Game game;
    game.g().CellSize = 9;
    game.rules.DrawPlayField();
    const QImage once = game.canvas.image().copy();
    game.rules.DrawPlayField();
    QCOMPARE(game.canvas.image(), once);
}

void tst_Playfield::drawingLeavesInteriorAndTopRowAlone()
{
    Game game;
    game.g().CellSize = 5;
    game.paintCell(4, 4, Canvas::Green);
    game.paintCell(7, 9, 0);
    game.paintCell(3, 0, 0x00123456);
    game.rules.DrawPlayField();
    QVERIFY(game.solid(4, 4, Canvas::Green));
    QVERIFY(game.solid(7, 9, 0));
    QVERIFY(game.solid(3, 0, 0x00123456));
    QCOMPARE(game.countInterior(Grey), 218);
}

void tst_Playfield::theWindowOnlyEverShrinks()
{
    Game game;
    game.host.client[0] = 100;
    game.host.client[1] = 60;
    game.g().CellSize = 7;
    game.rules.DrawPlayField();
    QCOMPARE(game.host.client[0], 100);
    QCOMPARE(game.host.client[1], 60);
    QCOMPARE(game.host.resizeRequests, 0);
}

void tst_Playfield::aPlatformThatRefusesToShrinkStillEndsTheLoops()
{
    Game game;
    game.host.smallestOuter[0] = 120;
    game.host.smallestOuter[1] = 90;
    game.g().CellSize = 2;
    game.rules.DrawPlayField();
    QCOMPARE(game.host.client[0], 120 - game.host.frame);
    QCOMPARE(game.host.client[1], 90 - game.host.frame);
    // It stops at the first answer that did not follow the size asked for.
    QVERIFY2(game.host.resizeRequests < 1000, qPrintable(QString::number(game.host.resizeRequests)));
}

void tst_Playfield::aRestartWithTheSameSizeTakesNoStep()
{
    Game game;
    game.start(6, 10, 8);
    const int requests = game.host.resizeRequests;
    QVERIFY(requests > 0);
    game.random.queueCell(11, 9);
    game.rules.Restart();
    QCOMPARE(game.host.resizeRequests, requests);
    QCOMPARE(game.host.client[0], 132);
    QCOMPARE(game.host.client[1], 84);
}

void tst_Playfield::foodRefusesBottomWallBlackAndGreenCandidates()
{
    Game game;
    game.g().CellSize = 7;
    game.rules.DrawPlayField();
    game.paintCell(3, 3, 0);
    game.paintCell(4, 4, Canvas::Green);
    game.random.queueCell(5, 13); // bottom wall
    game.random.queueCell(3, 3);  // worm
    game.random.queueCell(4, 4);  // the food just reached
    game.random.queueCell(6, 6);
    QVERIFY(game.rules.Food());
    QCOMPARE(game.random.drawn, 8);
    QCOMPARE(int(game.g().FoodX), 42);
    QCOMPARE(int(game.g().FoodY), 42);
    QVERIFY(game.solid(6, 6, Canvas::Green));
    QVERIFY(game.solid(3, 3, 0));
}

void tst_Playfield::foodAcceptsACellJustErased()
{
    Game game;
    game.g().CellSize = 7;
    game.rules.DrawPlayField();
    game.paintCell(8, 5, 0);
    game.paintCell(8, 5, game.canvas.BackgroundColour());
    game.random.queueCell(8, 5);
    QVERIFY(game.rules.Food());
    QVERIFY(game.solid(8, 5, Canvas::Green));
}

void tst_Playfield::foodPaintsExactlyOneGreenCell()
{
    Game game;
    game.start(7, 20, 12);
    int green = 0;
    for (int y = 0; y < Canvas::DesignHeight; ++y)
        for (int x = 0; x < Canvas::DesignWidth; ++x)
            green += game.canvas.PixelColour(x, y) == Canvas::Green;
    QCOMPARE(green, 49);
    QVERIFY(game.solid(20, 12, Canvas::Green));
    QCOMPARE(int(game.g().FoodX), 140);
    QCOMPARE(int(game.g().FoodY), 84);
}

void tst_Playfield::foodFindsTheOnlyFreeCell()
{
    // The real generator, many times over: the one free cell is always found.
    Canvas canvas(Grey);
    FakeHost host;
    MemoryStore store;
    MixingRandom random(42);
    FixedClock clock;
    Playfield rules(canvas, host, store, random, clock);
    rules.state().CellSize = 4;
    rules.DrawPlayField();
    canvas.BoxFill(4, 8, 83, 51, 0);
    canvas.BoxFill(68, 36, 71, 39, Grey); // column 17, row 9
    for (int i = 0; i < 50; ++i) {
        clock.seconds += 0.001;
        QVERIFY(rules.Food());
        QCOMPARE(int(rules.state().FoodX), 68);
        QCOMPARE(int(rules.state().FoodY), 36);
        canvas.BoxFill(68, 36, 71, 39, Grey);
    }
}

void tst_Playfield::foodOnAFullBoardStopsAndSaysSo()
{
    Game game;
    game.g().CellSize = 5;
    game.rules.DrawPlayField();
    game.paintInterior(0);
    game.paintCell(9, 9, Canvas::Green); // the cell just eaten
    QVERIFY(!game.rules.Food());
    QCOMPARE(game.random.drawn, 0);
    QCOMPARE(game.countInterior(0), 219);
    QCOMPARE(game.countInterior(Canvas::Green), 1);
}

void tst_Playfield::foodReseedsOncePerPlacement()
{
    Game game;
    game.start(5, 10, 8);
    // One reseed at the start, one in the food placement.
    QCOMPARE(game.random.reseeds.size(), 2);
    game.clock.seconds = 100.25;
    game.random.queueCell(5, 13);
    game.random.queueCell(5, 5);
    game.rules.Food();
    QCOMPARE(game.random.reseeds.size(), 3);
    QCOMPARE(game.random.reseeds.last(), 100.25);
}

void tst_Playfield::startSetsEveryStateValue()
{
    Game game;
    game.g().TurnTaken = true;
    game.g().TrailX[1] = 99;
    game.g().TrailY[3] = 77;
    game.host.settings = StartSettings{1, QStringLiteral("5"), 150, QStringLiteral("3")};
    game.random.queueCell(10, 8);
    game.rules.StartSequence();
    const GameState &g = game.g();
    QCOMPARE(int(g.Direction), 3);
    QCOMPARE(int(g.CellSize), 5);
    QCOMPARE(int(g.HeadX), 10);
    QCOMPARE(int(g.HeadY), 10);
    QCOMPARE(int(g.WormLength), 5);
    QCOMPARE(int(g.TrailCount), 0);
    QCOMPARE(int(g.GameScore), 0);
    QCOMPARE(int(g.BumpCount), 0);
    QCOMPARE(int(g.TickInterval), 150);
    QCOMPARE(int(g.FoodPoints), 3);
    QCOMPARE(int(g.FoodX), 50);
    QCOMPARE(int(g.FoodY), 40);
    // Left alone by the start sequence.
    QVERIFY(g.TurnTaken);
    QCOMPARE(int(g.TrailX[1]), 99);
    QCOMPARE(int(g.TrailY[3]), 77);
    QCOMPARE(game.host.timerInterval, 150);
    QVERIFY(game.host.timerEnabled);
    // No worm cell yet: only the walls are black.
    QCOMPARE(blackPixels(game.canvas), WallCells * 25);
    QVERIFY(game.solid(2, 2, Grey));
}

void tst_Playfield::startPlacesAndSizesTheScoreLabel_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("top");
    QTest::newRow("2") << 2 << -5;
    QTest::newRow("7") << 7 << -5;
    QTest::newRow("8") << 8 << -8;
    QTest::newRow("30") << 30 << -8;
}

void tst_Playfield::startPlacesAndSizesTheScoreLabel()
{
    QFETCH(int, size);
    QFETCH(int, top);
    Game game;
    game.host.scoreText = QStringLiteral("0000");
    game.start(size, 10, 8);
    QCOMPARE(game.host.scoreText, QStringLiteral("0"));
    QCOMPARE(game.host.scoreLeft, 19 * size);
    QCOMPARE(game.host.scoreTop, top);
    QCOMPARE(game.host.scorePoints, size + 3);
    QVERIFY(game.host.scoreVisible);
}

void tst_Playfield::startReadsNumbersRoundingHalfToEven_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("points");
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<int>("foodPoints");
    QTest::newRow("halves") << "7.5" << "6.5" << 8 << 6;
    QTest::newRow("blanks and signs") << " +6 " << " -3 " << 6 << -3;
    QTest::newRow("fractions") << "4.4" << "2.51" << 4 << 3;
}

void tst_Playfield::startReadsNumbersRoundingHalfToEven()
{
    QFETCH(QString, size);
    QFETCH(QString, points);
    QFETCH(int, cellSize);
    QFETCH(int, foodPoints);
    Game game;
    game.host.settings.sizeText = size;
    game.host.settings.ppFoodText = points;
    game.random.queueCell(10, 8);
    game.rules.StartSequence();
    QCOMPARE(int(game.g().CellSize), cellSize);
    QCOMPARE(int(game.g().FoodPoints), foodPoints);
}

void tst_Playfield::restartClearsAndRedraws()
{
    Game game;
    game.start(5, 10, 8);
    game.paintCell(4, 6, 0);
    game.paintCell(0, 0, 0);
    game.random.queueCell(3, 3);
    game.rules.Restart();
    QVERIFY(game.solid(4, 6, Grey));
    QVERIFY(game.solid(0, 0, Grey));
    QVERIFY(game.solid(10, 8, Grey));
    QVERIFY(game.solid(3, 3, Canvas::Green));
    QCOMPARE(blackPixels(game.canvas), WallCells * 25);
}

void tst_Playfield::firstTickRecordsAndDrawsTheCellRightOfTheStart()
{
    Game game;
    game.start(5, 10, 8);
    game.rules.Tick();
    QCOMPARE(game.head(), QPoint(15, 10));
    QCOMPARE(int(game.g().TrailCount), 1);
    QCOMPARE(game.entry(1), QPoint(15, 10));
    QVERIFY(game.solid(3, 2, 0));
    QVERIFY(game.solid(2, 2, Grey));
    QCOMPARE(blackPixels(game.canvas), (WallCells + 1) * 25);
}

void tst_Playfield::sixthTickErasesTheOldestCellAndShiftsTheTrail()
{
    Game game;
    game.start(5, 10, 8);
    game.ticks(5);
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(game.entry(i), QPoint(10 + 5 * i, 10));
    game.rules.Tick();
    QCOMPARE(game.head(), QPoint(40, 10));
    QVERIFY(game.solid(3, 2, Grey));
    QVERIFY(game.solid(8, 2, 0));
    QCOMPARE(int(game.g().TrailCount), 5);
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(game.entry(i), QPoint(15 + 5 * i, 10));
    QCOMPARE(game.countInterior(0), 5);
}

void tst_Playfield::runningStraightRightEndsTheGame_data()
{
    QTest::addColumn<QString>("hardCore");
    QTest::addColumn<int>("endingTick");
    QTest::newRow("missing: the default 2") << QString() << 20;
    QTest::newRow("1") << "1" << 19;
    QTest::newRow("5") << "5" << 23;
    QTest::newRow("blanks around 3") << " 3 " << 21;
    QTest::newRow("no number counts as 2") << "hard" << 20;
    QTest::newRow("empty counts as 2") << "" << 20;
}

void tst_Playfield::runningStraightRightEndsTheGame()
{
    QFETCH(QString, hardCore);
    QFETCH(int, endingTick);
    Game game;
    if (!hardCore.isNull())
        game.setHardCore(hardCore);
    // What the game window tells a screen reader is the limit applied here.
    QCOMPARE(game.rules.blockLimit(), std::optional<qint16>(endingTick - 18));
    game.start(5, 10, 8);
    game.ticks(18);
    QCOMPARE(game.head(), QPoint(100, 10)); // column 20
    QCOMPARE(int(game.g().BumpCount), 0);
    for (int tick = 19; tick < endingTick; ++tick) {
        game.rules.Tick();
        QCOMPARE(game.head(), QPoint(100, 10));
        QCOMPARE(int(game.g().BumpCount), tick - 18);
        QCOMPARE(game.host.gameOvers, QList<int>{});
    }
    game.random.queueCell(10, 10);
    game.rules.Tick();
    QCOMPARE(game.host.gameOvers, QList<int>{0});
    QCOMPARE(game.head(), QPoint(10, 10));
}

void tst_Playfield::blockedCountSaturatesWhenBlockingNeverEnds()
{
    for (const QString &hardCore : {QStringLiteral("0"), QStringLiteral("-1"),
                                    QStringLiteral("2.5"), QStringLiteral("40000")}) {
        Game game;
        game.setHardCore(hardCore);
        QCOMPARE(game.rules.blockLimit(), std::nullopt);
        game.start(5, 10, 8);
        game.ticks(40);
        QCOMPARE(game.host.gameOvers, QList<int>{});
        QCOMPARE(int(game.g().BumpCount), 22);
        game.g().BumpCount = 32766;
        game.ticks(3);
        QCOMPARE(int(game.g().BumpCount), 32767);
        QCOMPARE(game.head(), QPoint(100, 10));
    }
}

void tst_Playfield::foodDoesNotResetTheBlockedCount()
{
    Game game;
    game.start(5, 20, 3); // food just below where the worm meets the right wall
    game.ticks(19);
    QCOMPARE(int(game.g().BumpCount), 1);
    game.rules.KeyDown(Playfield::ArrowDown);
    game.random.queueCell(10, 10);
    game.rules.Tick(); // eats
    QCOMPARE(game.host.scoreText, QStringLiteral("1"));
    QCOMPARE(int(game.g().BumpCount), 1);
    game.rules.KeyDown(Playfield::ArrowRight);
    game.random.queueCell(12, 10);
    game.rules.Tick(); // blocked again: the second one ends it
    QCOMPARE(game.host.gameOvers, QList<int>{1});
}

void tst_Playfield::gameOverRunsMessageCheckRestartWithTheTimerStopped()
{
    Game game;
    game.host.settings.ppFoodText = QStringLiteral("3");
    game.start(5, 5, 2);
    bool timerDuringWindows = true;
    game.host.onGameOver = [&] { timerDuringWindows = game.host.timerEnabled; };
    game.random.queueCell(10, 10);
    game.ticks(3); // eats the food at column 5
    QCOMPARE(int(game.g().GameScore), 3);
    // The limit is read when a tick is blocked, not kept from the start.
    game.setHardCore(QStringLiteral("1"));
    game.host.events.clear();
    game.random.queueCell(12, 12);
    game.ticks(16);
    QCOMPARE(game.host.events, QStringList({"timer off", "game over at 3", "timer on"}));
    QVERIFY(!timerDuringWindows);
    QVERIFY(game.host.timerEnabled);
    QCOMPARE(game.host.scoreText, QStringLiteral("0"));
}

void tst_Playfield::gameOverTickRecordsTheStartCellOfTheNextGame()
{
    Game game;
    game.start(5, 10, 8);
    game.ticks(19);
    game.rules.KeyDown(Playfield::ArrowUp); // accepted, but the tick is not blocked by it yet
    game.random.queueCell(10, 10);
    game.rules.Tick();
    QCOMPARE(game.host.gameOvers, QList<int>{0});
    QCOMPARE(int(game.g().TrailCount), 1);
    QCOMPARE(game.entry(1), QPoint(10, 10));
    QVERIFY(game.solid(2, 2, 0));
    QCOMPARE(int(game.g().BumpCount), 0);
    QVERIFY(!game.g().TurnTaken);
    QCOMPARE(int(game.g().Direction), 3);
    QCOMPARE(game.countInterior(0), 1);
    game.rules.Tick();
    QCOMPARE(game.head(), QPoint(15, 10));
    QCOMPARE(int(game.g().TrailCount), 2);
}

void tst_Playfield::foodOnTheStartCellIsEatenByTheGameOverTick()
{
    Game game;
    game.host.settings.ppFoodText = QStringLiteral("4");
    game.start(5, 10, 8);
    game.ticks(19);
    game.random.queueCell(2, 2);   // Restart's food lands on the start cell
    game.random.queueCell(15, 11); // the food placed when it is eaten
    game.rules.Tick();
    QCOMPARE(game.host.gameOvers, QList<int>{0});
    QCOMPARE(int(game.g().WormLength), 6);
    QCOMPARE(int(game.g().GameScore), 4);
    QCOMPARE(game.host.scoreText, QStringLiteral("4"));
    QVERIFY(game.solid(2, 2, 0));
    QVERIFY(game.solid(15, 11, Canvas::Green));
    QCOMPARE(game.countInterior(Canvas::Green), 1);
}

void tst_Playfield::aWormCanCircleOntoItsOldestCell()
{
    Game game;
    game.start(5, 10, 8);
    game.g().WormLength = 4;
    // Four cells in a square: the head keeps moving onto the cell about to be erased.
    const int keys[] = {0, Playfield::ArrowDown, Playfield::ArrowLeft, Playfield::ArrowUp,
                        Playfield::ArrowRight, Playfield::ArrowDown, Playfield::ArrowLeft,
                        Playfield::ArrowUp, Playfield::ArrowRight};
    for (int key : keys) {
        if (key)
            game.rules.KeyDown(key);
        game.rules.Tick();
        QCOMPARE(int(game.g().BumpCount), 0);
    }
    QCOMPARE(game.host.gameOvers, QList<int>{});
    QCOMPARE(game.head(), QPoint(15, 10));
    QCOMPARE(game.countInterior(0), 4);
    for (const auto &[column, row] : {std::pair{2, 2}, {3, 2}, {2, 3}, {3, 3}})
        QVERIFY(game.solid(column, row, 0));
}

void tst_Playfield::afterEatingTheOldestCellStandsTwiceAndIsErasedLater()
{
    Game game;
    game.start(5, 2, 2); // food on the start cell, reached on the fourth tick
    game.rules.Tick();   // (3, 2)
    game.rules.KeyDown(Playfield::ArrowDown);
    game.rules.Tick(); // (3, 3)
    game.rules.KeyDown(Playfield::ArrowLeft);
    game.rules.Tick(); // (2, 3)
    game.rules.KeyDown(Playfield::ArrowUp);
    game.random.queueCell(15, 10);
    game.rules.Tick(); // (2, 2): eats
    QCOMPARE(int(game.g().WormLength), 6);
    game.rules.KeyDown(Playfield::ArrowRight);
    game.rules.Tick(); // onto the oldest cell, still black: allowed, nothing drawn
    QCOMPARE(game.host.gameOvers, QList<int>{});
    QCOMPARE(int(game.g().TrailCount), 5);
    QCOMPARE(game.entry(1), QPoint(15, 10));
    QCOMPARE(game.entry(5), QPoint(15, 10));
    game.rules.Tick(); // (4, 2)
    game.rules.Tick(); // (5, 2): drops entry 1 and erases its cell
    QVERIFY(game.solid(3, 2, Grey));
    QCOMPARE(game.entry(4), QPoint(15, 10));
}

void tst_Playfield::scoreSaturatesInsteadOfOverflowing()
{
    Game game;
    game.host.settings.ppFoodText = QStringLiteral("30000");
    game.start(5, 3, 2);
    game.random.queueCell(4, 2);
    game.rules.Tick();
    game.random.queueCell(10, 10);
    game.rules.Tick();
    QCOMPARE(int(game.g().GameScore), 32767);
    QCOMPARE(game.host.scoreText, QStringLiteral("32767"));
}

void tst_Playfield::aFullBoardAfterEatingEndsTheGame()
{
    Game game;
    game.start(5, 10, 8);
    game.paintInterior(0);
    game.paintCell(3, 2, Canvas::Green);
    game.g().TrailX[1] = 15; // the black interior stands for a worm ending at the food
    game.random.queueCell(6, 6); // Restart's food
    game.rules.Tick();
    QCOMPARE(game.host.gameOvers, QList<int>{1});
    QCOMPARE(int(game.g().TrailCount), 1);
    QCOMPARE(game.entry(1), QPoint(10, 10));
    QCOMPARE(game.countInterior(0), 1);
    QVERIFY(game.solid(6, 6, Canvas::Green));
    QVERIFY(game.host.timerEnabled);
}

void tst_Playfield::anOrdinaryTickRepaintsOnlyTheCellsItChanged()
{
    Game game;
    game.start(5, 10, 8);
    game.ticks(5);
    game.canvas.takeDamage();
    game.rules.Tick();
    QCOMPARE(game.canvas.takeDamage(),
             Canvas::Damage({QRect(15, 10, 5, 5), QRect(40, 10, 5, 5)}));
    game.ticks(12);
    game.canvas.takeDamage();
    game.rules.Tick(); // blocked at the wall: nothing changes, nothing repaints
    QVERIFY(game.canvas.takeDamage().isEmpty());
}

void tst_Playfield::reversalAndSameHeadingAreRefusedWithoutLatching()
{
    Game game;
    game.start(5, 10, 8);
    game.rules.KeyDown(Playfield::ArrowLeft);
    game.rules.KeyDown(Playfield::ArrowRight);
    QCOMPARE(int(game.g().Direction), 3);
    QVERIFY(!game.g().TurnTaken);
    game.rules.KeyDown(Playfield::ArrowDown);
    QCOMPARE(int(game.g().Direction), 2);
    QVERIFY(game.g().TurnTaken);
}

void tst_Playfield::onlyOneTurnIsTakenPerTick()
{
    Game game;
    game.start(5, 10, 8);
    game.rules.Tick();
    game.rules.KeyDown(Playfield::ArrowDown);
    game.rules.KeyDown(Playfield::ArrowLeft); // would reverse within one tick
    QCOMPARE(int(game.g().Direction), 2);
    game.rules.Tick();
    QCOMPARE(game.head(), QPoint(15, 15));
    game.rules.KeyDown(Playfield::ArrowLeft);
    QCOMPARE(int(game.g().Direction), 1);
}

void tst_Playfield::onlyArrowCodesSteer()
{
    Game game;
    game.start(5, 10, 8);
    for (int code : {0, 13, 27, 32, 36, 41, 65, 98, 104})
        game.rules.KeyDown(code);
    QCOMPARE(int(game.g().Direction), 3);
    QVERIFY(!game.g().TurnTaken);
}

void tst_Playfield::aTurnIntoAWallKeepsTheLatchAndEndsTheGame()
{
    Game game;
    game.start(5, 10, 8);
    game.rules.KeyDown(Playfield::ArrowUp); // row 1 is the top wall
    game.rules.Tick();
    QCOMPARE(int(game.g().BumpCount), 1);
    QVERIFY(game.g().TurnTaken);
    game.rules.KeyDown(Playfield::ArrowRight);
    QCOMPARE(int(game.g().Direction), 0);
    game.random.queueCell(10, 10);
    game.rules.Tick();
    QCOMPARE(game.host.gameOvers, QList<int>{0});
}

void tst_Playfield::aKeyBeforeTheFirstTickAppliesToIt()
{
    Game game;
    game.start(5, 10, 8);
    game.rules.KeyDown(Playfield::ArrowDown);
    game.rules.Tick();
    QCOMPARE(game.head(), QPoint(10, 15));
    QVERIFY(game.solid(2, 3, 0));
}

void tst_Playfield::soakKeepsPictureAndTrailInAgreement()
{
    Canvas canvas(Grey);
    FakeHost host;
    MemoryStore store;
    MixingRandom random(20261208);
    FixedClock clock;
    Playfield rules(canvas, host, store, random, clock);
    host.settings = StartSettings{1, QStringLiteral("3"), 50, QStringLiteral("9")};
    rules.StartSequence();
    std::mt19937 player(7);
    const GameState &g = rules.state();
    const int s = g.CellSize;
    const int arrows[] = {Playfield::ArrowLeft, Playfield::ArrowUp, Playfield::ArrowRight,
                          Playfield::ArrowDown};
    int longest = 0;
    // A player that looks one cell ahead and mostly heads for the food, with a
    // few careless presses: long worms, a full board now and then, and many
    // game overs.
    const int steps[4][2] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}}; // by heading
    const int arrowFor[4] = {Playfield::ArrowUp, Playfield::ArrowLeft, Playfield::ArrowDown,
                             Playfield::ArrowRight};
    const auto freeAhead = [&](int heading) {
        return canvas.PixelColour(g.HeadX + steps[heading][0] * s + 1,
                                  g.HeadY + steps[heading][1] * s + 1)
                != 0;
    };
    const auto steer = [&] {
        const unsigned roll = player() % 100;
        if (roll < 3) {
            rules.KeyDown(arrows[player() % 4]);
            return;
        }
        int wanted = -1;
        for (int heading = 0; heading < 4; ++heading) {
            if (heading == (g.Direction + 2) % 4 || !freeAhead(heading))
                continue;
            const int dx = (g.FoodX - g.HeadX) * steps[heading][0];
            const int dy = (g.FoodY - g.HeadY) * steps[heading][1];
            if (dx > 0 || dy > 0) {
                wanted = heading;
                break;
            }
            if (wanted < 0 || heading == g.Direction)
                wanted = heading;
        }
        if (wanted >= 0 && (roll < 85 || !freeAhead(g.Direction)))
            rules.KeyDown(arrowFor[wanted]);
    };
    // `make soak` runs a million; the everyday run keeps to 200,000.
    const int ticks = qEnvironmentVariableIsSet("KORVU_SOAK_TICKS")
            ? qEnvironmentVariableIntValue("KORVU_SOAK_TICKS")
            : 200000;

    for (int tick = 1; tick <= ticks; ++tick) {
        steer();
        clock.seconds += 0.05;
        rules.Tick();

        const auto fail = [&](const char *what) {
            QFAIL(qPrintable(QStringLiteral("tick %1: %2").arg(tick).arg(QLatin1String(what))));
        };
        if (g.TrailCount < 1 || g.TrailCount > g.WormLength || g.WormLength > 512)
            return fail("trail count out of range");
        if (g.GameScore < 0 || g.BumpCount < 0)
            return fail("a counter wrapped");
        if (g.HeadX < s || g.HeadX > 20 * s || g.HeadY < 2 * s || g.HeadY > 12 * s)
            return fail("head left the interior");
        for (int i = 1; i < g.TrailCount; ++i) {
            const int dx = std::abs(g.TrailX[i + 1] - g.TrailX[i]);
            const int dy = std::abs(g.TrailY[i + 1] - g.TrailY[i]);
            if (dx + dy != s || (dx != 0 && dy != 0))
                return fail("consecutive trail entries are not neighbours");
        }
        int green = 0;
        for (int row = 2; row <= 12; ++row) {
            for (int column = 1; column <= 20; ++column) {
                const quint32 p = canvas.PixelColour(column * s + 1, row * s + 1);
                green += p == Canvas::Green;
                if (p != 0)
                    continue;
                bool recorded = false;
                for (int i = 1; i <= g.TrailCount && !recorded; ++i)
                    recorded = g.TrailX[i] == column * s && g.TrailY[i] == row * s;
                if (!recorded)
                    return fail("a black interior cell is not in the trail");
            }
        }
        if (green > 1)
            return fail("more than one food cell");
        longest = std::max(longest, int(g.WormLength));
    }
    const int games = int(host.gameOvers.size());
    qInfo("%d ticks, %d games, longest worm %d cells", ticks, games, longest);
    QVERIFY2(games > 100, qPrintable(QString::number(games)));
    QVERIFY2(longest > 30, qPrintable(QString::number(longest)));
}

QTEST_GUILESS_MAIN(tst_Playfield)
#include "tst_Playfield.moc"

#include "bench/RuleBenchmarks.h"

#include "bench/CountingRandom.h"
#include "bench/HeadlessBoard.h"

#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int S = HeadlessBoard::CellSize;
constexpr QRgb BlackPixel = 0xFF000000u;
const QRgb FacePixel = Canvas::toRgb(HeadlessBoard::Face);

// A lap around a ring of 52 cells (columns 2..19, rows 2..11) that touches no
// wall: the worm starts at its top-left corner heading right.
struct Side {
    int ticks;
    int turnKey;
};
constexpr std::array<Side, 4> Lap{{{17, Playfield::ArrowDown},
                                   {9, Playfield::ArrowLeft},
                                   {17, Playfield::ArrowUp},
                                   {9, Playfield::ArrowRight}}};
constexpr int LapTicks = 52;

bool onRing(int column, int row)
{
    const bool acrossEdge = (row == 2 || row == 11) && column >= 2 && column <= 19;
    const bool downEdge = (column == 2 || column == 19) && row >= 2 && row <= 11;
    return acrossEdge || downEdge;
}

std::vector<QPoint> ringCells()
{
    std::vector<QPoint> cells;
    QPoint at(2, 2);
    const std::array<QPoint, 4> steps{QPoint(1, 0), QPoint(0, 1), QPoint(-1, 0), QPoint(0, -1)};
    for (int side = 0; side < 4; ++side) {
        for (int i = 0; i < Lap[side].ticks; ++i) {
            at += steps[side];
            cells.push_back(at);
        }
    }
    return cells;
}

// The pixels an ordinary tick touches: the head's probe point, the cell it
// draws and the tail cell it erases, five cells behind.
struct TickPixels {
    int probeX, probeY;
    int headX, headY;
    int tailX, tailY;
};

std::vector<TickPixels> tickPixels()
{
    const std::vector<QPoint> ring = ringCells();
    std::vector<TickPixels> steps;
    for (std::size_t k = 0; k < ring.size(); ++k) {
        const QPoint head = ring[k] * S;
        const QPoint tail = ring[(k + ring.size() - 5) % ring.size()] * S;
        steps.push_back({head.x() + 1, head.y() + 1, head.x(), head.y(), tail.x(), tail.y()});
    }
    return steps;
}

std::vector<QPoint> wallCells()
{
    std::vector<QPoint> cells;
    for (int column = 0; column <= 21; ++column)
        cells.push_back(QPoint(column, 1));
    for (int column = 0; column <= 21; ++column)
        cells.push_back(QPoint(column, 13));
    for (int row = 1; row <= 13; ++row)
        cells.push_back(QPoint(0, row));
    for (int row = 1; row <= 13; ++row)
        cells.push_back(QPoint(21, row));
    return cells;
}

// Direct access to the image, with none of the canvas's checks or colour
// conversion: the floor the rules' pixel work is compared with.
class RawImage {
public:
    explicit RawImage(QImage &image)
        : m_bits(reinterpret_cast<QRgb *>(image.bits())),
          m_stride(image.bytesPerLine() / qsizetype(sizeof(QRgb)))
    {
    }
    QRgb read(int x, int y) const { return m_bits[y * m_stride + x]; }
    void fillCell(int x, int y, QRgb colour)
    {
        for (int row = 0; row < S; ++row)
            std::fill_n(m_bits + (y + row) * m_stride + x, S, colour);
    }

private:
    QRgb *m_bits;
    qsizetype m_stride;
};

double perOperation(const QElapsedTimer &timer, qint64 operations)
{
    return double(timer.nsecsElapsed()) / double(operations);
}

void report(bool &ok, bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "korvu_bench: %s\n", what);
        ok = false;
    }
}

// A board whose food lies off the ring, with the worm at full length back at
// the ring's corner, so every tick that follows is an ordinary one.
void prepareRing(HeadlessBoard &board)
{
    GameState &g = board.playfield.state();
    while (onRing(g.FoodX / S, g.FoodY / S))
        board.playfield.Restart();
    for (const Side &side : Lap) {
        for (int i = 0; i < side.ticks; ++i)
            board.playfield.Tick();
        board.playfield.KeyDown(side.turnKey);
    }
    board.damage = board.canvas.takeDamage();
}

double ordinaryTicks(HeadlessBoard &board, int laps)
{
    QElapsedTimer timer;
    timer.start();
    for (int lap = 0; lap < laps; ++lap) {
        for (const Side &side : Lap) {
            for (int i = 0; i < side.ticks; ++i) {
                board.playfield.Tick();
                // The region is handed on after every tick, as a paint takes it.
                board.damage = board.canvas.takeDamage();
            }
            board.playfield.KeyDown(side.turnKey);
        }
    }
    return perOperation(timer, qint64(laps) * LapTicks);
}

double rawTicks(RawImage &image, const std::vector<TickPixels> &steps, int laps)
{
    QRgb seen = 0;
    QElapsedTimer timer;
    timer.start();
    for (int lap = 0; lap < laps; ++lap) {
        for (const TickPixels &p : steps) {
            seen ^= image.read(p.probeX, p.probeY);
            keep(seen);
            image.fillCell(p.tailX, p.tailY, FacePixel);
            seen ^= image.read(p.probeX, p.probeY);
            keep(seen);
            image.fillCell(p.headX, p.headY, BlackPixel);
            seen ^= image.read(p.probeX, p.probeY);
            keep(seen);
        }
    }
    return perOperation(timer, qint64(laps) * qint64(steps.size()));
}

// Lays a worm of five cells in a line that ends next to the food, heading into
// it, with a full trail: the next tick erases a tail cell and eats.
void layWormBeforeFood(HeadlessBoard &board)
{
    GameState &g = board.playfield.state();
    const int foodColumn = g.FoodX / S;
    const int foodRow = g.FoodY / S;
    const bool fromLeft = foodColumn >= 6;
    for (int i = 1; i <= 5; ++i) {
        const int column = fromLeft ? foodColumn - 6 + i : foodColumn + 6 - i;
        g.TrailX[i] = qint16(column * S);
        g.TrailY[i] = qint16(foodRow * S);
        const QRect cell = HeadlessBoard::cell(column, foodRow);
        board.canvas.BoxFill(cell.left(), cell.top(), cell.right(), cell.bottom());
    }
    g.WormLength = 5;
    g.TrailCount = 5;
    g.HeadX = g.TrailX[5];
    g.HeadY = g.TrailY[5];
    g.Direction = fromLeft ? 3 : 1;
    g.TurnTaken = false;
    board.damage = board.canvas.takeDamage();
}

double eatingTicks(HeadlessBoard &board, int samples, bool &ok)
{
    qint64 total = 0;
    QElapsedTimer timer;
    for (int i = 0; i < samples; ++i) {
        board.playfield.Restart();
        layWormBeforeFood(board);
        timer.start();
        board.playfield.Tick();
        board.damage = board.canvas.takeDamage();
        total += timer.nsecsElapsed();
        report(ok, board.playfield.state().WormLength == 6, "the eating tick did not eat");
    }
    return double(total) / samples;
}

// Every interior cell black but the last one, so Food's search is as long as
// it can be: 240 candidate cells, one of them free.
constexpr QPoint FreeCell(20, 12);

void fillAllButOneCell(HeadlessBoard &board)
{
    board.playfield.Restart();
    const QRect interior = HeadlessBoard::cell(1, 2).united(HeadlessBoard::cell(20, 12));
    board.canvas.BoxFill(interior.left(), interior.top(), interior.right(), interior.bottom());
    const QRect free = HeadlessBoard::cell(FreeCell.x(), FreeCell.y());
    board.canvas.BoxFill(free.left(), free.top(), free.right(), free.bottom(),
                         board.canvas.BackgroundColour());
    board.damage = board.canvas.takeDamage();
}

double foodCalls(HeadlessBoard &board, int samples, bool &ok)
{
    fillAllButOneCell(board);
    const QRect free = HeadlessBoard::cell(FreeCell.x(), FreeCell.y());
    qint64 total = 0;
    QElapsedTimer timer;
    for (int i = 0; i < samples; ++i) {
        timer.start();
        const bool placed = board.playfield.Food();
        total += timer.nsecsElapsed();
        report(ok, placed && board.playfield.state().FoodX == free.left()
                       && board.playfield.state().FoodY == free.top(),
               "Food did not find the one free cell");
        board.canvas.BoxFill(free.left(), free.top(), free.right(), free.bottom(),
                             board.canvas.BackgroundColour());
        board.damage = board.canvas.takeDamage();
    }
    return double(total) / samples;
}

// The probes of Food's check for a free candidate, in its order, up to the one
// free cell.
QRgb rawScanToFreeCell(const RawImage &image)
{
    QRgb seen = 0;
    for (int row = 2; row <= 13; ++row) {
        for (int column = 1; column <= 20; ++column) {
            seen ^= image.read(column * S + 1, row * S + 1);
            if (row == FreeCell.y() && column == FreeCell.x())
                return seen;
        }
    }
    return seen;
}

// Food's work without the canvas or the virtual generator: the scan for a free
// candidate up to the free cell, exactly 240 attempts of two draws and one
// read, and the fill.
double rawFoodSearches(RawImage &image, int samples)
{
    constexpr int ExpectedAttempts = 240;
    MixingRandom random;
    QRgb seen = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < samples; ++i) {
        seen ^= rawScanToFreeCell(image);
        for (int attempt = 0; attempt < ExpectedAttempts; ++attempt) {
            const int column = int(20 * random.next()) + 1;
            const int row = int(12 * random.next()) + 2;
            seen ^= image.read(column * S + 1, row * S + 1);
        }
        keep(seen);
        image.fillCell(FreeCell.x() * S, FreeCell.y() * S, 0xFF00FF00u);
    }
    return perOperation(timer, samples);
}

double countFoodAttempts(int calls)
{
    CountingRandom random;
    HeadlessBoard board(random);
    fillAllButOneCell(board);
    const QRect free = HeadlessBoard::cell(FreeCell.x(), FreeCell.y());
    const qint64 before = random.draws();
    for (int i = 0; i < calls; ++i) {
        board.playfield.Food();
        board.canvas.BoxFill(free.left(), free.top(), free.right(), free.bottom(),
                             board.canvas.BackgroundColour());
    }
    return double(random.draws() - before) / 2.0 / calls;
}

double drawPlayFields(HeadlessBoard &board, int samples)
{
    qint64 total = 0;
    QElapsedTimer timer;
    for (int i = 0; i < samples; ++i) {
        timer.start();
        board.playfield.DrawPlayField();
        total += timer.nsecsElapsed();
        board.damage = board.canvas.takeDamage();
    }
    return double(total) / samples;
}

double rawWalls(RawImage &image, const std::vector<QPoint> &walls, int samples)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < samples; ++i) {
        for (const QPoint &cell : walls)
            image.fillCell(cell.x() * S, cell.y() * S, BlackPixel);
        keep(image);
    }
    return perOperation(timer, samples);
}

double restarts(HeadlessBoard &board, int samples)
{
    qint64 total = 0;
    QElapsedTimer timer;
    for (int i = 0; i < samples; ++i) {
        timer.start();
        board.playfield.Restart();
        total += timer.nsecsElapsed();
        board.damage = board.canvas.takeDamage();
    }
    return double(total) / samples;
}

// The clear uses QImage::fill, the vectorised primitive the canvas clears with;
// a plain loop would be slower than the code it is the floor of.
double rawRestarts(QImage &picture, RawImage &image, const std::vector<QPoint> &walls,
                   int samples)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < samples; ++i) {
        picture.fill(FacePixel);
        for (const QPoint &cell : walls)
            image.fillCell(cell.x() * S, cell.y() * S, BlackPixel);
        image.fillCell(10 * S, 7 * S, 0xFF00FF00u);
        keep(image);
    }
    return perOperation(timer, samples);
}

} // namespace

RuleFigures runRuleBenchmarks(bool &ok)
{
    RuleFigures figures{};
    MixingRandom random;
    HeadlessBoard board(random);
    QImage floorImage(Canvas::DesignWidth, Canvas::DesignHeight, QImage::Format_RGB32);
    floorImage.fill(FacePixel);
    RawImage raw(floorImage);
    const std::vector<TickPixels> steps = tickPixels();
    const std::vector<QPoint> walls = wallCells();

    prepareRing(board);
    figures.tick = measurePaired(10, 101, [&] { return ordinaryTicks(board, 40); },
                                 [&] { return rawTicks(raw, steps, 40); });
    const GameState &g = board.playfield.state();
    report(ok, g.GameScore == 0 && g.BumpCount == 0 && g.WormLength == 5,
           "an ordinary tick ate or bumped");

    HeadlessBoard eater(random);
    figures.eatingTick = measurePaired(3, 31, [&] { return eatingTicks(eater, 50, ok); },
                                       [&] { return ordinaryTicks(board, 1); });

    HeadlessBoard searcher(random);
    figures.food = measurePaired(3, 31, [&] { return foodCalls(searcher, 100, ok); },
                                 [&] { return rawFoodSearches(raw, 100); });
    figures.foodAttempts = countFoodAttempts(4000);

    HeadlessBoard drawer(random);
    figures.drawPlayField = measurePaired(5, 51, [&] { return drawPlayFields(drawer, 100); },
                                          [&] { return rawWalls(raw, walls, 100); });
    figures.restart = measurePaired(3, 31, [&] { return restarts(drawer, 20); },
                                    [&] { return rawRestarts(floorImage, raw, walls, 20); });
    return figures;
}

#include "game/Playfield.h"

#include "game/Clock.h"
#include "game/PlayfieldHost.h"
#include "game/RandomSource.h"
#include "settings/Store.h"
#include "settings/StoreLayout.h"
#include "settings/StoredText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint16 Int16Max = 32767;
constexpr qint16 Int16Min = -32768;
constexpr int TwipsPerPixel = 15;
constexpr int TwipsPerStep = 10;
constexpr int MaxTrail = GameState::TrailEntries - 1;

qint16 saturatedSum(qint16 a, qint16 b)
{
    return qint16(std::clamp(int(a) + int(b), int(Int16Min), int(Int16Max)));
}

// No more steps than the designed window has twips to give, whatever the
// platform does with the sizes asked for.
constexpr int maxFitSteps(int designPixels)
{
    return designPixels * TwipsPerPixel / TwipsPerStep + 1;
}

} // namespace

Playfield::Playfield(Canvas &canvas, PlayfieldHost &host, Store &store, RandomSource &random,
                     Clock &clock)
    : m_canvas(canvas), m_host(host), m_store(store), m_random(random), m_clock(clock)
{
}

void Playfield::StartSequence()
{
    GameState &g = m_state;
    m_random.reseed(m_clock.secondsSinceMidnight());

    const StartSettings settings = m_host.startSettings();
    m_host.setScoreVisible(settings.showPoints != 0);
    // The start window refuses texts the board cannot use; these fallbacks only
    // keep a direct caller from building an unusable board.
    g.CellSize = ReadCellSize(settings.sizeText).value_or(qint16(StoreDefaults::Size));
    g.TickInterval = qint16(settings.tickInterval > 0
                                    ? settings.tickInterval
                                    : SpeedLevels::List[StoreDefaults::Speed].tickInterval);
    g.FoodPoints = ReadInt16(settings.ppFoodText).value_or(qint16(StoreDefaults::PPFood));

    g.Direction = Heading::Right;
    g.HeadX = qint16(2 * g.CellSize);
    g.HeadY = qint16(2 * g.CellSize);
    g.WormLength = 5;
    g.TrailCount = 0;
    g.GameScore = 0;
    g.BumpCount = 0;

    m_host.setScoreText(QStringLiteral("0"));
    m_host.placeScore(QPoint(19 * g.CellSize, g.CellSize <= 7 ? -5 : -8), g.CellSize + 3);
    m_host.setTimerInterval(g.TickInterval);
    DrawPlayField();
    Food();
    m_host.setTimerEnabled(true);
}

void Playfield::Restart()
{
    m_canvas.ClearCanvas();
    StartSequence();
}

void Playfield::DrawPlayField()
{
    GameState &g = m_state;
    const int s = g.CellSize;
    for (g.LoopIndex = 0; g.LoopIndex <= 21; ++g.LoopIndex)
        m_canvas.BoxFill(s * g.LoopIndex, s, s * g.LoopIndex + s - 1, 2 * s - 1);
    for (g.LoopIndex = 0; g.LoopIndex <= 21; ++g.LoopIndex)
        m_canvas.BoxFill(s * g.LoopIndex, 13 * s, s * g.LoopIndex + s - 1, 14 * s - 1);
    for (g.LoopIndex = 0; g.LoopIndex <= 12; ++g.LoopIndex)
        m_canvas.BoxFill(0, s * (g.LoopIndex + 1), s - 1, s * (g.LoopIndex + 1) + s - 1);
    for (g.LoopIndex = 0; g.LoopIndex <= 12; ++g.LoopIndex)
        m_canvas.BoxFill(21 * s, s * (g.LoopIndex + 1), 22 * s - 1, s * (g.LoopIndex + 1) + s - 1);
    fitWindowToBoard();
}

void Playfield::fitWindowToBoard()
{
    const int s = m_state.CellSize;
    shrinkToBoard(Qt::Horizontal, Columns * s, Canvas::DesignWidth);
    shrinkToBoard(Qt::Vertical, Rows * s, Canvas::DesignHeight);
}

void Playfield::shrinkToBoard(Qt::Orientation axis, int boardPixels, int designPixels)
{
    const auto along = [axis](QSize size) {
        return axis == Qt::Horizontal ? size.width() : size.height();
    };
    // Each step asks for an outer size 10 twips smaller; a platform that will
    // not go smaller answers with a size larger than asked, and the narrowing
    // stops there.
    for (int step = 0; along(m_host.clientSize()) > boardPixels && step < maxFitSteps(designPixels);
         ++step) {
        QSize outer = m_host.outerSize();
        const int asked = along(outer) * TwipsPerPixel - TwipsPerStep;
        if (axis == Qt::Horizontal)
            outer.setWidth(asked / TwipsPerPixel);
        else
            outer.setHeight(asked / TwipsPerPixel);
        m_host.setOuterSize(outer);
        if (along(m_host.outerSize()) * TwipsPerPixel > asked)
            break;
    }
}

bool Playfield::hasFreeCandidate() const
{
    const int s = m_state.CellSize;
    for (int row = 2; row <= 13; ++row) {
        for (int column = 1; column <= 20; ++column) {
            const quint32 p = probe(column * s, row * s);
            if (p != Canvas::Black && p != Canvas::Green)
                return true;
        }
    }
    return false;
}

bool Playfield::Food()
{
    GameState &g = m_state;
    m_random.reseed(m_clock.secondsSinceMidnight());
    // The search below would never end on a full board.
    if (!hasFreeCandidate())
        return false;
    quint32 p = 0;
    do {
        const double r1 = m_random.next();
        const double r2 = m_random.next();
        const int column = std::clamp(int(std::floor(20 * r1)), 0, 19) + 1;
        const int row = std::clamp(int(std::floor(12 * r2)), 0, 11) + 2;
        g.FoodX = qint16(column * g.CellSize);
        g.FoodY = qint16(row * g.CellSize);
        p = probe(g.FoodX, g.FoodY);
    } while (p == Canvas::Black || p == Canvas::Green);
    m_canvas.BoxFill(g.FoodX, g.FoodY, g.FoodX + g.CellSize - 1, g.FoodY + g.CellSize - 1,
                     Canvas::Green);
    return true;
}

void Playfield::move(qint16 direction, int sign)
{
    GameState &g = m_state;
    const int step = sign * g.CellSize;
    switch (direction) {
    case Heading::Up: g.HeadY = qint16(g.HeadY - step); break;
    case Heading::Left: g.HeadX = qint16(g.HeadX - step); break;
    case Heading::Down: g.HeadY = qint16(g.HeadY + step); break;
    case Heading::Right: g.HeadX = qint16(g.HeadX + step); break;
    default: break;
    }
}

std::optional<qint16> Playfield::blockLimit() const
{
    // A limit that is no number counts as the default; the count runs from 1
    // to Int16Max, so any other limit is never reached.
    const QString stored = m_store.GetSetting(StoreKeys::App, StoreKeys::Options,
                                              StoreKeys::HardCore, StoreDefaults::HardCore);
    const double limit = ReadNumber(stored).value_or(StoreDefaults::HardCore);
    if (limit < 1 || limit > Int16Max || limit != std::floor(limit))
        return std::nullopt;
    return qint16(limit);
}

bool Playfield::hardCoreReached()
{
    // Read afresh on every blocked tick.
    return blockLimit() == m_state.BumpCount;
}

void Playfield::Tick()
{
    GameState &g = m_state;
    const qint16 direction = g.Direction;
    move(direction, +1);
    const quint32 p = probe(g.HeadX, g.HeadY);
    // The oldest cell is about to be erased, so moving onto it is allowed.
    const bool blocked = p == Canvas::Black && (g.HeadX != g.TrailX[1] || g.HeadY != g.TrailY[1]);
    if (blocked) {
        if (g.BumpCount < Int16Max)
            ++g.BumpCount;
        if (!hardCoreReached()) {
            move(direction, -1);
            return;
        }
        gameOver();
    }
    completeMove();
}

void Playfield::gameOver()
{
    // No tick may run while the end-of-game windows are open; Restart re-arms it.
    m_host.setTimerEnabled(false);
    m_host.showGameOver(m_state.GameScore);
    Restart();
}

// The rest of a move that was not refused: record the cell, erasing the
// oldest at full length; eat and score, or draw the head and clear the blocked
// count. A board with no room for the next food ends the game here.
void Playfield::completeMove()
{
    GameState &g = m_state;
    const int s = g.CellSize;

    ++g.TrailCount;
    if (g.TrailCount > g.WormLength) {
        m_canvas.BoxFill(g.TrailX[1], g.TrailY[1], g.TrailX[1] + s - 1, g.TrailY[1] + s - 1,
                         m_canvas.BackgroundColour());
        // Two shifts, all of x first, then all of y; LoopIndex is left where
        // counting them in it would leave it.
        const int last = g.WormLength - 1;
        for (int i = 1; i <= last; ++i)
            g.TrailX[i] = g.TrailX[i + 1];
        for (int i = 1; i <= last; ++i)
            g.TrailY[i] = g.TrailY[i + 1];
        g.LoopIndex = qint16(std::max(last, 0) + 1);
        --g.TrailCount;
    }
    g.TrailX[g.TrailCount] = g.HeadX;
    g.TrailY[g.TrailCount] = g.HeadY;

    bool boardFull = false;
    const quint32 p = probe(g.HeadX, g.HeadY);
    if (p == Canvas::Green) {
        // The trail holds 512 positions; the board never lets the worm get near.
        g.WormLength = qint16(std::min(g.WormLength + 1, MaxTrail));
        g.GameScore = saturatedSum(g.GameScore, g.FoodPoints);
        m_host.setScoreText(QString::number(g.GameScore));
        boardFull = !Food();
        m_canvas.BoxFill(g.HeadX, g.HeadY, g.HeadX + s - 1, g.HeadY + s - 1);
    } else if (p != Canvas::Black) {
        m_canvas.BoxFill(g.HeadX, g.HeadY, g.HeadX + s - 1, g.HeadY + s - 1);
        g.BumpCount = 0;
    }
    g.TurnTaken = false;

    // No free cell is left for the next food: the game is over like any other,
    // and the new game's first cell is recorded in this same tick.
    if (boardFull) {
        gameOver();
        completeMove();
    }
}

void Playfield::KeyDown(int keyCode)
{
    GameState &g = m_state;
    if (g.TurnTaken)
        return;
    qint16 heading = 0;
    switch (keyCode) {
    case ArrowUp: heading = Heading::Up; break;
    case ArrowLeft: heading = Heading::Left; break;
    case ArrowDown: heading = Heading::Down; break;
    case ArrowRight: heading = Heading::Right; break;
    default: return;
    }
    // Neither straight back nor the heading it already has.
    const qint16 reverse = qint16((heading + 2) % 4);
    if (g.Direction == heading || g.Direction == reverse)
        return;
    g.Direction = heading;
    g.TurnTaken = true;
}

#include "tests/realwindow/WormPlayer.h"

#include "tests/realwindow/BoardPicture.h"
#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/Waiting.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <functional>
#include <queue>
#include <tuple>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

// "Speed 1", the first start's speed.
constexpr int TickMilliseconds = 400;
constexpr int PollMilliseconds = 25;
constexpr QPoint StartCell(2, 2);
constexpr int StartLength = 5;

enum class Heading { Up, Left, Down, Right };
constexpr std::array<Heading, 4> Headings{Heading::Up, Heading::Left, Heading::Down,
                                          Heading::Right};

QPoint step(Heading heading)
{
    switch (heading) {
    case Heading::Up: return {0, -1};
    case Heading::Left: return {-1, 0};
    case Heading::Down: return {0, 1};
    case Heading::Right: return {1, 0};
    }
    return {};
}

Heading reverse(Heading heading)
{
    return Headings[(int(heading) + 2) % 4];
}

std::optional<Heading> headingBetween(QPoint from, QPoint to)
{
    for (const Heading heading : Headings) {
        if (from + step(heading) == to)
            return heading;
    }
    return std::nullopt;
}

// The arrow key for a heading, as xdotool names it.
QString keyName(Heading heading)
{
    switch (heading) {
    case Heading::Up: return QStringLiteral("Up");
    case Heading::Left: return QStringLiteral("Left");
    case Heading::Down: return QStringLiteral("Down");
    case Heading::Right: return QStringLiteral("Right");
    }
    return {};
}

QString cellName(QPoint cell)
{
    return QStringLiteral("column %1 row %2").arg(cell.x()).arg(cell.y());
}

// The same cells, in whatever order.
bool sameCells(QList<QPoint> a, QList<QPoint> b)
{
    const auto byRow = [](QPoint p, QPoint q) {
        return std::pair(p.y(), p.x()) < std::pair(q.y(), q.x());
    };
    std::sort(a.begin(), a.end(), byRow);
    std::sort(b.begin(), b.end(), byRow);
    return a == b;
}

bool isInterior(QPoint cell)
{
    return cell.x() >= 1 && cell.x() <= Columns - 2 && cell.y() >= 2 && cell.y() <= Rows - 2;
}

bool isWall(QPoint cell)
{
    const bool ringRow = (cell.y() == 1 || cell.y() == Rows - 1) && cell.x() >= 0
            && cell.x() < Columns;
    const bool ringColumn = (cell.x() == 0 || cell.x() == Columns - 1) && cell.y() >= 1
            && cell.y() < Rows;
    return ringRow || ringColumn;
}

// What one picture of the game window shows: the black worm cells and the green
// food cells of the interior, whether the wall ring is whole, and row 0 under the
// score label. A probe reads one pixel inside each cell, as the game does.
class BoardView {
public:
    static std::optional<BoardView> read(const QImage &shot, int cellSize)
    {
        if (shot.size() != QSize(Columns * cellSize, Rows * cellSize))
            return std::nullopt;
        BoardView view;
        view.m_wallsWhole = brokenWall(shot, cellSize).isEmpty();
        for (int row = 2; row < Rows - 1; ++row) {
            for (int column = 1; column < Columns - 1; ++column) {
                const QRgb colour = cellColour(shot, cellSize, column, row);
                if (colour == Black)
                    view.m_black[index(QPoint(column, row))] = true;
                else if (colour == Green)
                    view.m_green << QPoint(column, row);
            }
        }
        view.m_scoreStrip = shot.copy(19 * cellSize, 0, 3 * cellSize, cellSize);
        return view;
    }

    bool isBlack(QPoint cell) const { return isInterior(cell) && m_black[index(cell)]; }
    bool isFree(QPoint cell) const { return isInterior(cell) && !m_black[index(cell)]; }
    QList<QPoint> blackCells() const
    {
        QList<QPoint> cells;
        for (int i = 0; i < Columns * Rows; ++i) {
            if (m_black[i])
                cells << QPoint(i % Columns, i / Columns);
        }
        return cells;
    }
    const QList<QPoint> &greenCells() const { return m_green; }
    bool wallsWhole() const { return m_wallsWhole; }
    const QImage &scoreStrip() const { return m_scoreStrip; }

    bool operator==(const BoardView &) const = default;

private:
    static int index(QPoint cell) { return cell.y() * Columns + cell.x(); }

    std::array<bool, Columns * Rows> m_black{};
    QList<QPoint> m_green;
    bool m_wallsWhole = true;
    QImage m_scoreStrip;
};

// The best way from the head to the target over free cells, never straight back:
// the cells it passes, the target last; empty if there is none. Fewest moves first;
// among those, turns that leave room straight ahead, so that a key landing a tick
// late costs no bump; then fewest turns.
QList<QPoint> wayTo(const BoardView &board, QPoint head, Heading heading, QPoint target)
{
    constexpr int Move = 1000;
    constexpr int CrampedTurn = 10;
    constexpr int Turn = 1;
    constexpr int States = Columns * Rows * 4;
    const auto index = [](QPoint cell, Heading h) {
        return (cell.y() * Columns + cell.x()) * 4 + int(h);
    };
    std::array<int, States> cost;
    cost.fill(INT_MAX);
    std::array<int, States> cameFrom;
    cameFrom.fill(-1);
    using Entry = std::tuple<int, int, int, int>; // cost, column, row, heading
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    cost[index(head, heading)] = 0;
    queue.emplace(0, head.x(), head.y(), int(heading));
    while (!queue.empty()) {
        const auto [reached, column, row, headingIndex] = queue.top();
        queue.pop();
        const QPoint cell(column, row);
        const Heading h = Headings[headingIndex];
        if (reached > cost[index(cell, h)])
            continue;
        if (cell == target) {
            QList<QPoint> way;
            for (int state = index(cell, h); cameFrom[state] >= 0; state = cameFrom[state])
                way.prepend(QPoint(state / 4 % Columns, state / 4 / Columns));
            return way;
        }
        for (const Heading next : Headings) {
            const QPoint to = cell + step(next);
            if (next == reverse(h) || !board.isFree(to))
                continue;
            int added = Move;
            if (next != h)
                added += Turn + (board.isFree(cell + step(h)) ? 0 : CrampedTurn);
            const int i = index(to, next);
            if (reached + added < cost[i]) {
                cost[i] = reached + added;
                cameFrom[i] = index(cell, h);
                queue.emplace(cost[i], to.x(), to.y(), int(next));
            }
        }
    }
    return {};
}

// How many cells can be reached from `from` through open cells, `from` included.
int cellsReachable(QPoint from, const std::function<bool(QPoint)> &isOpen)
{
    if (!isInterior(from) || !isOpen(from))
        return 0;
    std::array<bool, Columns * Rows> seen{};
    std::queue<QPoint> open;
    open.push(from);
    seen[from.y() * Columns + from.x()] = true;
    int count = 0;
    while (!open.empty()) {
        const QPoint cell = open.front();
        open.pop();
        ++count;
        for (const Heading h : Headings) {
            const QPoint to = cell + step(h);
            if (isInterior(to) && !seen[to.y() * Columns + to.x()] && isOpen(to)) {
                seen[to.y() * Columns + to.x()] = true;
                open.push(to);
            }
        }
    }
    return count;
}

// When no way to the food is open: the move into the most room, straight on if equal.
std::optional<Heading> roomiestHeading(const BoardView &board, QPoint head, Heading heading)
{
    std::optional<Heading> best;
    int bestRoom = 0;
    for (const Heading h : {heading, Headings[(int(heading) + 1) % 4],
                            Headings[(int(heading) + 3) % 4]}) {
        const int room = cellsReachable(head + step(h),
                                        [&board](QPoint cell) { return board.isFree(cell); });
        if (room > bestRoom) {
            bestRoom = room;
            best = h;
        }
    }
    return best;
}

// A heading whose straight run from the head ends at the wall, not at the worm;
// the current one first, so that no key is needed if it will do.
std::optional<Heading> headingToWall(const BoardView &board, QPoint head, Heading heading)
{
    for (const Heading h : {heading, Headings[(int(heading) + 1) % 4],
                            Headings[(int(heading) + 3) % 4]}) {
        QPoint cell = head + step(h);
        while (board.isFree(cell))
            cell += step(h);
        if (isWall(cell))
            return h;
    }
    return std::nullopt;
}

// The worm as followed from picture to picture.
struct Worm {
    std::optional<QPoint> head;
    Heading heading = Heading::Right;
    int moves = 0;
    int foods = 0;
    // The worm grows a cell per tick up to its length, which each food raises by
    // one; its cells are the last cells the head passed, the oldest first.
    int length = StartLength;
    QList<QPoint> trail;

    void moveTo(QPoint cell, bool eats)
    {
        trail.append(cell);
        if (int(trail.size()) > length)
            trail.removeFirst();
        if (eats)
            ++length;
    }
};

// Whether the worm, having gone the way to the food, still has room to go on: it
// must not shut itself into a pocket of its own cells, where the only move left
// is onto its tail, a move no picture shows.
bool leavesRoom(Worm worm, const QList<QPoint> &way, QPoint food)
{
    for (const QPoint cell : way)
        worm.moveTo(cell, cell == food);
    // The cells it has left behind by then are free again.
    const auto isOpen = [&worm](QPoint cell) { return !worm.trail.contains(cell); };
    int room = 0;
    for (const Heading h : Headings)
        room = std::max(room, cellsReachable(worm.trail.last() + step(h), isOpen));
    return room >= 2 * worm.length;
}

// The first move of the best way to the food that leaves room; when the best way
// does not, of the shortest one that does after another first move.
std::optional<Heading> headingToFood(const BoardView &board, const Worm &worm, QPoint food)
{
    const QPoint head = *worm.head;
    const QList<QPoint> best = wayTo(board, head, worm.heading, food);
    if (!best.isEmpty() && leavesRoom(worm, best, food))
        return headingBetween(head, best.first());
    std::optional<Heading> shortest;
    qsizetype shortestLength = 0;
    for (const Heading h : Headings) {
        const QPoint next = head + step(h);
        if (h == reverse(worm.heading) || !board.isFree(next))
            continue;
        QList<QPoint> way = next == food ? QList<QPoint>() : wayTo(board, next, h, food);
        if (next != food && way.isEmpty())
            continue;
        way.prepend(next);
        if (leavesRoom(worm, way, food) && (!shortest || way.size() < shortestLength)) {
            shortest = h;
            shortestLength = way.size();
        }
    }
    return shortest;
}

// Follows the worm from picture to picture, and presses an arrow key only right
// after a tick, so that each key lands in a tick of its own.
class WormPlayer {
public:
    WormPlayer(const XSession &x, XSession::WindowId game, int cellSize)
        : m_x(x), m_game(game), m_cellSize(cellSize)
    {
    }

    // Eats `foods` foods, then runs straight into a wall; returns the message box
    // that ends the game, or nothing with the reason in error().
    std::optional<XSession::WindowId> playUntilGameOver(int foods, QDeadlineTimer deadline)
    {
        m_foodsWanted = foods;
        QElapsedTimer sinceMove;
        sinceMove.start();
        while (!deadline.hasExpired()) {
            const std::optional<BoardView> view = stableView();
            if (!view)
                return std::nullopt;
            const int movesBefore = m_worm.moves;
            if (!follow(*view)) {
                // A box that has just appeared over the board is no fault of the board.
                const QString why = m_error;
                if (const std::optional<XSession::WindowId> box = messageBox(within(1s)))
                    return box;
                m_error = why;
                return std::nullopt;
            }
            if (m_worm.moves > movesBefore) {
                sinceMove.restart();
                steer(*view);
            } else if (sinceMove.elapsed() > TickMilliseconds * 3 / 2) {
                // Only a blocked worm stands still for more than a tick.
                if (const std::optional<XSession::WindowId> box = messageBox(within(0ms)))
                    return box;
            }
            QThread::msleep(PollMilliseconds);
        }
        m_error = QStringLiteral("no game over in time: ") + state();
        return std::nullopt;
    }

    int foodsEaten() const { return m_worm.foods; }
    std::optional<QPoint> head() const { return m_worm.head; }
    // Where the worm is steered: the last key's heading until a move shows it,
    // since a move into a wall never shows.
    Heading aim() const { return m_pending.value_or(m_worm.heading); }
    // The row under the score label, as last seen with 0, 1, 2 ... foods eaten.
    const QList<QImage> &scoreStrips() const { return m_scoreStrips; }
    QString error() const { return m_error; }
    QString state() const
    {
        return QStringLiteral("%1 foods, %2 moves, head at %3, heading %4, steered %5")
                .arg(m_worm.foods)
                .arg(m_worm.moves)
                .arg(m_worm.head ? cellName(*m_worm.head) : QStringLiteral("none"),
                     keyName(m_worm.heading), keyName(aim()));
    }

private:
    // A picture is read only once the next one shows the same board, so that a
    // picture taken while the program was halfway through drawing is never read.
    std::optional<BoardView> stableView()
    {
        std::optional<BoardView> previous;
        for (int attempt = 0; attempt < 6; ++attempt) {
            const QImage shot = m_x.screenshot(m_game);
            if (shot.isNull()) {
                m_error = m_x.errorString();
                return std::nullopt;
            }
            std::optional<BoardView> view = BoardView::read(shot, m_cellSize);
            if (!view) {
                m_error = QStringLiteral("a picture of %1 x %2").arg(shot.width()).arg(shot.height());
                return std::nullopt;
            }
            if ((previous && *previous == *view) || (m_last && *m_last == *view))
                return view;
            previous = std::move(view);
        }
        m_error = QStringLiteral("the board kept changing between pictures");
        return std::nullopt;
    }

    std::optional<XSession::WindowId> messageBox(QDeadlineTimer deadline) const
    {
        for (;;) {
            const QList<XSession::WindowId> boxes =
                    m_x.windowsTitled(MessageTitle, XSession::Mapping::MappedOnly);
            if (!boxes.isEmpty())
                return boxes.first();
            if (deadline.hasExpired())
                return std::nullopt;
            QThread::msleep(PollMilliseconds);
        }
    }

    // Takes in what changed since the last picture; false, with why, when the
    // picture does not show a worm that moved on from where it was. Nothing is
    // taken in from such a picture.
    bool follow(const BoardView &view)
    {
        if (!view.wallsWhole()) {
            m_error = QStringLiteral("the wall ring is broken: ") + state();
            return false;
        }
        QList<QPoint> appeared;
        for (const QPoint cell : view.blackCells()) {
            if (!m_last || !m_last->isBlack(cell))
                appeared << cell;
        }
        // Each tick adds one black cell next to the head; several ticks may pass
        // between two pictures. The first game's worm starts right of the start cell.
        Worm worm = m_worm;
        QPoint at = worm.head.value_or(StartCell);
        while (!appeared.isEmpty()) {
            QList<QPoint> next;
            for (const QPoint cell : appeared) {
                if (headingBetween(at, cell))
                    next << cell;
            }
            if (next.size() != 1) {
                m_error = QStringLiteral("black cells at %1 appeared away from the head: %2")
                                  .arg(cellName(appeared.first()), state());
                return false;
            }
            const Heading moved = *headingBetween(at, next.first());
            if (worm.moves == 0 && moved != Heading::Right) {
                m_error = QStringLiteral("the first cell of the worm is at %1, not right of %2")
                                  .arg(cellName(next.first()), cellName(StartCell));
                return false;
            }
            at = next.first();
            appeared.removeOne(at);
            const bool eats = m_food && at == *m_food;
            worm.head = at;
            worm.heading = moved;
            ++worm.moves;
            worm.moveTo(at, eats);
            if (eats)
                ++worm.foods;
        }
        if (worm.head && !view.isBlack(*worm.head)) {
            m_error = QStringLiteral("the head's cell is not black: ") + state();
            return false;
        }
        if (view.greenCells().size() != 1) {
            m_error = QStringLiteral("%1 green cells on the board: %2")
                              .arg(view.greenCells().size())
                              .arg(state());
            return false;
        }
        if (!sameCells(view.blackCells(), worm.trail)) {
            m_error = QStringLiteral("the board shows %1 worm cells where the last %2 cells "
                                     "its head passed were due, after %3 moves and %4 foods")
                              .arg(view.blackCells().size())
                              .arg(worm.trail.size())
                              .arg(worm.moves)
                              .arg(worm.foods);
            return false;
        }
        m_worm = worm;
        m_food = view.greenCells().first();
        m_scoreStrips.resize(m_worm.foods + 1);
        m_scoreStrips[m_worm.foods] = view.scoreStrip();
        m_last = view;
        return true;
    }

    // One key at most per tick, and none while an earlier one may still be
    // waiting for its tick: a key that lands late acts a tick later.
    void steer(const BoardView &view)
    {
        if (m_pending) {
            const bool late = m_worm.heading != *m_pending && !m_pendingWaited;
            m_pendingWaited = true;
            if (late)
                return;
            m_pending.reset();
        }
        const QPoint head = *m_worm.head;
        const Heading heading = m_worm.heading;
        std::optional<Heading> wanted = m_worm.foods < m_foodsWanted
                ? headingToFood(view, m_worm, *m_food)
                : headingToWall(view, head, heading);
        if (!wanted)
            wanted = roomiestHeading(view, head, heading);
        if (wanted && *wanted != heading) {
            m_x.pressKeys({keyName(*wanted)});
            m_pending = wanted;
            m_pendingWaited = false;
        }
    }

    const XSession &m_x;
    XSession::WindowId m_game;
    int m_cellSize;
    int m_foodsWanted = 0;
    Worm m_worm;
    std::optional<BoardView> m_last;
    std::optional<QPoint> m_food;
    std::optional<Heading> m_pending;
    bool m_pendingWaited = false;
    QList<QImage> m_scoreStrips;
    QString m_error;
};

} // namespace

PlayedGame playUntilGameOver(const XSession &x, XSession::WindowId game, int cellSize, int foods,
                             QDeadlineTimer deadline)
{
    WormPlayer player(x, game, cellSize);
    PlayedGame played;
    played.box = player.playUntilGameOver(foods, deadline);
    played.foods = player.foodsEaten();
    played.againstAWall = player.head() && isWall(*player.head() + step(player.aim()));
    played.scoreStrips = player.scoreStrips();
    played.error = player.error();
    played.state = player.state();
    return played;
}


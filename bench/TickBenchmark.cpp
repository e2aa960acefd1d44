#include "bench/TickBenchmark.h"

#include "bench/Stats.h"
#include "game/frmPlayfield.h"
#include "settings/StoreLayout.h"
#include "tests/support/FixedClock.h"
#include "tests/support/MemoryStore.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedNamePrompt.h"
#include "tests/support/ScriptedRandom.h"
#include "ui/TickTimer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QWindow>

#include <array>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

constexpr int CellSize = 7;
constexpr int SpeedNine = 50;
constexpr int WarmupRuns = 10;
constexpr int Runs = 101;
constexpr int LapsPerRun = 10;

// A lap round the 52 cells of columns 2..19 and rows 2..11, from the start cell
// heading right: no wall on the way and the food inside the ring, so at full
// length every tick moves, erases the tail and draws the head.
struct Side {
    int ticks;
    int turnKey;
};
constexpr std::array<Side, 4> Lap{{{17, Playfield::ArrowDown},
                                   {9, Playfield::ArrowLeft},
                                   {17, Playfield::ArrowUp},
                                   {9, Playfield::ArrowRight}}};
constexpr int LapTicks = 52;

// The paints the window receives, and what they cover.
class PaintWatch final : public QObject {
public:
    int paints = 0;
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }
};

bool waitForExposure(QWidget &widget)
{
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (widget.windowHandle() && widget.windowHandle()->isExposed())
            return true;
    }
    return false;
}

QRect cellAt(qint16 x, qint16 y)
{
    return QRect(x, y, CellSize, CellSize);
}

void fail(bool &ok, const char *why)
{
    std::fprintf(stderr, "korvu_bench: %s\n", why);
    ok = false;
}

} // namespace

TickFigures runTickBenchmark(bool &ok)
{
    MemoryStore store;
    // A limit the blocked count never equals: should a tick bump, no box opens.
    store.set(StoreKeys::Options, StoreKeys::HardCore, QStringLiteral("0"));
    ScriptedMessageBoxes messages;
    ScriptedNamePrompt names;
    ScriptedRandom random;
    FixedClock clock;
    // The one food, inside the ring; a second Food would run the queue dry.
    random.queueCell(10, 6);
    frmPlayfield w(PlayfieldServices{
            store, messages, names, random, clock,
            [] {
                return StartSettings{1, QString::number(CellSize), SpeedNine, QStringLiteral("9")};
            },
            [] {}});
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    // The ticks come from the benchmark alone.
    w.Timer1->stop();
    w.show();
    if (!waitForExposure(w)) {
        fail(ok, "the game window was never exposed");
        return {};
    }

    // One tick as the event loop runs it: the timer's expiry, then the events
    // posted meanwhile, among them the update request that paints the changed cells.
    const auto tick = [&w] {
        w.Timer1_Timer();
        QCoreApplication::sendPostedEvents();
    };
    const auto lap = [&w, &tick] {
        for (const Side &side : Lap) {
            for (int i = 0; i < side.ticks; ++i)
                tick();
            w.playfield().KeyDown(side.turnKey);
        }
    };

    TickFigures figures;
    try {
        // The worm grows to full length in the first lap; the second is checked
        // tick by tick: one paint each, of the erased tail and the new head.
        lap();
        PaintWatch watch;
        w.installEventFilter(&watch);
        const GameState &state = w.playfield().state();
        for (const Side &side : Lap) {
            for (int i = 0; i < side.ticks; ++i) {
                const QRegion changed = QRegion(cellAt(state.TrailX[1], state.TrailY[1]));
                watch.paints = 0;
                watch.painted = QRegion();
                tick();
                if (watch.paints != 1
                    || watch.painted != changed + cellAt(state.HeadX, state.HeadY)) {
                    fail(ok, "a tick did not paint exactly its two changed cells");
                    return {};
                }
            }
            w.playfield().KeyDown(side.turnKey);
        }
        w.removeEventFilter(&watch);

        std::vector<double> perTick;
        QElapsedTimer elapsed;
        for (int run = 0; run < WarmupRuns + Runs; ++run) {
            elapsed.start();
            for (int i = 0; i < LapsPerRun; ++i)
                lap();
            const double nanoseconds = double(elapsed.nsecsElapsed()) / (LapsPerRun * LapTicks);
            if (run >= WarmupRuns)
                perTick.push_back(nanoseconds);
        }
        figures = {median(perTick), Runs, LapsPerRun * LapTicks};
    } catch (const std::runtime_error &) {
        fail(ok, "a tick ate food and asked for another");
        return {};
    }

    const GameState &state = w.playfield().state();
    if (state.HeadX != 2 * CellSize || state.HeadY != 2 * CellSize || state.WormLength != 5
        || state.BumpCount != 0 || state.GameScore != 0 || !messages.asked.isEmpty())
        fail(ok, "the worm left its ring: a tick was blocked or ate");
    w.hide();
    return figures;
}

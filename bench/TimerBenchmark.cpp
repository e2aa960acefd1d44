#include "bench/TimerBenchmark.h"

#include "bench/GameWindow.h"
#include "bench/Stats.h"
#include "bench/TickStamper.h"
#include "ui/TickTimer.h"

#include <QApplication>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace {

constexpr int Runs = 3;
constexpr int TicksPerRun = 200;
// Ticks right after the window is shown are left out: the first paints and
// the window's mapping are start-up, not play.
constexpr int SettlingTicks = 10;

// Keeps the worm going round a ring inside the walls, so every tick moves it,
// erases, draws and repaints, as in play.
void steer(Playfield &playfield)
{
    const GameState &g = playfield.state();
    const int column = g.HeadX / GameWindow::CellSize;
    const int row = g.HeadY / GameWindow::CellSize;
    if (column == 19 && row == 2)
        playfield.KeyDown(Playfield::ArrowDown);
    else if (column == 19 && row == 11)
        playfield.KeyDown(Playfield::ArrowLeft);
    else if (column == 2 && row == 11)
        playfield.KeyDown(Playfield::ArrowUp);
    else if (column == 2 && row == 2)
        playfield.KeyDown(Playfield::ArrowRight);
}

} // namespace

TimerFigures runTimerBenchmark(bool &ok)
{
    GameWindow game;
    frmPlayfield &w = *game.window;
    int blockedTicks = 0;
    TickStamper stamper(SettlingTicks + Runs * TicksPerRun + 1, [&w, &blockedTicks] {
        if (w.playfield().state().BumpCount > 0)
            ++blockedTicks;
        steer(w.playfield());
    });
    w.Timer1->installEventFilter(&stamper);

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&stamper] {
        if (stamper.isDone())
            QCoreApplication::quit();
    });
    poll.start(100);
    const int limit = (SettlingTicks + Runs * TicksPerRun) * GameWindow::TickMilliseconds * 2;
    QTimer::singleShot(limit, [] { QCoreApplication::quit(); });

    w.show();
    QApplication::exec();
    w.Timer1->removeEventFilter(&stamper);

    if (!stamper.isDone()) {
        std::fprintf(stderr, "korvu_bench: only %zu ticks arrived in %d ms\n",
                     stamper.stamps().size(), limit);
        ok = false;
        return {};
    }
    if (blockedTicks > 0) {
        std::fprintf(stderr, "korvu_bench: the worm was blocked on %d ticks\n", blockedTicks);
        ok = false;
        return {};
    }

    const std::vector<qint64> &stamps = stamper.stamps();
    const double nominal = GameWindow::TickMilliseconds * 1e6;
    std::vector<double> meanErrors;
    std::vector<double> p99s;
    TimerFigures figures;
    for (int run = 0; run < Runs; ++run) {
        std::vector<double> periods;
        std::vector<double> deviations;
        const std::size_t first = SettlingTicks + std::size_t(run) * TicksPerRun;
        for (std::size_t i = first; i < first + TicksPerRun; ++i) {
            const double period = double(stamps[i + 1] - stamps[i]);
            periods.push_back(period);
            deviations.push_back(std::abs(period - nominal) / 1e6);
        }
        meanErrors.push_back((mean(periods) - nominal) / nominal * 100);
        p99s.push_back(percentile(deviations, 0.99));
        figures.maxDeviationMs = std::max(figures.maxDeviationMs, percentile(deviations, 1.0));
    }
    figures.runs = Runs;
    figures.ticksPerRun = TicksPerRun;
    figures.meanErrorPercent = median(meanErrors);
    figures.p99DeviationMs = median(p99s);
    return figures;
}

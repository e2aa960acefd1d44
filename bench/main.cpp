#include "bench/RepaintBenchmark.h"
#include "bench/RuleBenchmarks.h"
#include "bench/StoreBenchmark.h"
#include "bench/Table.h"
#include "bench/TimerBenchmark.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

// korvu_bench            the rules headless and the repaint on the offscreen platform
// korvu_bench timer      the game window's tick timer on the X display in DISPLAY
// Each prints its rows of the benchmark table; bench/run.sh prints the header.

namespace {

constexpr double TickBudgetNs = 50e6;

int runHeadless(int argc, char *argv[])
{
    // The repaint is timed on the offscreen platform, whatever the caller's screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    bool ok = true;
    const RuleFigures rules = runRuleBenchmarks(ok);
    const RepaintFigures repaint = runRepaintBenchmark(ok);
    const StoreFigures store = runStoreBenchmark(ok);
    if (!ok)
        return 1;

    const double tickWithPaint = rules.tick.subject + repaint.twoCells.subject;
    printRow({QStringLiteral("Ordinary tick: probe, record, erase, draw, changed cells marked for the repaint"),
              formatDuration(rules.tick.subject),
              QStringLiteral("raw floor: 3 pixel reads + two 7×7 fills on a 668×449 image"),
              formatDuration(rules.tick.reference), formatRatio(rules.tick.ratio()),
              QStringLiteral("≤ 3×"), verdict(rules.tick.ratio() <= 3)});
    printRow({QStringLiteral("Ordinary tick + repaint of its two cells"),
              formatDuration(tickWithPaint), QStringLiteral("tick budget at Speed 9"),
              formatDuration(TickBudgetNs),
              QStringLiteral("%1 %").arg(tickWithPaint / TickBudgetNs * 100, 0, 'f', 3),
              QStringLiteral("< 1 %"), verdict(tickWithPaint < TickBudgetNs / 100)});
    printRow({QStringLiteral("Tick that eats food (erase, grow, score, Food on an open board, draw)"),
              formatDuration(rules.eatingTick.subject), QStringLiteral("ordinary tick"),
              formatDuration(rules.eatingTick.reference), formatRatio(rules.eatingTick.ratio()),
              QStringLiteral("—"), QStringLiteral("—")});
    printRow({QStringLiteral("Food, one free cell of 240 (%1 attempts on average)")
                      .arg(rules.foodAttempts, 0, 'f', 0),
              formatDuration(rules.food.subject),
              QStringLiteral("raw: the free-cell scan + 240 × (2 draws + 1 read) + one fill"),
              formatDuration(rules.food.reference), formatRatio(rules.food.ratio()),
              QStringLiteral("—"), QStringLiteral("—")});
    printRow({QStringLiteral("DrawPlayField (70 wall cells)"),
              formatDuration(rules.drawPlayField.subject),
              QStringLiteral("raw: 70 fills of 7×7"), formatDuration(rules.drawPlayField.reference),
              formatRatio(rules.drawPlayField.ratio()), QStringLiteral("—"), QStringLiteral("—")});
    printRow({QStringLiteral("Restart (clear, start sequence, board, food)"),
              formatDuration(rules.restart.subject),
              QStringLiteral("raw: full clear + 71 fills of 7×7"),
              formatDuration(rules.restart.reference), formatRatio(rules.restart.ratio()),
              QStringLiteral("—"), QStringLiteral("—")});
    printRow({QStringLiteral("Repaint of one tick: two 7×7 cells"),
              formatDuration(repaint.twoCells.subject),
              QStringLiteral("full-window repaint (%1×%2)")
                      .arg(repaint.window.width())
                      .arg(repaint.window.height()),
              formatDuration(repaint.twoCells.reference), formatRatio(repaint.twoCells.ratio()),
              QStringLiteral("—"), QStringLiteral("—")});
    printRow({QStringLiteral("\"HardCore\" read of a blocked move, 10 MB settings file, unchanged since the last read"),
              formatDuration(store.blockedMoveRead.subject),
              QStringLiteral("the same read from the usual 0.2 KB file"),
              formatDuration(store.blockedMoveRead.reference),
              formatRatio(store.blockedMoveRead.ratio()), QStringLiteral("≤ 2× (no parse)"),
              verdict(store.blockedMoveRead.ratio() <= 2)});
    printRow({QStringLiteral("First start over a 10 MB settings file: the start window's load reads, decides and saves"),
              formatDuration(store.firstStart.subject),
              QStringLiteral("QSettings alone: open that file, read a key, set 13 keys, sync"),
              formatDuration(store.firstStart.reference), formatRatio(store.firstStart.ratio()),
              QStringLiteral("< 1 s"), verdict(store.firstStart.subject < 1e9)});
    return 0;
}

int runTimer(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    bool ok = true;
    const TimerFigures timer = runTimerBenchmark(ok);
    if (!ok)
        return 1;
    const QString what = QStringLiteral("Timer (%1 × %2 ticks at 50 ms, game window under Xvfb): ")
                                 .arg(timer.runs)
                                 .arg(timer.ticksPerRun);
    printRow({what + QStringLiteral("mean period error"),
              QStringLiteral("%1 %").arg(timer.meanErrorPercent, 0, 'f', 4),
              QStringLiteral("nominal period"), formatDuration(TickBudgetNs),
              QStringLiteral("—"), QStringLiteral("within ±1 %"),
              verdict(std::abs(timer.meanErrorPercent) <= 1)});
    printRow({what + QStringLiteral("p99 of the deviation from 50 ms (largest seen %1 ms)")
                             .arg(timer.maxDeviationMs, 0, 'f', 3),
              QStringLiteral("%1 ms").arg(timer.p99DeviationMs, 0, 'f', 3),
              QStringLiteral("nominal period"), formatDuration(TickBudgetNs),
              QStringLiteral("%1 %").arg(timer.p99DeviationMs / 50 * 100, 0, 'f', 2),
              QStringLiteral("< 2 ms"), verdict(timer.p99DeviationMs < 2)});
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "timer") == 0)
        return runTimer(argc, argv);
    if (argc > 1) {
        std::fprintf(stderr, "usage: korvu_bench [timer]\n");
        return 2;
    }
    return runHeadless(argc, argv);
}

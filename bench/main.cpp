#include "bench/StoreBenchmark.h"
#include "bench/Table.h"
#include "bench/TickBenchmark.h"

#include <QApplication>

// korvu_bench prints the headless rows of the benchmark table: the game
// window's tick on the offscreen platform, and the settings store. bench/run.sh
// adds the rows of the real program and prints the header.
int main(int argc, char *argv[])
{
    // Timed on the offscreen platform, whatever the caller's screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    constexpr double TickBudgetNs = 50e6;
    bool ok = true;
    const TickFigures tick = runTickBenchmark(ok);
    const StoreFigures store = runStoreBenchmark(ok);
    if (!ok)
        return 1;

    printRow({QStringLiteral("Tick of the game window at \"Speed 9\" and the paint of its two "
                             "changed cells (cell size 7, offscreen; median of %1 runs of %2 ticks)")
                      .arg(tick.runs)
                      .arg(tick.ticksPerRun),
              formatDuration(tick.nanoseconds), QStringLiteral("tick budget at \"Speed 9\""),
              formatDuration(TickBudgetNs),
              QStringLiteral("%1 %").arg(tick.nanoseconds / TickBudgetNs * 100, 0, 'f', 3),
              QStringLiteral("< 1 %"), verdict(tick.nanoseconds < TickBudgetNs / 100)});
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

#include "bench/StoreBenchmark.h"
#include "bench/Table.h"
#include "bench/TickBenchmark.h"
#include "settings/IniStore.h"

#include <QApplication>

#include <algorithm>

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
    const auto mebibytes = [](double kib) {
        return QStringLiteral("%1 MiB").arg(kib / 1024, 0, 'f', 1);
    };
    const QString bound = QStringLiteral("%1 MiB settings file (the store's bound, less 1 KiB)")
                                  .arg(IniStore::MaxFileSize / (1024 * 1024));
    printRow({QStringLiteral("Later start over a %1: the start window's load").arg(bound),
              formatDuration(store.laterStart.subject),
              QStringLiteral("the same over the usual 0.2 KB file"),
              formatDuration(store.laterStart.reference), formatRatio(store.laterStart.ratio()),
              QStringLiteral("< 0.5 s"), verdict(store.laterStart.subject < 0.5e9)});
    printRow({QStringLiteral("\"HardCore\" read of a blocked move, the same file unchanged since the last read"),
              formatDuration(store.blockedMoveRead.subject),
              QStringLiteral("the same read from the usual 0.2 KB file"),
              formatDuration(store.blockedMoveRead.reference),
              formatRatio(store.blockedMoveRead.ratio()), QStringLiteral("≤ 2× (no parse)"),
              verdict(store.blockedMoveRead.ratio() <= 2)});
    printRow({QStringLiteral("A score row saved into the same file"), formatDuration(store.save.subject),
              QStringLiteral("QSettings alone: set the two keys in that file, sync"),
              formatDuration(store.save.reference), formatRatio(store.save.ratio()),
              QStringLiteral("< 0.5 s"), verdict(store.save.subject < 0.5e9)});
    printRow({QStringLiteral("First start over the same file without \"Played\": the load reads, decides and saves"),
              formatDuration(store.firstStart.subject),
              QStringLiteral("QSettings alone: open that file, read a key, set 13 keys, sync"),
              formatDuration(store.firstStart.reference), formatRatio(store.firstStart.ratio()),
              QStringLiteral("< 0.5 s"), verdict(store.firstStart.subject < 0.5e9)});
    printRow({QStringLiteral("Peak memory added by the later start, the save and the first start over that file"),
              QStringLiteral("%1, %2, %3")
                      .arg(mebibytes(store.laterStartPeakKiB), mebibytes(store.savePeakKiB),
                           mebibytes(store.firstStartPeakKiB)),
              QStringLiteral("the file"), mebibytes(IniStore::MaxFileSize / 1024.0), QStringLiteral("—"),
              QStringLiteral("< 64 MiB each"),
              verdict(std::max({store.laterStartPeakKiB, store.savePeakKiB, store.firstStartPeakKiB})
                      < 64 * 1024)});
    return 0;
}

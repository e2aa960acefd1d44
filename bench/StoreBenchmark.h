#pragma once

#include "bench/Paired.h"

// The settings store over a file at its size bound: the start window's load
// of a later start, the "HardCore" read a blocked move makes, a score saved,
// and a first start; each with the peak memory it adds.
struct StoreFigures {
    Paired laterStart; // the start window's load over the file, against the usual small file
    Paired blockedMoveRead; // a read from the unchanged file, against one from the small file
    Paired save; // a score row saved into the file, against QSettings alone saving it
    Paired firstStart; // a first start written into the file, against QSettings alone
    // Growth of the peak resident memory, in KiB, of one load, save and first start.
    double laterStartPeakKiB = 0;
    double savePeakKiB = 0;
    double firstStartPeakKiB = 0;
};

StoreFigures runStoreBenchmark(bool &ok);

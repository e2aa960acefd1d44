#pragma once

#include "bench/Paired.h"

// The settings store over a 10 MB file: the "HardCore" read a blocked move
// makes, and a whole first start.
struct StoreFigures {
    Paired blockedMoveRead; // a read from the 10 MB file against one from the usual small file
    Paired firstStart; // a start window's load that writes the first start into it,
                       // against QSettings alone saving 13 keys into the same file
};

StoreFigures runStoreBenchmark(bool &ok);

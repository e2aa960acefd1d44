#pragma once

#include "bench/Paired.h"

// The settings store over a 10 MB file: the "HardCore" read a blocked move
// makes, and a whole first start.
struct StoreFigures {
    Paired blockedMoveRead; // a read from the 10 MB file against one from the usual small file
    double firstParseNs = 0; // the first read of the 10 MB file, which parses it
    double firstStartNs = 0; // a start window's load that writes the first start into it
};

StoreFigures runStoreBenchmark(bool &ok);

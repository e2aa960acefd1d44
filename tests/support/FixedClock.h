#pragma once

#include "game/Clock.h"

// Noon, or whatever time the test sets.
class FixedClock final : public Clock {
public:
    double secondsSinceMidnight() override { return seconds; }
    double seconds = 12 * 3600.0;
};

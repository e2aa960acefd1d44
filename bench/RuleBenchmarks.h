#pragma once

#include "bench/Paired.h"

// The rules timed headless, each against a reference measured in the same run.
struct RuleFigures {
    Paired tick;          // an ordinary tick against the same pixel work done raw
    Paired eatingTick;    // a tick that eats food against an ordinary tick
    Paired food;          // Food with one free cell against the same search done raw
    double foodAttempts = 0; // mean attempts per Food call, from a separate counted pass
    Paired drawPlayField; // against the wall fills done raw
    Paired restart;       // against the clear and the fills done raw
};

// Sets ok to false, and says why on stderr, when a scenario stops being the one
// it claims to time (an ordinary tick that eats or bumps, a Food that misses).
RuleFigures runRuleBenchmarks(bool &ok);

#pragma once

struct TimerFigures {
    int runs = 0;
    int ticksPerRun = 0;
    double meanErrorPercent = 0; // median over runs of (mean period - 50 ms) / 50 ms
    double p99DeviationMs = 0;   // median over runs of the 99th percentile of |period - 50 ms|
    double maxDeviationMs = 0;   // the largest |period - 50 ms| seen in any run
};

// Needs a QApplication on a real X display. Sets ok to false when the ticks
// did not arrive in time.
TimerFigures runTimerBenchmark(bool &ok);

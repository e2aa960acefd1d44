#pragma once

// One tick of the game window at "Speed 9" as the event loop runs it: the
// rules, then the paint of the two cells the tick changed.
struct TickFigures {
    double nanoseconds = 0; // median over runs of the mean per tick
    int runs = 0;
    int ticksPerRun = 0;
};

// Needs a QApplication on the offscreen platform. Sets ok to false, and says
// why on stderr, when a tick is not the ordinary one it claims to time.
TickFigures runTickBenchmark(bool &ok);

#pragma once

#include <QElapsedTimer>

// The time of day, handed to the rules like the randomness.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() = 0;
};

// Reads the wall clock once and counts on from it with the monotonic clock:
// asking for the local time costs a time-zone check on every call, and a food
// placement asks each time.
class SystemClock final : public Clock {
public:
    SystemClock();
    double secondsSinceMidnight() override;

private:
    double m_startSeconds;
    QElapsedTimer m_elapsed;
};

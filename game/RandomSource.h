#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// The program's pseudo-random generator, handed to the rules so that a run can
// be reproduced.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Mixes the time of day into the generator's state.
    virtual void reseed(double secondsSinceMidnight) = 0;
    // A value uniform on [0, 1).
    virtual double next() = 0;
};

// The time of day, handed in like the randomness.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() = 0;
};

// A 64-bit mixing generator. Reseeding folds the time into the running state
// instead of replacing it, so two reseeds within the same second still lead to
// different sequences.
class MixingRandom final : public RandomSource {
public:
    explicit MixingRandom(quint64 seed = 0x9E3779B97F4A7C15ull) : m_state(seed) { }
    void reseed(double secondsSinceMidnight) override;
    double next() override;

private:
    quint64 m_state;
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

#pragma once

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

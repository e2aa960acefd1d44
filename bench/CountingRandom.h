#pragma once

#include "game/RandomSource.h"

// The real generator, counting its draws: Food takes two per attempt.
class CountingRandom final : public RandomSource {
public:
    void reseed(double secondsSinceMidnight) override { m_random.reseed(secondsSinceMidnight); }
    double next() override
    {
        ++m_draws;
        return m_random.next();
    }
    qint64 draws() const { return m_draws; }

private:
    MixingRandom m_random;
    qint64 m_draws = 0;
};

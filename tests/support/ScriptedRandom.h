#pragma once

#include "game/RandomSource.h"

#include <QList>

#include <stdexcept>

// Hands out queued values; running dry is a test failure, not a silent default.
class ScriptedRandom final : public RandomSource {
public:
    void reseed(double secondsSinceMidnight) override { reseeds.append(secondsSinceMidnight); }

    double next() override
    {
        if (values.isEmpty())
            throw std::runtime_error("scripted random values ran out");
        ++drawn;
        return values.takeFirst();
    }

    // Queues the draws that pick (column, row) in the food search.
    void queueCell(int column, int row)
    {
        values.append((column - 1 + 0.5) / 20.0);
        values.append((row - 2 + 0.5) / 12.0);
    }

    QList<double> values;
    QList<double> reseeds;
    int drawn = 0;
};

#pragma once

#include "bench/Stats.h"

#include <vector>

// A figure and its reference, each the median over the same runs.
struct Paired {
    double subject = 0;
    double reference = 0;
    double ratio() const { return reference > 0 ? subject / reference : 0; }
};

// Runs subject and reference alternately, so both see the same state of the
// machine; each call returns nanoseconds per operation. The first runs only
// warm caches and are dropped.
template <class Subject, class Reference>
Paired measurePaired(int warmups, int runs, Subject subject, Reference reference)
{
    std::vector<double> subjects;
    std::vector<double> references;
    for (int run = 0; run < warmups + runs; ++run) {
        const double s = subject();
        const double r = reference();
        if (run < warmups)
            continue;
        subjects.push_back(s);
        references.push_back(r);
    }
    return {median(subjects), median(references)};
}

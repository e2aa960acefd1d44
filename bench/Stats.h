#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

// The middle value; the mean of the two middle values for an even count.
inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Nearest-rank percentile: the smallest value that at least p of the values do
// not exceed.
inline double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::ceil(p * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

inline double mean(const std::vector<double> &values)
{
    if (values.empty())
        return 0;
    double sum = 0;
    for (const double v : values)
        sum += v;
    return sum / double(values.size());
}

// Keeps the optimiser from dropping or merging work whose result nobody reads.
template <class T>
inline void keep(const T &value)
{
    asm volatile("" : : "r,m"(value) : "memory");
}

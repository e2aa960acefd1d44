#pragma once

#include <algorithm>
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

// Keeps the optimiser from dropping or merging work whose result nobody reads.
template <class T>
inline void keep(const T &value)
{
    asm volatile("" : : "r,m"(value) : "memory");
}

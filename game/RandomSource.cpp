#include "game/RandomSource.h"

#include <bit>

namespace {

quint64 splitMix(quint64 &state)
{
    quint64 z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

void MixingRandom::reseed(double secondsSinceMidnight)
{
    m_state ^= std::bit_cast<quint64>(secondsSinceMidnight);
    splitMix(m_state);
}

double MixingRandom::next()
{
    // The top 53 bits make a double on [0, 1) with every value equally likely.
    return double(splitMix(m_state) >> 11) * 0x1.0p-53;
}

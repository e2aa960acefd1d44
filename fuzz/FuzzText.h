#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Fuzz input as the text a store or a text box could hold.
inline QString fuzzText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A broken property is a finding: stop loudly so the fuzzer keeps the input.
inline void require(bool property)
{
    if (!property)
        std::abort();
}

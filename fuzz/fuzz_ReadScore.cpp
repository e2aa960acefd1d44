#include "fuzz/FuzzText.h"
#include "settings/StoredText.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    const double score = ReadScore(text);
    require(std::isfinite(score));
    require(score == ReadNumber(text).value_or(0.0));
    return 0;
}

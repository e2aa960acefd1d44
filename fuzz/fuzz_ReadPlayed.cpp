#include "fuzz/FuzzText.h"
#include "settings/StoredText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    const bool played = ReadPlayed(text);
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        require(played);
    if (word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        require(!played);
    // Only "False" or a number equal to zero may count as a first start.
    if (!played)
        require(word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0
                || ReadNumber(text) == 0.0);
    return 0;
}

#include "fuzz/FuzzText.h"
#include "settings/StoredText.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    const std::optional<qint16> value = ReadInt16(text);
    const std::optional<double> number = ReadNumber(text);
    if (value) {
        // A whole number comes only from a number, and lies within half of it.
        require(number.has_value());
        require(std::fabs(*number - *value) <= 0.5);
        require(ReadInt16(QString::number(*value)) == value);
    } else if (number) {
        // A number is refused only when it rounds outside 16 bits.
        require(*number < -32768.5 || *number > 32767.0);
    }
    return 0;
}

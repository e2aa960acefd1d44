#include "settings/StoredText.h"

#include "settings/StoreLayout.h"

#include <QLocale>

#include <cmath>

namespace {

// To the nearest integer, halves to the even one. std::round and std::trunc
// ignore the process's rounding mode, so this never has to change it.
double roundHalfToEven(double value)
{
    const bool half = std::fabs(value - std::trunc(value)) == 0.5;
    return half ? 2.0 * std::round(value / 2.0) : std::round(value);
}

} // namespace

std::optional<double> ReadNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint16> ReadInt16(const QString &text)
{
    const std::optional<double> number = ReadNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = roundHalfToEven(*number);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

std::optional<qint16> ReadCellSize(const QString &text)
{
    const std::optional<qint16> size = ReadInt16(text);
    if (!size || *size < StoreLimits::MinCellSize || *size > StoreLimits::MaxCellSize)
        return std::nullopt;
    return size;
}

bool ReadPlayed(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (const std::optional<double> number = ReadNumber(trimmed))
        return *number != 0.0;
    return true;
}

double ReadScore(const QString &text)
{
    return ReadNumber(text).value_or(0.0);
}

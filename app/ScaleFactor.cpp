#include "app/ScaleFactor.h"

#include <cmath>

QString dropSenselessScaleFactor()
{
    constexpr char Name[] = "QT_SCALE_FACTOR";
    if (!qEnvironmentVariableIsSet(Name))
        return {};
    const QString value = qEnvironmentVariable(Name);
    bool isNumber = false;
    const double factor = value.toDouble(&isNumber);
    if (isNumber && std::isfinite(factor) && factor > 0)
        return {};
    qunsetenv(Name);
    // An empty value is a common way of saying "none"; it needs no word.
    if (value.isEmpty())
        return {};
    return QStringLiteral("korvu: QT_SCALE_FACTOR=%1 is not a positive number; it is ignored")
            .arg(value);
}

#include "app/ScaleFactor.h"

#include <cmath>
#include <optional>

namespace {

// From a quarter, where the smallest game window still shows 11 x 7 pixels,
// to 8, where the largest still fits on an 8K screen.
constexpr double SmallestScale = 0.25;
constexpr double LargestScale = 8;
// Text is drawn at this many dots per inch unless QT_FONT_DPI says otherwise.
constexpr double UsualDpi = 96;

bool isSound(double scale)
{
    return scale >= SmallestScale && scale <= LargestScale;
}

std::optional<double> readFactor(const QString &text)
{
    bool isNumber = false;
    const double factor = text.toDouble(&isNumber);
    return isNumber && std::isfinite(factor) ? std::optional(factor) : std::nullopt;
}

// Removes the variable; says so unless it was empty, a common way of saying "none".
void drop(const char *name, QStringList &said)
{
    const QString value = qEnvironmentVariable(name);
    qunsetenv(name);
    if (!value.isEmpty())
        said << QStringLiteral("korvu: %1=%2 is ignored: windows and text are scaled by %3 to "
                               "%4 only")
                        .arg(QLatin1String(name), value)
                        .arg(SmallestScale)
                        .arg(LargestScale);
}

} // namespace

QStringList dropSenselessScaleFactors()
{
    constexpr char Global[] = "QT_SCALE_FACTOR";
    constexpr char Screens[] = "QT_SCREEN_SCALE_FACTORS";
    constexpr char FontDpi[] = "QT_FONT_DPI";
    QStringList said;
    double global = 1;
    if (qEnvironmentVariableIsSet(Global)) {
        const std::optional<double> factor = readFactor(qEnvironmentVariable(Global));
        if (factor && isSound(*factor))
            global = *factor;
        else
            drop(Global, said);
    }
    if (qEnvironmentVariableIsSet(Screens)) {
        // "2;1.5" gives the screens in order, "HDMI-1=2;DP-1=1.5" by name.
        bool sound = !qEnvironmentVariable(Screens).isEmpty();
        for (const QString &entry : qEnvironmentVariable(Screens).split(u';', Qt::SkipEmptyParts)) {
            const std::optional<double> factor = readFactor(entry.section(u'=', -1));
            sound = sound && factor && isSound(*factor) && isSound(global * *factor);
        }
        if (!sound)
            drop(Screens, said);
    }
    if (qEnvironmentVariableIsSet(FontDpi)) {
        const std::optional<double> dpi = readFactor(qEnvironmentVariable(FontDpi));
        if (!dpi || !isSound(*dpi / UsualDpi))
            drop(FontDpi, said);
    }
    return said;
}

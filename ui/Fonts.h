#pragma once

#include <QFont>

// The typefaces the windows were laid out with. Each one falls back to a face of
// the same character, so the layouts hold where the original face is missing.
enum class DesignFont { LucidaConsole, TimesNewRoman, Tahoma, MsSansSerif };

QFont designFont(DesignFont family, qreal pointSize);

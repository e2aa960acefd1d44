#pragma once

#include <QFont>

// The typefaces the windows were laid out with. Where one is missing, a face
// drawn to its measures stands in: Liberation Serif and Liberation Sans keep
// the widths and ascents of the serif and sans faces, so the score label keeps
// its place over the board; DejaVu Sans Mono has the console face's advance.
// The package depends on both font packages.
enum class DesignFont { LucidaConsole, TimesNewRoman, Tahoma, MsSansSerif };

QFont designFont(DesignFont family, qreal pointSize);

#pragma once

#include <QString>

// Qt reads QT_SCALE_FACTOR as the application starts, and a value that is no
// positive finite number breaks it: -1 crashes the first paint, 0 never shows a
// window. Such a value is removed before Qt sees it, as if it were absent.
// Returns the line that says so, or nothing when the value was absent or sound.
QString dropSenselessScaleFactor();

#pragma once

#include <QStringList>

// Qt reads QT_SCALE_FACTOR and QT_SCREEN_SCALE_FACTORS as the application
// starts, and takes whatever they say: -1 crashed the first paint, 0 or 1e-300
// never showed a window, 1000 made one of 32767 pixels a side that never
// closed; QT_FONT_DPI at 100,000 crashed it too. A variable that would scale
// the windows by less than 0.25 or more than 8 (alone, or one screen's factor
// times the global one), or the text to outside 24 to 768 dots per inch, is
// removed before Qt sees it, as if it were absent. Returns one line for each
// variable removed.
QStringList dropSenselessScaleFactors();

#pragma once

#include "bench/Paired.h"

#include <QSize>

struct RepaintFigures {
    Paired twoCells; // the paint of one tick against a repaint of the whole window
    QSize window;
};

// Needs a QApplication on the offscreen platform. Sets ok to false when the
// window never became exposed.
RepaintFigures runRepaintBenchmark(bool &ok);

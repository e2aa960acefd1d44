#pragma once

#include <QIcon>

// The program's icon: a black worm beside a green food cell on the light-grey
// board, drawn in 16 colours at 16, 32 and 48 pixels.
QIcon korvuIcon();

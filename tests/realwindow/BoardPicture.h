#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>

// What a picture of the game window's board shows, read as the game reads it:
// by the pixel one right of and below a cell's corner.
QRgb cellColour(const QImage &board, int cellSize, int column, int row);

// The first wall cell that does not read black, as "column,row"; empty if the
// ring of rows 1 and 13 and columns 0 and 21 is whole. Row 0 holds no wall.
QString brokenWall(const QImage &board, int cellSize);

// Whether a black cell lies inside the walls below row 2, where the worm
// starts: it has turned down. False for a picture not of this cell size.
bool wormBelowRowTwo(const QImage &board, int cellSize);

// Why the board does not show exactly one food, a block of pure green the size
// of a cell on an interior cell; empty when it does, with the block in `food`.
QString foodProblem(const QImage &board, int cellSize, QRect *food = nullptr);

// Why the picture does not show a board just begun with cells of `cellSize`:
// its size, the whole wall ring, one food, a background that is neither black
// nor green in row 0, and that colour or the food in the first interior cell,
// left of where the worm starts. Empty when it does.
QString boardProblem(const QImage &board, int cellSize);

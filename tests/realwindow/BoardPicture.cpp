#include "tests/realwindow/BoardPicture.h"

#include "tests/realwindow/KorvuScreen.h"

#include <QColor>

using namespace KorvuScreen;

QRgb cellColour(const QImage &board, int cellSize, int column, int row)
{
    return colourAt(board, column * cellSize + 1, row * cellSize + 1);
}

QString brokenWall(const QImage &board, int cellSize)
{
    for (int row = 1; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            const bool wall = row == 1 || row == Rows - 1 || column == 0 || column == Columns - 1;
            if (wall && cellColour(board, cellSize, column, row) != Black)
                return QStringLiteral("%1,%2").arg(column).arg(row);
        }
    }
    return {};
}

bool wormBelowRowTwo(const QImage &board, int cellSize)
{
    if (board.size() != QSize(Columns * cellSize, Rows * cellSize))
        return false;
    for (int row = 3; row < Rows - 1; ++row) {
        for (int column = 1; column < Columns - 1; ++column) {
            if (cellColour(board, cellSize, column, row) == Black)
                return true;
        }
    }
    return false;
}

QString foodProblem(const QImage &board, int cellSize, QRect *food)
{
    QRect green;
    int greenPixels = 0;
    for (int y = 0; y < board.height(); ++y) {
        for (int x = 0; x < board.width(); ++x) {
            if (colourAt(board, x, y) == Green) {
                ++greenPixels;
                green |= QRect(x, y, 1, 1);
            }
        }
    }
    if (food)
        *food = green;
    const QRect interior(cellSize, 2 * cellSize, (Columns - 2) * cellSize, (Rows - 3) * cellSize);
    if (greenPixels != cellSize * cellSize || green.size() != QSize(cellSize, cellSize)
        || green.x() % cellSize != 0 || green.y() % cellSize != 0 || !interior.contains(green))
        return QStringLiteral("%1 green pixels in (%2, %3) %4 x %5, not one food cell")
                .arg(greenPixels)
                .arg(green.x())
                .arg(green.y())
                .arg(green.width())
                .arg(green.height());
    return {};
}

QString boardProblem(const QImage &board, int cellSize)
{
    if (board.size() != QSize(Columns * cellSize, Rows * cellSize))
        return QStringLiteral("a picture of %1 x %2").arg(board.width()).arg(board.height());
    if (const QString wall = brokenWall(board, cellSize); !wall.isEmpty())
        return QStringLiteral("wall cell %1 is not black").arg(wall);
    QRect food;
    if (const QString problem = foodProblem(board, cellSize, &food); !problem.isEmpty())
        return problem;
    const QRgb background = cellColour(board, cellSize, 0, 0);
    if (background == Black || background == Green)
        return QStringLiteral("row 0 is %1").arg(QColor(background).name());
    const QRgb first = cellColour(board, cellSize, 1, 2);
    const bool foodThere = food.topLeft() == QPoint(cellSize, 2 * cellSize);
    if (first != (foodThere ? Green : background))
        return QStringLiteral("the first interior cell is %1").arg(QColor(first).name());
    return {};
}

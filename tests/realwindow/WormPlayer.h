#pragma once

#include "tests/realwindow/XSession.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

// What a game played by its pictures came to.
struct PlayedGame {
    // The message box that ended it; nothing, with the reason in `error`, if
    // the pictures showed something else than a worm moving on.
    std::optional<XSession::WindowId> box;
    int foods = 0;
    // Whether the worm was last steered into the wall ring.
    bool againstAWall = false;
    // The row under the score label, as last seen with 0, 1, 2 ... foods eaten.
    QList<QImage> scoreStrips;
    QString error;
    // Where the worm stood, for failure messages.
    QString state;
};

// Plays a game of the first start's speed, "Speed 1", in the game window by its
// pictures alone, with cells of `cellSize`: follows the head from cell to cell,
// checks that the worm's cells are the last ones its head passed, one more for
// each food it lands on, and steers it by arrow keys onto `foods` foods, then
// straight into the wall.
PlayedGame playUntilGameOver(const XSession &x, XSession::WindowId game, int cellSize, int foods,
                             QDeadlineTimer deadline);

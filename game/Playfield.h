#pragma once

#include "game/Canvas.h"
#include "game/GameState.h"

#include <optional>

class Clock;
class PlayfieldHost;
class RandomSource;
class Store;

// The game's rules over the picture and the state: the start sequence, the board,
// the food, the tick and the steering keys. Plain C++, so a whole game runs
// without a screen. The tick reads the blocking limit from the store itself.
class Playfield {
public:
    static constexpr int Columns = 22;
    static constexpr int Rows = 14;

    // Key codes of the arrow keys.
    static constexpr int ArrowLeft = 37;
    static constexpr int ArrowUp = 38;
    static constexpr int ArrowRight = 39;
    static constexpr int ArrowDown = 40;

    Playfield(Canvas &canvas, PlayfieldHost &host, Store &store, RandomSource &random,
              Clock &clock);

    void StartSequence();
    void Restart();
    void DrawPlayField();
    // Places one food cell; false when no interior cell is free (nothing painted).
    bool Food();
    void Tick();
    void KeyDown(int keyCode);

    // How many blocked moves in a row end a game, as the store holds it now;
    // nothing when no count can reach it, so that blocking never ends a game.
    std::optional<qint16> blockLimit() const;

    const GameState &state() const { return m_state; }
    GameState &state() { return m_state; }

private:
    quint32 probe(int x, int y) const { return m_canvas.PixelColour(x + 1, y + 1); }
    void move(qint16 direction, int sign);
    bool hardCoreReached();
    void gameOver();
    void completeMove();
    bool hasFreeCandidate() const;
    void fitWindowToBoard();
    // Narrows the window along one axis until its client area is no larger
    // than the board.
    void shrinkToBoard(Qt::Orientation axis, int boardPixels, int designPixels);

    Canvas &m_canvas;
    PlayfieldHost &m_host;
    Store &m_store;
    RandomSource &m_random;
    Clock &m_clock;
    GameState m_state;
};

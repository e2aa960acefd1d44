#pragma once

#include "bench/NullHost.h"
#include "bench/NullStore.h"
#include "game/Canvas.h"
#include "game/Clock.h"
#include "game/Playfield.h"
#include "game/RandomSource.h"

#include <QRegion>

// The rules running headless as the game window runs them: the real clock, the
// randomness handed in, and the changed rectangles taken from the canvas after
// every tick, as the game window takes them for its repaint.
struct HeadlessBoard {
    static constexpr int CellSize = 7;
    // The window's face colour under the Fusion style.
    static constexpr quint32 Face = 0xEFEFEF;

    explicit HeadlessBoard(RandomSource &random)
        : host(StartSettings{1, QString::number(CellSize), 50, QStringLiteral("9")}),
          canvas(Face),
          playfield(canvas, host, store, random, clock)
    {
        playfield.StartSequence();
        canvas.takeDamage();
    }

    // The pixel rectangle of a board cell.
    static QRect cell(int column, int row)
    {
        return QRect(column * CellSize, row * CellSize, CellSize, CellSize);
    }

    NullHost host;
    NullStore store;
    SystemClock clock;
    Canvas canvas;
    Playfield playfield;
    Canvas::Damage damage;
};

#pragma once

#include "bench/FixedNamePrompt.h"
#include "bench/NullStore.h"
#include "bench/SilentMessageBoxes.h"
#include "game/Clock.h"
#include "game/RandomSource.h"
#include "game/frmPlayfield.h"

#include <memory>

// The real game window with the real randomness and clock, started at cell
// size 7 and "Speed 9" (50 ms), over services that never block.
struct GameWindow {
    static constexpr int CellSize = 7;
    static constexpr int TickMilliseconds = 50;

    GameWindow()
        : window(std::make_unique<frmPlayfield>(PlayfieldServices{
                  store, messages, names, random, clock,
                  [] {
                      return StartSettings{1, QString::number(CellSize), TickMilliseconds,
                                           QStringLiteral("9")};
                  },
                  [] {}}))
    {
        window->setAttribute(Qt::WA_DeleteOnClose, false);
    }

    NullStore store;
    SilentMessageBoxes messages;
    FixedNamePrompt names;
    MixingRandom random;
    SystemClock clock;
    std::unique_ptr<frmPlayfield> window;
};

#pragma once

#include <QtGlobal>

#include <array>

// The running game's state, under the names the rules use. All of it is zero
// when the game window is created; nothing of it is saved.
struct GameState {
    static constexpr int TrailEntries = 513; // entries 1..512; entry 0 is never used

    qint16 Direction = 0; // 0 up, 1 left, 2 down, 3 right
    qint16 WormLength = 0;
    qint16 HeadX = 0;
    qint16 HeadY = 0;
    qint16 CellSize = 0;
    std::array<qint16, TrailEntries> TrailX{};
    std::array<qint16, TrailEntries> TrailY{};
    qint16 TrailCount = 0;
    qint16 LoopIndex = 0;
    qint16 FoodX = 0;
    qint16 FoodY = 0;
    bool TurnTaken = false;
    qint16 BumpCount = 0;
    qint16 TickInterval = 0;
    qint16 FoodPoints = 0;
    qint16 GameScore = 0;
};

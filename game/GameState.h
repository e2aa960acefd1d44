#pragma once

#include <QtGlobal>

#include <array>

// The headings Direction holds, counter-clockwise from up.
namespace Heading {
constexpr qint16 Up = 0;
constexpr qint16 Left = 1;
constexpr qint16 Down = 2;
constexpr qint16 Right = 3;
} // namespace Heading

// The running game's state, under the names the rules use. All of it is zero
// when the game window is created; nothing of it is saved.
struct GameState {
    static constexpr int TrailEntries = 513; // entries 1..512; entry 0 is never used

    qint16 Direction = 0; // a Heading
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

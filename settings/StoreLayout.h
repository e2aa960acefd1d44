#pragma once

#include <QList>
#include <QString>

#include <array>
#include <utility>

// Where everything the program remembers lives in the store, what a read gives
// for a missing key, and which values the game can use. No other file spells a
// key or a default.
namespace StoreKeys {

inline const QString App = QStringLiteral("Korvu");
inline const QString Options = QStringLiteral("Options");
inline const QString Highscore = QStringLiteral("Highscore");

// In "Options".
inline const QString Speed = QStringLiteral("Speed");
inline const QString PPFood = QStringLiteral("PPFood");
inline const QString Size = QStringLiteral("Size");
inline const QString HardCore = QStringLiteral("HardCore");
inline const QString Played = QStringLiteral("Played");

// In "Highscore": rows 1 to HighscoreRows from the top, each a name and a score.
constexpr int HighscoreRows = 4;
inline QString Name(int row)
{
    return QStringLiteral("Name%1").arg(row);
}
inline QString Score(int row)
{
    return QStringLiteral("Score%1").arg(row);
}

// Every key the program writes, each with its section.
inline QList<std::pair<QString, QString>> all()
{
    QList<std::pair<QString, QString>> keys;
    for (const QString &key : {Speed, PPFood, Size, HardCore, Played})
        keys.append({Options, key});
    for (int row = 1; row <= HighscoreRows; ++row)
        keys.append({{Highscore, Name(row)}, {Highscore, Score(row)}});
    return keys;
}

} // namespace StoreKeys

// The speed list, slowest first: a stored "Speed" is a position in it. Picking
// a level sets the points per food to the level's number.
namespace SpeedLevels {

struct Level {
    const char *text;
    int tickInterval; // milliseconds
};

constexpr std::array<Level, 9> List{{
        {"Speed 1", 400},
        {"Speed 2", 300},
        {"Speed 3", 250},
        {"Speed 4", 200},
        {"Speed 5", 150},
        {"Speed 6", 125},
        {"Speed 7", 100},
        {"Speed 8", 75},
        {"Speed 9", 50},
}};

constexpr int pointsPerFood(int position)
{
    return position + 1;
}

} // namespace SpeedLevels

// What a read supplies when the key is missing; the first start writes the
// same values, except "Played", which it sets.
namespace StoreDefaults {

constexpr int Speed = 0; // "Speed 1"
constexpr int PPFood = SpeedLevels::pointsPerFood(Speed);
constexpr int Size = 5;
constexpr int HardCore = 2;
constexpr bool Played = false;
constexpr int Score = 0;

} // namespace StoreDefaults

// The cell sizes in pixels whose board fits the game window.
namespace StoreLimits {

constexpr int MinCellSize = 2;
constexpr int MaxCellSize = 30;

} // namespace StoreLimits

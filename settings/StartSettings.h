#pragma once

#include <QString>

// The start window's controls as every game start reads them.
struct StartSettings {
    int showPoints = 1;    // ShowPoints: 0 unchecked, 1 checked
    QString sizeText;      // TSize
    int tickInterval = 0;  // milliseconds, of the selected CSpeed entry; 0 if none
    QString ppFoodText;    // TPPFood
};

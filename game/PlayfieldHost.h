#pragma once

#include <QString>
#include <QtGlobal>

// The start window's controls as a game start reads them.
struct StartSettings {
    int showPoints = 1;     // 0 unchecked, 1 checked
    QString sizeText;       // TSize
    int speedItemData = 0;  // item data of the selected CSpeed entry; 0 if none
    QString ppFoodText;     // TPPFood
};

// Everything the rules reach outside the picture and the state: the start
// window's settings, the score label, the tick timer, the window's size, the
// store and the end-of-game dialogs. The game window implements it; tests
// script it.
class PlayfieldHost {
public:
    virtual ~PlayfieldHost() = default;

    virtual StartSettings startSettings() = 0;

    virtual void setScoreVisible(bool visible) = 0;
    virtual void setScoreText(const QString &text) = 0;
    virtual void setScoreLeft(int left) = 0;
    virtual void setScoreTop(int top) = 0;
    virtual void setScorePointSize(int points) = 0;

    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void setTimerEnabled(bool enabled) = 0;

    virtual int clientWidth() = 0;
    virtual int clientHeight() = 0;
    virtual int outerWidthTwips() = 0;
    virtual int outerHeightTwips() = 0;
    virtual void setOuterWidthTwips(int twips) = 0;
    virtual void setOuterHeightTwips(int twips) = 0;

    // The stored "HardCore" text, read afresh on every blocked tick.
    virtual QString hardCoreText() = 0;
    // "Oyun Bitti!"; returns when the player has closed it.
    virtual void showGameOver() = 0;
    virtual void CheckScore(qint16 &score) = 0;
};

#pragma once

#include "settings/StartSettings.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QtGlobal>

// Everything the rules reach outside the picture, the state and the store: the
// start window's settings, the score label, the tick timer, the window's size
// and the end-of-game dialogs. The game window implements it; tests script it.
class PlayfieldHost {
public:
    virtual ~PlayfieldHost() = default;

    virtual StartSettings startSettings() = 0;

    virtual void setScoreVisible(bool visible) = 0;
    virtual void setScoreText(const QString &text) = 0;
    // Moves the score label's top-left corner and sets its font size in points.
    virtual void placeScore(QPoint topLeft, int points) = 0;

    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void setTimerEnabled(bool enabled) = 0;

    // The window's client area and outer frame in pixels. A new outer size
    // applies at once; the platform may keep the window larger than asked.
    virtual QSize clientSize() = 0;
    virtual QSize outerSize() = 0;
    virtual void setOuterSize(QSize pixels) = 0;

    // "Oyun Bitti!", then the check of the final score against the score
    // table; returns when the player has closed every window they opened.
    virtual void showGameOver(qint16 finalScore) = 0;
};

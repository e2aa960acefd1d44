#pragma once

#include "game/PlayfieldHost.h"

#include <QStringList>

#include <algorithm>
#include <functional>

// A scripted game window: records what the rules do to the label, the timer and
// the end of each game, and models a window whose outer size is its client
// size plus a frame, with an optional smallest size the platform allows.
class FakeHost final : public PlayfieldHost {
public:
    StartSettings settings{1, QStringLiteral("5"), 400, QStringLiteral("1")};

    bool scoreVisible = false;
    QString scoreText;
    int scoreLeft = 0;
    int scoreTop = 0;
    int scorePoints = 0;
    int timerInterval = 0;
    bool timerEnabled = false;

    int frame = 8;
    int client[2] = {668, 449};
    int smallestOuter[2] = {1, 1};
    int resizeRequests = 0;

    QStringList events;
    // The final score of each game that ended, in order.
    QList<int> gameOvers;
    std::function<void()> onGameOver;

    StartSettings startSettings() override { return settings; }
    void setScoreVisible(bool visible) override { scoreVisible = visible; }
    void setScoreText(const QString &text) override { scoreText = text; }
    void placeScore(QPoint topLeft, int points) override
    {
        scoreLeft = topLeft.x();
        scoreTop = topLeft.y();
        scorePoints = points;
    }
    void setTimerInterval(int milliseconds) override { timerInterval = milliseconds; }
    void setTimerEnabled(bool enabled) override
    {
        timerEnabled = enabled;
        events.append(enabled ? QStringLiteral("timer on") : QStringLiteral("timer off"));
    }

    QSize clientSize() override { return QSize(client[0], client[1]); }
    QSize outerSize() override { return clientSize() + QSize(frame, frame); }
    void setOuterSize(QSize pixels) override
    {
        ++resizeRequests;
        client[0] = std::max(pixels.width(), smallestOuter[0]) - frame;
        client[1] = std::max(pixels.height(), smallestOuter[1]) - frame;
    }

    void showGameOver(qint16 finalScore) override
    {
        gameOvers.append(finalScore);
        events.append(QStringLiteral("game over at %1").arg(finalScore));
        if (onGameOver)
            onGameOver();
    }
};

#pragma once

#include "game/Canvas.h"
#include "game/Playfield.h"
#include "game/PlayfieldHost.h"

#include <QWidget>

#include <functional>

class Clock;
class MessageBoxes;
class NamePrompt;
class QLabel;
class RandomSource;
class Store;
class TickTimer;

// What the game window is handed: the store, the dialogs, the randomness and
// time, where the start settings come from, and what closing it means. Every
// one is required.
struct PlayfieldServices {
    Store &store;
    MessageBoxes &messages;
    NamePrompt &names;
    RandomSource &random;
    Clock &clock;
    std::function<StartSettings()> startSettings;
    std::function<void()> onClosed;
};

// The game window: a thin shell around the rules. It turns timer expiries and
// arrow keys into calls, and repaints only what the canvas reports as changed.
class frmPlayfield final : public QWidget, private PlayfieldHost {
    Q_OBJECT
public:
    explicit frmPlayfield(PlayfieldServices services, QWidget *parent = nullptr);

    QLabel *Label1;
    TickTimer *Timer1;

    // Timer1's expiry: one tick of the game, then the repaint of what it changed.
    void Timer1_Timer();

    Playfield &playfield() { return m_playfield; }
    const Canvas &canvas() const { return m_canvas; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    StartSettings startSettings() override;
    void setScoreVisible(bool visible) override;
    void setScoreText(const QString &text) override;
    void placeScore(QPoint topLeft, int points) override;
    void setTimerInterval(int milliseconds) override;
    void setTimerEnabled(bool enabled) override;
    QSize clientSize() override;
    QSize outerSize() override;
    void setOuterSize(QSize pixels) override;
    void showGameOver(qint16 finalScore) override;

    // Hands what the rules changed on the canvas to the repaint.
    void repaintDamage();
    // Tells a screen reader how the game is played, to the limit stored now.
    void describePlay();

    PlayfieldServices m_services;
    Canvas m_canvas;
    Playfield m_playfield;
    bool m_closed = false;
    // "Oyun Bitti!" or the name dialog is open over the window.
    bool m_endOfGameOpen = false;
};

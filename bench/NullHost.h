#pragma once

#include "game/PlayfieldHost.h"

// The rules' outside world reduced to what a benchmark needs: fixed start
// settings and a frameless window whose size follows every request. No run
// ends in a dialog: the board's NullStore gives a limit the count never equals.
class NullHost final : public PlayfieldHost {
public:
    explicit NullHost(StartSettings settings) : m_settings(std::move(settings)) { }

    StartSettings startSettings() override { return m_settings; }
    void setScoreVisible(bool) override { }
    void setScoreText(const QString &) override { }
    void placeScore(QPoint, int) override { }
    void setTimerInterval(int) override { }
    void setTimerEnabled(bool) override { }

    QSize clientSize() override { return m_size; }
    QSize outerSize() override { return m_size; }
    void setOuterSize(QSize pixels) override { m_size = pixels; }

    void showGameOver(qint16) override { }

private:
    StartSettings m_settings;
    QSize m_size{668, 449};
};

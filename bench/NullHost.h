#pragma once

#include "game/PlayfieldHost.h"

// The rules' outside world reduced to what a benchmark needs: fixed start
// settings, a frameless window whose size follows every request, and a
// blocking limit the count never equals, so no run ever ends in a dialog.
class NullHost final : public PlayfieldHost {
public:
    static constexpr int TwipsPerPixel = 15;

    explicit NullHost(StartSettings settings) : m_settings(std::move(settings)) { }

    StartSettings startSettings() override { return m_settings; }
    void setScoreVisible(bool) override { }
    void setScoreText(const QString &) override { }
    void setScoreLeft(int) override { }
    void setScoreTop(int) override { }
    void setScorePointSize(int) override { }
    void setTimerInterval(int) override { }
    void setTimerEnabled(bool) override { }

    int clientWidth() override { return m_width; }
    int clientHeight() override { return m_height; }
    int outerWidthTwips() override { return m_width * TwipsPerPixel; }
    int outerHeightTwips() override { return m_height * TwipsPerPixel; }
    void setOuterWidthTwips(int twips) override { m_width = twips / TwipsPerPixel; }
    void setOuterHeightTwips(int twips) override { m_height = twips / TwipsPerPixel; }

    QString hardCoreText() override { return QStringLiteral("0"); }
    void showGameOver() override { }
    void CheckScore(qint16 &) override { }

private:
    StartSettings m_settings;
    int m_width = 668;
    int m_height = 449;
};

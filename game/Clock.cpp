#include "game/Clock.h"

#include <QTime>

#include <cmath>

SystemClock::SystemClock()
    : m_startSeconds(QTime::currentTime().msecsSinceStartOfDay() / 1000.0)
{
    m_elapsed.start();
}

double SystemClock::secondsSinceMidnight()
{
    return std::fmod(m_startSeconds + m_elapsed.nsecsElapsed() / 1e9, 86400.0);
}

#pragma once

#include <QDeadlineTimer>
#include <QThread>

#include <chrono>
#include <functional>

inline QDeadlineTimer within(std::chrono::milliseconds time)
{
    return QDeadlineTimer(time);
}

// Polls until `done` holds or the deadline passes; says whether it held.
inline bool waitFor(QDeadlineTimer deadline, const std::function<bool()> &done)
{
    for (;;) {
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(25);
    }
}

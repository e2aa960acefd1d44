#pragma once

#include <QTimer>

// The game clock: a precise timer, so that short intervals keep their period.
class TickTimer final : public QTimer {
    Q_OBJECT
public:
    explicit TickTimer(QObject *parent = nullptr) : QTimer(parent)
    {
        setTimerType(Qt::PreciseTimer);
    }
};

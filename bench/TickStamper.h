#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

#include <functional>
#include <vector>

// Watches a timer's own timer events: the time is taken before the timeout
// signal runs the tick, so the tick's own work does not shift the stamps.
class TickStamper final : public QObject {
public:
    // beforeTick runs after each stamp, before the tick it belongs to.
    TickStamper(std::size_t wanted, std::function<void()> beforeTick)
        : m_wanted(wanted), m_beforeTick(std::move(beforeTick))
    {
        m_clock.start();
        m_stamps.reserve(wanted);
    }

    const std::vector<qint64> &stamps() const { return m_stamps; }
    bool isDone() const { return m_stamps.size() >= m_wanted; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer && !isDone()) {
            m_stamps.push_back(m_clock.nsecsElapsed());
            if (m_beforeTick)
                m_beforeTick();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer m_clock;
    std::size_t m_wanted;
    std::function<void()> m_beforeTick;
    std::vector<qint64> m_stamps;
};

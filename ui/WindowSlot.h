#pragma once

#include <QPointer>

#include <functional>

// Access to a window that exists at most once: created on first use (showing it
// or reading one of its controls), forgotten when it is destroyed. A hidden
// window stays loaded until it is closed.
template <class Window>
class WindowSlot {
public:
    using Factory = std::function<Window *()>;

    explicit WindowSlot(Factory factory) : m_factory(std::move(factory)) { }

    Window &get()
    {
        if (!m_window)
            m_window = m_factory();
        return *m_window;
    }

    Window *loaded() const { return m_window.data(); }

private:
    Factory m_factory;
    QPointer<Window> m_window;
};

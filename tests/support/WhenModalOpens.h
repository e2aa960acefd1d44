#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>

// Acts on the modal window that the code under test opens with exec(), once
// its loop runs: the test never runs a modal loop of its own. A window that is
// still open after `act` fails the test and is ended, so exec() returns.
template <class Window>
void whenModalOpens(std::function<void(Window *)> act)
{
    QTimer::singleShot(0, [act] {
        auto *window = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (!window) {
            QTest::qFail("the expected modal window is not open", __FILE__, __LINE__);
            return;
        }
        act(window);
        if (window->isVisible()) {
            QTest::qFail("the modal window is still open", __FILE__, __LINE__);
            window->reject();
        }
    });
}

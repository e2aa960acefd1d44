#include "bench/RepaintBenchmark.h"

#include "bench/GameWindow.h"
#include "ui/TickTimer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRegion>
#include <QWindow>

#include <cstdio>

namespace {

template <class Paint>
double timedPaints(int samples, Paint paint)
{
    qint64 total = 0;
    QElapsedTimer timer;
    for (int i = 0; i < samples; ++i) {
        timer.start();
        paint();
        total += timer.nsecsElapsed();
    }
    return double(total) / samples;
}

bool waitForExposure(QWidget &widget)
{
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (widget.windowHandle() && widget.windowHandle()->isExposed())
            return true;
    }
    return false;
}

} // namespace

RepaintFigures runRepaintBenchmark(bool &ok)
{
    GameWindow game;
    frmPlayfield &w = *game.window;
    w.show();
    if (!waitForExposure(w)) {
        std::fprintf(stderr, "korvu_bench: the game window was never exposed\n");
        ok = false;
        return {};
    }
    // The picture stays as it is: only the paint path is timed.
    w.Timer1->stop();
    QCoreApplication::processEvents();

    // The two cells one ordinary tick changes: the erased tail and the new head,
    // five cells apart on the top row of the board.
    constexpr int S = GameWindow::CellSize;
    const QRegion twoCells = QRegion(QRect(3 * S, 2 * S, S, S)) + QRect(8 * S, 2 * S, S, S);
    const QRegion whole = w.rect();

    RepaintFigures figures;
    figures.window = w.size();
    figures.twoCells = measurePaired(
            5, 31, [&] { return timedPaints(100, [&] { w.repaint(twoCells); }); },
            [&] { return timedPaints(100, [&] { w.repaint(whole); }); });
    w.hide();
    return figures;
}

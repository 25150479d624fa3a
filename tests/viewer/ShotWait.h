#pragma once

// Waiting in the programs that take the viewer's pictures: they run the event
// loop themselves, without Qt Test.
#include <QApplication>
#include <QElapsedTimer>

#include <functional>

namespace korvane {

// Runs the event loop until done, then a little longer so that the charts
// lay themselves out; false when done does not come within the time.
inline bool WaitFor(const std::function<bool()>& done, qint64 withinMs = 120000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > withinMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return true;
}

} // namespace korvane

// Waiting on real parts: poll with the event loop turning, never assert on the time taken.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.hasExpired(timeoutMs))
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

inline void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return clock.hasExpired(ms); }, ms + 1000);
}

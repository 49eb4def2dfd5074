#include "platform/timer.h"

namespace platform {

Timer::Timer(QObject *parent) : QObject(parent)
{
    timer_.setInterval(period_);
    connect(&timer_, &QTimer::timeout, this, &Timer::fire);
}

void Timer::setMode(int mode)
{
    mode_ = mode;
    timer_.stop();
    if (mode == 0)
        return;
    timer_.setSingleShot(mode == 1);
    timer_.start(period_);
}

void Timer::setPeriod(int milliseconds)
{
    period_ = milliseconds;
    timer_.setInterval(milliseconds);
}

void Timer::fire()
{
    if (mode_ == 1) {
        mode_ = 0;
        timer_.stop();
    }
    emit Action();
}

} // namespace platform

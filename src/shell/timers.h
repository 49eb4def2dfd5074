// The palette's timer controls, one class each, knowing their window and array index.
#pragma once

#include "platform/timer.h"

#include <QWidget>

namespace timers {

class OwnedTimer : public platform::Timer {
    Q_OBJECT
public:
    explicit OwnedTimer(QWidget *window, int index = -1)
        : platform::Timer(window), window_(window), index_(index)
    {
    }
    QWidget *Window() const { return window_; }
    int Index() const { return index_; }

private:
    QWidget *window_;
    int index_;
};

class PrintNoStampTimer1 : public OwnedTimer {
    Q_OBJECT
public:
    using OwnedTimer::OwnedTimer;
};
class PrintNoStampTimer2 : public OwnedTimer {
    Q_OBJECT
public:
    using OwnedTimer::OwnedTimer;
};
class SetHotKeyTimer : public OwnedTimer {
    Q_OBJECT
public:
    using OwnedTimer::OwnedTimer;
};
class PrintMultipleCopiesNoStampTimer1 : public OwnedTimer {
    Q_OBJECT
public:
    using OwnedTimer::OwnedTimer;
};
class PrintMultipleCopiesNoStampTimer2 : public OwnedTimer {
    Q_OBJECT
public:
    using OwnedTimer::OwnedTimer;
};

} // namespace timers

// A timer control: mode 0 off, 1 single (fire once, one period later), 2 multiple.
#pragma once

#include <QObject>
#include <QTimer>

namespace platform {

class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject *parent);
    int Mode() const { return mode_; }
    void setMode(int mode);
    int Period() const { return period_; }
    void setPeriod(int milliseconds);
    // Fires now, as the period's end would (tests use it instead of waiting).
    void fire();

signals:
    void Action();

private:
    QTimer timer_;
    int mode_ = 0;
    int period_ = 1000;
};

} // namespace platform

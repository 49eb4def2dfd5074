// The GUI framework's small services: alert sound, modal message, cooperative yield,
// web address, screen size. Bound once at start-up; tests bind an in-memory table.
#pragma once

#include <QSize>
#include <QString>

namespace platform {

class Framework {
public:
    virtual ~Framework() = default;
    virtual void beep() = 0;
    // Modal, one OK button; carriage returns show as line breaks.
    virtual void messageBox(const QString &text) = 0;
    // The cooperative yield point: lets the event loop turn once.
    virtual void yield() = 0;
    // The yield of a counted wait for another program to act (a copy): a turn of the loop,
    // paced so that a count of them lasts long enough for that program, on any machine.
    virtual void waitYield() = 0;
    virtual void openUrl(const QString &url) = 0;
    virtual QSize mainScreenSize() = 0;
};

} // namespace platform

// The stamped and note commands' tests: the palette made, and the command clock fixed at
// kMoment (a test may set its own) and put back afterwards.
#pragma once

#include "printing/commandclock.h"
#include "shell/tapsel.h"
#include "support/fixture.h"

// The calls whose order the outcomes fix.
inline QStringList frontAndFeedback(const QStringList &journal)
{
    QStringList out;
    for (const QString &e : journal)
        if (e == "beep" || e == "message" || e == "BringProcessFront" ||
            e.startsWith("SetProcessWithCreatorFront") || e.startsWith("dialog:") ||
            e == "print:open" || e.startsWith("clipboard:"))
            out.append(e);
    return out;
}

inline const QDateTime kMoment(QDate(2031, 3, 14), QTime(15, 9));

class CaptureTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        saved_ = CommandClock;
        CommandClock = [] { return kMoment; };
        Tapsel::instance();
    }
    void TearDown() override
    {
        CommandClock = saved_;
        PlatformTest::TearDown();
    }

private:
    std::function<QDateTime()> saved_;
};

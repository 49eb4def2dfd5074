#include "triggers/pendingprint.h"

#include "shell/tapsel.h"

#include <QApplication>

bool PrintWaiting()
{
    if (!Tapsel::exists())
        return false;
    const Tapsel &p = Tapsel::instance();
    const platform::Timer *stages[] = {p.PrintNoStampTimer1, p.PrintNoStampTimer2,
                                       p.PrintMultipleCopiesNoStampTimer1,
                                       p.PrintMultipleCopiesNoStampTimer2};
    for (const platform::Timer *t : stages)
        if (t->Mode() != 0)
            return true;
    return false;
}

bool PrintPending() { return PrintWaiting() || QApplication::activeModalWidget() != nullptr; }

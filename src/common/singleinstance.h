// At most one instance of a window class: made on first reference, gone when closed;
// the next reference makes a fresh one.
#pragma once

#include <QPointer>
#include <QWidget>

template <class W>
class SingleInstance {
public:
    static W &instance()
    {
        if (!pointer()) {
            W *w = new W(); // owns itself: deleted when closed
            w->setAttribute(Qt::WA_DeleteOnClose);
            pointer() = w;
        }
        return *pointer();
    }
    static bool exists() { return !pointer().isNull(); }
    static W *existing() { return pointer().data(); }
    // Gone without closing (teardown of tests, end of the process).
    static void destroy() { delete pointer().data(); }

private:
    static QPointer<W> &pointer()
    {
        static QPointer<W> p;
        return p;
    }
};

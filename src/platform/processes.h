// Processes and keystrokes: which application is in front (its identity, the WM_CLASS
// class on X11), posting keys to it, and bringing applications to the front.
#pragma once

#include <QString>

namespace platform {

class Processes {
public:
    virtual ~Processes() = default;
    virtual QString GetFrontProcessCreator() = 0;
    virtual QString GetMyCreator() = 0;
    virtual int PostCommandKeyEvent(bool down) = 0;
    virtual int PostKeyEvent(const QString &key, int keyCode, bool down) = 0;
    virtual int BringProcessFront() = 0;
    virtual int SetProcessWithCreatorFront(const QString &creator) = 0;
};

} // namespace platform

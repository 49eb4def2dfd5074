// The application object's events, as the platform raises them.
#pragma once

#include <QObject>
#include <QString>

namespace platform {

class Application : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void Open() {}
    virtual void Close() {}
    virtual void EnableMenuItems() {}
    // True when handled; false leaves the event to the platform.
    virtual bool HandleAppleEvent(const QString &eventClass, const QString &eventID)
    {
        Q_UNUSED(eventClass);
        Q_UNUSED(eventID);
        return false;
    }
};

} // namespace platform

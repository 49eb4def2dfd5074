// The Dock tile menu: a listener whose events build the menu and receive its commands,
// and the menu object it builds. On Linux the Dock is the tray icon.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>

class QAction;

namespace platform {

// A menu of items, each with a four-character command code.
class MenuMBS {
public:
    MenuMBS();
    ~MenuMBS();
    MenuMBS(const MenuMBS &) = delete;
    MenuMBS &operator=(const MenuMBS &) = delete;

    bool NewMenu(int id, const QString &name);
    void AppendItem(const QString &text);
    // Item indexes count from 1.
    void CommandID(int index, quint32 code);
    quint32 commandAt(int index) const;
    int count() const { return int(items_.size()); }
    QString itemText(int index) const;
    int id() const { return id_; }
    QString name() const { return name_; }
    // A process-wide serial number, unique for the life of the process.
    quint32 handle() const { return handle_; }
    // The live menu with that handle, or nullptr.
    static MenuMBS *fromHandle(quint32 handle);

private:
    struct Item {
        QString text;
        quint32 code = 0;
    };
    QList<Item> items_;
    int id_ = 0;
    QString name_;
    quint32 handle_ = 0;
};

quint32 OSTypeFromStringMBS(const QString &code);
QString StringFromOSTypeMBS(quint32 code);

class CarbonApplicationEventsMBS : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~CarbonApplicationEventsMBS() override;
    // From now on this listener's events are raised for the application.
    void Listen();
    // The handle of the menu to add to the Dock icon's menu, or 0 for none.
    virtual quint32 ApplicationGetDockTileMenu() { return 0; }
    virtual bool ProcessCommand(int first, quint32 code, quint32 handle, int index)
    {
        Q_UNUSED(first);
        Q_UNUSED(code);
        Q_UNUSED(handle);
        Q_UNUSED(index);
        return false;
    }
};

class Dock {
public:
    virtual ~Dock() = default;
    virtual void listen(CarbonApplicationEventsMBS *listener) = 0;
    virtual void forget(CarbonApplicationEventsMBS *listener) = 0;
    // The application-menu items shown below the listener's items.
    virtual void setApplicationMenuItems(const QList<QAction *> &items) = 0;
};

} // namespace platform

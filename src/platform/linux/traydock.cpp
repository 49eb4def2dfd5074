// The Dock on Linux is a tray icon. Its menu is built afresh from the listener each time it
// opens: the listener's items, a separator, then the application-menu items.
#include "platform/linux/traydock.h"
#include "platform/linux/linuxplatform.h"
#include "platform/linux/syslogdiagnostics.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>

namespace platform::linux_x11 {

namespace {

class TrayDock;
TrayDock *theTray = nullptr;

class TrayDock : public Dock {
public:
    TrayDock() { theTray = this; }
    ~TrayDock() override
    {
        theTray = nullptr;
        // At the very end of the process the application is gone, and so may be the
        // windowing system: then the tray's objects go with the process.
        if (QCoreApplication::instance()) {
            delete icon_.data();
            delete menu_.data();
        }
    }

    void listen(CarbonApplicationEventsMBS *listener) override
    {
        listener_ = listener;
        if (!icon_) {
            menu_ = new QMenu();
            menu_->setObjectName(QStringLiteral("DockMenu"));
            QObject::connect(menu_, &QMenu::aboutToShow, menu_, [this] { rebuild(); });
            icon_ = new QSystemTrayIcon(QApplication::windowIcon(), qApp);
            icon_->setObjectName(QStringLiteral("DockIcon"));
            icon_->setToolTip(QStringLiteral("Tapsel"));
            icon_->setContextMenu(menu_);
            // A left click opens the same menu: many trays show the context menu on the
            // right button only.
            QObject::connect(icon_, &QSystemTrayIcon::activated, menu_,
                             [this](QSystemTrayIcon::ActivationReason reason) {
                                 if (reason == QSystemTrayIcon::Trigger && menu_ &&
                                     !menu_->isVisible())
                                     menu_->popup(QCursor::pos());
                             });
        }
        icon_->show();
        if (!QSystemTrayIcon::isSystemTrayAvailable() && !warned_) {
            warned_ = true;
            platformWarning(QStringLiteral(
                "No system tray: Tapsel's Dock menu is not shown; the hot key works."));
        }
    }

    void forget(CarbonApplicationEventsMBS *listener) override
    {
        if (listener != listener_)
            return;
        listener_ = nullptr;
        // No listener, no Dock icon. The next listener makes a new one.
        if (icon_)
            icon_->hide();
        delete icon_.data();
        if (menu_ && menu_->isVisible())
            menu_->deleteLater(); // a command of this very menu closed the listener
        else
            delete menu_.data();
    }

    void setApplicationMenuItems(const QList<QAction *> &items) override
    {
        appItems_.clear();
        for (QAction *a : items)
            appItems_.append(a);
    }

    bool popUpWithoutTray()
    {
        if (!listener_ || !menu_ || QSystemTrayIcon::isSystemTrayAvailable() || menu_->isVisible())
            return false;
        menu_->popup(QCursor::pos());
        return true;
    }

private:
    void rebuild()
    {
        menu_->clear(); // deletes the actions of the menu built last
        if (listener_) {
            const quint32 handle = listener_->ApplicationGetDockTileMenu();
            const MenuMBS *built = MenuMBS::fromHandle(handle);
            for (int index = 1; built && index <= built->count(); ++index) {
                // An item's "&" is text, not a keyboard mnemonic.
                QString text = built->itemText(index);
                QAction *item = menu_->addAction(text.replace(QChar('&'), QLatin1String("&&")));
                const quint32 code = built->commandAt(index);
                // The listener may be gone by the time an item is chosen.
                QPointer<CarbonApplicationEventsMBS> listener(listener_);
                QObject::connect(item, &QAction::triggered, item, [listener, code, handle, index] {
                    if (listener)
                        listener->ProcessCommand(0, code, handle, index);
                });
            }
        }
        bool separated = false;
        for (const QPointer<QAction> &a : appItems_) {
            if (!a)
                continue;
            if (!separated && !menu_->isEmpty())
                menu_->addSeparator();
            separated = true;
            menu_->addAction(a);
        }
    }

    CarbonApplicationEventsMBS *listener_ = nullptr;
    QPointer<QSystemTrayIcon> icon_;
    QPointer<QMenu> menu_;
    QList<QPointer<QAction>> appItems_;
    bool warned_ = false;
};

} // namespace

bool popUpDockMenuWithoutTray() { return theTray && theTray->popUpWithoutTray(); }

std::unique_ptr<Dock> makeDock() { return std::make_unique<TrayDock>(); }

} // namespace platform::linux_x11

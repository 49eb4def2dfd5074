// Process start: the platform, the outside services, the file types, the application object
// with its menu bar and handlers, the event-log window, then the event loop.
#include "platform/linux/appevents.h"
#include "platform/linux/linuxplatform.h"
#include "platform/linux/syslogdiagnostics.h"
#include "platform/linux/traydock.h"
#include "platform/services.h"
#include "shell/app.h"
#include "shell/menu.h"
#include "shell/pictures.h"
#include "shell/tapsel.h"
#include "triggers/mainwindow.h"

#include <QApplication>
#include <exception>

int main(int argc, char **argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tapsel"));
    QApplication::setDesktopFileName(QStringLiteral("tapsel"));
    // Tapsel runs with every window hidden; only Quit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // One Tapsel per user and display: a second launch tells the first and leaves.
    platform::linux_x11::AppEvents events;
    if (!events.claim())
        return events.handOver(QStringLiteral("rapp")) ? 0 : 1;

    platform::linux_x11::bindRealServices();
    DeclareFileTypes();
    QApplication::setWindowIcon(Pictures::TapselNewIcon2Larger()); // also the tray's icon

    App app;
    app.menu = &Menu::instance();
    platform::dock().setApplicationMenuItems(app.menu->applicationMenuItems());
    app.BindMenuHandlers();

    MainWindow::instance(); // the default window; it stays hidden

    platform::linux_x11::AppEvents::Handlers handlers;
    handlers.quit = [&app] { app.Quit(); };
    handlers.displayLost = [&app] { app.DisplayLost(); };
    handlers.reopen = [] { platform::linux_x11::popUpDockMenuWithoutTray(); };
    handlers.quitting = [&app] { return app.quitting(); };
    events.deliverTo(app, handlers);
    int status = 0;
    try {
        status = QApplication::exec();
    } catch (const std::exception &e) {
        platform::linux_x11::platformWarning(
            QStringLiteral("Unhandled exception: %1").arg(QString::fromLocal8Bit(e.what())));
        status = 1;
    }

    // What the closed windows left for later goes now, while the application still exists.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Tapsel::destroy();
    Menu::destroy();
    return status;
}

// The menu bar: File, Edit and the application-menu items. One instance, shared by the
// application object and the palette; on Linux its application-menu items show in the
// tray icon's menu.
#pragma once

#include <QMenuBar>

class QAction;
class QMenu;

class Menu : public QMenuBar {
    Q_OBJECT
  public:
    static Menu &instance();
    static void destroy();
    // An item by its name (FilePreferences, FileQuit, EditUndo, ..., AboutTapsel).
    QAction *item(const QString &name) const;
    // The items the platform shows in the application menu: about, preferences, quit.
    QList<QAction *> applicationMenuItems() const;

    QMenu *UntitledMenu2; // File
    QMenu *UntitledMenu0; // Edit

  private:
    Menu();
};

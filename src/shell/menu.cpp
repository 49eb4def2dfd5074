#include "shell/menu.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>

namespace {
QPointer<Menu> &theMenu()
{
    static QPointer<Menu> m;
    return m;
}

QAction *addItem(QMenu *menu, const char *name, const QString &text, const QString &shortcut,
                 QAction::MenuRole role)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        a->setShortcut(QKeySequence(shortcut));
    a->setMenuRole(role);
    return a;
}
} // namespace

Menu &Menu::instance()
{
    if (!theMenu())
        theMenu() = new Menu();
    return *theMenu();
}

void Menu::destroy() { delete theMenu().data(); }

Menu::Menu() : QMenuBar(nullptr)
{
    setObjectName(QStringLiteral("Menu"));
    UntitledMenu2 = addMenu(QStringLiteral("File"));
    UntitledMenu2->setObjectName(QStringLiteral("UntitledMenu2"));
    addItem(UntitledMenu2, "FilePreferences", QStringLiteral("Preferences"), {},
            QAction::PreferencesRole);
    QAction *quit = addItem(UntitledMenu2, "FileQuit", QStringLiteral("Quit"),
                            QStringLiteral("Ctrl+Q"), QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    UntitledMenu0 = addMenu(QStringLiteral("Edit"));
    UntitledMenu0->setObjectName(QStringLiteral("UntitledMenu0"));
    addItem(UntitledMenu0, "EditUndo", QStringLiteral("Undo"), QStringLiteral("Ctrl+Z"),
            QAction::NoRole);
    QAction *sep = UntitledMenu0->addSeparator();
    sep->setObjectName(QStringLiteral("UntitledMenu1"));
    addItem(UntitledMenu0, "EditCut", QStringLiteral("Cut"), QStringLiteral("Ctrl+X"),
            QAction::NoRole);
    addItem(UntitledMenu0, "EditCopy", QStringLiteral("Copy"), QStringLiteral("Ctrl+C"),
            QAction::NoRole);
    addItem(UntitledMenu0, "EditPaste", QStringLiteral("Paste"), QStringLiteral("Ctrl+V"),
            QAction::NoRole);
    addItem(UntitledMenu0, "EditClear", QStringLiteral("Clear"), {}, QAction::NoRole);
    addItem(UntitledMenu0, "AboutTapsel", QStringLiteral("About Tapsel..."), {},
            QAction::AboutRole);
}

QAction *Menu::item(const QString &name) const
{
    for (QAction *a : findChildren<QAction *>())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

QList<QAction *> Menu::applicationMenuItems() const
{
    return {item(QStringLiteral("AboutTapsel")), item(QStringLiteral("FilePreferences")),
            item(QStringLiteral("FileQuit"))};
}

#include "shell/menu.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

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

// The standard editing commands act on the focused text field, if any: its own slots
// ("undo", "cut", "copy", "paste"); Clear deletes the selection.
void editFocused(const char *slot)
{
    QWidget *w = QApplication::focusWidget();
    if (!qobject_cast<QLineEdit *>(w) && !qobject_cast<QTextEdit *>(w) &&
        !qobject_cast<QPlainTextEdit *>(w))
        return;
    if (slot) {
        QMetaObject::invokeMethod(w, slot);
    } else if (auto *line = qobject_cast<QLineEdit *>(w)) {
        line->del();
    } else if (auto *rich = qobject_cast<QTextEdit *>(w)) {
        rich->textCursor().removeSelectedText();
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(w)) {
        plain->textCursor().removeSelectedText();
    }
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
    // Quit is the application object's to carry out (it closes every window first).
    addItem(UntitledMenu2, "FileQuit", QStringLiteral("Quit"), QStringLiteral("Ctrl+Q"),
            QAction::QuitRole);

    UntitledMenu0 = addMenu(QStringLiteral("Edit"));
    UntitledMenu0->setObjectName(QStringLiteral("UntitledMenu0"));
    addItem(UntitledMenu0, "EditUndo", QStringLiteral("Undo"), QStringLiteral("Ctrl+Z"),
            QAction::NoRole);
    QAction *sep = UntitledMenu0->addSeparator();
    sep->setObjectName(QStringLiteral("UntitledMenu1"));
    sep->setMenuRole(QAction::NoRole);
    addItem(UntitledMenu0, "EditCut", QStringLiteral("Cut"), QStringLiteral("Ctrl+X"),
            QAction::NoRole);
    addItem(UntitledMenu0, "EditCopy", QStringLiteral("Copy"), QStringLiteral("Ctrl+C"),
            QAction::NoRole);
    addItem(UntitledMenu0, "EditPaste", QStringLiteral("Paste"), QStringLiteral("Ctrl+V"),
            QAction::NoRole);
    addItem(UntitledMenu0, "EditClear", QStringLiteral("Clear"), {}, QAction::NoRole);
    const std::pair<const char *, const char *> edits[] = {{"EditUndo", "undo"},
                                                           {"EditCut", "cut"},
                                                           {"EditCopy", "copy"},
                                                           {"EditPaste", "paste"},
                                                           {"EditClear", nullptr}};
    for (const auto &[name, slot] : edits)
        connect(item(QLatin1String(name)), &QAction::triggered, this,
                [slot] { editFocused(slot); });
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

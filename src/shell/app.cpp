#include "shell/app.h"

#include "common/util.h"
#include "platform/services.h"
#include "prefs/preferencefiles.h"
#include "prefs/preferenceswindow.h"
#include "shell/aboutwindow.h"
#include "shell/menu.h"
#include "shell/tapsel.h"
#include "triggers/hotkeywindow.h"
#include "triggers/pendingprint.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

namespace {

App *theApp = nullptr;

QList<FileType> &fileTypes()
{
    static QList<FileType> types;
    return types;
}

void showInFront(QWidget &w)
{
    w.show();
    w.raise();
    w.activateWindow();
}

} // namespace

App::App()
{
    setObjectName(QStringLiteral("App"));
    theApp = this;
}

App::~App()
{
    if (theApp == this)
        theApp = nullptr;
}

App *App::instance() { return theApp; }

void App::BindMenuHandlers()
{
    connect(menu->item(QStringLiteral("AboutTapsel")), &QAction::triggered, this,
            &App::AboutTapsel_Action);
    connect(menu->item(QStringLiteral("FilePreferences")), &QAction::triggered, this,
            &App::FilePreferences_Action);
    // Later, so that the menu or button that asked has finished with itself.
    connect(menu->item(QStringLiteral("FileQuit")), &QAction::triggered, this, &App::Quit,
            Qt::QueuedConnection);
}

void App::Open()
{
    Tapsel::instance().hide();
    LoadPreferences();
    platform::log().DebugMessageEnableMBS(true);
    HotKeyWindow &hotKeys = HotKeyWindow::instance();
    hotKeys.show();
    hotKeys.hide();
    hotKeys.setVisible(false);
}

void App::Close()
{
    Util::Write(QStringLiteral("App.Close"));
    platform::log().DelayMBS(0.5);
}

void App::EnableMenuItems()
{
    const Menu &bar = menu ? *menu : Menu::instance();
    bar.item(QStringLiteral("AboutTapsel"))->setEnabled(true);
    bar.item(QStringLiteral("FilePreferences"))->setEnabled(true);
}

bool App::HandleAppleEvent(const QString &eventClass, const QString &eventID)
{
    Util::Write(QStringLiteral("HandleAppleEvent: ") + eventClass + QChar(' ') + eventID);
    return false;
}

bool App::AboutTapsel_Action()
{
    showInFront(AboutTapselWindow::instance());
    return false;
}

bool App::FilePreferences_Action()
{
    PreferencesWindow::showWindow();
    return false;
}

void App::Quit()
{
    if (quitting_)
        return;
    quitting_ = true;
    // A print waiting for its timer holds the user's clipboard aside: it goes back first.
    // (One in its dialogs gives it back itself when the dialog closes below.)
    if (PrintWaiting()) {
        Tapsel &palette = Tapsel::instance();
        for (platform::Timer *t : palette.findChildren<platform::Timer *>())
            t->setMode(0);
        palette.RestoreSavedClipboard();
    }
    // Hidden windows too: a Preferences window made at start-up saves as it closes.
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isWindow() && !qobject_cast<QMenu *>(w) && !w->inherits("QMenuBar"))
            windows.append(w);
    for (const QPointer<QWidget> &w : windows)
        if (w)
            w->close();
    Close();
    QCoreApplication::quit();
}

void App::DisplayLost()
{
    if (quitting_)
        return;
    quitting_ = true;
    if (PreferencesWindow::exists())
        SavePreferences();
    Util::Write(QStringLiteral("App.Close"));
}

void DeclareFileTypes()
{
    fileTypes() = {
        {QStringLiteral("text"), QStringLiteral("????"), QStringLiteral("TEXT"),
         QStringLiteral(".txt")},
        {QStringLiteral("text clipping"), QStringLiteral("drag"), QStringLiteral("clpt"), {}},
        {QStringLiteral("MyPrefs"), QStringLiteral("ttxt"), QStringLiteral("TEXT"), {}},
        {QStringLiteral("LumvanePreferences"), QStringLiteral("ttxt"), QStringLiteral("TEXT"), {}},
    };
}

const QList<FileType> &DeclaredFileTypes() { return fileTypes(); }

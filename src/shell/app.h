// The application object: what Tapsel does when it opens and closes, the application-level
// events, the About and Preferences commands, and the one way Tapsel quits.
#pragma once

#include "platform/application.h"

#include <QList>
#include <QString>

class Menu;

class App : public platform::Application {
    Q_OBJECT
public:
    App();
    ~App() override;
    // The one application object, or nullptr before it is made.
    static App *instance();

    // The menu bar.
    Menu *menu = nullptr;
    // Binds AboutTapsel, FilePreferences and FileQuit to their handlers.
    void BindMenuHandlers();

    void Open() override;
    void Close() override;
    void EnableMenuItems() override;
    bool HandleAppleEvent(const QString &eventClass, const QString &eventID) override;

    bool AboutTapsel_Action();
    bool FilePreferences_Action();

    // Every window closes (the Preferences window saves, the hot key goes), then Close, then
    // the event loop ends. Every Quit command and the quit event come here.
    void Quit();
    bool quitting() const { return quitting_; }
    // The display is gone: keeps what a quit would keep without touching any window.
    void DisplayLost();

private:
    bool quitting_ = false;
};

// The file types Tapsel declares to the platform at start-up, in order.
struct FileType {
    QString name;
    QString creator;
    QString type;
    QString extension;
};
void DeclareFileTypes();
const QList<FileType> &DeclaredFileTypes();

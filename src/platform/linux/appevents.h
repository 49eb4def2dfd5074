// How the application's events reach it on Linux: one Tapsel per user and display (a second
// launch hands the running one "aevt" "rapp" over a local socket and leaves), the quit
// signals and the session's end as "aevt" "quit", Open at the start of the event loop,
// EnableMenuItems whenever a menu opens, and a lost display ending the process cleanly.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;
class QSocketNotifier;

namespace platform {
class Application;
}

namespace platform::linux_x11 {

class AppEvents : public QObject {
    Q_OBJECT
public:
    AppEvents();
    ~AppEvents() override;

    // Takes this user's and display's Tapsel for this process; false when another process
    // already has it. Call once, with the application object made but nothing else yet.
    bool claim();
    // A second launch: hands the running Tapsel the event; true when it took it.
    bool handOver(const QString &eventID);

    struct Handlers {
        // The platform's own handling of a quit event that the application left to it.
        std::function<void()> quit;
        // The display went away; nothing may touch a window any more. The process ends
        // right after it.
        std::function<void()> displayLost;
        // The platform's own handling of a reopen (a second launch).
        std::function<void()> reopen;
        // Whether the application is quitting already.
        std::function<bool()> quitting;
    };
    // From now on the application's events reach app; Open runs when the event loop starts.
    void deliverTo(platform::Application &app, Handlers handlers);

    // The key of this user's and display's Tapsel (socket and lock names).
    static QString sessionKey();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void deliver(const QString &eventID);
    void readSignals();
    void acceptConnection();
    void watchDisplay();

    platform::Application *app_ = nullptr;
    Handlers handlers_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer *server_ = nullptr;
    QSocketNotifier *signals_ = nullptr;
};

} // namespace platform::linux_x11

#include "platform/linux/appevents.h"

#include "platform/application.h"
#include "platform/linux/syslogdiagnostics.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMenu>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace platform::linux_x11 {

namespace {

constexpr int kWaitMs = 3000;
constexpr qint64 kMaxLine = 64;

// The signal handler's end of the self-pipe; the event loop reads the other end.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
    errno = saved;
}

QString runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    // Socket paths are short on Linux (108 bytes).
    if (!runtime.isEmpty() && QDir(runtime).exists() && runtime.size() < 60)
        return runtime;
    return QDir::tempPath();
}

QString socketPath()
{
    return runtimeFolder() + QStringLiteral("/%1.socket").arg(AppEvents::sessionKey());
}

bool validEventID(const QByteArray &id)
{
    if (id.size() != 4)
        return false;
    for (char c : id)
        if (c < 0x21 || c > 0x7E)
            return false;
    return true;
}

// The display's end: Qt reports a broken X connection through its message output and then
// ends the process itself, running static destructors over a dead connection. Tapsel ends
// first, cleanly.
QtMessageHandler previousMessageHandler = nullptr;
xcb_connection_t *watchedConnection = nullptr;
std::function<void()> onDisplayLost;
std::atomic<bool> displayGone{false};

[[noreturn]] void endForLostDisplay(const QString &why)
{
    if (!displayGone.exchange(true)) {
        platformWarning(QStringLiteral("The X display went away (%1): Tapsel ends.").arg(why));
        if (onDisplayLost && QCoreApplication::instance() &&
            QThread::currentThread() == QCoreApplication::instance()->thread())
            onDisplayLost();
    }
    ::_exit(0);
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool serious = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
    if (serious && (message.contains(QLatin1String("X11 connection broke")) ||
                    (watchedConnection && xcb_connection_has_error(watchedConnection))))
        endForLostDisplay(message);
    if (previousMessageHandler)
        previousMessageHandler(type, context, message);
}

} // namespace

AppEvents::AppEvents() = default;

AppEvents::~AppEvents()
{
    if (signals_) {
        for (int s : {SIGTERM, SIGINT, SIGHUP})
            std::signal(s, SIG_DFL);
    }
}

QString AppEvents::sessionKey()
{
    // One Tapsel per user and display: ":76", ":76.0" and "unix:76" are one display.
    QString display = qEnvironmentVariable("DISPLAY");
    QString host = display.section(QChar(':'), 0, 0);
    if (host == QLatin1String("unix"))
        host.clear();
    QString number = display.section(QChar(':'), 1).section(QChar('.'), 0, 0);
    QString name = host.isEmpty() ? number : host + QChar('-') + number;
    for (QChar &c : name)
        if (!c.isLetterOrNumber() && c != QChar('.') && c != QChar('-'))
            c = QChar('_');
    if (name.isEmpty())
        name = QGuiApplication::platformName().isEmpty() ? QStringLiteral("none")
                                                         : QGuiApplication::platformName();
    return QStringLiteral("tapsel-%1-%2").arg(::getuid()).arg(name.left(32));
}

bool AppEvents::claim()
{
    lock_ =
        std::make_unique<QLockFile>(runtimeFolder() + QStringLiteral("/%1.lock").arg(sessionKey()));
    lock_->setStaleLockTime(0); // only a lock whose process is gone is stale
    if (!lock_->tryLock(0)) {
        if (lock_->error() == QLockFile::LockFailedError)
            return false;
        platformWarning(QStringLiteral("Cannot take the lock %1: a second Tapsel will not be "
                                       "noticed.")
                            .arg(lock_->fileName()));
        return true;
    }
    // Whatever socket is there belongs to a Tapsel that is gone.
    const QString path = socketPath();
    QLocalServer::removeServer(path);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path))
        platformWarning(
            QStringLiteral("Cannot listen on %1: %2").arg(path, server_->errorString()));
    connect(server_, &QLocalServer::newConnection, this, &AppEvents::acceptConnection);
    return true;
}

bool AppEvents::handOver(const QString &eventID)
{
    // The running Tapsel may still be starting: try for a while.
    QLocalSocket socket;
    for (int tries = 0; tries < 30; ++tries) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(100))
            break;
        QThread::msleep(100);
    }
    if (socket.state() != QLocalSocket::ConnectedState) {
        platformWarning(QStringLiteral("Tapsel is already running, but does not answer."));
        return false;
    }
    socket.write(eventID.toLatin1() + '\n');
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(kWaitMs))
            return false;
    return socket.readLine().trimmed() == "ok";
}

void AppEvents::acceptConnection()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        socket->setParent(this);
        // A client that says nothing, or too much, is dropped.
        QTimer::singleShot(kWaitMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxLine)
                    socket->abort();
                return;
            }
            const QByteArray id = socket->readLine(kMaxLine).trimmed();
            if (!validEventID(id)) {
                platformWarning(QStringLiteral("A malformed application event was ignored."));
                socket->abort();
                return;
            }
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            // After this handler, so that the event arrives like any other.
            QTimer::singleShot(0, this, [this, id] { deliver(QString::fromLatin1(id)); });
        });
    }
}

void AppEvents::deliverTo(platform::Application &app, Handlers handlers)
{
    app_ = &app;
    handlers_ = std::move(handlers);

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) == 0) {
        signals_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
        connect(signals_, &QSocketNotifier::activated, this, &AppEvents::readSignals);
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int s : {SIGTERM, SIGINT, SIGHUP})
            sigaction(s, &action, nullptr);
        // A second launch that leaves before its answer must not end this one.
        std::signal(SIGPIPE, SIG_IGN);
    } else {
        platformWarning(QStringLiteral("No signal pipe: SIGTERM ends Tapsel without closing."));
    }

    // The session manager asks to save before logging out, or ends the loop itself.
    connect(
        qApp, &QGuiApplication::commitDataRequest, this,
        [this] { deliver(QStringLiteral("quit")); }, Qt::QueuedConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!handlers_.quitting || !handlers_.quitting())
            deliver(QStringLiteral("quit"));
    });

    qApp->installEventFilter(this);
    watchDisplay();
    QTimer::singleShot(0, this, [this] { app_->Open(); });
}

void AppEvents::deliver(const QString &eventID)
{
    if (!app_)
        return;
    if (app_->HandleAppleEvent(QStringLiteral("aevt"), eventID))
        return;
    // The platform's own handling: a quit quits, a reopen is the platform's to answer.
    if (eventID == QLatin1String("quit") && handlers_.quit)
        handlers_.quit();
    else if (eventID == QLatin1String("rapp") && handlers_.reopen)
        handlers_.reopen();
}

void AppEvents::readSignals()
{
    char bytes[16];
    ssize_t n;
    while ((n = ::read(signalPipe[1], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            deliver(QStringLiteral("quit"));
}

bool AppEvents::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && app_ && qobject_cast<QMenu *>(watched))
        app_->EnableMenuItems();
    return QObject::eventFilter(watched, event);
}

void AppEvents::watchDisplay()
{
    if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        watchedConnection = x11->connection();
    onDisplayLost = handlers_.displayLost;
    previousMessageHandler = qInstallMessageHandler(messageHandler);
}

} // namespace platform::linux_x11

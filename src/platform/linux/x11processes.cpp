// Processes and keystrokes on X11. An application's identity is the WM_CLASS class of its
// window; keys go out through XTest; windows come to the front through the window manager.
#include "platform/linux/linuxplatform.h"
#include "platform/linux/x11util.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QSysInfo>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <optional>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace platform::linux_x11 {
namespace {

const QString kMyCreator = QStringLiteral("Tapsel");

// How long a modifier the user still holds may delay a posted keystroke.
constexpr int kModifierWaitMs = 2000;
// How long bringing a window forward may wait for the window manager to do it.
constexpr int kActivateWaitMs = 1000;

// Ctrl+C interrupts in a terminal, and Ctrl+Shift+C does too in the xterm family.
bool isTerminal(const WmClass &cls)
{
    static const QStringList names = {
        QStringLiteral("xterm"),          QStringLiteral("uxterm"),
        QStringLiteral("urxvt"),          QStringLiteral("rxvt"),
        QStringLiteral("gnome-terminal"), QStringLiteral("gnome-terminal-server"),
        QStringLiteral("konsole"),        QStringLiteral("xfce4-terminal"),
        QStringLiteral("terminator"),     QStringLiteral("tilix"),
        QStringLiteral("kitty"),          QStringLiteral("alacritty"),
        QStringLiteral("st"),             QStringLiteral("st-256color"),
        QStringLiteral("lxterminal"),     QStringLiteral("mate-terminal"),
        QStringLiteral("qterminal"),      QStringLiteral("terminology"),
        QStringLiteral("sakura"),         QStringLiteral("guake"),
        QStringLiteral("tilda"),          QStringLiteral("yakuake"),
        QStringLiteral("eterm"),          QStringLiteral("foot"),
        QStringLiteral("footclient"),     QStringLiteral("wezterm"),
        QStringLiteral("kgx"),            QStringLiteral("ptyxis"),
        QStringLiteral("ghostty"),        QStringLiteral("org.gnome.console"),
    };
    for (const QString &raw : {cls.className, cls.instance}) {
        const QString name = raw.toLower();
        if (name.isEmpty())
            continue;
        // Reverse-domain classes ("org.wezfurlong.wezterm") name the program last.
        if (name.contains(QLatin1String("term")) || names.contains(name)
            || names.contains(name.section(QLatin1Char('.'), -1)))
            return true;
    }
    return false;
}

// The keysym of a one-character key name: Latin-1 keysyms are their character codes.
unsigned long latin1Keysym(const QString &key)
{
    if (key.size() != 1)
        return 0;
    const char16_t ch = key.at(0).toLower().unicode();
    return (ch >= 0x20 && ch < 0x7f) || (ch >= 0xa0 && ch <= 0xff) ? ch : 0;
}

class X11Processes final : public Processes {
public:
    QString GetFrontProcessCreator() override;
    QString GetMyCreator() override { return kMyCreator; }
    int PostCommandKeyEvent(bool down) override;
    int PostKeyEvent(const QString &key, int keyCode, bool down) override;
    int BringProcessFront() override;
    int SetProcessWithCreatorFront(const QString &creator) override;

private:
    xcb_atom_t atom(const X11 &x, const char *name) { return atoms_.get(x.connection, name); }
    xcb_window_t activeWindow(const X11 &x);
    bool isOwnWindow(const X11 &x, xcb_window_t window);
    QString identityOf(const X11 &x, xcb_window_t window);
    QList<xcb_window_t> clientsTopFirst(const X11 &x);
    QWindow *topmostOwnWindow(const X11 &x);
    void activate(const X11 &x, xcb_window_t window);
    bool hasXTest(const X11 &x);
    bool postKey(const X11 &x, uint8_t keycode, bool down);
    void waitForModifiersUp(const X11 &x, const KeyboardMap &map);

    Atoms atoms_;
    std::optional<bool> xtest_;
    // Identity in lower case -> the window last seen in front for it.
    QHash<QString, xcb_window_t> lastWindow_;

    // Command down, the keys, Command up: one keystroke, aimed at what was in front when it
    // began. For a terminal nothing is posted and the "C" copies the selection itself.
    enum class Target { Keys, Terminal, Nothing };
    struct Chord {
        bool commandDown = false;
        Target target = Target::Keys;
        uint8_t commandKey = 0;
        QHash<int, uint8_t> keys; // key code -> X keycode pressed for it
    };
    Chord chord_;
};

xcb_window_t X11Processes::activeWindow(const X11 &x)
{
    bool managed = false;
    const QList<uint32_t> active = windowProperty32(
        x.connection, x.root, atom(x, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, &managed);
    if (managed)
        return active.value(0, XCB_WINDOW_NONE);

    // No window manager that says which window is active: the focus window's top level.
    XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(x.connection, xcb_get_input_focus(x.connection), nullptr));
    xcb_window_t window = focus ? focus->focus : xcb_window_t(XCB_WINDOW_NONE);
    while (window > XCB_INPUT_FOCUS_POINTER_ROOT && window != x.root) {
        if (!wmClass(x.connection, window).className.isEmpty())
            return window;
        XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(x.connection, xcb_query_tree(x.connection, window), nullptr));
        window = tree ? tree->parent : xcb_window_t(XCB_WINDOW_NONE);
    }
    return XCB_WINDOW_NONE;
}

bool X11Processes::isOwnWindow(const X11 &x, xcb_window_t window)
{
    const QWindowList windows = QGuiApplication::allWindows();
    for (QWindow *own : windows) {
        if (own->handle() && xcb_window_t(own->winId()) == window)
            return true;
    }
    const QList<uint32_t> pid =
        windowProperty32(x.connection, window, atom(x, "_NET_WM_PID"), XCB_ATOM_CARDINAL);
    if (pid.value(0) != uint32_t(getpid()))
        return false;
    const QByteArray machine =
        windowProperty(x.connection, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 256);
    return machine.isEmpty() || machine == QSysInfo::machineHostName().toLocal8Bit();
}

QString X11Processes::identityOf(const X11 &x, xcb_window_t window)
{
    const WmClass cls = wmClass(x.connection, window);
    if (!cls.className.isEmpty())
        return cls.className;
    if (!cls.instance.isEmpty())
        return cls.instance;
    // A window without a class is still a window the user may want back.
    if (windowExists(x.connection, window))
        return QStringLiteral("0x%1").arg(window, 0, 16);
    return {};
}

QList<xcb_window_t> X11Processes::clientsTopFirst(const X11 &x)
{
    bool exists = false;
    QList<uint32_t> clients = windowProperty32(
        x.connection, x.root, atom(x, "_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW, &exists);
    if (!exists)
        clients = windowProperty32(x.connection, x.root, atom(x, "_NET_CLIENT_LIST"),
                                   XCB_ATOM_WINDOW);
    std::reverse(clients.begin(), clients.end());
    return clients;
}

QWindow *X11Processes::topmostOwnWindow(const X11 &x)
{
    QWindowList mine;
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow *window : windows) {
        if (window->isVisible() && window->handle() && window->type() != Qt::Popup
            && window->type() != Qt::ToolTip)
            mine.append(window);
    }
    if (mine.isEmpty())
        return nullptr;
    if (x) {
        const QList<xcb_window_t> clients = clientsTopFirst(x);
        for (xcb_window_t client : clients) {
            for (QWindow *window : std::as_const(mine)) {
                if (xcb_window_t(window->winId()) == client)
                    return window;
            }
        }
    }
    QWindow *focus = QGuiApplication::focusWindow();
    return mine.contains(focus) ? focus : mine.last();
}

void X11Processes::activate(const X11 &x, xcb_window_t window)
{
    xcb_connection_t *c = x.connection;
    const bool managed = windowProperty32(c, x.root, atom(x, "_NET_SUPPORTING_WM_CHECK"),
                                          XCB_ATOM_WINDOW)
                             .value(0)
        != XCB_WINDOW_NONE;
    if (managed) {
        // Source 2 (a pager): the window manager honours it as the user's own request.
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom(x, "_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 2;
        event.data.data32[1] = XCB_CURRENT_TIME;
        event.data.data32[2] = activeWindow(x);
        requestSucceeded(c, xcb_send_event_checked(c, 0, x.root,
                                                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT
                                                       | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                                                   reinterpret_cast<const char *>(&event)));
        // The window manager acts on its own time; whoever asked reads the front next.
        QElapsedTimer clock;
        clock.start();
        while (activeWindow(x) != window && !clock.hasExpired(kActivateWaitMs))
            usleep(5000);
        return;
    }
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    requestSucceeded(c, xcb_configure_window_checked(c, window, XCB_CONFIG_WINDOW_STACK_MODE,
                                                     &above));
    requestSucceeded(c, xcb_set_input_focus_checked(c, XCB_INPUT_FOCUS_POINTER_ROOT, window,
                                                    XCB_CURRENT_TIME));
}

bool X11Processes::hasXTest(const X11 &x)
{
    if (!xtest_) {
        int event = 0, error = 0, major = 0, minor = 0;
        xtest_ = XTestQueryExtension(x.display, &event, &error, &major, &minor) == True;
    }
    return *xtest_;
}

bool X11Processes::postKey(const X11 &x, uint8_t keycode, bool down)
{
    if (!keycode || !hasXTest(x))
        return false;
    XErrorTrap trap(x.display);
    XTestFakeKeyEvent(x.display, keycode, down ? True : False, CurrentTime);
    return trap.sync() == 0; // the sync also delivers each event before the next
}

void X11Processes::waitForModifiersUp(const X11 &x, const KeyboardMap &map)
{
    // A modifier still held from the hot key would join the posted keystroke (Ctrl+Alt+C).
    const QList<uint8_t> modifiers = map.heldModifierKeys();
    auto held = [&] {
        char keys[32] = {};
        XQueryKeymap(x.display, keys);
        for (uint8_t key : modifiers) {
            if (keys[key / 8] & (1 << (key % 8)))
                return true;
        }
        return false;
    };
    if (!held())
        return;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!held() || clock.hasExpired(kModifierWaitMs))
            loop.quit();
    });
    poll.start();
    loop.exec();
}

QString X11Processes::GetFrontProcessCreator()
{
    const X11 x = x11();
    if (!x)
        return {};
    const xcb_window_t window = activeWindow(x);
    if (!window)
        return {};
    if (isOwnWindow(x, window))
        return kMyCreator;
    const QString identity = identityOf(x, window);
    if (!identity.isEmpty())
        lastWindow_.insert(identity.toLower(), window);
    return identity;
}

int X11Processes::PostCommandKeyEvent(bool down)
{
    const X11 x = x11();
    if (down) {
        if (chord_.commandDown)
            return 0;
        chord_.commandDown = true;
        chord_.commandKey = 0;
        chord_.target = Target::Nothing;
        if (!x)
            return -1;
        const xcb_window_t front = activeWindow(x);
        if (front && !isOwnWindow(x, front) && isTerminal(wmClass(x.connection, front))) {
            chord_.target = Target::Terminal;
            return 0;
        }
        const KeyboardMap map(x.display);
        uint8_t key = map.keycodeFor(XK_Control_L);
        if (!(map.modifiersOf(key) & ControlMask))
            key = map.keycodeFor(XK_Control_R);
        if (!(map.modifiersOf(key) & ControlMask))
            return -1;
        if (chord_.keys.isEmpty())
            waitForModifiersUp(x, map);
        // Without Command held, the keys that follow would type over the selection.
        if (!postKey(x, key, true))
            return -1;
        chord_.commandKey = key;
        chord_.target = Target::Keys;
        return 0;
    }
    if (!chord_.commandDown)
        return 0;
    const uint8_t key = chord_.commandKey;
    chord_.commandDown = false;
    chord_.commandKey = 0;
    chord_.target = Target::Keys;
    if (!key)
        return 0;
    return x && postKey(x, key, false) ? 0 : -1;
}

int X11Processes::PostKeyEvent(const QString &key, int keyCode, bool down)
{
    unsigned long keysym = keysymForKeyCode(keyCode);
    if (!keysym)
        keysym = latin1Keysym(key);
    if (chord_.commandDown && chord_.target != Target::Keys) {
        if (chord_.target == Target::Terminal && down && keysym == XK_c) {
            // What the user selected in a terminal is the PRIMARY selection: copy it as the
            // terminal's own Copy would.
            QClipboard *clipboard = QGuiApplication::clipboard();
            const QString text = clipboard->text(QClipboard::Selection);
            if (!text.isEmpty())
                clipboard->setText(text, QClipboard::Clipboard);
        }
        return 0;
    }
    const X11 x = x11();
    if (!x)
        return -1;
    if (!down) {
        const uint8_t pressed = chord_.keys.take(keyCode);
        if (!pressed)
            return 0;
        return postKey(x, pressed, false) ? 0 : -1;
    }
    const KeyboardMap map(x.display);
    const uint8_t code = map.keycodeFor(keysym);
    if (!code)
        return -1;
    if (!chord_.commandDown && chord_.keys.isEmpty())
        waitForModifiersUp(x, map);
    if (!postKey(x, code, true))
        return -1;
    chord_.keys.insert(keyCode, code);
    return 0;
}

int X11Processes::BringProcessFront()
{
    const X11 x = x11();
    QWindow *top = topmostOwnWindow(x);
    if (!top)
        return 0; // nothing of ours to show; whoever shows a window activates it
    if (x)
        activate(x, xcb_window_t(top->winId()));
    top->raise();
    top->requestActivate();
    return 0;
}

int X11Processes::SetProcessWithCreatorFront(const QString &creator)
{
    if (creator.isEmpty())
        return -1;
    if (creator.compare(kMyCreator, Qt::CaseInsensitive) == 0)
        return BringProcessFront();
    const X11 x = x11();
    if (!x)
        return -1;
    const QString key = creator.toLower();
    xcb_window_t target = lastWindow_.value(key, XCB_WINDOW_NONE);
    // The window may have closed, and its id may since name another application's window.
    if (target && identityOf(x, target).toLower() != key)
        target = XCB_WINDOW_NONE;
    if (!target) {
        const QList<xcb_window_t> clients = clientsTopFirst(x);
        for (xcb_window_t client : clients) {
            if (identityOf(x, client).toLower() == key && !isOwnWindow(x, client)) {
                target = client;
                break;
            }
        }
    }
    if (!target) {
        lastWindow_.remove(key);
        return -1;
    }
    lastWindow_.insert(key, target);
    activate(x, target);
    return 0;
}

} // namespace

std::unique_ptr<Processes> makeProcesses() { return std::make_unique<X11Processes>(); }

} // namespace platform::linux_x11

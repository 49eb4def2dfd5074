#include "platform/linux/x11util.h"

#include <QGuiApplication>

#include <cstring>

// Xlib after Qt: its macros (None, KeyPress, Status, ...) would clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace platform::linux_x11 {

X11 x11()
{
    X11 result;
    auto *app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!app || !app->display() || !app->connection())
        return result;
    result.display = app->display();
    result.connection = app->connection();
    result.root = xcb_window_t(XDefaultRootWindow(result.display));
    return result;
}

bool requestSucceeded(xcb_connection_t *c, xcb_void_cookie_t cookie, uint8_t *errorCode)
{
    XcbReply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
    if (errorCode)
        *errorCode = error ? error->error_code : 0;
    return !error;
}

// ---- Xlib errors

// The innermost live trap; Xlib offers only a process-wide handler.
static XErrorTrap *currentTrap = nullptr;

struct XErrorTrapAccess {
    static int handle(Display *display, XErrorEvent *event)
    {
        for (XErrorTrap *trap = currentTrap; trap; trap = trap->outer_) {
            if (trap->display_ == display) {
                if (!trap->error_)
                    trap->error_ = event->error_code;
                return 0;
            }
        }
        // Another connection's error: hand it to whoever handled errors before the traps.
        XErrorTrap *outermost = currentTrap;
        while (outermost && outermost->outer_)
            outermost = outermost->outer_;
        auto previous = outermost ? reinterpret_cast<XErrorHandler>(outermost->previousHandler_)
                                  : nullptr;
        return previous ? previous(display, event) : 0;
    }
};

XErrorTrap::XErrorTrap(Display *display) : display_(display), outer_(currentTrap)
{
    XErrorHandler previous = XSetErrorHandler(&XErrorTrapAccess::handle);
    if (!outer_)
        previousHandler_ = reinterpret_cast<void (*)()>(previous);
    currentTrap = this;
}

XErrorTrap::~XErrorTrap()
{
    if (display_)
        XSync(display_, False);
    currentTrap = outer_;
    if (!outer_)
        XSetErrorHandler(reinterpret_cast<XErrorHandler>(previousHandler_));
}

int XErrorTrap::sync()
{
    if (display_)
        XSync(display_, False);
    return error_;
}

// ---- atoms and properties

xcb_atom_t Atoms::get(xcb_connection_t *c, const char *name)
{
    const QByteArray key(name);
    if (auto it = cache_.constFind(key); it != cache_.constEnd())
        return it.value();
    XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(key.size()), name), nullptr));
    if (!reply)
        return XCB_ATOM_NONE;
    cache_.insert(key, reply->atom);
    return reply->atom;
}

QByteArray windowProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property,
                          xcb_atom_t type, uint32_t maxBytes, bool *exists)
{
    if (exists)
        *exists = false;
    if (!window || !property)
        return {};
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, type, 0, (maxBytes + 3) / 4), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    if (exists)
        *exists = true;
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      qMin<int>(length, int(maxBytes)));
}

QList<uint32_t> windowProperty32(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property,
                                 xcb_atom_t type, bool *exists)
{
    const QByteArray bytes = windowProperty(c, window, property, type, 1 << 16, exists);
    QList<uint32_t> values(bytes.size() / 4);
    std::memcpy(values.data(), bytes.constData(), size_t(values.size()) * 4);
    return values;
}

WmClass wmClass(xcb_connection_t *c, xcb_window_t window)
{
    const QByteArray bytes = windowProperty(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 1024);
    const QList<QByteArray> parts = bytes.split('\0');
    WmClass result;
    if (!parts.isEmpty())
        result.instance = QString::fromUtf8(parts.value(0));
    result.className = QString::fromUtf8(parts.value(1));
    return result;
}

bool windowExists(xcb_connection_t *c, xcb_window_t window)
{
    if (!window)
        return false;
    XcbReply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return reply != nullptr;
}

// ---- keys

unsigned long keysymForKeyCode(int keyCode)
{
    // The classic US key codes, in code order; a blank marks a code that is no printing key.
    static const char layout[] = "asdfhgzxcv bqweryt123465=97-80]ou[ip lj'k;\\,/nm.";
    if (keyCode < 0 || keyCode >= int(sizeof layout) - 1 || layout[keyCode] == ' ')
        return 0;
    return static_cast<unsigned char>(layout[keyCode]); // Latin-1 keysyms are their codes
}

KeyboardMap::KeyboardMap(Display *display) : display_(display)
{
    if (!display_)
        return;
    XErrorTrap trap(display_);
    desc_ = XkbGetMap(display_, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask,
                      XkbUseCoreKbd);
    XkbStateRec state{};
    if (desc_ && XkbGetState(display_, XkbUseCoreKbd, &state) == Success)
        group_ = state.group;
    if (trap.sync() && desc_) {
        XkbFreeKeyboard(desc_, 0, True);
        desc_ = nullptr;
    }
}

KeyboardMap::~KeyboardMap()
{
    if (desc_)
        XkbFreeKeyboard(desc_, 0, True);
}

uint8_t KeyboardMap::keycodeFor(unsigned long keysym) const
{
    if (!desc_ || !desc_->map || !keysym)
        return 0;
    for (bool currentGroup : {true, false}) {
        for (int key = desc_->min_key_code; key <= desc_->max_key_code; ++key) {
            const int groups = XkbKeyNumGroups(desc_, key);
            if (groups <= 0)
                continue;
            if (currentGroup) {
                if (XkbKeySymEntry(desc_, key, 0, group_ % groups) == keysym)
                    return uint8_t(key);
                continue;
            }
            for (int group = 0; group < groups; ++group) {
                if (XkbKeySymEntry(desc_, key, 0, group) == keysym)
                    return uint8_t(key);
            }
        }
    }
    return 0;
}

uint8_t KeyboardMap::modifiersOf(uint8_t keycode) const
{
    if (!desc_ || !desc_->map || !desc_->map->modmap || keycode < desc_->min_key_code
        || keycode > desc_->max_key_code)
        return 0;
    return desc_->map->modmap[keycode];
}

uint16_t KeyboardMap::numLockMask() const
{
    if (!desc_ || !desc_->map)
        return 0;
    for (int key = desc_->min_key_code; key <= desc_->max_key_code; ++key) {
        const int count = XkbKeyNumSyms(desc_, key);
        const KeySym *syms = XkbKeySymsPtr(desc_, key);
        for (int i = 0; i < count; ++i) {
            if (syms[i] == XK_Num_Lock && modifiersOf(uint8_t(key)))
                return modifiersOf(uint8_t(key));
        }
    }
    return 0;
}

QList<uint8_t> KeyboardMap::heldModifierKeys() const
{
    QList<uint8_t> keys;
    if (!desc_)
        return keys;
    const uint16_t locks = LockMask | numLockMask();
    for (int key = desc_->min_key_code; key <= desc_->max_key_code; ++key) {
        if (modifiersOf(uint8_t(key)) & ~locks)
            keys.append(uint8_t(key));
    }
    return keys;
}

} // namespace platform::linux_x11

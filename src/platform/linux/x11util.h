// Shared X11 helpers for the real services: Qt's own X connection, a scoped Xlib error trap,
// atoms and window properties, and the live keyboard map. Free of Xlib macros on purpose.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

typedef struct _XDisplay Display;
struct _XkbDesc;

namespace platform::linux_x11 {

// Qt's connection to the X server; empty when Qt runs on another platform.
struct X11 {
    Display *display = nullptr;
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    explicit operator bool() const { return display && connection && root; }
};
X11 x11();

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Waits for the server's answer to a checked request: true when it succeeded.
bool requestSucceeded(xcb_connection_t *c, xcb_void_cookie_t cookie, uint8_t *errorCode = nullptr);

// While alive, Xlib errors on the display are recorded here instead of reaching any other
// handler: a window that vanished under us must never end the process.
class XErrorTrap {
public:
    explicit XErrorTrap(Display *display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap &) = delete;
    XErrorTrap &operator=(const XErrorTrap &) = delete;

    // Waits until the server has answered everything sent so far; the first error code, or 0.
    int sync();

private:
    friend struct XErrorTrapAccess;
    Display *display_;
    XErrorTrap *outer_;
    void (*previousHandler_)() = nullptr;
    int error_ = 0;
};

// Atoms interned on first use.
class Atoms {
public:
    xcb_atom_t get(xcb_connection_t *c, const char *name);

private:
    QHash<QByteArray, xcb_atom_t> cache_;
};

// A window property's bytes (at most maxBytes); empty when absent or the window is gone.
QByteArray windowProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property,
                          xcb_atom_t type, uint32_t maxBytes = 1 << 16, bool *exists = nullptr);
// A property holding windows or cardinals, as 32-bit values.
QList<uint32_t> windowProperty32(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property,
                                 xcb_atom_t type, bool *exists = nullptr);

struct WmClass {
    QString instance;
    QString className;
};
WmClass wmClass(xcb_connection_t *c, xcb_window_t window);

// Whether the window still exists on the server.
bool windowExists(xcb_connection_t *c, xcb_window_t window);

// The keysym a classic key code stands for (letters, digits and a few punctuation keys); 0
// for any other code.
unsigned long keysymForKeyCode(int keyCode);

// The keyboard map as the server has it now (fetched fresh: Xlib's cached copy is not
// refreshed while Qt owns the event queue).
class KeyboardMap {
public:
    explicit KeyboardMap(Display *display);
    ~KeyboardMap();
    KeyboardMap(const KeyboardMap &) = delete;
    KeyboardMap &operator=(const KeyboardMap &) = delete;

    bool isValid() const { return desc_ != nullptr; }
    // The key that types `keysym` without Shift: in the current group first (so that
    // non-Latin layouts still find a Latin key), then in any group; 0 when none does.
    uint8_t keycodeFor(unsigned long keysym) const;
    // The modifier bits a key sets.
    uint8_t modifiersOf(uint8_t keycode) const;
    // The modifier bit NumLock sets (0 when no key carries it).
    uint16_t numLockMask() const;
    // Keys that act as held modifiers (Shift, Control, Alt, Super, ...), not the lock keys.
    QList<uint8_t> heldModifierKeys() const;

private:
    Display *display_;
    _XkbDesc *desc_ = nullptr;
    int group_ = 0;
};

} // namespace platform::linux_x11

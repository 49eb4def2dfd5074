// System-wide hot keys on X11: a passive grab of the key on the root window for every
// NumLock/CapsLock variant, its release read from Qt's own xcb event stream.
#include "platform/linux/linuxplatform.h"
#include "platform/linux/x11util.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace platform::linux_x11 {
namespace {

constexpr int kCommandKeyValue = 256;
constexpr int kShiftKeyValue = 512;

// Command is Control and Option is Alt.
uint16_t xModifiers(int modifiers)
{
    uint16_t mask = 0;
    if (modifiers & (kControlKeyValue | kCommandKeyValue))
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & kOptionKeyValue)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & kShiftKeyValue)
        mask |= XCB_MOD_MASK_SHIFT;
    return mask;
}

class X11HotKeyGrab final : public QObject, public HotKeyGrab, public QAbstractNativeEventFilter {
public:
    X11HotKeyGrab(const X11 &x, unsigned long keysym, uint16_t modifiers,
                  std::function<void()> onRelease)
        : x_(x), keysym_(keysym), modifiers_(modifiers), onRelease_(std::move(onRelease))
    {
        XErrorTrap trap(x_.display);
        int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        if (XkbQueryExtension(x_.display, &opcode, &xkbEventBase_, &error, &major, &minor)) {
            Bool supported = False;
            XkbSetDetectableAutoRepeat(x_.display, True, &supported);
            detectableRepeat_ = supported;
        } else {
            xkbEventBase_ = -1;
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~X11HotKeyGrab() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        if (qGuiApp)
            ungrab();
    }

    // Grabs every variant, or none: false when another program holds the combination.
    bool grab()
    {
        const KeyboardMap map(x_.display);
        keycode_ = map.keycodeFor(keysym_);
        numLock_ = map.numLockMask();
        if (!keycode_)
            return false;
        QList<uint16_t> variants;
        for (uint16_t locks : {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), numLock_,
                               uint16_t(numLock_ | XCB_MOD_MASK_LOCK)}) {
            if (!variants.contains(modifiers_ | locks))
                variants.append(modifiers_ | locks);
        }
        // Not owner events: every press and release comes reported on the root window.
        QList<xcb_void_cookie_t> cookies;
        for (uint16_t variant : std::as_const(variants))
            cookies.append(xcb_grab_key_checked(x_.connection, 0, x_.root, variant, keycode_,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        bool all = true;
        for (qsizetype i = 0; i < cookies.size(); ++i) {
            if (requestSucceeded(x_.connection, cookies[i]))
                grabbed_.append(variants[i]);
            else
                all = false;
        }
        if (!all)
            ungrab();
        return all;
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t" || grabbed_.isEmpty())
            return false;
        auto *event = static_cast<xcb_generic_event_t *>(message);
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
            auto *key = reinterpret_cast<xcb_key_press_event_t *>(event);
            if (key->detail != keycode_ || key->event != x_.root)
                return false;
            if (type == XCB_KEY_PRESS)
                pressed(*key);
            else
                released(*key);
            return true;
        }
        if (type == XCB_MAPPING_NOTIFY) {
            if (reinterpret_cast<xcb_mapping_notify_event_t *>(event)->request
                != XCB_MAPPING_POINTER)
                queueRegrab();
        } else if (xkbEventBase_ >= 0 && type == xkbEventBase_) {
            const uint8_t xkbType = reinterpret_cast<const uint8_t *>(event)[1];
            if (xkbType == XkbNewKeyboardNotify || xkbType == XkbMapNotify)
                queueRegrab();
        }
        return false;
    }

private:
    void pressed(const xcb_key_press_event_t &key)
    {
        // Without detectable auto-repeat a held key sends release and press at one instant.
        if (releasePending_ && key.time == releaseTime_) {
            releasePending_ = false;
            pressed_ = true;
            return;
        }
        const uint16_t locks = XCB_MOD_MASK_LOCK | numLock_;
        if ((key.state & 0xff & ~locks) == modifiers_)
            pressed_ = true;
    }

    void released(const xcb_key_press_event_t &key)
    {
        // Whatever modifiers the user let go of first, the release of the key counts.
        if (!pressed_)
            return;
        pressed_ = false;
        releasePending_ = true;
        releaseTime_ = key.time;
        // Outside the event filter, once the server has ended the grab the press began.
        QTimer::singleShot(detectableRepeat_ ? 0 : 30, this, &X11HotKeyGrab::deliver);
    }

    void deliver()
    {
        if (!releasePending_)
            return;
        releasePending_ = false;
        const std::function<void()> callback = onRelease_; // it may destroy this grab
        if (callback)
            callback();
    }

    void queueRegrab()
    {
        if (regrabQueued_)
            return;
        regrabQueued_ = true;
        QTimer::singleShot(0, this, &X11HotKeyGrab::regrab);
    }

    // The key may have moved, or NumLock to another modifier bit: grab anew.
    void regrab()
    {
        regrabQueued_ = false;
        const KeyboardMap map(x_.display);
        if (map.keycodeFor(keysym_) == keycode_ && map.numLockMask() == numLock_)
            return;
        ungrab();
        pressed_ = false;
        grab(); // refused now: the key stays quiet, as when it was refused at first
    }

    void ungrab()
    {
        QList<xcb_void_cookie_t> cookies;
        for (uint16_t variant : std::as_const(grabbed_))
            cookies.append(xcb_ungrab_key_checked(x_.connection, keycode_, x_.root, variant));
        for (xcb_void_cookie_t cookie : std::as_const(cookies))
            requestSucceeded(x_.connection, cookie);
        grabbed_.clear();
    }

    X11 x_;
    unsigned long keysym_;
    uint16_t modifiers_;
    std::function<void()> onRelease_;
    uint8_t keycode_ = 0;
    uint16_t numLock_ = 0;
    QList<uint16_t> grabbed_;
    int xkbEventBase_ = -1;
    bool detectableRepeat_ = false;
    bool pressed_ = false;
    bool releasePending_ = false;
    xcb_timestamp_t releaseTime_ = 0;
    bool regrabQueued_ = false;
};

class X11HotKeys final : public HotKeys {
public:
    std::unique_ptr<HotKeyGrab> grab(int keyCode, int modifiers,
                                     std::function<void()> onRelease) override
    {
        const X11 x = x11();
        const unsigned long keysym = keysymForKeyCode(keyCode);
        const uint16_t mask = xModifiers(modifiers);
        // A bare letter grabbed system-wide would stop the user typing it anywhere.
        if (!x || !keysym || !mask)
            return nullptr;
        auto grab = std::make_unique<X11HotKeyGrab>(x, keysym, mask, std::move(onRelease));
        if (!grab->grab())
            return nullptr;
        return grab;
    }
};

} // namespace

std::unique_ptr<HotKeys> makeHotKeys() { return std::make_unique<X11HotKeys>(); }

} // namespace platform::linux_x11

// The real hot-key service on an X server: the user's keys played by xdotool, a rival program
// played by a second X connection.
#include "platform/linux/linuxplatform.h"
#include "platform/linux/x11util.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>
#include "support/waiting.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using platform::linux_x11::XErrorTrap;

// Plays keys; each argument is one xdotool command line ("key ctrl+alt+p"), or a pause in
// milliseconds. The event loop turns meanwhile.
void keys(const QStringList &steps)
{
    for (const QString &step : steps) {
        bool pause = false;
        const int ms = step.toInt(&pause);
        if (pause) {
            settle(ms);
            continue;
        }
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), step.split(QLatin1Char(' ')));
        xdotool.waitForStarted(5000);
        waitUntil([&] { return xdotool.state() == QProcess::NotRunning; });
    }
}

// Another program on the same display.
class Rival {
public:
    Rival() : display_(XOpenDisplay(nullptr)) {}
    ~Rival()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    explicit operator bool() const { return display_ != nullptr; }

    // Tries to grab Ctrl+Alt+P with extra lock modifiers; true when the server agreed.
    bool grab(unsigned locks)
    {
        XErrorTrap trap(display_);
        XGrabKey(display_, XKeysymToKeycode(display_, XK_p), ControlMask | Mod1Mask | locks,
                 DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync);
        return trap.sync() == 0;
    }
    // Ctrl+Alt and the key that types P in some group, as a keyboard would send them.
    void pressCtrlAltP()
    {
        const KeyCode keys[] = {XKeysymToKeycode(display_, XK_Control_L),
                                XKeysymToKeycode(display_, XK_Alt_L),
                                XKeysymToKeycode(display_, XK_p)};
        for (KeyCode key : keys)
            XTestFakeKeyEvent(display_, key, True, CurrentTime);
        for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
            XTestFakeKeyEvent(display_, *key, False, CurrentTime);
        XSync(display_, False);
    }
    void ungrabAll()
    {
        XUngrabKey(display_, AnyKey, AnyModifier, DefaultRootWindow(display_));
        XSync(display_, False);
    }

private:
    Display *display_;
};

// The warnings Qt would print while it lives.
class QtWarnings {
public:
    QtWarnings() { previous_ = qInstallMessageHandler(&QtWarnings::record); }
    ~QtWarnings() { qInstallMessageHandler(previous_); }
    static inline QStringList lines;

private:
    static void record(QtMsgType, const QMessageLogContext &, const QString &text)
    {
        lines.append(text);
    }
    QtMessageHandler previous_;
};

class X11HotKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY")
            || QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display and QT_QPA_PLATFORM=xcb";
        hotKeys = platform::linux_x11::makeHotKeys();
        ASSERT_TRUE(hotKeys);
    }

    std::unique_ptr<platform::HotKeyGrab> grab()
    {
        return hotKeys->grab(platform::kKeyCodeP,
                             platform::kControlKeyValue + platform::kOptionKeyValue,
                             [this] { ++released; });
    }

    std::unique_ptr<platform::HotKeys> hotKeys;
    int released = 0;
};

TEST_F(X11HotKeysTest, ReleaseOfTheCombinationFiresOnce)
{
    const auto hotKey = grab();
    ASSERT_TRUE(hotKey);
    struct Case {
        const char *name;
        QStringList steps;
        int fires;
    };
    const Case cases[] = {
        {"pressed and let go", {"key ctrl+alt+p"}, 1},
        {"modifiers let go first", {"keydown ctrl+alt+p", "keyup ctrl+alt", "keyup p"}, 1},
        {"NumLock on", {"key Num_Lock", "key ctrl+alt+p", "key Num_Lock"}, 1},
        {"CapsLock on", {"key Caps_Lock", "key ctrl+alt+p", "key Caps_Lock"}, 1},
        {"Control alone", {"key ctrl+p"}, 0},
        {"Alt alone", {"key alt+p"}, 0},
        {"with Shift too", {"key ctrl+alt+shift+p"}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        released = 0;
        keys(c.steps);
        if (c.fires) {
            EXPECT_TRUE(waitUntil([&] { return released >= c.fires; }));
        }
        settle(300);
        EXPECT_EQ(released, c.fires);
    }
}

TEST_F(X11HotKeysTest, HeldCombinationFiresOnlyOnItsRelease)
{
    const auto hotKey = grab();
    ASSERT_TRUE(hotKey);
    keys({"keydown ctrl+alt+p", "1200"}); // long enough for the key to repeat
    EXPECT_EQ(released, 0);
    keys({"keyup p", "keyup ctrl+alt"});
    EXPECT_TRUE(waitUntil([&] { return released >= 1; }));
    settle(300);
    EXPECT_EQ(released, 1);
}

TEST_F(X11HotKeysTest, CombinationHeldByAnotherProgramIsRefusedCleanly)
{
    Rival rival;
    ASSERT_TRUE(rival);
    for (unsigned locks : {0u, unsigned(Mod2Mask), unsigned(LockMask)}) {
        SCOPED_TRACE(locks);
        ASSERT_TRUE(rival.grab(locks));
        {
            QtWarnings warnings;
            QtWarnings::lines.clear();
            EXPECT_FALSE(grab());
            EXPECT_TRUE(QtWarnings::lines.isEmpty()) << QtWarnings::lines.join('\n').toStdString();
        }
        // Whatever variants were grabbed before the refusal were let go again.
        EXPECT_TRUE(rival.grab(0));
        EXPECT_TRUE(rival.grab(Mod2Mask | LockMask));
        rival.ungrabAll();
    }
}

TEST_F(X11HotKeysTest, DestroyedGrabLetsOthersTakeTheCombination)
{
    Rival rival;
    ASSERT_TRUE(rival);
    auto hotKey = grab();
    ASSERT_TRUE(hotKey);
    EXPECT_FALSE(rival.grab(0));
    EXPECT_FALSE(rival.grab(Mod2Mask));
    hotKey.reset();
    EXPECT_TRUE(rival.grab(0));
    EXPECT_TRUE(rival.grab(Mod2Mask));
    rival.ungrabAll();
}

// When the layout moves P to another key, the grab follows it; with a layout that has no
// Latin letters in front, the key that is P in another group still works.
TEST_F(X11HotKeysTest, GrabFollowsTheKeyboardMapping)
{
    const auto hotKey = grab();
    ASSERT_TRUE(hotKey);
    struct RestoreLayout {
        ~RestoreLayout() { QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("us")}); }
    } restore;
    ASSERT_EQ(QProcess::execute(QStringLiteral("setxkbmap"),
                                {QStringLiteral("-layout"), QStringLiteral("us"),
                                 QStringLiteral("-variant"), QStringLiteral("dvorak")}),
              0);
    settle(300);
    keys({"key ctrl+alt+p"});
    EXPECT_TRUE(waitUntil([&] { return released == 1; }));

    ASSERT_EQ(QProcess::execute(QStringLiteral("setxkbmap"),
                                {QStringLiteral("-layout"), QStringLiteral("ru,us")}),
              0);
    settle(300);
    Rival user; // a fresh connection knows the new map
    ASSERT_TRUE(user);
    user.pressCtrlAltP();
    EXPECT_TRUE(waitUntil([&] { return released == 2; }));
}

} // namespace

// System-wide hot keys. A grab reports the release of its key combination until destroyed.
#pragma once

#include <functional>
#include <memory>

namespace platform {

// Modifier values as the hot-key control reports them.
inline constexpr int kControlKeyValue = 4096;
inline constexpr int kOptionKeyValue = 2048;
// Key code of the P key.
inline constexpr int kKeyCodeP = 35;

class HotKeyGrab {
public:
    virtual ~HotKeyGrab() = default;
};

class HotKeys {
public:
    virtual ~HotKeys() = default;
    // nullptr when the system refuses (another program holds the combination).
    virtual std::unique_ptr<HotKeyGrab> grab(int keyCode, int modifiers,
                                             std::function<void()> onRelease) = 0;
};

} // namespace platform

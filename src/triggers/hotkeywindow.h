// The never-seen window that owns the live Option-Control-P hot key and starts one of the
// palette's two "No Stamp" prints on its release.
#pragma once

#include "common/singleinstance.h"

#include <QWidget>

namespace platform {
class GlobalHotKey;
}

// The diagnostic line when the system refuses the hot key.
inline const char *const kHotKeyRefusedLine =
    "Ctrl+Alt+P is taken by another program: the hot key will not print";

class HotKeyWindow : public QWidget {
    Q_OBJECT
public:
    static HotKeyWindow &instance() { return SingleInstance<HotKeyWindow>::instance(); }
    static bool exists() { return SingleInstance<HotKeyWindow>::exists(); }

    HotKeyWindow();

    platform::GlobalHotKey *GlobalHotKey1;

    void GlobalHotKey1_Open();
    void GlobalHotKey1_Close();
    void GlobalHotKey1_HotKeyReleased(int value);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Open();
};

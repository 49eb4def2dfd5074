// The end-to-end driver: the real services, the hidden palette, and the palette buttons
// named on the command line pushed in order, as the triggers push them. Exits 0 once the
// commands are done (no timer armed, no Tapsel window shown), 2 on a time-out.
// With --stay it prints "idle" then and keeps running (holding what it put on the
// clipboard) until it is terminated.
// With --show-preferences the Preferences window is shown first, as its menu item shows it.
//   tapsel_driver [--load-preferences] [--show-preferences] [--stay] [--timeout SECONDS] BUTTON...
#include "common/module1.h"
#include "platform/linux/linuxplatform.h"
#include "shell/tapsel.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#if __has_include("prefs/preferencefiles.h")
#include "prefs/preferencefiles.h"
#include "prefs/preferenceswindow.h"
#define TAPSEL_DRIVER_HAS_PREFERENCES 1
#endif

namespace {

bool busy(Tapsel &palette)
{
    for (platform::Timer *t : palette.findChildren<platform::Timer *>())
        if (t->Mode() != 0)
            return true;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return true;
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tapsel"));
    app.setQuitOnLastWindowClosed(false);
    platform::linux_x11::bindRealServices();

    QStringList buttons;
    bool loadPreferences = false;
    bool showPreferences = false;
    bool stay = false;
    int timeoutSeconds = 120;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--load-preferences"))
            loadPreferences = true;
        else if (args[i] == QLatin1String("--show-preferences"))
            showPreferences = true;
        else if (args[i] == QLatin1String("--stay"))
            stay = true;
        else if (args[i] == QLatin1String("--timeout") && i + 1 < args.size())
            timeoutSeconds = args[++i].toInt();
        else
            buttons.append(args[i]);
    }

    Tapsel &palette = Tapsel::instance();
    palette.hide();
    if (loadPreferences) {
#ifdef TAPSEL_DRIVER_HAS_PREFERENCES
        LoadPreferences();
#else
        std::fprintf(stderr, "tapsel_driver: preferences are not built in\n");
        return 3;
#endif
    }
    if (showPreferences) {
#ifdef TAPSEL_DRIVER_HAS_PREFERENCES
        PreferencesWindow::showWindow();
#else
        std::fprintf(stderr, "tapsel_driver: preferences are not built in\n");
        return 3;
#endif
    }
    for (const QString &name : buttons) {
        auto *button = palette.findChild<QPushButton *>(name);
        if (!button) {
            std::fprintf(stderr, "tapsel_driver: no button %s\n", qPrintable(name));
            return 3;
        }
        button->click();
    }

    int idleChecks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        idleChecks = busy(palette) ? 0 : idleChecks + 1;
        if (idleChecks < 3)
            return;
        if (!stay) {
            app.exit(0);
            return;
        }
        if (idleChecks == 3) {
            std::printf("idle FrontMostApp=%s\n", qPrintable(Module1::FrontMostApp));
            std::fflush(stdout);
        }
    });
    poll.start(200);
    QTimer::singleShot(timeoutSeconds * 1000, [&] {
        if (stay && idleChecks >= 3)
            return;
        std::fprintf(stderr, "tapsel_driver: timed out\n");
        app.exit(2);
    });
    const int status = app.exec();
    std::printf("FrontMostApp=%s\n", qPrintable(Module1::FrontMostApp));
    return status;
}

// The application object: start-up with and without preference files, the application
// events, the About and Preferences commands, and the one graceful quit.
#include "common/module1.h"
#include "platform/points.h"
#include "platform/timer.h"
#include "prefs/preferencefiles.h"
#include "prefs/preferenceswindow.h"
#include "shell/aboutwindow.h"
#include "shell/app.h"
#include "shell/menu.h"
#include "shell/pictures.h"
#include "shell/tapsel.h"
#include "support/fixture.h"
#include "triggers/hotkeywindow.h"
#include "triggers/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The process start as main runs it, without the event loop.
class AppTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        app = std::make_unique<App>();
        app->menu = &Menu::instance();
        app->BindMenuHandlers();
        MainWindow::instance();
    }
    void TearDown() override
    {
        app.reset();
        PlatformTest::TearDown();
    }
    QString file(const QString &colonPath) { return fx().files.resolve(colonPath); }
    // Runs what a Quit command queued.
    void runQueued() { QCoreApplication::sendPostedEvents(); }

    std::unique_ptr<App> app;
};

TEST_F(AppTest, FirstStartWithoutPreferenceFiles)
{
    app->Open();
    EXPECT_TRUE(Tapsel::exists());
    EXPECT_FALSE(Tapsel::instance().isVisible());
    EXPECT_TRUE(HotKeyWindow::exists());
    EXPECT_FALSE(HotKeyWindow::instance().isVisible());
    EXPECT_EQ(fx().hotKeys.live, 1);
    EXPECT_FALSE(PreferencesWindow::exists());
    EXPECT_FALSE(Module1::ViewPageSetUp || Module1::ViewPrinterDialog);
    EXPECT_FALSE(Module1::DockPageSetUpPref || Module1::DockPrintDialogPref);
    EXPECT_TRUE(fx().log.enabled);
    EXPECT_FALSE(MainWindow::instance().isVisible());
}

TEST_F(AppTest, StartWithPageSetUpTrueThenQuitSavesTheHiddenPreferencesWindow)
{
    writeFile(file(Prefs::kPageSetUpFile), "PageSetUpTrue\n");
    Module1::DockPrintDialogPref = true;
    app->Open();
    EXPECT_TRUE(Module1::ViewPageSetUp);
    EXPECT_FALSE(Module1::ViewPrinterDialog);
    EXPECT_FALSE(Module1::DockPrintDialogPref);
    ASSERT_TRUE(PreferencesWindow::exists());
    EXPECT_FALSE(PreferencesWindow::instance().isVisible());

    app->Quit();
    EXPECT_EQ(readFile(file(Prefs::kPageSetUpFile)).trimmed(), "PageSetUpTrue");
    EXPECT_EQ(readFile(file(Prefs::kPrinterDialogFile)).trimmed(), "PrintDialogFalse");
    EXPECT_EQ(fx().hotKeys.live, 0);
    EXPECT_EQ(fx().log.lines.last(), "App.Close");
    EXPECT_EQ(fx().log.delays, QList<double>{0.5});
}

TEST_F(AppTest, EveryQuitCommandQuitsOnceThroughTheSameSteps)
{
    struct Path {
        const char *name;
        std::function<void()> quit;
        QStringList log; // asked twice
    };
    const QString event = QStringLiteral("HandleAppleEvent: aevt quit");
    const Path paths[] = {
        {"menu Quit",
         [] { Menu::instance().item(QStringLiteral("FileQuit"))->trigger(); },
         {"App.Close"}},
        {"tray Quit", [this] { fx().dock.appItems.last()->trigger(); }, {"App.Close"}},
        {"event-log Quit button",
         [] { MainWindow::instance().PushButton1->click(); },
         {"App.Close"}},
        {"quit event",
         [this] {
             if (!app->HandleAppleEvent(QStringLiteral("aevt"), QStringLiteral("quit")))
                 app->Quit();
         },
         {event, "App.Close", event}},
    };
    fx().dock.setApplicationMenuItems(Menu::instance().applicationMenuItems());
    for (const Path &p : paths) {
        SCOPED_TRACE(p.name);
        app = std::make_unique<App>();
        app->menu = &Menu::instance();
        app->BindMenuHandlers();
        MainWindow::instance();
        app->Open();
        PreferencesWindow::showWindow();
        fx().log.lines.clear();
        fx().log.delays.clear();
        p.quit();
        p.quit(); // a second request while quitting changes nothing
        runQueued();
        EXPECT_TRUE(app->quitting());
        EXPECT_EQ(fx().log.lines, p.log);
        EXPECT_EQ(fx().log.delays, QList<double>{0.5});
        EXPECT_TRUE(QFile::exists(file(Prefs::kPageSetUpFile)));
        QFile::remove(file(Prefs::kPageSetUpFile));
        EXPECT_EQ(fx().hotKeys.live, 0);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(MainWindow::exists());
        EXPECT_FALSE(PreferencesWindow::exists());
    }
}

TEST_F(AppTest, QuitWhileAPrintWaitsGivesTheUserClipboardBack)
{
    app->Open();
    fx().clipboard.setPlain(QStringLiteral("mine"));
    fx().clipboard.add(QStringLiteral("image/png"), QByteArray("png bytes"));
    const platform::ClipboardContents before = fx().clipboard.data;
    Tapsel::instance().PMPrintOneCopyNoStamp->click();
    ASSERT_NE(fx().clipboard.data, before);
    app->Quit();
    EXPECT_EQ(fx().clipboard.data, before);
    EXPECT_EQ(Tapsel::instance().PrintNoStampTimer1->Mode(), 0);
}

TEST_F(AppTest, EveryApplicationEventLogsOneLineAndIsLeftToThePlatform)
{
    const QList<QPair<QString, QString>> events = {
        {"aevt", "oapp"}, {"aevt", "rapp"}, {"aevt", "quit"}, {"aevt", "odoc"},
        {"GURL", "GURL"}, {"misc", ""},     {"", ""},
    };
    for (const auto &[eventClass, eventID] : events) {
        fx().log.lines.clear();
        EXPECT_FALSE(app->HandleAppleEvent(eventClass, eventID));
        EXPECT_EQ(fx().log.lines, QStringList{"HandleAppleEvent: " + eventClass + " " + eventID});
    }
    EXPECT_FALSE(app->quitting());
}

TEST_F(AppTest, AboutWindowShowsThePictureReadOnce)
{
    Pictures::Tapsel2();
    const int loads = Pictures::loads();
    for (int round = 0; round < 2; ++round) {
        EXPECT_FALSE(app->AboutTapsel_Action());
        EXPECT_FALSE(app->AboutTapsel_Action()); // again while open: the same window
        AboutTapselWindow &w = AboutTapselWindow::instance();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.windowTitle(), "About Tapsel 2.0");
        EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(w.size(), QSize(platform::pt(530), platform::pt(406)));
        // In the middle of the screen (give or take a window frame).
        const QPoint offCentre =
            w.geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 8);
        EXPECT_EQ(w.ImageWell1->geometry(), platform::ptRect(0, 0, 530, 406));
        EXPECT_EQ(w.ImageWell1->pixmap().cacheKey(), Pictures::Tapsel2().cacheKey());
        EXPECT_FALSE(w.ImageWell1->pixmap().isNull());
        w.close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(AboutTapselWindow::exists());
    }
    EXPECT_EQ(Pictures::loads(), loads);
}

TEST_F(AppTest, MenuCommandsOpenTheirWindowsAndAreEnabledWheneverMenusShow)
{
    QAction *about = Menu::instance().item(QStringLiteral("AboutTapsel"));
    QAction *prefs = Menu::instance().item(QStringLiteral("FilePreferences"));
    about->setEnabled(false);
    prefs->setEnabled(false);
    app->EnableMenuItems();
    EXPECT_TRUE(about->isEnabled());
    EXPECT_TRUE(prefs->isEnabled());

    prefs->trigger();
    ASSERT_TRUE(PreferencesWindow::exists());
    EXPECT_TRUE(PreferencesWindow::instance().isVisible());
    about->trigger();
    EXPECT_TRUE(AboutTapselWindow::exists());
    EXPECT_FALSE(app->FilePreferences_Action());
    EXPECT_FALSE(app->quitting());
}

TEST_F(AppTest, FileTypesAreDeclaredInOrder)
{
    DeclareFileTypes();
    QStringList declared;
    for (const FileType &t : DeclaredFileTypes())
        declared << t.name + "|" + t.creator + "|" + t.type + "|" + t.extension;
    EXPECT_EQ(declared, QStringList({"text|????|TEXT|.txt", "text clipping|drag|clpt|",
                                     "MyPrefs|ttxt|TEXT|", "LumvanePreferences|ttxt|TEXT|"}));
}

// The framework's small services on a real X server: the message box as the user meets it,
// the yield point, the screen in points, web addresses handed to the desktop.
#include "platform/linux/linuxplatform.h"
#include "platform/points.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class RealFramework : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY")
            || QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display and QT_QPA_PLATFORM=xcb";
        framework = platform::linux_x11::makeFramework();
    }
    std::unique_ptr<platform::Framework> framework;
};

TEST_F(RealFramework, MessageBoxComesUpInFrontWithOneOkAndItsLineBreaks)
{
    struct Seen {
        bool found = false, active = false, onTop = false, modal = false;
        QString title, text;
        Qt::TextFormat format = Qt::AutoText;
        qsizetype buttons = 0;
    } seen;
    int ticks = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++ticks;
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            if (ticks > 500) // never came: let the test end
                for (QWidget *w : QApplication::topLevelWidgets())
                    w->close();
            return;
        }
        // Give the window manager a moment to hand over the focus.
        if (!box->isActiveWindow() && ticks < 100)
            return;
        seen = {true,
                box->isActiveWindow(),
                box->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                box->isModal(),
                box->windowTitle(),
                box->text(),
                box->textFormat(),
                box->buttons().size()};
        poll.stop();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    framework->messageBox("Whoops, <b>nothing</b>.\r\rTry again.\r\n");
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, "Tapsel");
    EXPECT_EQ(seen.text, "Whoops, <b>nothing</b>.\n\nTry again.\n");
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(seen.onTop);
    EXPECT_TRUE(seen.modal);
    EXPECT_TRUE(seen.active);
}

TEST_F(RealFramework, YieldLetsTheEventLoopTurn)
{
    bool queued = false;
    QMetaObject::invokeMethod(qApp, [&] { queued = true; }, Qt::QueuedConnection);
    framework->yield();
    EXPECT_TRUE(queued);

    // A counted wait, as the commands wait for a copy, lets timers fire meanwhile.
    bool fired = false;
    QTimer::singleShot(1, qApp, [&] { fired = true; });
    for (int i = 0; i < 200000 && !fired; ++i)
        framework->waitYield();
    EXPECT_TRUE(fired);
}

TEST_F(RealFramework, MainScreenSizeIsTheScreenInPoints)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QSize points = framework->mainScreenSize();
    const int slack = qCeil(platform::pixelsPerPoint());
    EXPECT_NEAR(platform::pt(points.width()), screen->size().width(), slack);
    EXPECT_NEAR(platform::pt(points.height()), screen->size().height(), slack);
}

TEST_F(RealFramework, OpenUrlHandsTheAddressToTheDesktop)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("tapsel-test", &catcher, "open");
    QDesktopServices::setUrlHandler("http", &catcher, "open");
    framework->openUrl("tapsel-test://about/page");
    framework->openUrl("www.example.org");
    QDesktopServices::unsetUrlHandler("tapsel-test");
    QDesktopServices::unsetUrlHandler("http");
    EXPECT_EQ(catcher.urls,
              QList<QUrl>({QUrl("tapsel-test://about/page"), QUrl("http://www.example.org")}));
}

#include "test_qtframework.moc"

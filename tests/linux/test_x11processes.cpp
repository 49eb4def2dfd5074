// The real processes-and-keystrokes service on an X server: a real editor and a real terminal
// in front, the user's keys played by xdotool, the clipboard read back with xclip.
#include "platform/linux/linuxplatform.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include "support/waiting.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Runs a tool to its end while the event loop turns: the tool may ask this process for a
// selection it owns.
QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(5000))
        return {};
    waitUntil([&] { return process.state() == QProcess::NotRunning; }, 15000);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(2000);
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString xdotool(const QStringList &args) { return run(QStringLiteral("xdotool"), args).trimmed(); }

QString clipboardText()
{
    return run(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                         QStringLiteral("clipboard")});
}

QString activeWindow() { return xdotool({QStringLiteral("getactivewindow")}); }

bool activate(const QString &window)
{
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    return waitUntil([&] { return activeWindow() == window; });
}

class X11ProcessesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY")
            || QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display and QT_QPA_PLATFORM=xcb";
        processes = platform::linux_x11::makeProcesses();
        ASSERT_TRUE(dir.isValid());
    }

    void TearDown() override
    {
        for (auto &app : apps) {
            app->kill();
            app->waitForFinished(3000);
        }
    }

    // Starts a program and returns its visible window, in front.
    QString start(const QString &program, const QStringList &args)
    {
        auto &app = apps.emplace_back(std::make_unique<QProcess>());
        // Settings of its own: a killed editor must leave no session behind for the next one
        // (or for anyone else's) to offer to restore.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        app->setProcessEnvironment(environment);
        app->start(program, args);
        if (!app->waitForStarted(5000))
            return {};
        QString window;
        waitUntil([&] {
            window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--pid"), QString::number(app->processId())})
                         .section(QLatin1Char('\n'), -1);
            return !window.isEmpty();
        }, 20000);
        if (!window.isEmpty() && !activate(window))
            return {};
        return window;
    }

    QString startMousepad(const QString &text)
    {
        const QString path = dir.filePath(QStringLiteral("selection.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(text.toUtf8());
        file.close();
        return start(QStringLiteral("mousepad"), {path});
    }

    QString startTerminal(const QString &command)
    {
        return start(QStringLiteral("xterm"),
                     {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"), command});
    }

    void postCopy()
    {
        processes->PostCommandKeyEvent(true);
        processes->PostKeyEvent(QStringLiteral("C"), 8, true);
        processes->PostKeyEvent(QStringLiteral("C"), 8, false);
        processes->PostCommandKeyEvent(false);
    }

    // Something other than the expected text, so that a copy shows.
    void markClipboard()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("marker"));
        ASSERT_TRUE(waitUntil([] { return clipboardText() == QLatin1String("marker"); }));
    }

    std::unique_ptr<platform::Processes> processes;
    std::vector<std::unique_ptr<QProcess>> apps;
    QTemporaryDir dir;
};

// With a key the user still holds (from the hot key), the posted Ctrl+C must still be a Copy.
TEST_F(X11ProcessesTest, CopyKeystrokeCopiesTheEditorsSelection)
{
    const QString text = QStringLiteral("Hello from mousepad\nsecond line");
    const QString editor = startMousepad(text);
    ASSERT_FALSE(editor.isEmpty());
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")});

    for (const QString &held : {QString(), QStringLiteral("alt"), QStringLiteral("shift"),
                               QStringLiteral("ctrl+alt")}) {
        SCOPED_TRACE(held.isEmpty() ? QStringLiteral("nothing held").toStdString()
                                    : held.toStdString());
        markClipboard();
        EXPECT_EQ(processes->GetFrontProcessCreator(), QStringLiteral("Mousepad"));
        if (!held.isEmpty()) {
            xdotool({QStringLiteral("keydown"), held});
            QTimer::singleShot(300, [held] {
                QProcess::startDetached(QStringLiteral("xdotool"), {QStringLiteral("keyup"), held});
            });
        }
        postCopy();
        EXPECT_TRUE(waitUntil([&] { return clipboardText() == text; }))
            << clipboardText().toStdString();
        settle(400); // the key the timer lets go of
    }

    // A layout without Latin letters in front: the key that is "C" in another group copies.
    struct RestoreLayout {
        ~RestoreLayout() { QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("us")}); }
    } restore;
    ASSERT_EQ(QProcess::execute(QStringLiteral("setxkbmap"),
                                {QStringLiteral("-layout"), QStringLiteral("ru,us")}),
              0);
    markClipboard();
    postCopy();
    EXPECT_TRUE(waitUntil([&] { return clipboardText() == text; })) << clipboardText().toStdString();
}

// Ctrl+C would interrupt the program in the terminal; its selection is copied all the same.
TEST_F(X11ProcessesTest, TerminalGetsNoInterruptAndItsSelectionIsCopied)
{
    const QString terminal = startTerminal(QStringLiteral("echo chosen words; sleep 60"));
    ASSERT_FALSE(terminal.isEmpty());
    QProcess &xterm = *apps.back();
    markClipboard();
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), terminal,
             QStringLiteral("20"), QStringLiteral("8"), QStringLiteral("click"),
             QStringLiteral("--repeat"), QStringLiteral("3"), QStringLiteral("--delay"),
             QStringLiteral("50"), QStringLiteral("1")});
    ASSERT_TRUE(waitUntil([] {
        return QGuiApplication::clipboard()->text(QClipboard::Selection).trimmed()
            == QLatin1String("chosen words");
    }));

    EXPECT_EQ(processes->GetFrontProcessCreator(), QStringLiteral("XTerm"));
    postCopy();
    EXPECT_TRUE(waitUntil([] { return clipboardText().trimmed() == QLatin1String("chosen words"); }))
        << clipboardText().toStdString();
    settle(500);
    EXPECT_EQ(xterm.state(), QProcess::Running);
}

TEST_F(X11ProcessesTest, SetProcessWithCreatorFrontReturnsToTheWindowTheUserLeft)
{
    const QString first = startTerminal(QStringLiteral("sleep 60"));
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(processes->GetFrontProcessCreator(), QStringLiteral("XTerm"));
    const QString second = startTerminal(QStringLiteral("sleep 60"));
    ASSERT_FALSE(second.isEmpty());

    // Another window of the same application came on top; the user's window comes back.
    EXPECT_EQ(processes->SetProcessWithCreatorFront(QStringLiteral("XTerm")), 0);
    EXPECT_TRUE(waitUntil([&] { return activeWindow() == first; }));

    // That window closed: any window of the application will do.
    apps.front()->kill();
    apps.front()->waitForFinished(3000);
    EXPECT_EQ(processes->SetProcessWithCreatorFront(QStringLiteral("XTerm")), 0);
    EXPECT_TRUE(waitUntil([&] { return activeWindow() == second; }));

    EXPECT_EQ(processes->SetProcessWithCreatorFront(QStringLiteral("NoSuchApplication")), -1);
    EXPECT_EQ(processes->SetProcessWithCreatorFront(QString()), -1);
    settle(200);
    EXPECT_EQ(activeWindow(), second);
}

TEST_F(X11ProcessesTest, BringProcessFrontActivatesTapselsOwnWindow)
{
    EXPECT_EQ(processes->BringProcessFront(), 0); // nothing of ours shown: nothing happens
    const QString terminal = startTerminal(QStringLiteral("sleep 60"));
    ASSERT_FALSE(terminal.isEmpty());
    EXPECT_EQ(processes->BringProcessFront(), 0);
    settle(200);
    EXPECT_EQ(activeWindow(), terminal);

    QWidget window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.isVisible() && window.windowHandle(); }));
    ASSERT_TRUE(activate(terminal));
    EXPECT_EQ(processes->BringProcessFront(), 0);
    const QString own = QString::number(window.winId());
    EXPECT_TRUE(waitUntil([&] { return activeWindow() == own; }));
    EXPECT_EQ(processes->GetFrontProcessCreator(), processes->GetMyCreator());
    EXPECT_EQ(processes->GetMyCreator(), QStringLiteral("Tapsel"));

    EXPECT_EQ(processes->SetProcessWithCreatorFront(QStringLiteral("XTerm")), 0);
    EXPECT_TRUE(waitUntil([&] { return activeWindow() == terminal; }));
    EXPECT_EQ(processes->SetProcessWithCreatorFront(QStringLiteral("Tapsel")), 0);
    EXPECT_TRUE(waitUntil([&] { return activeWindow() == own; }));
}

} // namespace

// The triggers: the hot key's choice of print, the Dock menu and its command dispatch, and
// the event log.
#include "common/module1.h"
#include "common/util.h"
#include "platform/dock.h"
#include "platform/globalhotkey.h"
#include "platform/timer.h"
#include "prefs/preferenceswindow.h"
#include "shell/tapsel.h"
#include "support/fixture.h"
#include "triggers/dockevents.h"
#include "triggers/hotkeywindow.h"
#include "triggers/mainwindow.h"

#include <QApplication>
#include <QListWidget>

using platform::OSTypeFromStringMBS;
using platform::StringFromOSTypeMBS;

namespace {

quint32 code(const char *c) { return OSTypeFromStringMBS(QLatin1String(c)); }

// Which "No Stamp" command the last trigger started: "quick", "dialogs" or "none".
QString started()
{
    Tapsel &p = Tapsel::instance();
    const bool quick = p.PrintNoStampTimer1->Mode() != 0;
    const bool dialogs = p.PrintMultipleCopiesNoStampTimer1->Mode() != 0;
    if (quick && dialogs)
        return QStringLiteral("both");
    return quick     ? QStringLiteral("quick")
           : dialogs ? QStringLiteral("dialogs")
                     : QStringLiteral("none");
}

void stopPrints()
{
    for (platform::Timer *t : Tapsel::instance().findChildren<platform::Timer *>())
        t->setMode(0);
}

QStringList rows(const MainWindow &w)
{
    QStringList out;
    for (int i = 0; i < w.List->count(); ++i)
        out.append(w.List->item(i)->text());
    return out;
}

} // namespace

class Triggers : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Tapsel::instance();
        fx().desktop.apps[QStringLiteral("Mousepad")].selection = QStringLiteral("Selected words");
        fx().desktop.front = QStringLiteral("Mousepad");
        fx().clipboard.setPlain(QStringLiteral("the user's own clipboard"));
    }
    // Runs a started print to its end.
    void finishPrint()
    {
        Tapsel &p = Tapsel::instance();
        for (int stage = 0; stage < 2; ++stage)
            for (platform::Timer *t : {static_cast<platform::Timer *>(p.PrintNoStampTimer1),
                                       static_cast<platform::Timer *>(p.PrintNoStampTimer2)})
                if (t->Mode() != 0)
                    t->fire();
    }
};

TEST_F(Triggers, HotKeyWindowHoldsOptionControlPWhileItExists)
{
    HotKeyWindow &w = HotKeyWindow::instance();
    EXPECT_EQ(w.windowTitle(), "HotKey Window");
    EXPECT_EQ(w.x(), -300);
    EXPECT_EQ(fx().hotKeys.lastKeyCode, 35);
    EXPECT_EQ(fx().hotKeys.lastModifiers,
              w.GlobalHotKey1->GetControlKeyValue() + w.GlobalHotKey1->GetOptionKeyValue());
    EXPECT_EQ(fx().hotKeys.live, 1);
    w.close();
    EXPECT_EQ(fx().hotKeys.live, 0);
}

TEST_F(Triggers, HotKeyReleaseChoosesThePrintByTheViewFlagsOnly)
{
    struct Case {
        bool pageSetUp, printDialog, dockPageSetUp, dockPrintDialog;
        const char *expected;
    };
    const Case cases[] = {
        {false, false, false, false, "quick"},  {true, false, false, false, "dialogs"},
        {false, true, false, false, "dialogs"}, {false, false, true, false, "quick"},
        {false, false, false, true, "quick"},   {true, false, false, true, "dialogs"},
    };
    HotKeyWindow::instance();
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.pageSetUp << c.printDialog << c.dockPageSetUp << c.dockPrintDialog);
        Module1::ViewPageSetUp = c.pageSetUp;
        Module1::ViewPrinterDialog = c.printDialog;
        Module1::DockPageSetUpPref = c.dockPageSetUp;
        Module1::DockPrintDialogPref = c.dockPrintDialog;
        fx().hotKeys.release();
        EXPECT_EQ(started(), c.expected);
        stopPrints();
        Tapsel::instance().RestoreSavedClipboard();
    }
}

TEST_F(Triggers, RefusedHotKeyLeavesEverythingElseWorking)
{
    fx().hotKeys.refuse = true;
    HotKeyWindow &w = HotKeyWindow::instance();
    EXPECT_FALSE(w.GlobalHotKey1->isRegistered());
    EXPECT_EQ(fx().log.lines, QStringList{kHotKeyRefusedLine});
    fx().hotKeys.release();
    EXPECT_EQ(started(), "none");
    MainWindow::instance();
    fx().dock.open();
    EXPECT_TRUE(fx().dock.choose(1));
    EXPECT_EQ(started(), "quick");
}

TEST_F(Triggers, SecondRequestWhileAPrintWaitsIsLoggedAndTheClipboardSurvives)
{
    HotKeyWindow::instance();
    MainWindow::instance();
    fx().hotKeys.release();
    Tapsel::instance().PrintNoStampTimer1->fire(); // the copy is made; the print waits
    fx().hotKeys.release();
    fx().dock.open();
    EXPECT_FALSE(fx().dock.choose(2));
    EXPECT_FALSE(Module1::DockPageSetUpPref);
    EXPECT_EQ(fx().log.lines.count(QStringLiteral("Print in progress: request ignored")), 2);
    finishPrint();
    ASSERT_EQ(fx().print.jobs.size(), 1);
    EXPECT_EQ(fx().print.printedText().trimmed(), "Selected words");
    EXPECT_EQ(fx().clipboard.text(), "the user's own clipboard");
    // Once done, the next request prints again.
    fx().desktop.apps[QStringLiteral("Mousepad")].selection = QStringLiteral("Other words");
    fx().hotKeys.release();
    EXPECT_EQ(started(), "quick");
}

TEST_F(Triggers, DockMenuIsBuiltAfreshOnEveryRequest)
{
    MainWindow::instance();
    const quint32 first = fx().dock.open();
    auto *aevents = static_cast<MyCarbonApplicationEventsMBS *>(fx().dock.listener);
    ASSERT_TRUE(aevents);
    const platform::MenuMBS *menu = platform::MenuMBS::fromHandle(first);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->id(), 1000);
    EXPECT_EQ(menu->name(), "Dockmenu");
    const QList<QPair<QString, QString>> items = {
        {"Print Your Selection", "Test"},
        {"Print Your Selection & View Page Setup", "Tes1"},
        {"Print Your Selection & View Print Dialog", "Tes2"},
        {"View Preferences", "Tes3"},
        {"Go to Orlenby Website", "Tes4"},
    };
    ASSERT_EQ(menu->count(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_EQ(menu->itemText(i + 1), items[i].first);
        EXPECT_EQ(StringFromOSTypeMBS(menu->commandAt(i + 1)), items[i].second);
    }
    fx().dock.open();
    const quint32 last = fx().dock.open();
    EXPECT_EQ(fx().log.lines.count(QStringLiteral("Create Dock Tile Menu")), 3);
    EXPECT_EQ(platform::MenuMBS::fromHandle(first), nullptr);
    EXPECT_EQ(aevents->dockmenu->handle(), last);
    EXPECT_NE(first, last);
}

TEST_F(Triggers, EveryCommandIsLoggedWithCodeIndexAndHandle)
{
    MainWindow &w = MainWindow::instance();
    const quint32 handle = fx().dock.open();
    fx().dock.choose(2);
    const QString line =
        QStringLiteral("Process Command with ID 54657331 (Tes1) on index 2 in handle ") +
        QString::number(handle, 16).toUpper() + QChar('.');
    EXPECT_EQ(fx().log.lines.last(), line);
    EXPECT_EQ(rows(w).first(), line);
    // A code of no printable characters still makes one readable line.
    EXPECT_EQ(ProcessCommandLine(0, 0x1F, 9),
              "Process Command with ID 0 (....) on index 9 in handle 1F.");
}

TEST_F(Triggers, CommandsDispatchByCodeAndAnswerWhetherHandled)
{
    struct Case {
        const char *code;
        bool viewPageSetUp;
        bool handled;
        const char *started;
        bool dockPageSetUp, dockPrintDialog, preferences, website;
    };
    const Case cases[] = {
        {"Test", true, true, "quick", false, false, false, false},
        {"Tes1", false, true, "dialogs", true, false, false, false},
        {"Tes2", true, true, "dialogs", false, true, false, false},
        {"Tes3", false, true, "none", false, false, true, false},
        {"Tes4", false, true, "none", false, false, false, true},
        {"Tes5", false, false, "none", false, false, false, false},
        {"test", false, false, "none", false, false, false, false},
    };
    MainWindow &w = MainWindow::instance();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        Module1::reset();
        Module1::ViewPageSetUp = c.viewPageSetUp;
        fx().framework.urls.clear();
        const quint32 handle = fx().dock.open();
        EXPECT_EQ(w.aevents->ProcessCommand(0, code(c.code), handle, 1), c.handled);
        EXPECT_EQ(started(), c.started);
        EXPECT_EQ(Module1::DockPageSetUpPref, c.dockPageSetUp);
        EXPECT_EQ(Module1::DockPrintDialogPref, c.dockPrintDialog);
        EXPECT_EQ(Module1::ViewPageSetUp, c.viewPageSetUp);
        EXPECT_EQ(PreferencesWindow::exists() && PreferencesWindow::instance().isVisible(),
                  c.preferences);
        EXPECT_EQ(fx().framework.urls, c.website ? QStringList{kMakerWebsite} : QStringList{});
        stopPrints();
        Tapsel::instance().RestoreSavedClipboard();
        if (PreferencesWindow::exists())
            PreferencesWindow::instance().close();
    }
}

TEST_F(Triggers, CommandBeforeAnyDockMenuIsLoggedAndNotActedOn)
{
    MainWindow &w = MainWindow::instance();
    EXPECT_FALSE(w.aevents->ProcessCommand(0, code("Tes1"), 0, 2));
    EXPECT_FALSE(w.aevents->ProcessCommand(0, code("Test"), 7, 1));
    EXPECT_EQ(fx().log.lines,
              QStringList({"Process Command with ID 54657331 (Tes1) on index 2 in handle 0.",
                           "Process Command with ID 54657374 (Test) on index 1 in handle 7."}));
    EXPECT_FALSE(Module1::DockPageSetUpPref);
    EXPECT_EQ(started(), "none");
}

TEST_F(Triggers, CodesPackFirstCharacterHighAndBack)
{
    const QList<QPair<QString, quint32>> codes = {
        {"Test", 0x54657374u}, {"Tes1", 0x54657331u}, {"Tes4", 0x54657334u},
        {"????", 0x3F3F3F3Fu}, {"aevt", 0x61657674u},
    };
    for (const auto &[text, value] : codes) {
        EXPECT_EQ(OSTypeFromStringMBS(text), value) << text.toStdString();
        EXPECT_EQ(StringFromOSTypeMBS(value), text);
    }
}

TEST_F(Triggers, EventLogShowsNewestFirstAndCopiesToTheDiagnosticLog)
{
    MainWindow &w = MainWindow::instance();
    EXPECT_EQ(w.windowTitle(), "Dock Menu Events");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(rows(w), QStringList{"Listening for events..."});
    EXPECT_EQ(fx().dock.listener, w.aevents);
    fx().dock.open();
    Util::Write(QStringLiteral("second"));
    EXPECT_EQ(rows(w), QStringList({"second", "Create Dock Tile Menu", "Listening for events..."}));
    EXPECT_EQ(fx().log.lines, QStringList({"Create Dock Tile Menu", "second"}));
    // With the window closed the line still reaches the diagnostic log, and the Dock forgets
    // the listener.
    w.close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(fx().dock.listener, nullptr);
    Util::Write(QStringLiteral("third"));
    EXPECT_EQ(fx().log.lines.last(), "third");
}

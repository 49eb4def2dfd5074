// The multiple-copies "No Stamp" command through the in-memory platform: which dialogs the
// four flags choose, what each outcome of the last timer leaves, and the clipboard back.
#include "platform/styledtextfield.h"
#include "platform/wastefield.h"
#include "printing/messages.h"
#include "shell/tapsel.h"
#include "support/fixture.h"

#include <QPushButton>

using fakes::FakeDesktop;
using platform::ClipboardContents;

class DialogPrint : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        fx().desktop.apps["Mousepad"] = {
            QStringLiteral("Selected words"), {}, FakeDesktop::CopyMode::AtOnce};
        fx().desktop.front = QStringLiteral("Mousepad");
        fx().clipboard.data = userClipboard();
        palette = &Tapsel::instance();
    }
    // The whole command, timers fired rather than waited for.
    void run()
    {
        palette->PMPrintMultpleCopiesNoStamp->click();
        ASSERT_EQ(palette->PrintMultipleCopiesNoStampTimer1->Mode(), 1);
        EXPECT_EQ(palette->PrintNoStampTimer1->Mode(), 0); // its own timers, not the quick ones
        palette->PrintMultipleCopiesNoStampTimer1->fire();
        if (palette->PrintMultipleCopiesNoStampTimer2->Mode() == 1)
            palette->PrintMultipleCopiesNoStampTimer2->fire();
    }
    static ClipboardContents userClipboard()
    {
        return {{"text/plain", "user text\n"},
                {"image/png", QByteArray("\x89PNG\r\n\x1a\n\0\0binary", 16)},
                {"application/x-private", QByteArray("\0\1\2", 3)}};
    }
    static void setFlags(int bits)
    {
        Module1::DockPageSetUpPref = bits & 8;
        Module1::ViewPageSetUp = bits & 4;
        Module1::DockPrintDialogPref = bits & 2;
        Module1::ViewPrinterDialog = bits & 1;
    }
    Tapsel *palette = nullptr;
};

TEST_F(DialogPrint, DialogsChosenForEveryCombinationOfTheFourFlags)
{
    for (int bits = 0; bits < 16; ++bits) {
        const bool dockPageSetUp = bits & 8, viewPageSetUp = bits & 4, dockPrintDialog = bits & 2;
        SCOPED_TRACE(QStringLiteral("DockPageSetUpPref %1 ViewPageSetUp %2 DockPrintDialogPref %3 "
                                    "ViewPrinterDialog %4")
                         .arg(bits >> 3 & 1)
                         .arg(bits >> 2 & 1)
                         .arg(bits >> 1 & 1)
                         .arg(bits & 1)
                         .toStdString());
        TearDown();
        SetUp();
        setFlags(bits);
        // Every combination not asking for Page Setup gets the Print dialog alone, also
        // the one asking for no dialog at all.
        const bool pageSetUp = dockPageSetUp || (viewPageSetUp && !dockPrintDialog);
        run();
        EXPECT_EQ(fx().print.pageSetupDialogs, pageSetUp ? 1 : 0);
        EXPECT_EQ(fx().print.printDialogs, 1);
        ASSERT_EQ(fx().print.jobs.size(), 1);
        EXPECT_EQ(fx().print.printedText(), "Selected words");
        EXPECT_TRUE(fx().print.jobs[0].throughDialog);
        EXPECT_EQ(fx().print.jobs[0].withSetup, pageSetUp);
        EXPECT_EQ(fx().print.jobs[0].columnWidth, pageSetUp ? 612 - 36 - 48 : 492);
        EXPECT_EQ(fx().print.jobs[0].pages[0][0].height, pageSetUp ? 792 - 36 - 48 : 672);
        EXPECT_FALSE(Module1::DockPageSetUpPref);
        EXPECT_FALSE(Module1::DockPrintDialogPref);
        // The preferences are only read.
        EXPECT_EQ(Module1::ViewPageSetUp, viewPageSetUp);
        EXPECT_EQ(Module1::ViewPrinterDialog, bool(bits & 1));
    }
}

TEST_F(DialogPrint, PrintsInOrderThenGivesClipboardAndFrontBack)
{
    Module1::ViewPageSetUp = true;
    fx().journal.clear();
    run();
    EXPECT_EQ(Module1::FrontMostApp, "Mousepad");
    EXPECT_EQ(fx().desktop.keys, QStringList({"cmd-down", "C/8-down", "C/8-up", "cmd-up"}));
    const QStringList &j = fx().journal;
    // Tapsel comes forward before any dialog; the clipboard comes back after the print,
    // then the front goes back to the editor.
    const auto at = [&](const char *entry) { return j.indexOf(QLatin1String(entry)); };
    ASSERT_GE(at("BringProcessFront"), 0);
    EXPECT_LT(at("BringProcessFront"), at("dialog:pageSetup"));
    EXPECT_LT(at("dialog:pageSetup"), at("dialog:print"));
    EXPECT_LT(at("print:end"), at("clipboard:setContents"));
    EXPECT_EQ(j.last(), "SetProcessWithCreatorFront:Mousepad");
    EXPECT_EQ(fx().desktop.front, "Mousepad");
    EXPECT_EQ(fx().clipboard.data, userClipboard());
    EXPECT_EQ(fx().framework.beeps, 0);
    EXPECT_TRUE(palette->isHidden());
    EXPECT_TRUE(palette->saveoldClipboardWASTEfield->Text().isEmpty());
    EXPECT_EQ(palette->PrintMultipleCopiesNoStampTimer2->Mode(), 0);
}

TEST_F(DialogPrint, CancelledDialogs)
{
    struct Case {
        const char *name;
        bool acceptSetup, acceptPrint;
        int column; // 0: nothing printed
    };
    const QList<Case> cases = {
        {"page setup cancelled: the Print dialog follows, fixed page", false, true, 492},
        {"print cancelled after page setup", true, false, 0},
        {"both cancelled", false, false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Module1::DockPageSetUpPref = true;
        fx().print.acceptPageSetup = c.acceptSetup;
        fx().print.acceptPrint = c.acceptPrint;
        run();
        EXPECT_EQ(fx().print.printDialogs, 1);
        EXPECT_EQ(fx().print.jobs.size(), c.column ? 1 : 0);
        if (c.column) {
            EXPECT_EQ(fx().print.jobs[0].columnWidth, c.column);
        }
        EXPECT_TRUE(fx().framework.messages.isEmpty());
        EXPECT_FALSE(Module1::DockPageSetUpPref);
        EXPECT_EQ(fx().clipboard.data, userClipboard());
        EXPECT_EQ(fx().desktop.front, "Mousepad");
    }
}

TEST_F(DialogPrint, PrintDialogAloneCancelledPrintsNothingAndStillRestores)
{
    Module1::DockPrintDialogPref = true;
    fx().print.acceptPrint = false;
    run();
    EXPECT_EQ(fx().print.pageSetupDialogs, 0);
    EXPECT_TRUE(fx().print.jobs.isEmpty());
    EXPECT_FALSE(Module1::DockPrintDialogPref);
    EXPECT_EQ(fx().clipboard.data, userClipboard());
    EXPECT_EQ(fx().desktop.front, "Mousepad");
}

TEST_F(DialogPrint, EveryRunStartsFromAFreshPageSetup)
{
    Module1::ViewPageSetUp = true;
    run();
    fx().desktop.apps["Mousepad"].selection = QStringLiteral("Other words");
    run();
    EXPECT_EQ(fx().print.jobs.size(), 2);
    EXPECT_EQ(fx().print.pageSetups, 2);
}

struct Outcome {
    const char *name;
    std::function<void(fakes::FakePlatform &)> arrange;
    QString message; // empty: none
    bool printed;
    bool frontGivenBack;
    bool paletteHidden; // hidden again by the command
};

TEST_F(DialogPrint, TimerTwoOutcomesKeepTheDockChoiceOnWarningsAndAlwaysRestore)
{
    const QList<Outcome> outcomes = {
        {"nothing copied",
         [](fakes::FakePlatform &f) { f.desktop.apps["Mousepad"].selection.clear(); },
         Messages::kNoTextSelected, false, true, true},
        {"same material, letter case aside",
         [](fakes::FakePlatform &) { Module1::SaveOldText = "SELECTED words"; },
         Messages::kSameMaterialTryAgain, false, true, false},
        {"no text: a picture was copied",
         [](fakes::FakePlatform &f) {
             f.desktop.apps["Mousepad"].selection.clear();
             f.desktop.apps["Mousepad"].extra = {{"image/png", "png"}};
         },
         Messages::kNoTextSelected, false, false, true},
        {"no text on a clipboard that held nothing, and nothing copied",
         [](fakes::FakePlatform &f) {
             f.clipboard.data.clear();
             f.desktop.apps["Mousepad"].selection.clear();
         },
         Messages::kNoTextSelected, false, false, true},
        {"printed", [](fakes::FakePlatform &) {}, QString(), true, true, false},
    };
    for (const auto &o : outcomes) {
        SCOPED_TRACE(o.name);
        TearDown();
        SetUp();
        o.arrange(fx());
        const ClipboardContents before = fx().clipboard.data;
        Module1::DockPrintDialogPref = true;
        fx().journal.clear();
        palette->show(); // to see whether the command hides it
        run();
        EXPECT_EQ(fx().framework.messages,
                  o.message.isEmpty() ? QStringList() : QStringList{o.message});
        EXPECT_EQ(fx().framework.beeps, o.message.isEmpty() ? 0 : 1);
        EXPECT_EQ(fx().print.jobs.size(), o.printed ? 1 : 0);
        EXPECT_EQ(fx().journal.contains("SetProcessWithCreatorFront:Mousepad"), o.frontGivenBack);
        EXPECT_EQ(fx().desktop.front, o.frontGivenBack ? "Mousepad" : "Tapsel");
        EXPECT_EQ(palette->isHidden(), o.paletteHidden);
        // The Dock's one-shot choice is spent only by a print.
        EXPECT_EQ(Module1::DockPrintDialogPref, !o.printed);
        EXPECT_EQ(fx().clipboard.data, before);
        if (o.message == Messages::kSameMaterialTryAgain) {
            EXPECT_EQ(palette->SaveLastJobWASTEfield->Text(), "1");
        }
    }
}

TEST_F(DialogPrint, OverrideLeftByAWarningServesTheNextRun)
{
    Module1::ViewPageSetUp = true;
    Module1::DockPrintDialogPref = true;
    fx().desktop.apps["Mousepad"].selection.clear();
    run(); // nothing copied: a warning, the override stays
    ASSERT_TRUE(Module1::DockPrintDialogPref);
    fx().desktop.apps["Mousepad"].selection = QStringLiteral("Now selected");
    run();
    EXPECT_EQ(fx().print.pageSetupDialogs, 0);
    EXPECT_EQ(fx().print.printedText(), "Now selected");
    EXPECT_FALSE(Module1::DockPrintDialogPref);
    // Spent: the preference asks for both dialogs again.
    fx().desktop.apps["Mousepad"].selection = QStringLiteral("Third");
    run();
    EXPECT_EQ(fx().print.pageSetupDialogs, 1);
}

TEST_F(DialogPrint, TapselInFrontRefusesWithoutTimerTwo)
{
    Module1::DockPageSetUpPref = true;
    fx().desktop.front = "Tapsel";
    run();
    EXPECT_EQ(fx().framework.messages, QStringList{Messages::kNotActive});
    EXPECT_EQ(palette->PrintMultipleCopiesNoStampTimer2->Mode(), 0);
    EXPECT_EQ(fx().print.printDialogs, 0);
    EXPECT_TRUE(Module1::DockPageSetUpPref);
    EXPECT_EQ(fx().clipboard.text(), ""); // restored by the next run that reaches timer two
}

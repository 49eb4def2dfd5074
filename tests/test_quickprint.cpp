// The one-copy "No Stamp" command and the page loop, through the in-memory platform.
#include "platform/styl.h"
#include "platform/styledtextfield.h"
#include "platform/wastefield.h"
#include "printing/messages.h"
#include "printing/printoutput.h"
#include "shell/tapsel.h"
#include "support/fixture.h"

#include <QPushButton>
#include <QTextCursor>

using fakes::FakeDesktop;
using platform::ClipboardContents;

namespace {

const QString kNoSelection = Messages::kNothingSelected + QStringLiteral("\r\r");

} // namespace

class QuickPrint : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        fx().desktop.apps["Mousepad"] = {QStringLiteral("Selected words"), {}, FakeDesktop::CopyMode::AtOnce};
        fx().desktop.front = QStringLiteral("Mousepad");
        palette = &Tapsel::instance();
    }
    // The whole command, timers fired rather than waited for.
    void run()
    {
        palette->PMPrintOneCopyNoStamp->click();
        ASSERT_EQ(palette->PrintNoStampTimer1->Mode(), 1);
        palette->PrintNoStampTimer1->fire();
        if (palette->PrintNoStampTimer2->Mode() == 1)
            palette->PrintNoStampTimer2->fire();
    }
    ClipboardContents userClipboard()
    {
        return {{"text/plain", "user text\n"},
                {"text/html", "<b>user</b> text"},
                {"image/png", QByteArray("\x89PNG\r\n\x1a\n\0\0binary", 16)},
                {"application/x-private", QByteArray("\0\1\2", 3)}};
    }
    Tapsel *palette = nullptr;
};

TEST_F(QuickPrint, PrintsTheCopyAtOnceAndGivesEveryFormatBack)
{
    fx().clipboard.data = userClipboard();
    fx().desktop.apps["Mousepad"].mode = FakeDesktop::CopyMode::Late;
    palette->PMPrintOneCopyNoStamp->click();
    EXPECT_EQ(fx().clipboard.text(), ""); // put aside, emptied
    EXPECT_EQ(palette->PrintNoStampTimer1->Period(), 1000);
    palette->PrintNoStampTimer1->fire();
    EXPECT_EQ(Module1::FrontMostApp, "Mousepad");
    EXPECT_EQ(fx().desktop.keys, QStringList({"cmd-down", "C/8-down", "C/8-up", "cmd-up"}));
    ASSERT_EQ(palette->PrintNoStampTimer2->Mode(), 1);
    fx().desktop.deliverPendingCopy();
    palette->PrintNoStampTimer2->fire();

    ASSERT_EQ(fx().print.jobs.size(), 1);
    EXPECT_EQ(fx().print.printedText(), "Selected words");
    EXPECT_EQ(fx().print.jobs[0].columnWidth, 492);
    EXPECT_EQ(palette->EditField1->text(), "Selected words");
    EXPECT_EQ(fx().clipboard.data, userClipboard());
    EXPECT_EQ(fx().framework.beeps, 0);
    EXPECT_EQ(fx().desktop.front, "Mousepad");
    EXPECT_EQ(palette->PrintNoStampTimer1->Mode(), 0);
    EXPECT_EQ(palette->PrintNoStampTimer2->Mode(), 0);
    EXPECT_TRUE(palette->saveoldClipboardWASTEfield->Text().isEmpty());
}

TEST_F(QuickPrint, CopiedStylesPrintAndTheBlockAddsNoText)
{
    namespace styl = platform::styl;
    styl::Run big;
    big.family = 22;
    big.size = 18;
    big.face = styl::Bold;
    fx().desktop.apps["Mousepad"].extra = {{"styl", styl::encode({big})}};
    run();
    EXPECT_EQ(palette->EditField1->text(), "Selected words");
    QTextCursor at(palette->EditField1->document());
    at.setPosition(2);
    EXPECT_EQ(at.charFormat().fontPointSize(), 18);
    EXPECT_TRUE(at.charFormat().font().bold());
    // The empty block's run sits at the end of the text and covers nothing.
    const auto runs = styl::decode(palette->EditField1->styl(), 14);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[1].start, 14);
}

struct Outcome {
    const char *name;
    std::function<void(fakes::FakePlatform &)> arrange;
    QString message;          // empty: none
    bool printed;
    bool frontGivenBack;
    bool paletteHiddenByCommand;
    QString frontAfter;
};

TEST_F(QuickPrint, TimerTwoOutcomesInTheirOrder)
{
    const QList<Outcome> outcomes = {
        {"nothing copied",
         [](fakes::FakePlatform &f) { f.desktop.apps["Mousepad"].selection.clear(); },
         kNoSelection, false, true, true, "Mousepad"},
        {"same material, letter case aside",
         [](fakes::FakePlatform &f) { Module1::SaveOldText = "SELECTED words"; Q_UNUSED(f); },
         Messages::kSameMaterialTryAgain, false, true, false, "Mousepad"},
        {"no text: a picture was copied",
         [](fakes::FakePlatform &f) {
             f.desktop.apps["Mousepad"].selection.clear();
             f.desktop.apps["Mousepad"].extra = {{"image/png", "png"}};
         },
         kNoSelection, false, false, true, "Tapsel"},
        {"printed", [](fakes::FakePlatform &) {}, QString(), true, false, false, "Mousepad"},
    };
    for (const auto &o : outcomes) {
        SCOPED_TRACE(o.name);
        TearDown();
        SetUp();
        fx().clipboard.data = userClipboard();
        o.arrange(fx());
        fx().journal.clear();
        run();
        EXPECT_EQ(fx().framework.messages, o.message.isEmpty() ? QStringList() : QStringList{o.message});
        EXPECT_EQ(fx().framework.beeps, o.message.isEmpty() ? 0 : 1);
        EXPECT_EQ(fx().print.jobs.size(), o.printed ? 1 : 0);
        EXPECT_EQ(fx().journal.contains("SetProcessWithCreatorFront:Mousepad"), o.frontGivenBack);
        EXPECT_EQ(fx().desktop.front, o.frontAfter);
        // The user's clipboard comes back on every outcome of timer two.
        EXPECT_EQ(fx().clipboard.data, userClipboard());
        if (o.message == Messages::kSameMaterialTryAgain) {
            EXPECT_EQ(palette->SaveLastJobWASTEfield->Text(), "1");
        }
    }
}

TEST_F(QuickPrint, OrderOfStepsInTheWarnings)
{
    fx().desktop.apps["Mousepad"].selection.clear();
    fx().clipboard.data = userClipboard();
    run();
    // Nothing copied: Tapsel to the front, clipboard back, then the beep and the message.
    EXPECT_EQ(fx().journal.mid(fx().journal.indexOf("BringProcessFront")),
              QStringList({"BringProcessFront", "clipboard:setContents", "beep", "message",
                           "SetProcessWithCreatorFront:Mousepad"}));
}

TEST_F(QuickPrint, SameMaterialThenRetryPrints)
{
    // The last job's marker holds the text, as when the copy landed before timer one read it.
    palette->SaveLastJobWASTEfield->setText("Selected words");
    run();
    ASSERT_EQ(fx().framework.messages, QStringList{Messages::kSameMaterialTryAgain});
    EXPECT_EQ(palette->SaveLastJobWASTEfield->Text(), "1");
    fx().desktop.apps["Mousepad"].mode = FakeDesktop::CopyMode::Late;
    palette->PMPrintOneCopyNoStamp->click();
    palette->PrintNoStampTimer1->fire(); // loads "1", which no real selection equals
    EXPECT_EQ(Module1::SaveOldText, "1");
    fx().desktop.deliverPendingCopy();
    palette->PrintNoStampTimer2->fire();
    EXPECT_EQ(fx().print.jobs.size(), 1);
}

TEST_F(QuickPrint, TapselInFrontRefusesAndKeepsTheSavedClipboardForTheNextRun)
{
    fx().clipboard.data = userClipboard();
    fx().desktop.front = "Tapsel";
    run();
    EXPECT_EQ(fx().framework.messages, QStringList{Messages::kNotActive});
    EXPECT_TRUE(fx().desktop.keys.isEmpty());
    EXPECT_EQ(palette->PrintNoStampTimer2->Mode(), 0);
    EXPECT_EQ(fx().clipboard.text(), ""); // emptied, not yet restored
    // The next run that reaches timer two brings the saved clipboard back.
    fx().desktop.front = "Mousepad";
    run();
    EXPECT_EQ(fx().print.jobs.size(), 1);
    EXPECT_EQ(fx().clipboard.data, userClipboard());
}

TEST_F(QuickPrint, WhatIsWorthSaving)
{
    struct Case {
        const char *name;
        ClipboardContents before;
        bool saved;
    };
    const QList<Case> cases = {
        {"text", {{"text/plain", "x"}}, true},
        {"the sentinel alone", {{"text/plain", "1"}}, false},
        {"the sentinel under its X names", {{"text/plain", "1"}, {"UTF8_STRING", "1"}, {"COMPOUND_TEXT", "1"}}, false},
        {"a picture", {{"image/png", "png"}}, true},
        {"a file list", {{"text/uri-list", "file:///tmp/a\r\n"}}, true},
        {"nothing", {}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        fx().clipboard.data = c.before;
        palette->PMPrintOneCopyNoStamp->click();
        EXPECT_EQ(!palette->saveoldClipboardWASTEfield->contents().isEmpty(), c.saved);
        EXPECT_EQ(fx().clipboard.data == c.before, !c.saved);
    }
}

TEST_F(QuickPrint, ContentsWaitingAfterARefusalJoinTheNextSave)
{
    fx().clipboard.setPlain("first");
    fx().desktop.front = "Tapsel";
    run(); // refused: "first" waits in the field, the clipboard is empty
    fx().clipboard.setPlain("second"); // the user copies something new
    fx().desktop.front = "Mousepad";
    run();
    EXPECT_EQ(fx().clipboard.text(), "firstsecond");
}

TEST_F(QuickPrint, NoPrinterPrintsNothingSaysNothingAndRestores)
{
    fx().print.noPrinter = true;
    fx().clipboard.data = userClipboard();
    run();
    EXPECT_TRUE(fx().print.jobs.isEmpty());
    EXPECT_TRUE(fx().framework.messages.isEmpty());
    EXPECT_EQ(fx().clipboard.data, userClipboard());
}

TEST_F(QuickPrint, PushingAgainWhileTimerOneIsPendingLosesNothing)
{
    fx().clipboard.data = userClipboard();
    palette->PMPrintOneCopyNoStamp->click();
    palette->PMPrintOneCopyNoStamp->click(); // saves the empty text after what is there
    palette->PrintNoStampTimer1->fire();
    palette->PrintNoStampTimer2->fire();
    EXPECT_EQ(fx().print.jobs.size(), 1);
    EXPECT_EQ(fx().clipboard.data, userClipboard());
}

using PageLoop = PlatformTest;

TEST_F(PageLoop, OneBlockPerPageAndNoEmptyLastPage)
{
    struct Case {
        const char *name;
        int lines;
        int pages;
    };
    // 672 points hold 33 lines of 20 points in the fake layout.
    const QList<Case> cases = {{"empty", 0, 0}, {"one block", 33, 1}, {"three blocks", 99, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        platform::StyledTextField field(QFont("System", 12), nullptr);
        QStringList lines;
        for (int i = 0; i < c.lines; ++i)
            lines.append(QString::number(i));
        field.setText(lines.join('\r'));
        fx().print.jobs.clear();
        fx().journal.clear();
        PrintDirect(field);
        ASSERT_EQ(fx().print.jobs.size(), 1);
        const auto &job = fx().print.jobs[0];
        int blocks = 0;
        for (const auto &page : job.pages)
            blocks += int(page.size());
        EXPECT_EQ(blocks, c.pages);
        EXPECT_EQ(fx().journal.count("print:newPage"), qMax(0, c.pages - 1));
        EXPECT_TRUE(job.ended);
        for (const auto &page : job.pages)
            for (const auto &b : page) {
                EXPECT_EQ(b.x, 36);
                EXPECT_EQ(b.y, 36);
                EXPECT_EQ(b.height, 672);
            }
    }
}

TEST_F(PageLoop, DialogsChooseTheGeometry)
{
    struct Case {
        const char *name;
        bool acceptSetup, acceptPrint;
        int column, height; // 0: nothing printed
    };
    const QList<Case> cases = {
        {"setup accepted on 612 x 792", true, true, 528, 708},
        {"setup cancelled, print accepted", false, true, 492, 672},
        {"print cancelled", true, false, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        platform::StyledTextField field(QFont("System", 12), nullptr);
        field.setText("text");
        fx().print.jobs.clear();
        fx().print.acceptPageSetup = c.acceptSetup;
        fx().print.acceptPrint = c.acceptPrint;
        const int dialogsBefore = fx().print.printDialogs;
        auto setup = fx().print.newPageSetup();
        PrintThroughDialogs(field, *setup);
        EXPECT_EQ(fx().print.printDialogs, dialogsBefore + 1); // the Print dialog follows either way
        if (!c.column) {
            EXPECT_TRUE(fx().print.jobs.isEmpty());
            continue;
        }
        ASSERT_EQ(fx().print.jobs.size(), 1);
        EXPECT_EQ(fx().print.jobs[0].columnWidth, c.column);
        EXPECT_EQ(fx().print.jobs[0].pages[0][0].height, c.height);
        EXPECT_EQ(fx().print.jobs[0].withSetup, c.acceptSetup);
    }
}

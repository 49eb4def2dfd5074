// The two "W/Date Stamp" commands: capture, checks, and the stamped document.
#include "platform/styledtextfield.h"
#include "printing/commandclock.h"
#include "printing/composition.h"
#include "printing/messages.h"
#include "printing/warningwindow.h"
#include "shell/tapsel.h"
#include "support/capturefixture.h"

#include <QPlainTextEdit>
#include <QPushButton>

using fakes::FakeDesktop;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QString kApp = QStringLiteral("Mousepad");

enum class Button { One, Multiple };

class Stamped : public CaptureTest {
protected:
    void push(Button b)
    {
        Tapsel &t = Tapsel::instance();
        (b == Button::One ? t.PMPrintOneCopy : t.PMPrintMultipleCopies)->click();
    }
};

} // namespace

TEST_F(Stamped, OutcomesOfBothButtons)
{
    enum class Feedback { NotActive, NoTextBox, SameMaterial, Warning, Printed };
    struct Case {
        const char *name;
        QString front;
        QString selection;
        platform::ClipboardContents copiedExtra;
        QString clipboardBefore; // "" for a clipboard with nothing on it
        Feedback feedback;
        QString clipboardAfter;
        QString frontMostAfter;
        QString frontAfterOne, frontAfterMultiple;
        QStringList callsOne, callsMultiple;
    };
    const QString set = "SetProcessWithCreatorFront:" + kApp;
    const QList<Case> cases = {
        {"Tapsel itself in front",
         "Tapsel",
         "Hello",
         {},
         "before",
         Feedback::NotActive,
         "before",
         "Earlier",
         "Tapsel",
         "Tapsel",
         {"beep", "message"},
         {"beep", "message"}},
        {"nothing copied, empty clipboard",
         kApp,
         "",
         {},
         "",
         Feedback::NoTextBox,
         "",
         kApp,
         kApp,
         kApp,
         {"BringProcessFront", "beep", "message", set},
         {"BringProcessFront", "beep", "message", set}},
        {"same material, case aside",
         kApp,
         "HELLO there",
         {},
         "hello THERE",
         Feedback::SameMaterial,
         "1",
         kApp,
         kApp,
         kApp,
         {"beep", "BringProcessFront", "message", "clipboard:setText:1", set},
         {"beep", "BringProcessFront", "message", "clipboard:setText:1", set}},
        {"a picture and no text",
         kApp,
         "",
         {{"image/png", "PNG"}},
         "before",
         Feedback::Warning,
         "",
         kApp,
         "Tapsel",
         "Tapsel",
         {"beep", "BringProcessFront"},
         {"beep", "BringProcessFront"}},
        {"printed",
         kApp,
         "Hello",
         {},
         "before",
         Feedback::Printed,
         "Hello",
         kApp,
         kApp,
         kApp,
         {"print:open"},
         {"BringProcessFront", "dialog:pageSetup", "dialog:print", set}},
        {"the selection is the sentinel, after a refusal",
         kApp,
         "1",
         {},
         "1",
         Feedback::SameMaterial,
         "1",
         kApp,
         kApp,
         kApp,
         {"beep", "BringProcessFront", "message", "clipboard:setText:1", set},
         {"beep", "BringProcessFront", "message", "clipboard:setText:1", set}},
    };
    for (const Button button : {Button::One, Button::Multiple}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (button == Button::One ? " / one" : " / multiple"));
            fakes::FakePlatform &f = fx();
            f.journal.clear();
            f.framework.messages.clear();
            f.print.jobs.clear();
            f.desktop.keys.clear();
            SingleInstance<NoSelectedTextWarning>::destroy();
            Module1::FrontMostApp = "Earlier";
            f.desktop.apps[kApp] = {c.selection, c.copiedExtra, FakeDesktop::CopyMode::AtOnce};
            f.desktop.front = c.front;
            if (c.clipboardBefore.isEmpty())
                f.clipboard.data.clear();
            else
                f.clipboard.setPlain(c.clipboardBefore);

            push(button);

            const bool one = button == Button::One;
            const QString noText = one ? Messages::kNothingSelected : Messages::kNoTextSelected;
            EXPECT_EQ(frontAndFeedback(f.journal), one ? c.callsOne : c.callsMultiple);
            EXPECT_EQ(f.clipboard.text(), c.clipboardAfter);
            EXPECT_EQ(Module1::FrontMostApp, c.frontMostAfter);
            EXPECT_EQ(f.desktop.front, one ? c.frontAfterOne : c.frontAfterMultiple);
            EXPECT_EQ(f.print.jobs.size(), c.feedback == Feedback::Printed ? 1 : 0);
            const bool warned = SingleInstance<NoSelectedTextWarning>::exists();
            EXPECT_EQ(warned, c.feedback == Feedback::Warning);
            switch (c.feedback) {
            case Feedback::NotActive:
                EXPECT_EQ(f.framework.messages, QStringList{Messages::kNotActive});
                EXPECT_TRUE(f.desktop.keys.isEmpty());
                break;
            case Feedback::NoTextBox:
                EXPECT_EQ(f.framework.messages, QStringList{noText});
                break;
            case Feedback::SameMaterial:
                EXPECT_EQ(f.framework.messages, QStringList{Messages::kSameMaterialClickAgain});
                break;
            case Feedback::Warning:
                EXPECT_TRUE(f.framework.messages.isEmpty());
                if (warned) {
                    NoSelectedTextWarning *w = SingleInstance<NoSelectedTextWarning>::existing();
                    EXPECT_TRUE(w->isVisible());
                    EXPECT_EQ(w->EditField1Warning->toPlainText(),
                              QString(noText).replace('\r', '\n'));
                }
                EXPECT_FALSE(Tapsel::instance().isVisible());
                EXPECT_EQ(f.clipboard.value("image/png"), "PNG");
                break;
            case Feedback::Printed:
                EXPECT_TRUE(f.framework.messages.isEmpty());
                EXPECT_EQ(f.desktop.keys,
                          QStringList({"cmd-down", "C/8-down", "C/8-up", "cmd-up"}));
                break;
            }
        }
    }
}

TEST_F(Stamped, PrintsTheSelectionThenTheStampWithTheSeparatorLast)
{
    for (const Button button : {Button::One, Button::Multiple}) {
        SCOPED_TRACE(button == Button::One ? "one" : "multiple");
        fx().print.jobs.clear();
        fx().clipboard.setPlain("old");
        fx().desktop.apps[kApp] = {"First line\rsecond line", {}, FakeDesktop::CopyMode::AtOnce};
        fx().desktop.front = kApp;
        push(button);
        const QString expected = "First line\rsecond line\r\r" + DateText(kMoment) + "  " +
                                 TimeText(kMoment) + "\r" +
                                 "---------------------------Selection--------------------------";
        ASSERT_EQ(fx().print.jobs.size(), 1);
        EXPECT_EQ(fx().print.printedText(), expected);
        EXPECT_EQ(Tapsel::instance().EditField1->text(), expected);
        EXPECT_EQ(fx().print.jobs[0].throughDialog, button == Button::Multiple);
    }
}

TEST_F(Stamped, StampShowsTheMomentTheCommandStartedEvenWhenTheCopyIsSlow)
{
    // A clock that moves a minute every thousand yields: a moment taken after the wait
    // would show a later time.
    const QDateTime start(QDate(2031, 3, 14), QTime(8, 0));
    CommandClock = [this, start] { return start.addSecs(60 * (fx().framework.yields / 1000)); };
    for (const Button button : {Button::One, Button::Multiple}) {
        SCOPED_TRACE(button == Button::One ? "one" : "multiple");
        fx().print.jobs.clear();
        fx().framework.yields = 0;
        fx().clipboard.setPlain("old");
        fx().desktop.apps[kApp] = {"Slow", {}, FakeDesktop::CopyMode::Late};
        fx().desktop.lateYields = 150000;
        fx().desktop.front = kApp;
        push(button);
        ASSERT_EQ(fx().print.jobs.size(), 1);
        EXPECT_EQ(fx().print.printedText(), "Slow" + StampText(start));
    }
}

TEST_F(Stamped, WaitsLongerOnlyForMSIE)
{
    struct Case {
        QString front;
        long long yields;
    };
    const QList<Case> cases = {
        {"MSIE", 300000}, {"msie", 300000}, {"MSIEx", 200000}, {kApp, 200000}};
    for (const Button button : {Button::One, Button::Multiple}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.front.toStdString());
            // A copy that never lands ends in the same-material refusal: no merge, no page loop.
            fx().desktop.apps[c.front] = {"x", {}, FakeDesktop::CopyMode::Never};
            fx().desktop.front = c.front;
            fx().clipboard.setPlain("old");
            fx().framework.yields = 0;
            push(button);
            EXPECT_EQ(fx().framework.yields, c.yields);
        }
    }
}

TEST_F(Stamped, SentinelLetsTheSameSelectionPrintOnTheNextTry)
{
    fx().clipboard.setPlain("Agenda");
    fx().desktop.apps[kApp] = {"Agenda", {}, FakeDesktop::CopyMode::AtOnce};
    fx().desktop.front = kApp;
    push(Button::One);
    EXPECT_EQ(fx().framework.messages, QStringList{Messages::kSameMaterialClickAgain});
    EXPECT_TRUE(fx().print.jobs.isEmpty());
    push(Button::One);
    ASSERT_EQ(fx().print.jobs.size(), 1);
    EXPECT_TRUE(fx().print.printedText().startsWith("Agenda\r\r"));
}

TEST_F(Stamped, MultipleCopiesGiveTheFrontBackWhateverTheDialogsAnswer)
{
    struct Case {
        const char *name;
        bool acceptPageSetup, acceptPrint;
        int jobs, columnWidth;
    };
    const QList<Case> cases = {
        {"both accepted: the page setup's size", true, true, 1, 612 - 36 - 48},
        {"page setup cancelled: the fixed page", false, true, 1, 540 - 48},
        {"print cancelled: nothing printed", true, false, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fx().print.jobs.clear();
        fx().print.acceptPageSetup = c.acceptPageSetup;
        fx().print.acceptPrint = c.acceptPrint;
        const int setupsBefore = fx().print.pageSetups;
        const int printDialogsBefore = fx().print.printDialogs;
        fx().clipboard.setPlain("old");
        fx().desktop.apps[kApp] = {"Hello", {}, FakeDesktop::CopyMode::AtOnce};
        fx().desktop.front = kApp;
        push(Button::Multiple);
        EXPECT_EQ(fx().print.pageSetups, setupsBefore + 1);         // a fresh one every time
        EXPECT_EQ(fx().print.printDialogs, printDialogsBefore + 1); // also after a cancelled setup
        ASSERT_EQ(fx().print.jobs.size(), c.jobs);
        if (c.jobs) {
            EXPECT_EQ(fx().print.jobs[0].columnWidth, c.columnWidth);
        }
        EXPECT_EQ(fx().desktop.front, kApp);
        EXPECT_EQ(fx().journal.last(), "SetProcessWithCreatorFront:" + kApp);
    }
}

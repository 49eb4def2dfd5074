// The note window and the print with note.
#include "notes/addnotewindow.h"
#include "platform/points.h"
#include "platform/styledtextfield.h"
#include "printing/commandclock.h"
#include "printing/composition.h"
#include "printing/messages.h"
#include "printing/warningwindow.h"
#include "shell/tapsel.h"
#include "support/capturefixture.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

using fakes::FakeDesktop;
using platform::pt;

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.left(200).toStdString() << '"';
}

namespace {

const QString kApp = QStringLiteral("Mousepad");
const QString kSeparator =
    QStringLiteral("---------------------------Selection--------------------------");

enum class Flow { OneCopy, Dialogs };

void processDeferredDeletes() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

void pressMouse(QWidget *w)
{
    const QPointF at(3, 3);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

void drop(QWidget *field, QMimeData *data)
{
    QWidget *target = static_cast<QPlainTextEdit *>(field)->viewport();
    const QPointF at(2, 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent event(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    delete data;
}

class Notes : public CaptureTest {
protected:
    AddNoteWindow &open(Flow flow)
    {
        Tapsel &t = Tapsel::instance();
        (flow == Flow::OneCopy ? t.PrintOneCopyWNote : t.PrintMultipleCopiesWNote)->click();
        return *AddNoteWindow::existing();
    }
    QWidget *addNote(AddNoteWindow &w, Flow flow)
    {
        return flow == Flow::OneCopy ? static_cast<QWidget *>(w.AddNoteButton)
                                     : w.AddNotePrMultButton;
    }
    // The user in front of the application, then at the note window, then "Add Note".
    AddNoteWindow &writeAndPress(Flow flow, const QString &note)
    {
        fx().desktop.front = kApp;
        AddNoteWindow &w = open(flow);
        w.EditField3->setPlainText(note);
        fx().journal.clear();
        pressMouse(addNote(w, flow));
        return w;
    }
};

} // namespace

TEST_F(Notes, PaletteButtonsRecordTheFrontAndShowTheirOwnAddNote)
{
    fx().desktop.front = kApp;
    AddNoteWindow &w = open(Flow::OneCopy);
    EXPECT_EQ(Module1::FrontMostApp, kApp);
    EXPECT_EQ(fx().desktop.front, "Tapsel");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Add a Note to Your Selection");
    EXPECT_EQ(w.size(), QSize(pt(300), pt(300)));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.focusWidget(), w.EditField3);
    EXPECT_EQ(w.AddNoteButton->geometry(), w.AddNotePrMultButton->geometry());
    EXPECT_TRUE(w.EditField3->toPlainText().isEmpty());
    EXPECT_TRUE(w.AddNoteButton->isVisible());
    EXPECT_FALSE(w.AddNotePrMultButton->isVisible());

    // Both buttons follow the note's length, seen or not.
    for (const auto &[note, enabled] : QList<std::pair<QString, bool>>{
             {"a", true}, {"", false}, {"   ", true}, {"\n\n", true}, {"", false}}) {
        SCOPED_TRACE(note.toStdString());
        w.EditField3->setPlainText(note);
        EXPECT_EQ(w.AddNoteButton->isEnabled(), enabled);
        EXPECT_EQ(w.AddNotePrMultButton->isEnabled(), enabled);
    }

    // The other palette button reuses the open window, note and all.
    w.EditField3->setPlainText("kept");
    QPointer<AddNoteWindow> first = &w;
    AddNoteWindow &again = open(Flow::Dialogs);
    EXPECT_EQ(&again, first.data());
    EXPECT_EQ(again.EditField3->toPlainText(), "kept");
    EXPECT_TRUE(again.AddNotePrMultButton->isEnabled());
    EXPECT_TRUE(again.AddNotePrMultButton->isVisible());
    EXPECT_FALSE(again.AddNoteButton->isVisible());
    // Tapsel was in front: it is recorded as the front application.
    EXPECT_EQ(Module1::FrontMostApp, "Tapsel");

    // Cancel closes; the next one is fresh and empty.
    fx().journal.clear();
    again.CancelButton->click();
    processDeferredDeletes();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(fx().journal.isEmpty());
    AddNoteWindow &fresh = open(Flow::OneCopy);
    EXPECT_TRUE(fresh.EditField3->toPlainText().isEmpty());
    EXPECT_FALSE(fresh.AddNoteButton->isEnabled());
}

TEST_F(Notes, PlacedNearTheTopRightEachTimeAndAlwaysOnTheScreen)
{
    struct Case {
        QSize screen; // points
        QPoint at;    // points
    };
    const QList<Case> cases = {
        {{1440, 900}, {1090, 200}},
        {{1920, 1200}, {1570, 500}},
        {{1024, 600}, {674, 0}}, // too short for the usual place
        {{320, 240}, {0, 0}},    // smaller than the window
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1x%2").arg(c.screen.width()).arg(c.screen.height()).toStdString());
        fx().framework.screen = c.screen;
        AddNoteWindow &w = open(Flow::OneCopy);
        EXPECT_EQ(w.pos(), QPoint(pt(c.at.x()), pt(c.at.y())));
        w.move(5, 5); // the user moves it; the next showing places it again
    }
}

TEST_F(Notes, DropsAddOnlyTheTextTheDragCarries)
{
    struct Case {
        const char *name;
        std::function<QMimeData *()> data;
        QString note;
    };
    auto urls = [](const QString &file) {
        auto *d = new QMimeData;
        d->setUrls({QUrl::fromLocalFile(file)});
        return d;
    };
    const QList<Case> cases = {
        {"text from another application",
         [] {
             auto *d = new QMimeData;
             d->setText("dropped words");
             return d;
         },
         "dropped words"},
        {"a text file: no text of its own", [&] { return urls("/tmp/minutes.txt"); }, ""},
        {"a text clipping file", [&] { return urls("/tmp/a.textClipping"); }, ""},
        {"some other file", [&] { return urls("/tmp/photo.png"); }, ""},
        {"a link with its text",
         [] {
             auto *d = new QMimeData;
             d->setUrls({QUrl("https://example.org/page")});
             d->setText("https://example.org/page");
             return d;
         },
         "https://example.org/page"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AddNoteWindow &w = open(Flow::OneCopy);
        w.EditField3->clear();
        drop(w.EditField3, c.data());
        EXPECT_EQ(w.EditField3->toPlainText(), c.note);
        EXPECT_EQ(w.AddNoteButton->isEnabled(), !c.note.isEmpty());
    }
}

TEST_F(Notes, TypingInTheNoteBringsTapselForwardWithoutLooping)
{
    AddNoteWindow &w = open(Flow::OneCopy);
    fx().journal.clear();
    w.EditField3->insertPlainText("x");
    const auto forward = fx().journal.count("BringProcessFront");
    EXPECT_GE(forward, 1);
    EXPECT_LE(forward, 2); // the cursor and the selection may both report the change
}

TEST_F(Notes, PrintsSelectionNoteAndStampWithTheSeparatorLast)
{
    struct Case {
        const char *name;
        QString note;  // as typed
        QString inDoc; // as printed
    };
    const QString big = QString("lorem ipsum dolor sit amet ").repeated(15000) + "end";
    const QList<Case> cases = {
        {"a note of several lines", "Call Ann back\nabout the\n\nminutes",
         "Call Ann back\rabout the\r\rminutes"},
        {"only spaces and line breaks", "  \n \n", "  \r \r"},
        {"several hundred kilobytes", big, big},
    };
    const QString stamp = "\r\r" + DateText(kMoment) + "  " + TimeText(kMoment) + "\r" + kSeparator;
    for (const Flow flow : {Flow::OneCopy, Flow::Dialogs}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (flow == Flow::OneCopy ? " / one" : " / dialogs"));
            fx().print.jobs.clear();
            fx().clipboard.setPlain("old");
            fx().desktop.apps[kApp] = {"Selected\rtext", {}, FakeDesktop::CopyMode::AtOnce};
            QPointer<AddNoteWindow> w = &writeAndPress(flow, c.note);

            ASSERT_EQ(fx().print.jobs.size(), 1);
            const QString expected = "Selected\rtext\r\r" + c.inDoc + stamp;
            EXPECT_EQ(fx().print.printedText(), expected);
            EXPECT_EQ(Tapsel::instance().EditField1->text(), expected);
            EXPECT_EQ(fx().print.jobs[0].throughDialog, flow == Flow::Dialogs);
            const QString set = "SetProcessWithCreatorFront:" + kApp;
            const QStringList calls = flow == Flow::OneCopy
                                          ? QStringList{set, "print:open"}
                                          : QStringList{set, "BringProcessFront",
                                                        "dialog:pageSetup", "dialog:print", set};
            EXPECT_EQ(frontAndFeedback(fx().journal), calls);
            EXPECT_EQ(fx().desktop.front, kApp);
            EXPECT_EQ(fx().clipboard.text(), "Selected\rtext");
            EXPECT_FALSE(w->isVisible());
            processDeferredDeletes();
            EXPECT_TRUE(w.isNull());
        }
    }
}

TEST_F(Notes, RefusalsLeaveTheWindowOpenWithItsNote)
{
    enum class Feedback { NotActive, NoTextBox, SameMaterial, Warning };
    struct Case {
        const char *name;
        QString selection;
        platform::ClipboardContents copiedExtra;
        QString clipboardBefore;
        std::function<void(FakeDesktop &)> meanwhile; // between the palette and "Add Note"
        Feedback feedback;
        QString clipboardAfter;
        QString frontAfter;
        QStringList calls;
    };
    const QString set = "SetProcessWithCreatorFront:" + kApp;
    auto none = [](FakeDesktop &) {};
    const QList<Case> cases = {
        {"the recorded application quit",
         "Hello",
         {},
         "before",
         [](FakeDesktop &d) { d.apps.remove(kApp); },
         Feedback::NotActive,
         "before",
         "Tapsel",
         {set, "beep", "message"}},
        {"nothing copied, empty clipboard",
         "",
         {},
         "",
         none,
         Feedback::NoTextBox,
         "",
         kApp,
         {set, "BringProcessFront", "beep", "message", set}},
        {"same material, case aside",
         "Hello",
         {},
         "HELLO",
         none,
         Feedback::SameMaterial,
         "1",
         kApp,
         {set, "beep", "BringProcessFront", "message", "clipboard:setText:1", set}},
        {"the selection is the sentinel",
         "1",
         {},
         "1",
         none,
         Feedback::SameMaterial,
         "1",
         kApp,
         {set, "beep", "BringProcessFront", "message", "clipboard:setText:1", set}},
        {"a picture and no text",
         "",
         {{"image/png", "PNG"}},
         "before",
         none,
         Feedback::Warning,
         "",
         kApp,
         {set, "beep"}},
    };
    for (const Flow flow : {Flow::OneCopy, Flow::Dialogs}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (flow == Flow::OneCopy ? " / one" : " / dialogs"));
            fakes::FakePlatform &f = fx();
            SingleInstance<NoSelectedTextWarning>::destroy();
            f.framework.messages.clear();
            f.print.jobs.clear();
            f.desktop.apps[kApp] = {c.selection, c.copiedExtra, FakeDesktop::CopyMode::AtOnce};
            if (c.clipboardBefore.isEmpty())
                f.clipboard.data.clear();
            else
                f.clipboard.setPlain(c.clipboardBefore);
            f.desktop.front = kApp;
            AddNoteWindow &w = open(flow);
            w.EditField3->setPlainText("my note");
            c.meanwhile(f.desktop);
            f.journal.clear();
            pressMouse(addNote(w, flow));

            EXPECT_EQ(frontAndFeedback(f.journal), c.calls);
            EXPECT_TRUE(f.print.jobs.isEmpty());
            EXPECT_EQ(f.clipboard.text(), c.clipboardAfter);
            EXPECT_EQ(f.desktop.front, c.frontAfter);
            EXPECT_EQ(Module1::FrontMostApp, kApp);
            processDeferredDeletes();
            ASSERT_TRUE(AddNoteWindow::exists());
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(w.EditField3->toPlainText(), "my note");
            const QStringList box =
                c.feedback == Feedback::NotActive   ? QStringList{Messages::kNotActive}
                : c.feedback == Feedback::NoTextBox ? QStringList{Messages::kNothingSelected}
                : c.feedback == Feedback::SameMaterial
                    ? QStringList{Messages::kSameMaterialClickAgain}
                    : QStringList{};
            EXPECT_EQ(f.framework.messages, box);
            EXPECT_EQ(SingleInstance<NoSelectedTextWarning>::exists(),
                      c.feedback == Feedback::Warning);
            if (c.feedback == Feedback::Warning) {
                EXPECT_FALSE(Tapsel::instance().isVisible());
                EXPECT_TRUE(SingleInstance<NoSelectedTextWarning>::existing()
                                ->EditField1Warning->toPlainText()
                                .startsWith("Whoops, nothing appears to be selected."));
            }
            w.close();
            processDeferredDeletes();
        }
    }
}

TEST_F(Notes, WaitLimitsOfTheTwoFlows)
{
    struct Case {
        Flow flow;
        QString app;
        long long yields;
    };
    const QList<Case> cases = {{Flow::OneCopy, kApp, 200000},
                               {Flow::Dialogs, kApp, 100000},
                               {Flow::OneCopy, "MSIE", 300000},
                               {Flow::Dialogs, "MSIE", 300000}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.app.toStdString() + (c.flow == Flow::OneCopy ? " / one" : " / dialogs"));
        fx().desktop.apps[c.app] = {"x", {}, FakeDesktop::CopyMode::Never};
        fx().clipboard.setPlain("old");
        fx().desktop.front = c.app;
        AddNoteWindow &w = open(c.flow);
        w.EditField3->setPlainText("n");
        fx().framework.yields = 0;
        pressMouse(addNote(w, c.flow)); // same material: no merge, no page loop
        EXPECT_EQ(fx().framework.yields, c.yields);
        w.close();
        processDeferredDeletes();
    }
}

TEST_F(Notes, StampShowsTheMomentOfThePressEvenWhenTheCopyIsSlow)
{
    const QDateTime start(QDate(2031, 3, 14), QTime(8, 0));
    CommandClock = [this, start] { return start.addSecs(60 * (fx().framework.yields / 1000)); };
    fx().clipboard.setPlain("old");
    fx().desktop.apps[kApp] = {"Slow", {}, FakeDesktop::CopyMode::Late};
    fx().desktop.lateYields = 150000;
    fx().framework.yields = 0;
    writeAndPress(Flow::OneCopy, "note");
    ASSERT_EQ(fx().print.jobs.size(), 1);
    EXPECT_EQ(fx().print.printedText(), "Slow\r\rnote" + StampText(start));
}

TEST_F(Notes, DisabledAddNoteDoesNothingAndAPressDuringTheWaitDoesNotPrintTwice)
{
    fx().clipboard.setPlain("old");
    fx().desktop.apps[kApp] = {"Once", {}, FakeDesktop::CopyMode::AtOnce};
    fx().desktop.front = kApp;
    AddNoteWindow &w = open(Flow::OneCopy);
    fx().journal.clear();
    pressMouse(w.AddNoteButton); // empty note
    EXPECT_TRUE(fx().desktop.keys.isEmpty());
    EXPECT_TRUE(fx().journal.isEmpty());

    // During the wait the user presses again and then "Cancel".
    w.EditField3->setPlainText("note");
    QPointer<AddNoteWindow> window = &w;
    const auto tick = fx().framework.onYield;
    long long n = 0;
    fx().framework.onYield = [&] {
        tick();
        if (++n == 1000) {
            pressMouse(window->AddNoteButton);
            window->CancelButton->click();
            processDeferredDeletes();
            EXPECT_FALSE(window.isNull()); // still inside its button's handler
        }
    };
    pressMouse(w.AddNoteButton);
    fx().framework.onYield = tick;
    EXPECT_EQ(fx().print.jobs.size(), 1);
    EXPECT_EQ(fx().print.printedText().count("Once"), 1);
    processDeferredDeletes();
    EXPECT_TRUE(window.isNull());
}

TEST_F(Notes, ACancelledPrintDialogClosesTheWindowAndGivesTheFrontBack)
{
    fx().print.acceptPrint = false;
    fx().clipboard.setPlain("old");
    fx().desktop.apps[kApp] = {"Selected", {}, FakeDesktop::CopyMode::AtOnce};
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        fx().clipboard.setPlain("old");
        const int setupsBefore = fx().print.pageSetups;
        QPointer<AddNoteWindow> w = &writeAndPress(Flow::Dialogs, "note");
        EXPECT_EQ(fx().print.pageSetups, setupsBefore + 1); // a fresh page setup each press
        EXPECT_TRUE(fx().print.jobs.isEmpty());
        EXPECT_EQ(fx().desktop.front, kApp);
        EXPECT_EQ(fx().journal.last(), "SetProcessWithCreatorFront:" + kApp);
        processDeferredDeletes();
        EXPECT_TRUE(w.isNull());
    }
}

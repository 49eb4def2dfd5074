// The floating window that says the copy brought no text.
#include "platform/points.h"
#include "printing/messages.h"
#include "printing/warningwindow.h"
#include "shell/tapsel.h"
#include "support/fixture.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

using platform::pt;

namespace {

void processDeferredDeletes() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

using Warning = PlatformTest;

TEST_F(Warning, IsASmallFloatingWindowWithTheCallersMessage)
{
    NoSelectedTextWarning &w = NoSelectedTextWarning::Show(Messages::kNothingSelected);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.windowFlags() & Qt::Tool);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.size(), QSize(pt(310), pt(135)));
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(193, 193, 204));
    EXPECT_EQ(w.PushButton1->text(), "OK");
    EXPECT_EQ(w.PushButton1->geometry(), platform::ptRect(137, 110, 40, 20));
    EXPECT_EQ(w.EditField1Warning->geometry(), platform::ptRect(0, 0, 310, 104));
    EXPECT_EQ(w.EditField1Warning->palette().color(QPalette::Base), QColor(229, 229, 163));
    // The two carriage returns show as an empty line between the sentences.
    EXPECT_EQ(w.EditField1Warning->toPlainText().split('\n').value(1), "");
    EXPECT_TRUE(w.EditField1Warning->toPlainText().startsWith(
        "Whoops, nothing appears to be selected.\n\nIf you have selected text"));
}

TEST_F(Warning, OneWindowAtATimeAndAFreshOneAfterOK)
{
    Tapsel::instance(); // hidden from the start
    QPointer<NoSelectedTextWarning> first =
        &NoSelectedTextWarning::Show(Messages::kNothingSelected);
    NoSelectedTextWarning &again = NoSelectedTextWarning::Show(Messages::kNoTextSelected);
    EXPECT_EQ(&again, first.data());
    EXPECT_TRUE(again.EditField1Warning->toPlainText().startsWith("Whoops, no text appears"));

    fx().journal.clear();
    const auto clipboardBefore = fx().clipboard.data;
    again.PushButton1->click();
    processDeferredDeletes();
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(SingleInstance<NoSelectedTextWarning>::exists());
    // "OK" does nothing else.
    EXPECT_FALSE(Tapsel::instance().isVisible());
    EXPECT_TRUE(fx().journal.isEmpty());
    EXPECT_EQ(fx().clipboard.data, clipboardBefore);

    NoSelectedTextWarning &fresh = NoSelectedTextWarning::Show(Messages::kNothingSelected);
    EXPECT_TRUE(fresh.isVisible());
    EXPECT_TRUE(fresh.EditField1Warning->toPlainText().startsWith("Whoops, nothing appears"));
}

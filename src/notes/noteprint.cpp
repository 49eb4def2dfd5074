// The print with note: pressing "Add Note" copies the recorded application's selection and
// prints it followed by the note and the date-and-time stamp.
#include "common/module1.h"
#include "notes/addnotewindow.h"
#include "platform/services.h"
#include "platform/styledtextfield.h"
#include "printing/capture.h"
#include "printing/commandclock.h"
#include "printing/composition.h"
#include "printing/messages.h"
#include "printing/printoutput.h"
#include "printing/warningwindow.h"
#include "shell/tapsel.h"

#include <QScopeGuard>
#include <memory>

using namespace platform;

bool AddNoteWindow::AddNoteButton_MouseDown(int, int)
{
    PrintWithNote(Flow::OneCopy);
    return false;
}

bool AddNoteWindow::AddNotePrMultButton_MouseDown(int, int)
{
    PrintWithNote(Flow::Dialogs);
    return false;
}

void AddNoteWindow::PrintWithNote(Flow flow)
{
    // The wait lets events through. A second press meanwhile must not start a second
    // print, and a close meanwhile ("Cancel") only hides the window: it goes once this
    // handler, which runs inside its button, is done.
    if (printing_)
        return;
    printing_ = true;
    setAttribute(Qt::WA_DeleteOnClose, false);
    const auto done = qScopeGuard([this] {
        printing_ = false;
        setAttribute(Qt::WA_DeleteOnClose, true);
        if (isHidden())
            deleteLater();
    });

    Clipboard &cb = clipboard();
    const QDateTime pressTime = CommandClock();
    std::unique_ptr<PageSetup> setup;
    if (flow == Flow::Dialogs)
        setup = print().newPageSetup();
    const QString noTextMessage = Messages::kNothingSelected;
    const QString previousText = cb.text();

    Processes &p = processes();
    p.SetProcessWithCreatorFront(Module1::FrontMostApp);
    const QString front = p.GetFrontProcessCreator();
    if (Module1::TextEquals(front, p.GetMyCreator())) {
        framework().beep();
        framework().messageBox(Messages::kNotActive);
        return;
    }
    PostCopyKeystroke();
    CountedWait(WaitLimit(front, flow == Flow::OneCopy ? 200000 : 100000));

    const CopyCheck check = CheckCopy(previousText);
    if (RefuseEmptyOrSameCopy(check, noTextMessage))
        return;
    if (check == CopyCheck::NoText) {
        framework().beep();
        NoSelectedTextWarning::Show(noTextMessage);
        Tapsel::instance().hide();
        return;
    }

    Tapsel &palette = Tapsel::instance();
    palette.EditField1->setTextAndStyl(cb.text(), cb.styl());
    const QString note = EditField3->toPlainText().replace(QChar('\n'), QChar('\r'));
    palette.EditField2->setText(QStringLiteral("\r\r") + note + StampText(pressTime));
    cb.close();
    if (flow == Flow::Dialogs)
        p.BringProcessFront();
    MergeStyleRuns(*palette.EditField1, *palette.EditField2);
    if (flow == Flow::OneCopy)
        PrintDirect(*palette.EditField1);
    else
        PrintThroughDialogs(*palette.EditField1, *setup);
    close();
    if (flow == Flow::Dialogs)
        p.SetProcessWithCreatorFront(Module1::FrontMostApp);
}

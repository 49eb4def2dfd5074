// The two "W/Date Stamp" commands: the whole capture inside one handler, then the
// selection printed with the date-and-time stamp after it.
#include "common/module1.h"
#include "platform/services.h"
#include "platform/styledtextfield.h"
#include "printing/capture.h"
#include "printing/commandclock.h"
#include "printing/composition.h"
#include "printing/messages.h"
#include "printing/printoutput.h"
#include "printing/warningwindow.h"
#include "shell/tapsel.h"

#include <memory>

using namespace platform;

namespace {

enum class Copies { One, Multiple };

void PrintStamped(Tapsel &palette, Copies copies)
{
    Clipboard &cb = clipboard();
    const QDateTime commandTime = CommandClock();
    std::unique_ptr<PageSetup> setup;
    if (copies == Copies::Multiple)
        setup = print().newPageSetup();
    const QString noTextMessage =
        copies == Copies::One ? Messages::kNothingSelected : Messages::kNoTextSelected;
    const QString previousText = cb.text();

    Processes &p = processes();
    const QString front = p.GetFrontProcessCreator();
    if (Module1::TextEquals(front, p.GetMyCreator())) {
        framework().beep();
        framework().messageBox(Messages::kNotActive);
        return;
    }
    Module1::FrontMostApp = p.GetFrontProcessCreator();
    PostCopyKeystroke();
    CountedWait(WaitLimit(front, 200000));

    const CopyCheck check = CheckCopy(previousText);
    if (RefuseEmptyOrSameCopy(check, noTextMessage))
        return;
    if (check == CopyCheck::NoText) {
        framework().beep();
        p.BringProcessFront();
        NoSelectedTextWarning::Show(noTextMessage);
        palette.hide();
        return;
    }

    palette.EditField1->setTextAndStyl(cb.text(), cb.styl());
    palette.EditField2->setText(StampText(commandTime));
    cb.close();
    if (copies == Copies::Multiple)
        p.BringProcessFront();
    MergeStyleRuns(*palette.EditField1, *palette.EditField2);
    if (copies == Copies::One) {
        PrintDirect(*palette.EditField1);
    } else {
        PrintThroughDialogs(*palette.EditField1, *setup);
        // Also after a cancelled dialog.
        p.SetProcessWithCreatorFront(Module1::FrontMostApp);
    }
}

} // namespace

void Tapsel::PMPrintOneCopy_Action() { PrintStamped(*this, Copies::One); }

void Tapsel::PMPrintMultipleCopies_Action() { PrintStamped(*this, Copies::Multiple); }

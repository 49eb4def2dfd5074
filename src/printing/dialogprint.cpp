// The multiple-copies "No Stamp" command: the one-copy sequence, printed through the
// dialogs that the preferences and the Dock's one-shot choices ask for.
#include "common/module1.h"
#include "platform/services.h"
#include "platform/styledtextfield.h"
#include "platform/wastefield.h"
#include "printing/composition.h"
#include "printing/messages.h"
#include "printing/printoutput.h"
#include "shell/tapsel.h"

using namespace platform;

void Tapsel::PMPrintMultpleCopiesNoStamp_Action()
{
    SaveUserClipboard();
    PrintMultipleCopiesNoStampTimer1->setMode(1);
}

void Tapsel::PrintMultipleCopiesNoStampTimer1_Action()
{
    RequestCopy(*PrintMultipleCopiesNoStampTimer2);
}

void Tapsel::PrintThroughPrintDialog(platform::StyledTextField &field)
{
    auto context = print().printDialog(nullptr);
    if (!context)
        return;
    PrintPages(field, *context, kFixedPageWidth, kFixedPageHeight);
}

void Tapsel::PrintMultipleCopiesNoStampTimer2_Action()
{
    if (WarnUnlessPrintable(Messages::kNoTextSelected, false))
        return;
    TakeCopyAsDocument();
    Processes &p = processes();
    p.BringProcessFront();
    MergeStyleRuns(*EditField1, *EditField2);
    if (Module1::DockPageSetUpPref || (Module1::ViewPageSetUp && !Module1::DockPrintDialogPref)) {
        auto setup = print().newPageSetup(); // fresh for every run
        PrintThroughDialogs(*EditField1, *setup);
    } else {
        // The Print dialog alone; also when no flag asks for any dialog any more (the
        // preferences changed while the command waited): the user started a print with dialogs.
        PrintThroughPrintDialog(*EditField1);
    }
    Module1::DockPageSetUpPref = false;
    Module1::DockPrintDialogPref = false;
    RestoreSavedClipboard();
    p.SetProcessWithCreatorFront(Module1::FrontMostApp);
}

// The one-copy "No Stamp" command: three handlers chained by two one-second timers, with
// the user's clipboard kept aside from the first to the last.
#include "common/module1.h"
#include "platform/services.h"
#include "platform/styledtextfield.h"
#include "platform/wastefield.h"
#include "printing/capture.h"
#include "printing/composition.h"
#include "printing/messages.h"
#include "printing/printoutput.h"
#include "shell/tapsel.h"

using namespace platform;

namespace {

// Plain text under any of its names; the X text targets say the same as text/plain.
bool isTextFormat(const QString &mime)
{
    static const QStringList xText{QStringLiteral("UTF8_STRING"), QStringLiteral("STRING"),
                                   QStringLiteral("TEXT"), QStringLiteral("COMPOUND_TEXT")};
    return mime.startsWith(QLatin1String(kTextMime)) || xText.contains(mime);
}

} // namespace

void Tapsel::SaveUserClipboard()
{
    Clipboard &cb = clipboard();
    // Anything besides plain text (a file list, a private type) is the user's data too.
    bool otherData = false;
    for (const QString &mime : cb.formats())
        otherData = otherData || !isTextFormat(mime);
    const bool worth = (cb.hasText() && cb.text() != Messages::kSentinel) || cb.hasPicture()
                       || otherData;
    if (worth) {
        saveoldClipboardWASTEfield->Paste();
        cb.setText(QString());
        cb.close();
    }
}

void Tapsel::RestoreSavedClipboard()
{
    saveoldClipboardWASTEfield->setSelStart(0);
    saveoldClipboardWASTEfield->setSelLength(int(saveoldClipboardWASTEfield->Text().size()));
    saveoldClipboardWASTEfield->Copy();
    saveoldClipboardWASTEfield->setText(QString());
}

void Tapsel::RequestCopy(platform::Timer &next)
{
    const QString lastJob = SaveLastJobWASTEfield->Text();
    if (!lastJob.isEmpty())
        Module1::SaveOldText = lastJob;
    Processes &p = processes();
    if (Module1::TextEquals(p.GetFrontProcessCreator(), p.GetMyCreator())) {
        framework().beep();
        framework().messageBox(Messages::kNotActive);
        return;
    }
    Module1::FrontMostApp = p.GetFrontProcessCreator();
    PostCopyKeystroke();
    SaveLastJobWASTEfield->setText(QString());
    SaveLastJobWASTEfield->Paste();
    next.setMode(1);
}

void Tapsel::PMPrintOneCopyNoStamp_Action()
{
    SaveUserClipboard();
    PrintNoStampTimer1->setMode(1);
}

void Tapsel::PrintNoStampTimer1_Action() { RequestCopy(*PrintNoStampTimer2); }

bool Tapsel::WarnUnlessPrintable(const QString &noSelection, bool frontAgainOnNoText)
{
    Clipboard &cb = clipboard();
    Processes &p = processes();
    const bool hasText = cb.hasText();
    const QString text = cb.text();
    if (hasText && text.isEmpty()) {
        p.BringProcessFront();
        RestoreSavedClipboard();
        framework().beep();
        framework().messageBox(noSelection);
        hide();
        p.SetProcessWithCreatorFront(Module1::FrontMostApp);
        return true;
    }
    // Without text there is nothing to compare: that is the no-text outcome below.
    if (hasText && Module1::TextEquals(text, Module1::SaveOldText)) {
        framework().beep();
        p.BringProcessFront();
        framework().messageBox(Messages::kSameMaterialTryAgain);
        RestoreSavedClipboard();
        SaveLastJobWASTEfield->setText(Messages::kSentinel);
        p.SetProcessWithCreatorFront(Module1::FrontMostApp);
        return true;
    }
    if (!hasText) {
        framework().beep();
        p.BringProcessFront();
        framework().messageBox(noSelection);
        if (frontAgainOnNoText)
            p.BringProcessFront();
        RestoreSavedClipboard();
        hide();
        return true;
    }
    return false;
}

void Tapsel::TakeCopyAsDocument()
{
    Clipboard &cb = clipboard();
    EditField1->setTextAndStyl(cb.text(), cb.styl());
    EditField2->setText(QString());
    cb.close();
}

void Tapsel::PrintNoStampTimer2_Action()
{
    static const QString noSelection = Messages::kNothingSelected + QStringLiteral("\r\r");
    if (WarnUnlessPrintable(noSelection, true))
        return;
    TakeCopyAsDocument();
    MergeStyleRuns(*EditField1, *EditField2);
    PrintDirect(*EditField1);
    RestoreSavedClipboard();
}

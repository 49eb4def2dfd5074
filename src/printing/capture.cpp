#include "printing/capture.h"

#include "common/module1.h"
#include "platform/services.h"
#include "printing/messages.h"

void PostCopyKeystroke()
{
    platform::Processes &p = platform::processes();
    p.PostCommandKeyEvent(true);
    p.PostKeyEvent(QStringLiteral("C"), 8, true);
    p.PostKeyEvent(QStringLiteral("C"), 8, false);
    p.PostCommandKeyEvent(false);
}

void CountedWait(long limit)
{
    long counter = 0;
    do {
        ++counter;
        platform::framework().waitYield();
    } while (counter < limit);
}

long WaitLimit(const QString &frontCreator, long usual)
{
    return Module1::TextEquals(frontCreator, QStringLiteral("MSIE")) ? 300000 : usual;
}

CopyCheck CheckCopy(const QString &previousText)
{
    platform::Clipboard &cb = platform::clipboard();
    const bool hasText = cb.hasText();
    const QString text = cb.text();
    // Checked in this order: empty, the same as before, no text at all. Only a clipboard
    // that offers something else entirely reaches the last one.
    if (text.isEmpty() && (hasText || cb.formats().isEmpty()))
        return CopyCheck::Empty;
    if (hasText && Module1::TextEquals(text, previousText))
        return CopyCheck::SameMaterial;
    if (!hasText)
        return CopyCheck::NoText;
    return CopyCheck::Passed;
}

bool RefuseEmptyOrSameCopy(CopyCheck check, const QString &noTextMessage)
{
    platform::Processes &p = platform::processes();
    platform::Framework &f = platform::framework();
    switch (check) {
    case CopyCheck::Empty:
        p.BringProcessFront();
        f.beep();
        f.messageBox(noTextMessage);
        break;
    case CopyCheck::SameMaterial:
        f.beep();
        p.BringProcessFront();
        f.messageBox(Messages::kSameMaterialClickAgain);
        platform::clipboard().setText(Messages::kSentinel);
        platform::clipboard().close();
        break;
    default:
        return false;
    }
    p.SetProcessWithCreatorFront(Module1::FrontMostApp);
    return true;
}

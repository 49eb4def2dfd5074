// The capture that the stamped and note commands do inside one handler: the Copy keystroke,
// a counted wait, and the checks of what the clipboard then holds.
#pragma once

#include <QString>

// Command down, "C" (key code 8) down and up, Command up, to the front application.
void PostCopyKeystroke();

// limit yields, one per iteration; the clipboard is not looked at meanwhile.
void CountedWait(long limit);

// 300000 for "MSIE", the usual count for any other application.
long WaitLimit(const QString &frontCreator, long usual);

enum class CopyCheck { Empty, SameMaterial, NoText, Passed };

// What came of the copy, compared with the clipboard's text before the keystroke. An empty
// clipboard counts as empty text; a clipboard holding only other kinds of data has no text.
CopyCheck CheckCopy(const QString &previousText);

// The empty-text and same-material refusals, whole: Tapsel to the front, the beep and the
// message, the sentinel "1" on the clipboard after the second, the front handed back.
// True when check was one of them.
bool RefuseEmptyOrSameCopy(CopyCheck check, const QString &noTextMessage);

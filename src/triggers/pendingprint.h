// Whether one of the palette's timer-driven prints is still under way; while it is, the
// user's clipboard is held aside and a second print must not start over it.
#pragma once

// A print waits for one of its timers.
bool PrintWaiting();
// A print waits for a timer, or its last stage holds a dialog or message open.
bool PrintPending();

// The event-log line of a request that came while a print was under way.
inline const char *const kPrintPendingLine = "Print in progress: request ignored";

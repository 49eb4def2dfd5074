// The globals the commands share for the whole run.
#pragma once

#include <QString>

namespace Module1 {

extern QString FrontMostApp;
extern QString SaveOldText;
extern bool ViewPageSetUp;
extern bool ViewPrinterDialog;
extern bool DockPageSetUpPref;
extern bool DockPrintDialogPref;

// Back to the values of a fresh start.
void reset();

// Text equality in Tapsel ignores letter case.
bool TextEquals(const QString &a, const QString &b);

} // namespace Module1

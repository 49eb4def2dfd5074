#include "common/module1.h"

namespace Module1 {

QString FrontMostApp;
QString SaveOldText;
bool ViewPageSetUp = false;
bool ViewPrinterDialog = false;
bool DockPageSetUpPref = false;
bool DockPrintDialogPref = false;

void reset()
{
    FrontMostApp.clear();
    SaveOldText.clear();
    ViewPageSetUp = ViewPrinterDialog = DockPageSetUpPref = DockPrintDialogPref = false;
}

bool TextEquals(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

} // namespace Module1

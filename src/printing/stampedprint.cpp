// The two "W/Date Stamp" commands.
#include "shell/tapsel.h"

void Tapsel::PMPrintOneCopy_Action() {}

void Tapsel::PMPrintMultipleCopies_Action() {}

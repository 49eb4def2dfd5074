// The palette's two "W/Date+Note" buttons.
#include "shell/tapsel.h"

void Tapsel::PrintOneCopyWNote_Action() {}

void Tapsel::PrintMultipleCopiesWNote_Action() {}

// The palette's "Preferences" button.
#include "shell/tapsel.h"

void Tapsel::PreferencesPushButton_Action() {}

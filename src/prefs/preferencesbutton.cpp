// The palette's "Preferences" button.
#include "prefs/preferenceswindow.h"
#include "shell/tapsel.h"

void Tapsel::PreferencesPushButton_Action() { PreferencesWindow::showWindow(); }

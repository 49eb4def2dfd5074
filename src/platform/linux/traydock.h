// The tray's menu without a tray: where no tray host runs, a second launch of Tapsel opens
// the same menu at the pointer, so that the preferences and Quit stay within reach.
#pragma once

namespace platform::linux_x11 {

// Opens the Dock menu at the pointer when there is no tray to open it from; true if it did.
bool popUpDockMenuWithoutTray();

} // namespace platform::linux_x11

// The real services of a Linux desktop on X11, bound as the platform.
#pragma once

namespace platform::linux_x11 {

// Creates the real services (once) and binds them. Needs a QApplication.
void bindRealServices();

} // namespace platform::linux_x11

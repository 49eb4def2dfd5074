// Placeholder until the real service lands.
#include "platform/linux/linuxplatform.h"

namespace platform::linux_x11 {

std::unique_ptr<Processes> makeProcesses() { return nullptr; }

} // namespace platform::linux_x11

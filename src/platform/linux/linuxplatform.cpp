#include "platform/linux/linuxplatform.h"

#include "platform/services.h"

namespace platform::linux_x11 {

void bindRealServices() {}

} // namespace platform::linux_x11

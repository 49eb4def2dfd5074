// Placeholder until the real service lands.
#include "platform/linux/linuxplatform.h"

namespace platform::linux_x11 {

std::unique_ptr<DiagnosticLog> makeDiagnosticLog() { return nullptr; }

} // namespace platform::linux_x11

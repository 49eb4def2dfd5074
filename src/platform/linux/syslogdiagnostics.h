// The platform's own warnings (no tray, display gone, ...): to the system log under the
// ident "Tapsel" and to standard error, whether or not Tapsel's debug output is on.
#pragma once

#include <QString>

namespace platform::linux_x11 {

void platformWarning(const QString &text);

} // namespace platform::linux_x11

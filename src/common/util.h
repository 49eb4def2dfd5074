// The event log: every line goes to the top of each open event-log window and to the
// system's diagnostic log.
#pragma once

#include <QString>

namespace Util {

void Write(const QString &text);

} // namespace Util

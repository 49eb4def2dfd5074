// The system's diagnostic log (syslog on Linux) and the pause that goes with it.
#pragma once

#include <QString>

namespace platform {

class DiagnosticLog {
public:
    virtual ~DiagnosticLog() = default;
    virtual void DebugMessageEnableMBS(bool enable) = 0;
    virtual void DebugMessageMBS(const QString &text) = 0;
    virtual void DelayMBS(double seconds) = 0;
};

} // namespace platform

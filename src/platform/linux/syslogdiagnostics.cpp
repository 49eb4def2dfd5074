// The diagnostic log is syslog(3) under the ident "Tapsel" (the journal collects it). Every
// line also goes to standard error (LOG_PERROR), so a terminal, a session log or a test sees
// it where no syslog daemon runs.
#include "platform/linux/syslogdiagnostics.h"

#include "platform/linux/linuxplatform.h"

#include <chrono>
#include <cmath>
#include <syslog.h>
#include <thread>

namespace platform::linux_x11 {

namespace {

void openTheLog()
{
    // The ident must outlive every syslog call.
    static const bool opened = [] {
        openlog("Tapsel", LOG_PID | LOG_PERROR, LOG_USER);
        return true;
    }();
    Q_UNUSED(opened);
}

// One log line: control characters (and NULs, which would cut it short) become spaces.
QByteArray oneLine(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    for (char &c : bytes)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return bytes;
}

class SyslogDiagnostics : public DiagnosticLog {
  public:
    SyslogDiagnostics() { openTheLog(); }

    void DebugMessageEnableMBS(bool enable) override { enabled_ = enable; }

    void DebugMessageMBS(const QString &text) override
    {
        if (enabled_)
            syslog(LOG_INFO, "%s", oneLine(text).constData());
    }

    // A plain pause: nothing else of Tapsel runs meanwhile.
    void DelayMBS(double seconds) override
    {
        if (seconds > 0 && std::isfinite(seconds))
            std::this_thread::sleep_for(std::chrono::duration<double>(qMin(seconds, 60.0)));
    }

  private:
    bool enabled_ = false;
};

} // namespace

void platformWarning(const QString &text)
{
    openTheLog();
    syslog(LOG_WARNING, "%s", oneLine(text).constData());
}

std::unique_ptr<DiagnosticLog> makeDiagnosticLog() { return std::make_unique<SyslogDiagnostics>(); }

} // namespace platform::linux_x11

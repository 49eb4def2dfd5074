// The real services of a Linux desktop on X11, bound as the platform.
#pragma once

#include "platform/services.h"

#include <memory>

namespace platform::linux_x11 {

// Each real service's maker lives beside its implementation.
std::unique_ptr<Framework> makeFramework();         // qtframework.cpp
std::unique_ptr<Clipboard> makeClipboard();         // qtclipboard.cpp
std::unique_ptr<PrintService> makePrintService();   // qtprintservice.cpp
std::unique_ptr<Processes> makeProcesses();         // x11processes.cpp
std::unique_ptr<HotKeys> makeHotKeys();             // x11hotkeys.cpp
std::unique_ptr<Dock> makeDock();                   // traydock.cpp
std::unique_ptr<DiagnosticLog> makeDiagnosticLog(); // syslogdiagnostics.cpp
std::unique_ptr<Files> makeFiles();                 // resourcefiles.cpp

// Creates the real services (once, kept for the life of the process) and binds them.
// Needs a QApplication.
void bindRealServices();

} // namespace platform::linux_x11

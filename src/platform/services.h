// The one table of outside services, bound once at start-up (real ones in main, in-memory
// ones in tests). Tapsel reaches everything outside itself through these accessors.
#pragma once

#include "platform/clipboard.h"
#include "platform/diagnosticlog.h"
#include "platform/dock.h"
#include "platform/files.h"
#include "platform/framework.h"
#include "platform/hotkeys.h"
#include "platform/printservice.h"
#include "platform/processes.h"

namespace platform {

struct Services {
    Framework *framework = nullptr;
    Clipboard *clipboard = nullptr;
    PrintService *print = nullptr;
    Processes *processes = nullptr;
    HotKeys *hotKeys = nullptr;
    Dock *dock = nullptr;
    DiagnosticLog *log = nullptr;
    Files *files = nullptr;
};

void bind(const Services &services);
const Services &services();

inline Framework &framework() { return *services().framework; }
inline Clipboard &clipboard() { return *services().clipboard; }
inline PrintService &print() { return *services().print; }
inline Processes &processes() { return *services().processes; }
inline HotKeys &hotKeys() { return *services().hotKeys; }
inline Dock &dock() { return *services().dock; }
inline DiagnosticLog &log() { return *services().log; }
inline Files &files() { return *services().files; }

} // namespace platform

#include "platform/linux/linuxplatform.h"

namespace platform::linux_x11 {

void bindRealServices()
{
    static const auto framework = makeFramework();
    static const auto clipboard = makeClipboard();
    static const auto print = makePrintService();
    static const auto processes = makeProcesses();
    static const auto hotKeys = makeHotKeys();
    static const auto dock = makeDock();
    static const auto log = makeDiagnosticLog();
    static const auto files = makeFiles();
    bind({framework.get(), clipboard.get(), print.get(), processes.get(), hotKeys.get(),
          dock.get(), log.get(), files.get()});
}

} // namespace platform::linux_x11

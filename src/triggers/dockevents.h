// Tapsel's listener on the Dock: builds the Dock menu each time it is asked for, and carries
// out the commands chosen from it.
#pragma once

#include "platform/dock.h"

#include <memory>

// The maker's web site, opened by "Go to Orlenby Website".
inline const char *const kMakerWebsite = "https://www.orlenby.com/";

class MyCarbonApplicationEventsMBS : public platform::CarbonApplicationEventsMBS {
    Q_OBJECT
public:
    using platform::CarbonApplicationEventsMBS::CarbonApplicationEventsMBS;
    ~MyCarbonApplicationEventsMBS() override;

    quint32 ApplicationGetDockTileMenu() override;
    bool ProcessCommand(int first, quint32 code, quint32 handle, int index) override;

    // The Dock menu built last; none before the first request.
    std::unique_ptr<platform::MenuMBS> dockmenu;
};

// "Process Command with ID ... in handle ...": the event-log line of one command.
QString ProcessCommandLine(quint32 code, quint32 handle, int index);

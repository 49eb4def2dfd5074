// Files addressed relative to the application's folder in colon notation
// (":Tapsel Resources:PageSetUp Preference").
#pragma once

#include <QString>

namespace platform {

class Files {
public:
    virtual ~Files() = default;
    // The absolute path of a colon path.
    virtual QString resolve(const QString &colonPath) = 0;
};

} // namespace platform

// Colon paths (":Tapsel Resources:PageSetUp Preference") as files of the executable's
// folder, or of $XDG_CONFIG_HOME (default ~/.config) where that folder cannot be written.
#pragma once

#include "platform/files.h"

namespace platform::linux_x11 {

class ResourceFiles : public Files {
  public:
    // appDir: the executable's folder; configHome: where an installed copy keeps its files.
    ResourceFiles(QString appDir, QString configHome);
    // Empty for a path that is not relative to the application's folder, or whose parts
    // would leave it ("..", ".", empty parts, slashes inside a part).
    QString resolve(const QString &colonPath) override;

    // The folder a leading colon stands for, given the path's first part.
    QString baseFor(const QString &firstPart) const;

  private:
    QString appDir_;
    QString configHome_;
};

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString configHome();

} // namespace platform::linux_x11

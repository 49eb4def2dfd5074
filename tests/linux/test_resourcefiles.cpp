// The real file service: colon paths as files beside the executable, or in the user's
// configuration folder where the executable's folder cannot be written.
#include "platform/linux/resourcefiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::linux_x11::ResourceFiles;

TEST(ResourceFiles, ColonPathsBecomeFilesOfTheApplicationsFolder)
{
    QTemporaryDir tmp;
    ResourceFiles files(tmp.path() + "/bin", tmp.path() + "/config");
    QDir().mkpath(tmp.path() + "/bin");
    EXPECT_EQ(files.resolve(":Tapsel Resources:PageSetUp Preference"),
              tmp.path() + "/bin/Tapsel Resources/PageSetUp Preference");
    EXPECT_EQ(files.resolve(":Tapsel Resources"), tmp.path() + "/bin/Tapsel Resources");
}

TEST(ResourceFiles, AnInstalledCopyUsesTheConfigurationFolder)
{
    QTemporaryDir tmp;
    // The executable's folder lies under a plain file: nothing can ever be made there.
    QFile blocker(tmp.path() + "/usr");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ResourceFiles files(tmp.path() + "/usr/bin", tmp.path() + "/config");
    EXPECT_EQ(files.resolve(":Tapsel Resources:PrinterDialog Preference"),
              tmp.path() + "/config/Tapsel Resources/PrinterDialog Preference");
}

TEST(ResourceFiles, PathsThatWouldLeaveTheFolderAreRefused)
{
    QTemporaryDir tmp;
    ResourceFiles files(tmp.path(), tmp.path() + "/config");
    for (const char *bad : {"Tapsel Resources:PageSetUp Preference", "", ":", "::x",
                            ":Tapsel Resources:", ":..:etc:passwd", ":Tapsel Resources:..:..:x",
                            ":.:x", ":Tapsel Resources/../..:x", ":/etc/passwd"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(files.resolve(QString::fromUtf8(bad)), QString());
    }
}

TEST(ResourceFiles, ConfigurationFolderFollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const bool had = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(platform::linux_x11::configHome(), "/somewhere/config");
    qputenv("XDG_CONFIG_HOME", "relative/is/ignored");
    EXPECT_EQ(platform::linux_x11::configHome(), QDir::homePath() + "/.config");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::linux_x11::configHome(), QDir::homePath() + "/.config");
    if (had)
        qputenv("XDG_CONFIG_HOME", saved);
}

#include "platform/linux/resourcefiles.h"

#include "platform/linux/linuxplatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <unistd.h>

namespace platform::linux_x11 {

namespace {

bool writableDir(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() &&
           ::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK | X_OK) == 0;
}

// Whether a folder there exists and can be written, or could be made: the nearest existing
// folder on the way can be written.
bool canWriteInto(const QString &path)
{
    QString p = QDir::cleanPath(path);
    while (!QFileInfo::exists(p)) {
        const QString up = QFileInfo(p).path();
        if (up == p)
            return false;
        p = up;
    }
    return writableDir(p);
}

} // namespace

ResourceFiles::ResourceFiles(QString appDir, QString configHome)
    : appDir_(std::move(appDir)), configHome_(std::move(configHome))
{
}

QString ResourceFiles::baseFor(const QString &firstPart) const
{
    if (!appDir_.isEmpty() && canWriteInto(appDir_ + QChar('/') + firstPart))
        return appDir_;
    return configHome_;
}

QString ResourceFiles::resolve(const QString &colonPath)
{
    if (!colonPath.startsWith(QChar(':')))
        return {};
    const QStringList parts = colonPath.mid(1).split(QChar(':'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..") ||
            part.contains(QChar('/')) || part.contains(QChar('\0')))
            return {};
    }
    const QString base = baseFor(parts.first());
    if (base.isEmpty())
        return {};
    return QDir::cleanPath(base + QChar('/') + parts.join(QChar('/')));
}

QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

std::unique_ptr<Files> makeFiles()
{
    return std::make_unique<ResourceFiles>(QCoreApplication::applicationDirPath(), configHome());
}

} // namespace platform::linux_x11

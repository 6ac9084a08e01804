#include "app/paths.h"

#include <QDir>
#include <QStandardPaths>

QString joinPath(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name);
}

static QString existingOrHome(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location);
    if (!folder.isEmpty() && QDir(folder).exists())
        return folder;
    return QDir::homePath();
}

QString desktopFolder()
{
    return existingOrHome(QStandardPaths::DesktopLocation);
}

QString picturesFolder()
{
    return existingOrHome(QStandardPaths::PicturesLocation);
}

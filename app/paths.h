#pragma once

#include <QString>

QString joinPath(const QString &folder, const QString &name);
// The user's desktop and pictures folders; the home folder where such a folder is missing.
QString desktopFolder();
QString picturesFolder();

#pragma once

#include <QString>
#include <QStringList>

// The two things the program starts outside itself. Both run detached and nobody waits for
// them or looks at their result.
namespace Platform {

// VELARIX_CAMERA_CMD, else "./camera" when the working folder has one, else "camera".
void startCamera();
// VELARIX_SHUTDOWN_CMD, else "systemctl poweroff".
void startShutdown();

// The command line each of them would run, split into program and arguments. Empty when
// nothing may run (a test run without a replacement command).
QStringList cameraCommand();
QStringList shutdownCommand();

} // namespace Platform

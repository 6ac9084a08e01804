#include "platform/platformactions.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace Platform {
namespace {

// Under the test runner a real camera or shutdown must never start, even when a test forgot
// to put its recording fake in place.
bool underTest()
{
    return !qEnvironmentVariableIsEmpty("VELARIX_TEST");
}

QStringList configured(const char *variable)
{
    return QProcess::splitCommand(qEnvironmentVariable(variable));
}

void startDetached(const QStringList &command, const char *what)
{
    if (command.isEmpty()) {
        qWarning("%s: no command to start", what);
        return;
    }
    QProcess::startDetached(command.first(), command.mid(1), QDir::currentPath());
}

} // namespace

QStringList cameraCommand()
{
    const QStringList command = configured("VELARIX_CAMERA_CMD");
    if (!command.isEmpty())
        return command;
    const QFileInfo local(QDir::current().filePath(QStringLiteral("camera")));
    if (local.isFile() && local.isExecutable())
        return { local.absoluteFilePath() };
    if (underTest())
        return {};
    return { QStringLiteral("camera") };
}

QStringList shutdownCommand()
{
    const QStringList command = configured("VELARIX_SHUTDOWN_CMD");
    if (!command.isEmpty() || underTest())
        return command;
    return { QStringLiteral("systemctl"), QStringLiteral("poweroff") };
}

void startCamera()
{
    startDetached(cameraCommand(), "camera");
}

void startShutdown()
{
    startDetached(shutdownCommand(), "shutdown");
}

} // namespace Platform

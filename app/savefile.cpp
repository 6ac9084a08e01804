#include "app/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Unbuffered, so that every byte goes out through writeAll and nothing is left for a flush
// that could fail without a reason.
bool openUnbuffered(QSaveFile &file, QString *reason)
{
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    *reason = file.errorString();
    return false;
}

// A short write carries no reason: the system names it (a full disk, the file-size limit) only
// when the rest is written, so the rest is written until it goes or fails.
bool writeAll(QSaveFile &file, const char *data, qint64 size, QString *reason)
{
    while (size > 0) {
        const qint64 written = file.write(data, size);
        if (written <= 0) {
            *reason = file.errorString();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Every write checked before the file takes the place of the old one; expected is the size
// the new file must have.
bool commitChecked(QSaveFile &file, qint64 expected, QString *reason)
{
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
    } else if (file.size() != expected) {
        *reason = QStringLiteral("Es wurden nur %1 von %2 Bytes geschrieben.")
                      .arg(file.size())
                      .arg(expected);
    } else if (!file.commit()) {
        *reason = file.errorString();
    } else {
        return true;
    }
    return false;
}

bool failed(QSaveFile &file, const QString &path, const QString &reason, QString *failure)
{
    file.cancelWriting();
    if (failure) {
        *failure = QStringLiteral("Die Datei %1 konnte nicht geschrieben werden:\n%2")
                       .arg(QDir::toNativeSeparators(path), reason);
    }
    return false;
}

} // namespace

bool saveFile(const QString &path, const QByteArray &bytes, QString *failure)
{
    QSaveFile file(path);
    QString reason;
    if (openUnbuffered(file, &reason) && writeAll(file, bytes.constData(), bytes.size(), &reason)
        && commitChecked(file, bytes.size(), &reason))
        return true;
    return failed(file, path, reason, failure);
}

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Eight letters and digits: a name nobody can have taken in advance.
QString randomPart()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString part;
    for (int i = 0; i < 8; ++i)
        part += QLatin1Char(letters[QRandomGenerator::system()->bounded(36)]);
    return part;
}

// O_EXCL: the name was free, so the file is ours; it refuses a link at the name, even one
// that points nowhere.
int createOwnFile(const QString &near, QString *path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *path = near + QLatin1Char('.') + randomPart() + QStringLiteral(".tmp");
        const int fd = ::open(QFile::encodeName(*path).constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// As writeAll above: a short write is followed by the rest, which then fails with the reason.
bool writeAllTo(int fd, const char *data, qint64 size, QString *reason)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            *reason = systemReason(written < 0 ? errno : ENOSPC);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool copyInto(int fd, QIODevice &source, QString *reason)
{
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 n = source.read(chunk.data(), chunk.size());
        if (n < 0) {
            *reason = source.errorString();
            return false;
        }
        if (n == 0)
            break;
        if (!writeAllTo(fd, chunk.constData(), n, reason))
            return false;
        copied += n;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        *reason = systemReason(errno);
        return false;
    }
    if (info.st_size != copied) {
        *reason = QStringLiteral("Es wurden nur %1 von %2 Bytes geschrieben.")
                      .arg(qint64(info.st_size))
                      .arg(copied);
        return false;
    }
    if (::fsync(fd) != 0) {
        *reason = systemReason(errno);
        return false;
    }
    return true;
}

} // namespace

QString saveNewCopy(QIODevice &source, const QString &near, QString *failure)
{
    QString reason, path;
    if (!source.isReadable()) {
        reason = source.errorString();
    } else {
        const int fd = createOwnFile(near, &path);
        if (fd < 0) {
            reason = systemReason(errno);
        } else {
            bool copied = copyInto(fd, source, &reason);
            if (::close(fd) != 0 && copied) {
                reason = systemReason(errno);
                copied = false;
            }
            if (copied)
                return path;
            ::unlink(QFile::encodeName(path).constData());
        }
    }
    if (failure) {
        *failure = QStringLiteral("Die Datei %1 konnte nicht geschrieben werden:\n%2")
                       .arg(QDir::toNativeSeparators(near), reason);
    }
    return QString();
}

bool syncFolderOf(const QString &path, QString *failure)
{
    const QString folder = QFileInfo(path).absolutePath();
    const int fd
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // EINVAL: a file system that keeps no folder to sync.
    const bool synced = fd >= 0 && (::fsync(fd) == 0 || errno == EINVAL);
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced && failure) {
        *failure = QStringLiteral("Der Ordner %1 konnte nicht auf den Datenträger geschrieben "
                                  "werden:\n%2")
                       .arg(QDir::toNativeSeparators(folder), systemReason(error));
    }
    return synced;
}

#include "app/savefile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

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

bool saveFileCopy(const QString &from, const QString &path, QString *failure)
{
    QFile source(from);
    source.open(QIODevice::ReadOnly); // a source that did not open is reported with its reason
    return saveFileCopy(source, path, failure);
}

bool saveFileCopy(QIODevice &source, const QString &path, QString *failure)
{
    QSaveFile file(path);
    QString reason;
    if (!source.isReadable()) {
        reason = source.errorString();
    } else if (openUnbuffered(file, &reason)) {
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        qint64 copied = 0;
        for (;;) {
            const qint64 n = source.read(chunk.data(), chunk.size());
            if (n < 0) {
                reason = source.errorString();
                break;
            }
            if (n == 0) {
                if (commitChecked(file, copied, &reason))
                    return true;
                break;
            }
            if (!writeAll(file, chunk.constData(), n, &reason))
                break;
            copied += n;
        }
    }
    return failed(file, path, reason, failure);
}

#include "app/savefile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

// The buffered rest written out and every write checked before the file takes the place of
// the old one; expected is the size the new file must have.
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
    if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else if (file.write(bytes) != bytes.size())
        reason = file.errorString();
    else if (commitChecked(file, bytes.size(), &reason))
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
    } else if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else {
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
            if (file.write(chunk.constData(), n) != n) {
                reason = file.errorString();
                break;
            }
            copied += n;
        }
    }
    return failed(file, path, reason, failure);
}

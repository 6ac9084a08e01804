#include "app/savefile.h"

#include <QDir>
#include <QSaveFile>

bool saveFile(const QString &path, const QByteArray &bytes, QString *failure)
{
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else if (file.write(bytes) != bytes.size() || !file.flush()
        || file.error() != QFileDevice::NoError) {
        reason = file.errorString();
    } else if (file.size() != bytes.size()) {
        reason = QStringLiteral("Es wurden nur %1 von %2 Bytes geschrieben.")
                     .arg(file.size())
                     .arg(bytes.size());
    } else if (!file.commit()) {
        reason = file.errorString();
    } else {
        return true;
    }
    file.cancelWriting();
    if (failure) {
        *failure = QStringLiteral("Die Datei %1 konnte nicht geschrieben werden:\n%2")
                       .arg(QDir::toNativeSeparators(path), reason);
    }
    return false;
}

#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Replaces the file at path by bytes, or leaves it as it was. Every write of a whole file goes
// through here: a QSaveFile alone reports success on a full disk, because the write buffer's
// flush inside commit() is never checked. On failure *failure (if given) holds the text for
// the user: the path and the system's reason.
bool saveFile(const QString &path, const QByteArray &bytes, QString *failure = nullptr);

// The same for a copy of the file at from, read in pieces: a large file (the database) is
// never held in memory whole.
bool saveFileCopy(const QString &from, const QString &path, QString *failure = nullptr);
// The same, read from an open device that the caller keeps, and closes when it is done.
bool saveFileCopy(QIODevice &source, const QString &path, QString *failure = nullptr);

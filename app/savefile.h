#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Replaces the file at path by bytes, or leaves it as it was. Every write of a whole file goes
// through here: a QSaveFile alone reports success on a full disk, because the write buffer's
// flush inside commit() is never checked. On failure *failure (if given) holds the text for
// the user: the path and the system's reason.
bool saveFile(const QString &path, const QByteArray &bytes, QString *failure = nullptr);

// A file of the program's own beside near, holding a checked copy of source: named after near
// with a random part, created exclusively (never an existing file, never through a link, mode
// 0666 before umask), every write and the size checked, then synced. The caller renames it
// into its place or removes it. Its path; empty on failure, when *failure (if given) holds
// the text for the user, naming near, and no file is left.
QString saveNewCopy(QIODevice &source, const QString &near, QString *failure = nullptr);

// Makes a rename into path's folder durable: fsync of the folder. False with the text for the
// user when the system refuses.
bool syncFolderOf(const QString &path, QString *failure = nullptr);

#pragma once

#include <QSqlDatabase>
#include <QString>

// The two creation scripts: statements ended by ";", run part by part by runDbScript.
extern const QString resetScriptDaten;
extern const QString resetScriptSystem;

// Runs a script on the default connection, one ";"-separated part after the other; a part
// that fails is only logged.
void runDbScript(const QString &script);

// Adds the later Artikel columns where they are missing and the indexes the pages rely on.
// The main window's updateDb() runs this and then refreshes the last contract number.
void upgradeSchema();

// A missing or table-less database gets the full schema with default settings and price
// rules. A file holding any of the seven tables is left as it is. Returns true when it
// created the schema.
bool ensureSchema();

// Absolute path of "db.sqlite". Until fixDatabasePath() is called it follows the working
// directory; start-up fixes it once so every connection, the backup and the restore agree.
QString databasePath();
void fixDatabasePath();

// Opens (or reopens) Qt's default connection on databasePath().
QSqlDatabase openDatabase();

// The stored time-stamp form "yyyy-MM-dd hh:mm:ss.zzz".
extern const char *const kTimestampFormat;

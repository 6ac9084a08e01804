#pragma once

#include "app/waitcursor.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <memory>

class QSqlError;
class QWidget;

// The two creation scripts: statements ended by ";", run part by part by runDbScript.
extern const QString resetScriptDaten;
extern const QString resetScriptSystem;

// Runs a script, one ";"-separated part after the other; a part that fails is only logged.
void runDbScript(const QString &script, QSqlDatabase db = QSqlDatabase::database());

// The five tables of the shop's business data (what the reset recreates), and all seven.
extern const QStringList dataTables;
extern const QStringList allTables;

// How many of the given tables the database holds; -1 when it cannot be read as SQLite.
int tableCount(const QSqlDatabase &db, const QStringList &tables);

// "Table.column" for every column of the seven tables that the program reads and the database
// lacks (all of a missing table's); the columns the upgrade adds are not required.
QStringList missingColumns(const QSqlDatabase &db);

// Adds the later Artikel columns where they are missing and the indexes the pages rely on.
// The main window's updateDb() runs this and then refreshes the last contract number. One
// read tells what is missing, and only that is written: false, with the read's error, when
// the database cannot be read (another program's lock), and then nothing else is tried.
bool upgradeSchema(QSqlError *error = nullptr);
// The names of the indexes the upgrade makes, sorted.
QStringList indexNames();

// Creates whichever of the seven tables are missing (all of them in a new file), with the
// default settings and price rules of a created Systemdaten or Verkaufspreis, in one
// transaction; an existing table is never dropped or changed. False when the tables could not
// be completed: the failure has been shown as "SQL-Fehler" and nothing was created.
bool ensureSchema(QWidget *parent = nullptr);

// Absolute path of "db.sqlite". Until fixDatabasePath() is called it follows the working
// directory; start-up fixes it once so every connection, the backup and the restore agree.
QString databasePath();
void fixDatabasePath();

// Opens (or reopens) Qt's default connection on databasePath().
QSqlDatabase openDatabase();

// The same, and reads from the file (QSQLITE opens lazily): false, with the driver's reason,
// when the file is no database or cannot be opened. Writes nothing.
bool openDatabaseChecked(QString *reason);

// How long a statement waits for another program's lock before it fails: the driver's own
// wait, for the pages' work.
constexpr int kLockWaitMs = 5000;
// The wait of what the user only passes through (a page entry, the menu, closing, the backup's
// date): short, so that a lock that lasts costs seconds there, not minutes.
constexpr int kShortLockWaitMs = 2000;

// For its life, a connection's statements wait for another program's lock at most ms in all,
// under the wait cursor: once one has been refused for the lock, the rest fail at once instead
// of each waiting again. Then kLockWaitMs per statement again. A wait on the same connection
// inside another one is part of the outer one. While it lasts, the "SQL-Fehler" boxes about the
// lock are one (showSqlError).
class LockWait
{
public:
    LockWait(QSqlDatabase db, int ms);
    ~LockWait();
    LockWait(const LockWait &) = delete;
    LockWait &operator=(const LockWait &) = delete;

    // Whether a box about the lock is still to be shown: true once for the innermost wait that
    // lives (and always when none does), false after that.
    static bool firstLockBox();

private:
    struct State;
    WaitCursor m_cursor;
    std::unique_ptr<State> m_state; // none inside an outer wait on the same connection
    LockWait *m_outer = nullptr;
};

// The driver's answer for a database that another program holds (SQLite's busy or locked).
bool isLockError(const QSqlError &error);

// The text of a box about a failed statement: the driver's text, and for another program's lock
// first what it means and what to do, in the shop's words.
QString sqlErrorText(const QSqlError &error);
// Those words alone.
extern const QString kLockedText;

// A named connection of its own, for work on a database file while the default connection is
// closed or must not see it. Closed and removed when it goes out of scope, so every query on
// it has to be gone by then.
class ScopedConnection
{
public:
    explicit ScopedConnection(
        const QString &name, const QString &file = databasePath(), bool readOnly = false);
    ~ScopedConnection();
    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;
    QSqlDatabase db() const;

private:
    QString m_name;
};

// The stored time-stamp form "yyyy-MM-dd hh:mm:ss.zzz".
extern const char *const kTimestampFormat;
// Now, in that form.
QString currentTimestamp();

// A stored time stamp as its date and time of day ("yyyy-MM-dd", alone or followed by a blank
// or "T" and "hh:mm", "hh:mm:ss" or "hh:mm:ss.zzz"); false when the text holds none. Read apart,
// not as a local date-time: that asks the time-zone file once per row, and would move a time
// in the spring gap.
bool readTimestamp(const QString &stored, QDate *date, QTime *time);

// A contract runs while its Vertragsende is NULL, empty or -1 (an end the payout page has
// prepared, stored as number or as text); any time stamp has ended it.
bool contractRunning(const QVariant &vertragsende);

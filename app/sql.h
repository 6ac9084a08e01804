#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

class QDateTime;
class QSqlError;
class QWidget;

// Failure reporting on the default connection. Every helper here shows a failure itself, as
// the warning "SQL-Fehler" with the driver's error text, and tells its caller through its
// result, so that a page stops (or goes on knowingly) instead of working on with empty values:
//
//     QSqlQuery query;
//     query.prepare(QStringLiteral("SELECT ... WHERE ID = ?"));
//     query.addBindValue(id);
//     if (!execOrWarn(query, this))
//         return; // the box has been shown: the prepare's own error, or the exec's
//
//     bool ok = false;
//     const QString laufzeit = readSetting(QStringLiteral("Laufzeit"), this, nullptr, &ok);
//     if (!ok)
//         return; // the read failed (shown); a missing row is no failure

// The warning "SQL-Fehler" with the driver's error text (sqlErrorText: for another program's
// lock, what to do above it); inside a LockWait only the first about the lock.
void showSqlError(const QSqlError &error, QWidget *parent);

// Runs the query (prepared with bound values, or the given statement); a failure shows the
// warning "SQL-Fehler" with the driver's error text and returns false. For a query whose
// prepare() failed the prepare's own error (a missing table, a typo) is shown, not the later
// "Parameter count mismatch".
bool execOrWarn(QSqlQuery &query, QWidget *parent);
bool execOrWarn(QSqlQuery &query, const QString &statement, QWidget *parent);
// Prepares the statement, binds the values in order and runs it.
bool execOrWarn(
    QSqlQuery &query, const QString &statement, const QVariantList &values, QWidget *parent);

// The first Wert of a Systemdaten key; empty when the row is missing or the query failed.
// found: a row was there. ok: false only when the query failed (shown as "SQL-Fehler"), so
// that a caller can tell "not set" from "could not be read".
QString readSetting(
    const QString &name, QWidget *parent, bool *found = nullptr, bool *ok = nullptr);
// The same for settings whose failure means "not set" and shows nothing.
QString readSettingQuietly(const QString &name, bool *found = nullptr, bool *ok = nullptr);

// The ID the next INSERT into table will get. AUTOINCREMENT never gives a number twice, so
// after the newest row was deleted this is not MAX(ID) + 1. A failure shows "SQL-Fehler",
// sets ok to false and returns 0.
qint64 nextId(const QString &table, QWidget *parent, bool *ok = nullptr);

// Sales ("Verkauf") and returns ("Zurueckgegeben") are keyed by their time stamp
// "yyyy-MM-dd hh:mm:ss.zzz". The first such key at or after the moment that no row of the
// table holds: while a key is taken, the next millisecond. Rows written earlier in an open
// transaction count. A failed lookup shows "SQL-Fehler" and gives a null string.
QString freeTimestampKey(const QString &table, const QDateTime &moment, QWidget *parent);

// All-or-nothing writes: begin, then commit; a destroyed, uncommitted transaction rolls back.
// Each one is marked for the write observer from its begin to its commit or rollback.
class Transaction
{
public:
    explicit Transaction(QWidget *parent);
    ~Transaction();
    bool begin();
    // A failed COMMIT is shown and rolled back.
    bool commit();
    void rollback();
    bool active() const { return m_active; }

private:
    QWidget *m_parent;
    bool m_active = false;
};

// Told when an all-or-nothing write begins and when it has ended, committed or not, whether or
// not the database really runs it as a transaction: the crash test aims its kills with it. None
// by default.
using WriteObserver = void (*)(bool begins);
void setWriteObserver(WriteObserver observer);

// Marks a write that is no transaction but must be all or nothing too (a file put in place)
// for the observer, for the life of the mark.
class WriteMark
{
public:
    WriteMark();
    ~WriteMark();
    WriteMark(const WriteMark &) = delete;
    WriteMark &operator=(const WriteMark &) = delete;
};

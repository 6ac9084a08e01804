#pragma once

#include <QSqlQuery>
#include <QString>

class QDateTime;
class QWidget;

// Runs the query (prepared with bound values, or the given statement); a failure shows the
// warning "SQL-Fehler" with the driver's error text and returns false.
bool execOrWarn(QSqlQuery &query, QWidget *parent);
bool execOrWarn(QSqlQuery &query, const QString &statement, QWidget *parent);

// The first Wert of a Systemdaten key; empty when the row is missing or the query failed
// (a failure shows "SQL-Fehler"). found tells whether a row was there.
QString readSetting(const QString &name, QWidget *parent, bool *found = nullptr);
// The same for settings whose failure means "not set" and shows nothing.
QString readSettingQuietly(const QString &name, bool *found = nullptr);

// Sales ("Verkauf") and returns ("Zurueckgegeben") are keyed by their time stamp
// "yyyy-MM-dd hh:mm:ss.zzz". The first such key at or after the moment that no row of the
// table holds: while a key is taken, the next millisecond. Rows written earlier in an open
// transaction count. A failed lookup shows "SQL-Fehler" and gives a null string.
QString freeTimestampKey(const QString &table, const QDateTime &moment, QWidget *parent);

// All-or-nothing writes: begin, then commit; a destroyed, uncommitted transaction rolls back.
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

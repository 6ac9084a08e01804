#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

class QWidget;

// Runs the query (prepared with bound values, or the given statement); a failure shows the
// warning "SQL-Fehler" with the driver's error text and returns false.
bool execOrWarn(QSqlQuery &query, QWidget *parent);
bool execOrWarn(QSqlQuery &query, const QString &statement, QWidget *parent);
// Prepares the statement, binds the values in order and runs it; a failure at either step
// shows "SQL-Fehler" with the driver's text and returns false.
bool execOrWarn(
    QSqlQuery &query, const QString &statement, const QVariantList &values, QWidget *parent);

// The first Wert of a Systemdaten key; empty when the row is missing or the query failed
// (a failure shows "SQL-Fehler"). found tells whether a row was there.
QString readSetting(const QString &name, QWidget *parent, bool *found = nullptr);
// The same for settings whose failure means "not set" and shows nothing.
QString readSettingQuietly(const QString &name, bool *found = nullptr);

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

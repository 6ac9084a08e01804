#include "app/sql.h"

#include "app/dialogs.h"

#include <QSqlDatabase>
#include <QSqlError>

static void showSqlError(const QSqlError &error, QWidget *parent)
{
    Dialogs::warning(parent, QStringLiteral("SQL-Fehler"), error.text());
}

bool execOrWarn(QSqlQuery &query, QWidget *parent)
{
    if (query.exec())
        return true;
    showSqlError(query.lastError(), parent);
    return false;
}

bool execOrWarn(QSqlQuery &query, const QString &statement, QWidget *parent)
{
    if (query.exec(statement))
        return true;
    showSqlError(query.lastError(), parent);
    return false;
}

bool execOrWarn(
    QSqlQuery &query, const QString &statement, const QVariantList &values, QWidget *parent)
{
    // Without this check a failed prepare would be reported as a parameter count mismatch.
    if (!query.prepare(statement)) {
        showSqlError(query.lastError(), parent);
        return false;
    }
    for (const QVariant &value : values)
        query.addBindValue(value);
    return execOrWarn(query, parent);
}

static QString settingValue(const QString &name, bool warn, QWidget *parent, bool *found)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT Wert FROM Systemdaten WHERE Name = ?;"));
    query.addBindValue(name);
    const bool ok = (warn ? execOrWarn(query, parent) : query.exec()) && query.next();
    if (found)
        *found = ok;
    return ok ? query.value(0).toString() : QString();
}

QString readSetting(const QString &name, QWidget *parent, bool *found)
{
    return settingValue(name, true, parent, found);
}

QString readSettingQuietly(const QString &name, bool *found)
{
    return settingValue(name, false, nullptr, found);
}

Transaction::Transaction(QWidget *parent)
    : m_parent(parent)
{ }

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

bool Transaction::begin()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.transaction()) {
        showSqlError(db.lastError(), m_parent);
        return false;
    }
    m_active = true;
    return true;
}

bool Transaction::commit()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (db.commit()) {
        m_active = false;
        return true;
    }
    showSqlError(db.lastError(), m_parent);
    rollback();
    return false;
}

void Transaction::rollback()
{
    QSqlDatabase::database().rollback();
    m_active = false;
}

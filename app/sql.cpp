#include "app/sql.h"

#include "app/database.h"
#include "app/dialogs.h"

#include <QDateTime>
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

QString freeTimestampKey(const QString &table, const QDateTime &moment, QWidget *parent)
{
    Q_ASSERT(table == QLatin1String("Verkauf") || table == QLatin1String("Zurueckgegeben"));
    const QString format = QString::fromLatin1(kTimestampFormat);
    QDateTime candidate = moment;
    QString key = candidate.toString(format);
    // The taken keys from the moment on, in order: the first gap is free. One statement
    // however many bookings share a millisecond (a journal of one minute, imported at once).
    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT DateTime FROM %1 WHERE DateTime >= ? ORDER BY DateTime").arg(table));
    query.addBindValue(key);
    if (!execOrWarn(query, parent))
        return QString();
    while (query.next()) {
        const QString taken = query.value(0).toString();
        if (taken > key)
            break;
        if (taken == key) {
            candidate = candidate.addMSecs(1);
            key = candidate.toString(format);
        }
    }
    return key;
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

#include "app/sql.h"

#include "app/database.h"
#include "app/dialogs.h"

#include <QDateTime>
#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>

void showSqlError(const QSqlError &error, QWidget *parent)
{
    // Under a wait of its own, another program's lock is told once: the statements after it
    // meet the same lock.
    if (isLockError(error) && !LockWait::firstLockBox()) {
        qDebug().noquote() << error.text();
        return;
    }
    Dialogs::warning(parent, QStringLiteral("SQL-Fehler"), sqlErrorText(error));
}

bool execOrWarn(QSqlQuery &query, QWidget *parent)
{
    // prepare() clears the last error and a failed one leaves its own, which exec() would
    // replace by "Parameter count mismatch": the earlier error is the one worth showing.
    const QSqlError before = query.lastError();
    if (query.exec())
        return true;
    showSqlError(before.isValid() ? before : query.lastError(), parent);
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
    query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    return execOrWarn(query, parent);
}

static QString settingValue(const QString &name, bool warn, QWidget *parent, bool *found, bool *ok)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT Wert FROM Systemdaten WHERE Name = ?;"));
    query.addBindValue(name);
    const bool ran = warn ? execOrWarn(query, parent) : query.exec();
    const bool there = ran && query.next();
    if (found)
        *found = there;
    if (ok)
        *ok = ran;
    return there ? query.value(0).toString() : QString();
}

QString readSetting(const QString &name, QWidget *parent, bool *found, bool *ok)
{
    return settingValue(name, true, parent, found, ok);
}

QString readSettingQuietly(const QString &name, bool *found, bool *ok)
{
    return settingValue(name, false, nullptr, found, ok);
}

qint64 nextId(const QString &table, QWidget *parent, bool *ok)
{
    if (ok)
        *ok = false;
    // SQLite gives the larger of the highest ID ever given (sqlite_sequence, present once an
    // AUTOINCREMENT table exists) and the highest ID there is, plus one.
    QSqlQuery query;
    if (!execOrWarn(query,
            QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'sqlite_sequence'"),
            parent)
        || !query.next())
        return 0;
    const bool sequence = query.value(0).toInt() > 0;
    QString statement = QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM %1").arg(table);
    if (sequence)
        statement = QStringLiteral("SELECT MAX((%1), COALESCE((SELECT seq FROM sqlite_sequence "
                                   "WHERE name = '%2' COLLATE NOCASE), 0))")
                        .arg(statement, table);
    if (!execOrWarn(query, statement, parent) || !query.next())
        return 0;
    if (ok)
        *ok = true;
    return query.value(0).toLongLong() + 1;
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

static WriteObserver g_writeObserver = nullptr;

void setWriteObserver(WriteObserver observer)
{
    g_writeObserver = observer;
}

static void observeWrite(bool begins)
{
    if (g_writeObserver)
        g_writeObserver(begins);
}

WriteMark::WriteMark()
{
    observeWrite(true);
}

WriteMark::~WriteMark()
{
    observeWrite(false);
}

Transaction::Transaction(QWidget *parent)
    : m_parent(parent)
{ }

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

// The statements QSqlDatabase::transaction() and commit() run, through a query: their own
// errors lose SQLite's code, which tells another program's lock from the rest.
static bool runOnDefault(const char *statement, QSqlError *error = nullptr)
{
    QSqlQuery query;
    if (query.exec(QLatin1String(statement)))
        return true;
    if (error)
        *error = query.lastError();
    return false;
}

bool Transaction::begin()
{
    observeWrite(true);
    QSqlError error;
    if (!runOnDefault("BEGIN", &error)) {
        observeWrite(false);
        showSqlError(error, m_parent);
        return false;
    }
    m_active = true;
    return true;
}

bool Transaction::commit()
{
    QSqlError error;
    if (runOnDefault("COMMIT", &error)) {
        m_active = false;
        observeWrite(false);
        return true;
    }
    showSqlError(error, m_parent);
    rollback();
    return false;
}

void Transaction::rollback()
{
    runOnDefault("ROLLBACK");
    if (m_active)
        observeWrite(false);
    m_active = false;
}

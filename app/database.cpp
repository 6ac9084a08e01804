#include "app/database.h"

#include "app/sql.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <sqlite3.h>

#include <iterator>

const char *const kTimestampFormat = "yyyy-MM-dd hh:mm:ss.zzz";

QString currentTimestamp()
{
    return QDateTime::currentDateTime().toString(QLatin1String(kTimestampFormat));
}

bool contractRunning(const QVariant &vertragsende)
{
    const QString text = vertragsende.toString();
    bool number = false;
    return text.isEmpty() || (text.toLongLong(&number) == -1 && number);
}

bool readTimestamp(const QString &stored, QDate *date, QTime *time)
{
    const QDate d = QDate::fromString(stored.left(10), Qt::ISODate);
    if (!d.isValid())
        return false;
    QTime t(0, 0);
    if (stored.size() > 10) {
        if (stored.at(10) != QLatin1Char(' ') && stored.at(10) != QLatin1Char('T'))
            return false;
        t = QTime::fromString(stored.mid(11), Qt::ISODateWithMs);
        if (!t.isValid())
            return false;
    }
    *date = d;
    *time = t;
    return true;
}

const QString resetScriptDaten = QStringLiteral(
    "DROP TABLE Vertrag;"
    "DROP TABLE Artikel;"
    "DROP TABLE Kunde;"
    "DROP TABLE Verkauf;"
    "DROP TABLE Zurueckgegeben;"
    "CREATE TABLE Vertrag (ID INTEGER PRIMARY KEY AUTOINCREMENT, Kunde INTEGER, "
    "DateTime DATETIME, Standgebuehr REAL, Laufzeit INTEGER, Vertragsende DATETIME);"
    "CREATE TABLE Artikel (ID INTEGER PRIMARY KEY AUTOINCREMENT, Vertrag INTEGER, "
    "Bezeichnung TEXT, EinkaufsPreis REAL, VerkaufsPreis REAL, EinkaufsMenge INTEGER, "
    "EAN TEXT, ISBN TEXT, Images TEXT, Kategorie INTEGER);"
    "CREATE TABLE Kunde (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, Vorname TEXT, "
    "Telefon TEXT, PLZ TEXT, Ort TEXT, Strasse TEXT);"
    "CREATE TABLE Verkauf (DateTime DATETIME PRIMARY KEY, EinkaufsPreis REAL, "
    "VerkaufsPreis REAL, VerkaufsMenge INTEGER, Artikel INTEGER, Auszahldatum DATETIME);"
    "CREATE TABLE Zurueckgegeben (DateTime DATETIME PRIMARY KEY, Anzahl INTEGER, "
    "Artikel INTEGER);");

const QString resetScriptSystem = QStringLiteral(
    "DROP TABLE Systemdaten;"
    "DROP TABLE Verkaufspreis;"
    "CREATE TABLE Systemdaten (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, Wert TEXT);"
    "CREATE TABLE Verkaufspreis (ID INTEGER PRIMARY KEY AUTOINCREMENT, Einkaufspreis INTEGER, "
    "Operator TEXT, Wert REAL);"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Stadt', 'Musterhausen');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Laufzeit', '90');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Passwort', '');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('MasterPasswort', '');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('MaxStandgebuehr', '10');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Standgebuehr', '5');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('BackupDate', '');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('AnzahlVerkauf', '7');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Beschreibung', "
    "'Musterstraße 158 : 12345 Musterhausen');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('PfadBackup', 'e:');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Montag', '09 - 13 u. 14 - 17 Uhr');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Dienstag', '09 - 13 u. 14 - 17 Uhr');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Mittwoch', '09 - 13 Uhr');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Donnerstag', '09 - 13 u. 14 - 17 Uhr');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Freitag', '09 - 13 u. 14 - 17 Uhr');"
    "INSERT INTO Systemdaten (Name, Wert) VALUES ('Samstag', '10 - 12 Uhr');"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (0, '*', 2.5);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (1, '*', 2.2);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (5, '*', 2.1);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (20, '*', 2.0);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (30, '*', 1.8);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (50, '*', 1.6);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (80, '*', 1.4);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (100, '+', 70);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (150, '+', 80);"
    "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (200, '+', 100); ");

// The table a script part creates or fills (creates, if given, tells which); empty for the
// DROPs and the empty last part.
static QString tableOf(const QString &part, bool *creates = nullptr)
{
    static const QRegularExpression statement(
        QStringLiteral("^\\s*(CREATE TABLE|INSERT INTO) (\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = statement.match(part);
    if (creates)
        *creates = match.captured(1).startsWith(QLatin1String("CREATE"), Qt::CaseInsensitive);
    return match.captured(2);
}

// The tables a script creates, in its order: the scripts name every table once, and the lists
// below, ensureSchema and the backup page's checks all read them from there.
static QStringList tablesCreatedBy(const QString &script)
{
    QStringList tables;
    for (const QString &part : script.split(QLatin1Char(';'))) {
        bool creates = false;
        const QString table = tableOf(part, &creates);
        if (creates)
            tables << table;
    }
    return tables;
}

const QStringList dataTables = tablesCreatedBy(resetScriptDaten);
const QStringList allTables = dataTables + tablesCreatedBy(resetScriptSystem);

void runDbScript(const QString &script, QSqlDatabase db)
{
    const QStringList parts = script.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    for (const QString &part : parts) {
        QSqlQuery query(db);
        if (!query.exec(part))
            qDebug() << query.lastError().text();
    }
}

int tableCount(const QSqlDatabase &db, const QStringList &tables)
{
    QStringList marks;
    for (int i = 0; i < tables.size(); ++i)
        marks << QStringLiteral("lower(?)");
    QSqlQuery query(db);
    // SQLite compares table names without regard to case, and so does this.
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                                 "lower(name) IN (%1)")
                      .arg(marks.join(QStringLiteral(", "))));
    for (const QString &table : tables)
        query.addBindValue(table);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toInt();
}

namespace {

struct Index
{
    const char *name;
    const char *definition;
};

// Lookups by contract, article and customer must not scan ten years of rows; every index is
// also written by every INSERT into its table, so one index serves as many statements as it
// can. A sale's or a return's article is looked up through the wider indexes below that begin
// with it.
const Index kIndexes[] = {
    { "idx_Artikel_Vertrag", "Artikel(Vertrag)" },
    { "idx_Vertrag_Kunde", "Vertrag(Kunde)" },
    // The customer list is read in name order: without it all customers are sorted each time.
    { "idx_Kunde_Name", "Kunde(Name, Vorname)" },
    // The conclusion's look-up of a customer typed in again, in any letter case.
    { "idx_Kunde_Name_NoCase", "Kunde(Name COLLATE NOCASE, Vorname COLLATE NOCASE)" },
    // The cash purchases overview reads the one contract in ten bought for cash.
    { "idx_Vertrag_Laufzeit", "Vertrag(Laufzeit)" },
    // The statistics of a period: the contracts by their date.
    { "idx_Vertrag_DateTime", "Vertrag(DateTime)" },
    // The running contracts among ten years of them, for the unpaid shares of the statistics.
    { "idx_Vertrag_Vertragsende", "Vertrag(Vertragsende)" },
    // An article's sales and its pieces sold, from a narrow index: the cash purchases overview
    // asks for those of some 50,000 articles, which would take it 10 ms longer through the
    // wide one below.
    { "idx_Verkauf_Artikel_Menge", "Verkauf(Artikel, VerkaufsMenge)" },
    // Everything else summed over an article's sales reads them from this index alone, never
    // from sales rows scattered over ten years: the settlement of paid and unpaid shares, the
    // open amounts, the stock list's pieces sold before a day.
    { "idx_Verkauf_Summen",
        "Verkauf(Artikel, Auszahldatum, EinkaufsPreis, VerkaufsMenge, DateTime)" },
    // The payouts of a period. Without the unpaid sales, which a booking then does not write
    // and which no look-up of unpaid sales can mistake it for.
    { "idx_Verkauf_Ausgezahlt",
        "Verkauf(Auszahldatum, EinkaufsPreis, VerkaufsMenge) WHERE Auszahldatum IS NOT NULL" },
    // The unpaid shares of the running contracts, walked from their articles: a small index
    // that the statistics read on every calculation.
    { "idx_Verkauf_Unbezahlt",
        "Verkauf(Artikel, DateTime, EinkaufsPreis, VerkaufsMenge, Auszahldatum) "
        "WHERE Auszahldatum IS NULL AND EinkaufsPreis <> 0" },
    // An article's returns, with all that is summed of them: few rows, rarely written.
    { "idx_Zurueckgegeben_Bestand", "Zurueckgegeben(Artikel, DateTime, Anzahl)" },
};

// Indexes of earlier versions that the ones above replace: a database upgraded from one of
// them carries, and writes on every sale, no more than a new one.
const char *const kReplacedIndexes[] = {
    "idx_Verkauf_Abrechnung", "idx_Verkauf_Auszahldatum", "idx_Verkauf_Bestand",
    "idx_Verkauf_Artikel", // idx_Verkauf_Artikel_Menge begins with the same column
    "idx_Zurueckgegeben_Artikel", // and idx_Zurueckgegeben_Bestand
};

// The article columns of later versions: the upgrade adds them where they are missing, so an
// older database without them is still the shop's.
struct AddedColumn
{
    const char *table;
    const char *column;
    const char *definition;
};
const AddedColumn kAddedColumns[] = {
    { "Artikel", "EAN", "TEXT DEFAULT ''" },
    { "Artikel", "ISBN", "TEXT DEFAULT ''" },
    { "Artikel", "Images", "TEXT DEFAULT ''" },
    { "Artikel", "Kategorie", "INTEGER DEFAULT ''" },
    { "Artikel", "Beschreibung", "TEXT DEFAULT ''" },
};

} // namespace

// The SQLite connection under Qt's driver, which uses the system's library as we do.
static sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool upgradeSchema(QSqlError *error)
{
    // Every return to the menu runs this: one read, and writes only for what is missing, so
    // that under another program's lock the menu waits once and not once per statement.
    QSqlQuery query;
    if (!query.exec(QStringLiteral(
            "SELECT 'index', lower(name) FROM sqlite_master WHERE type = 'index' "
            "UNION ALL SELECT 'column', lower(name) FROM pragma_table_info('Artikel')"))) {
        if (error)
            *error = query.lastError();
        return false;
    }
    QSet<QString> indexes, columns;
    while (query.next())
        (query.value(0).toString() == QLatin1String("index") ? indexes : columns)
            .insert(query.value(1).toString());
    query.finish();
    const auto present = [](const QSet<QString> &names, const char *name) {
        return names.contains(QString::fromLatin1(name).toLower());
    };

    QStringList writes;
    for (const AddedColumn &added : kAddedColumns) {
        if (!present(columns, added.column))
            writes << QStringLiteral("ALTER TABLE %1 ADD %2 %3;")
                          .arg(QLatin1String(added.table), QLatin1String(added.column),
                              QLatin1String(added.definition));
    }
    for (const char *name : kReplacedIndexes) {
        if (present(indexes, name))
            writes << QStringLiteral("DROP INDEX IF EXISTS %1").arg(QLatin1String(name));
    }
    for (const Index &index : kIndexes) {
        if (!present(indexes, index.name))
            writes << QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2")
                          .arg(QLatin1String(index.name), QLatin1String(index.definition));
    }
    if (writes.isEmpty())
        return true;
    // The write lock first and once: a program that holds it costs one wait, not one per
    // statement. Refused, the menu still shows what it reads; the next return tries again.
    // Inside a transaction of the caller's the writes are part of it.
    sqlite3 *handle = handleOf(QSqlDatabase::database());
    const bool own = !handle || sqlite3_get_autocommit(handle);
    if (own && !query.exec(QStringLiteral("BEGIN IMMEDIATE;"))) {
        qDebug().noquote() << "Schema-Upgrade verschoben:" << query.lastError().text();
        return true;
    }
    for (const QString &statement : qAsConst(writes)) {
        // fails alone where Artikel is missing
        if (!query.exec(statement))
            qDebug().noquote() << statement << query.lastError().text();
    }
    if (own && !query.exec(QStringLiteral("COMMIT;"))) {
        qDebug().noquote() << "Schema-Upgrade verschoben:" << query.lastError().text();
        query.exec(QStringLiteral("ROLLBACK;"));
    }
    return true;
}

QStringList indexNames()
{
    QStringList names;
    for (const Index &index : kIndexes)
        names << QLatin1String(index.name);
    names.sort();
    return names;
}

// The scripts are the one description of the tables and their defaults: their CREATE and
// INSERT parts for every table not present (lower-case names), never their DROPs.
static QStringList creatingParts(const QSet<QString> &present)
{
    QStringList statements;
    for (const QString &script : { resetScriptDaten, resetScriptSystem }) {
        for (const QString &part : script.split(QLatin1Char(';'))) {
            const QString table = tableOf(part);
            if (!table.isEmpty() && !present.contains(table.toLower()))
                statements << part;
        }
    }
    return statements;
}

// A table's column names, lower-case; none when it is missing or the file cannot be read.
static QSet<QString> columnsOf(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT lower(name) FROM pragma_table_info(?)"));
    query.addBindValue(table);
    QSet<QString> columns;
    if (query.exec()) {
        while (query.next())
            columns.insert(query.value(0).toString());
    }
    return columns;
}

QStringList missingColumns(const QSqlDatabase &db)
{
    // A fresh schema, made in memory by the same statements as a first start's.
    ScopedConnection fresh(QStringLiteral("fresh-schema"), QStringLiteral(":memory:"));
    for (const QString &statement : creatingParts({}))
        QSqlQuery(fresh.db()).exec(statement);
    QSqlQuery tables(fresh.db());
    tables.exec(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"));
    QStringList missing;
    while (tables.next()) {
        const QString table = tables.value(0).toString();
        QSet<QString> required = columnsOf(fresh.db(), table);
        for (const AddedColumn &added : kAddedColumns) {
            if (table == QLatin1String(added.table))
                required.remove(QString::fromLatin1(added.column).toLower());
        }
        required.subtract(columnsOf(db, table));
        QStringList names = required.values();
        names.sort();
        for (const QString &column : qAsConst(names))
            missing << table + QLatin1Char('.') + column;
    }
    return missing;
}

bool ensureSchema(QWidget *parent)
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isOpen())
        return false;
    QSqlQuery query(db);
    if (!execOrWarn(query,
            QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'table'"), parent))
        return false;
    QSet<QString> present;
    while (query.next())
        present.insert(query.value(0).toString());
    query.finish();

    const QStringList statements = creatingParts(present);
    if (statements.isEmpty())
        return true;

    // All of it or nothing: a first start cut off half-way must not leave a file that the
    // next start takes for a complete database.
    Transaction transaction(parent);
    if (!transaction.begin())
        return false;
    for (const QString &statement : qAsConst(statements)) {
        if (!execOrWarn(query, statement, parent))
            return false;
    }
    if (!transaction.commit())
        return false;
    upgradeSchema();
    return true;
}

static QString g_fixedPath;

QString databasePath()
{
    if (!g_fixedPath.isEmpty())
        return g_fixedPath;
    return QDir::current().absoluteFilePath(QStringLiteral("db.sqlite"));
}

void fixDatabasePath()
{
    g_fixedPath = QDir::current().absoluteFilePath(QStringLiteral("db.sqlite"));
}

// The journal mode is stored in the file, and a database tool may have switched it to WAL:
// our commits would then go to db.sqlite-wal, beside the file that backups copy. Back to the
// rollback journal the program was made for; while another program holds the file this is
// refused at once, without waiting for it, and the backup writes the log back before its copy.
static void leaveWal(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("PRAGMA busy_timeout = 0;"));
    if (query.exec(QStringLiteral("PRAGMA journal_mode;")) && query.next()
        && query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0
        && !query.exec(QStringLiteral("PRAGMA journal_mode = DELETE;")))
        qDebug().noquote() << "WAL-Modus bleibt:" << query.lastError().text();
    query.exec(QStringLiteral("PRAGMA busy_timeout = %1;").arg(kLockWaitMs));
}

QSqlDatabase openDatabase()
{
    QSqlDatabase db = QSqlDatabase::contains(QSqlDatabase::defaultConnection)
        ? QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    if (db.databaseName() != databasePath()) {
        db.close();
        db.setDatabaseName(databasePath());
    }
    if (!db.isOpen() && db.open())
        leaveWal(db);
    return db;
}

const QString kLockedText
    = QStringLiteral("Ein anderes Programm greift gerade auf die Datenbank zu.\n"
                     "Bitte schließen Sie das andere Programm und versuchen Sie es dann erneut.");

bool isLockError(const QSqlError &error)
{
    // SQLITE_BUSY and SQLITE_LOCKED, with their extended codes.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 5 || code == 6;
}

QString sqlErrorText(const QSqlError &error)
{
    if (isLockError(error))
        return kLockedText + QStringLiteral("\n\n") + error.text();
    return error.text();
}

struct LockWait::State
{
    QSqlDatabase db;
    sqlite3 *handle;
    int budgetMs;
    qint64 waitedMs = 0;
    int waits = 0; // statements that waited for the lock
    int refused = 0; // statements the lock refused
    bool told = false;

    // SQLite's busy handler: count is how often this statement has been told busy before.
    static int onBusy(void *self, int count)
    {
        State &state = *static_cast<State *>(self);
        const qint64 left = state.budgetMs - state.waitedMs;
        if (left <= 0) {
            ++state.refused;
            return 0;
        }
        if (count == 0)
            ++state.waits;
        // Short steps at first, as SQLite's own wait takes them: a lock that ends soon costs
        // little.
        static const int steps[] = { 1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100 };
        const int step = int(qMin<qint64>(left, steps[qMin<int>(count, std::size(steps) - 1)]));
        QElapsedTimer slept;
        slept.start();
        sqlite3_sleep(step);
        state.waitedMs += qMax<qint64>(step, slept.elapsed());
        return 1;
    }
};

static LockWait *g_innermostWait = nullptr;

LockWait::LockWait(QSqlDatabase db, int ms)
    : m_outer(g_innermostWait)
{
    g_innermostWait = this;
    for (LockWait *outer = m_outer; outer; outer = outer->m_outer) {
        if (outer->m_state && outer->m_state->db.connectionName() == db.connectionName())
            return; // its wait is ours
    }
    sqlite3 *handle = handleOf(db);
    if (!handle)
        return;
    m_state.reset(new State { db, handle, ms });
    sqlite3_busy_handler(handle, &State::onBusy, m_state.get());
}

LockWait::~LockWait()
{
    g_innermostWait = m_outer;
    if (!m_state)
        return;
    // The connection may have been closed meanwhile (the backup page's entry closes it).
    if (handleOf(m_state->db) == m_state->handle)
        sqlite3_busy_timeout(m_state->handle, kLockWaitMs);
    if (m_state->waits > 0 || m_state->refused > 0)
        qDebug().noquote() << QStringLiteral("Gesperrt von einem anderen Programm: %1 ms "
                                             "gewartet, in %2 Anweisung(en); %3 abgewiesen")
                                  .arg(m_state->waitedMs)
                                  .arg(m_state->waits)
                                  .arg(m_state->refused);
}

bool LockWait::firstLockBox()
{
    for (LockWait *wait = g_innermostWait; wait; wait = wait->m_outer) {
        if (wait->m_state) {
            if (wait->m_state->told)
                return false;
            wait->m_state->told = true;
            return true;
        }
    }
    return true;
}

bool openDatabaseChecked(QString *reason)
{
    QSqlDatabase db = openDatabase();
    if (!db.isOpen()) {
        *reason = db.lastError().text();
        return false;
    }
    // SQLite reads the file only when a statement needs it.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"))) {
        *reason = probe.lastError().text();
        return false;
    }
    return true;
}

ScopedConnection::ScopedConnection(const QString &name, const QString &file, bool readOnly)
    : m_name(name)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file);
    if (readOnly)
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    db.open();
}

ScopedConnection::~ScopedConnection()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase ScopedConnection::db() const
{
    return QSqlDatabase::database(m_name, false);
}

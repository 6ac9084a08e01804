#include "admin/backup.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/paths.h"
#include "app/savefile.h"
#include "app/sql.h"
#include "app/waitcursor.h"
#include "ui_backup.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const QString kFehler = QStringLiteral("Fehler");
const QString kNichtGesichert = QStringLiteral("Daten wurden nicht gesichert.");

// The copy replaces an older file of the target's name only once it is complete and on disk.
bool copyFileSafely(const QString &from, const QString &to)
{
    QString failure;
    if (saveFileCopy(from, to, &failure))
        return true;
    qDebug().noquote() << failure;
    return false;
}

std::function<void(const QString &)> g_copyObserver;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// rename() puts the file in the target's place in one step; QFile::rename would refuse an
// existing target.
bool renameOver(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// What SQLite keeps beside a database file: its journal, its log and the log's index. Beside a
// file that is about to be written they belong to another file (or to a program killed while
// it had that name open), and SQLite would play them into the new one when it opens it.
bool removeLeftovers(const QString &file, QString *failure)
{
    for (const char *suffix : { "-journal", "-wal", "-shm" }) {
        const QString leftover = file + QLatin1String(suffix);
        if (::unlink(QFile::encodeName(leftover).constData()) == 0 || errno == ENOENT)
            continue;
        const int error = errno;
        *failure = QStringLiteral("Die Datei %1 konnte nicht entfernt werden:\n%2")
                       .arg(QDir::toNativeSeparators(leftover), systemReason(error));
        return false;
    }
    return true;
}

// SQLite's answers for a file that is damaged or no database at all.
bool isDamage(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("11") || code == QLatin1String("26");
}

// The first finding of quick_check, "ok" for a sound file: it reads every page as SQLite
// would, so damage shows here, not on the day the file is needed.
QString quickCheck(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check;")) || !query.next())
        return query.lastError().text();
    return query.value(0).toString();
}

bool passesQuickCheck(const QSqlDatabase &db)
{
    return quickCheck(db) == QLatin1String("ok");
}

// A file left in WAL mode by another tool keeps its newest commits in db.sqlite-wal, which a
// copy of db.sqlite alone would miss: they are written back first. A reader of another
// program on an older state keeps them there, and no backup is made.
bool walWrittenBack(const QSqlDatabase &db, QString *failure, bool *damaged, bool *wal)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode;")) || !query.next()) {
        *failure = query.lastError().text();
        *damaged = isDamage(query.lastError());
        return false;
    }
    *wal = query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    if (!*wal)
        return true;
    // One row: busy, frames in the log, frames written back.
    if (!query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE);")) || !query.next()) {
        *failure = query.lastError().text();
        return false;
    }
    if (query.value(0).toInt() == 0)
        return true;
    *failure = QStringLiteral("Das Protokoll %1 konnte nicht in die Datenbank zurückgeschrieben "
                              "werden: ein anderes Programm liest sie noch.")
                   .arg(QDir::toNativeSeparators(databasePath() + QStringLiteral("-wal")));
    return false;
}

// A copy of a file in WAL mode would open in WAL mode too and leave -wal and -shm files
// beside it wherever it is read: the file header makes it a rollback-journal database.
bool toRollbackJournal(const QString &file, QString *failure)
{
    QFile copy(file);
    if (copy.open(QIODevice::ReadWrite) && copy.seek(18) && copy.write("\x01\x01", 2) == 2
        && copy.flush() && ::fsync(copy.handle()) == 0)
        return true;
    *failure = QStringLiteral("Die Datei %1 konnte nicht geschrieben werden:\n%2")
                   .arg(QDir::toNativeSeparators(file), copy.errorString());
    return false;
}

// Copies the live database as its last commit left it and checks the copy. While our read
// transaction lasts no other program can commit into the file; one that already holds it, its
// changes half written into it, keeps us from reading, and after the driver's usual busy wait
// nothing is copied. A copy that fails its check is compared with the live file under the same
// transaction, so a lock can never pass for damage: damaged only when SQLite finds the live
// file damaged too.
bool copyCommitted(const QString &to, QString *failure, bool *damaged)
{
    ScopedConnection reader(QStringLiteral("backup"));
    QSqlDatabase db = reader.db();
    bool wal = false;
    if (!walWrittenBack(db, failure, damaged, &wal))
        return false;
    if (!db.transaction()) {
        *failure = db.lastError().text();
        *damaged = isDamage(db.lastError());
        return false;
    }
    QSqlQuery live(db);
    if (!live.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master;"))) {
        *failure = live.lastError().text();
        *damaged = isDamage(live.lastError());
        db.rollback();
        return false;
    }
    live.finish();
    // A commit into the log between its write-back and our transaction is not in the file.
    if (wal && QFileInfo(databasePath() + QStringLiteral("-wal")).size() > 0) {
        *failure = QStringLiteral("Ein anderes Programm schreibt gerade in die Datenbank.");
        db.rollback();
        return false;
    }
    // POSIX locks belong to the process: closing any descriptor of the file drops SQLite's
    // lock with it. The one we read through stays open until the transaction has ended.
    QFile source(databasePath());
    source.open(QIODevice::ReadOnly); // one that did not open is reported by the copy
    bool copied = saveFileCopy(source, to, failure) && (!wal || toRollbackJournal(to, failure));
    if (copied && g_copyObserver)
        g_copyObserver(to);
    if (copied) {
        ScopedConnection check(QStringLiteral("backup-check"), to, true);
        // Its first findings only: a damaged file may have thousands.
        const QString found = quickCheck(check.db()).section(QLatin1Char('\n'), 0, 2);
        if (found != QLatin1String("ok")) {
            copied = false;
            const bool checked = live.exec(QStringLiteral("PRAGMA quick_check;")) && live.next();
            *damaged = checked ? live.value(0).toString() != QLatin1String("ok")
                               : isDamage(live.lastError());
            *failure = *damaged ? QStringLiteral("Die Datenbank ist beschädigt:\n") + found
                                : QStringLiteral("Die Kopie %1 ist fehlerhaft:\n%2")
                                      .arg(QDir::toNativeSeparators(to), found);
            live.finish();
        }
    }
    db.rollback();
    source.close();
    return copied;
}

using Outcome = Backup::Outcome;

// A backup is a sound copy of committed data, or it is not made: the copy is checked beside
// the target before it replaces an older backup of that name. Damaged: the live database
// itself fails the check, so no sound copy of it can be made.
Outcome writeBackup(const QString &target, QString *failure)
{
    const QString copy = target + QStringLiteral(".tmp");
    if (!removeLeftovers(copy, failure)) {
        qDebug().noquote() << *failure;
        return Outcome::NotSaved;
    }
    bool damaged = false;
    if (!copyCommitted(copy, failure, &damaged)) {
        QFile::remove(copy);
        // The user chose the target; the file beside it is only ours.
        failure->replace(QDir::toNativeSeparators(copy), QDir::toNativeSeparators(target));
        qDebug().noquote() << *failure;
        return damaged ? Outcome::Damaged : Outcome::NotSaved;
    }
    bool replaced = removeLeftovers(target, failure);
    if (replaced && !renameOver(copy, target)) {
        const int error = errno;
        replaced = false;
        *failure = QStringLiteral("Die Datei %1 konnte nicht geschrieben werden:\n%2")
                       .arg(QDir::toNativeSeparators(target), systemReason(error));
    }
    if (replaced)
        return Outcome::Saved;
    QFile::remove(copy);
    qDebug().noquote() << *failure;
    return Outcome::NotSaved;
}

bool isLiveDatabase(const QString &file)
{
    const QString canonical = QFileInfo(file).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(databasePath()).canonicalFilePath();
}

// A restore candidate must be an SQLite database with every table and column the program
// reads (another program's database may use the same table names), and readable throughout:
// a damaged file still lists its tables.
bool isShopDatabase(const QString &file)
{
    ScopedConnection check(QStringLiteral("restore-check"), file, true);
    if (tableCount(check.db(), allTables) != allTables.size())
        return false;
    const QStringList missing = missingColumns(check.db());
    if (!missing.isEmpty()) {
        qDebug().noquote() << "missing columns:" << missing.join(QStringLiteral(", "));
        return false;
    }
    return passesQuickCheck(check.db());
}

// Puts the checked copy in place of the live file. A journal left beside the old file
// belongs to the old file: SQLite would play it back into the new one.
bool replaceDatabase(const QString &candidate)
{
    const QString live = databasePath();
    const WriteMark replacing; // the old file or the new one, never a mixture
    QString failure;
    if (removeLeftovers(live, &failure))
        return renameOver(candidate, live);
    qDebug().noquote() << failure;
    return false;
}

// Runs the reset script on a connection of its own, all or nothing: it counts only when
// the five tables exist again and are empty.
bool recreateDataTables()
{
    ScopedConnection connection(QStringLiteral("234"));
    QSqlDatabase db = connection.db();
    if (!db.transaction()) {
        qDebug() << db.lastError().text();
        return false;
    }
    runDbScript(resetScriptDaten, db);
    bool empty = tableCount(db, dataTables) == dataTables.size();
    for (const QString &table : dataTables) {
        if (!empty)
            break;
        QSqlQuery query(db);
        empty = query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) && query.next()
            && query.value(0).toLongLong() == 0;
    }
    if (empty && db.commit())
        return true;
    qDebug() << db.lastError().text();
    db.rollback();
    return false;
}

} // namespace

Backup::Backup(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Backup)
{
    ui->setupUi(this);
    // The button's clicked(bool) carries "checked", which is not the menu flag.
    connect(ui->pushButtonSichern, &QPushButton::clicked, this, [this] { sichern(true); });
    connect(ui->pushButtonWiederherstellen, &QPushButton::clicked, this, &Backup::wiederherstellen);
    connect(ui->label_16, &MenuLabel::clicked, this, &Backup::openMenuSlot);
    connect(ui->pushButton, &QPushButton::clicked, this, &Backup::resetDb);
    // Another program's lock may last; the page must not wait for it meanwhile.
    putBackTimer.setInterval(2000);
    connect(&putBackTimer, &QTimer::timeout, this, &Backup::retryPutBack);
}

void Backup::setCopyObserver(std::function<void(const QString &)> observer)
{
    g_copyObserver = std::move(observer);
}

Backup::~Backup()
{
    delete ui;
}

void Backup::refreshPage()
{
    // ID is the row id and never NULL: COUNT(*) gives the same and may count a small index
    // instead of reading every row.
    const struct
    {
        const char *sql;
        QLabel *label;
    } counts[] = {
        { "SELECT COUNT(*) FROM Vertrag;", ui->label_vertrage },
        { "SELECT COUNT(*) FROM Kunde;", ui->label_kunden },
        { "SELECT COUNT(*) FROM Artikel;", ui->label_artikel },
    };
    for (const auto &count : counts) {
        QSqlQuery query;
        if (execOrWarn(query, QLatin1String(count.sql), this) && query.next())
            count.label->setText(query.value(0).toString());
    }
    bool found = false;
    const QString stored
        = readSetting(QStringLiteral("MasterPasswort"), this, &found, &masterPasswortRead);
    if (found)
        masterPasswort = stored;
}

void Backup::openMenuSlot()
{
    emit openMenu();
}

QString Backup::folder() const
{
    if (!pfadBackup.isEmpty() && QDir(pfadBackup).exists())
        return pfadBackup;
    return QDir::homePath();
}

bool Backup::writeBackupDate(
    const BackupDate &value, BackupDate *previous, QSqlError *error, bool quiet, bool wait)
{
    ScopedConnection connection(QStringLiteral("123"));
    QSqlQuery query(connection.db());
    if (!wait)
        query.exec(QStringLiteral("PRAGMA busy_timeout = 0;"));
    const auto run = [&](const QString &statement, const QVariantList &values) {
        bool ok = false;
        if (quiet) {
            ok = query.prepare(statement);
            for (const QVariant &v : values)
                query.addBindValue(v);
            ok = ok && query.exec();
            if (!ok)
                qDebug().noquote() << query.lastError().text();
        } else {
            ok = execOrWarn(query, statement, values, this);
        }
        if (!ok && error)
            *error = query.lastError();
        return ok;
    };
    if (previous) {
        if (!run(QStringLiteral("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate';"), {}))
            return false;
        previous->present = query.next();
        previous->value = previous->present ? query.value(0).toString() : QString();
    }
    if (!value.present)
        return run(QStringLiteral("DELETE FROM Systemdaten WHERE Name = 'BackupDate';"), {});
    if (!run(QStringLiteral("UPDATE Systemdaten SET Wert = ? WHERE Name = 'BackupDate';"),
            { value.value }))
        return false;
    return query.numRowsAffected() > 0
        || run(QStringLiteral("INSERT INTO Systemdaten (Name, Wert) VALUES ('BackupDate', ?);"),
            { value.value });
}

void Backup::putBack(const BackupDate &previous, bool quiet)
{
    if (writeBackupDate(previous, nullptr, nullptr, quiet))
        return;
    dateToPutBack = previous;
    putBackPending = true;
    putBackTimer.start();
}

void Backup::retryPutBack()
{
    if (putBackPending && writeBackupDate(dateToPutBack, nullptr, nullptr, true, false)) {
        putBackPending = false;
        putBackTimer.stop();
    }
}

bool Backup::unwrittenBackupDate(QString *date)
{
    retryPutBack();
    if (putBackPending)
        *date = dateToPutBack.value;
    return putBackPending;
}

bool Backup::sichern(bool menu)
{
    return backup(menu) == Outcome::Saved;
}

Backup::Outcome Backup::backup(bool menu)
{
    // The date goes in first, so the copy carries it; it is taken back if no copy comes of it.
    // Without it (the database locked or unreadable) there is no backup either: the failure
    // has been shown. Another program holding the database makes this write wait.
    BackupDate previous;
    QSqlError dateError;
    {
        // A date still to be put back after an earlier failure is this backup's to take back.
        putBackTimer.stop();
        const WaitCursor wait;
        if (!writeBackupDate({ true, QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")) },
                &previous, &dateError)) {
            if (putBackPending)
                putBackTimer.start();
            return isDamage(dateError) ? Outcome::Damaged : Outcome::NotSaved;
        }
        if (putBackPending)
            previous = dateToPutBack;
        putBackPending = false;
    }

    const QString proposed = joinPath(folder(),
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"))
            + QStringLiteral("_Velarix_Backup.sqlite"));
    const QString target
        = Dialogs::getSaveFileName(this, tr("Daten sichern"), proposed, tr("Database (*.sqlite)"));
    if (target.isEmpty()) {
        putBack(previous, false);
        return Outcome::NotSaved;
    }

    const WaitCursor wait;
    qDebug().noquote() << target;
    qDebug().noquote() << databasePath();
    // Never over the live file: the copy would replace what it is copying.
    QString failure;
    const Outcome outcome
        = isLiveDatabase(target) ? Outcome::NotSaved : writeBackup(target, &failure);
    if (outcome == Outcome::Saved) {
        Dialogs::information(
            this, QStringLiteral("Erfolg"), QStringLiteral("Daten wurden erfolgreich gesichert."));
    } else {
        // The reason (a full disk, a missing folder, a lock, a damaged database) tells the
        // user what to change.
        Dialogs::critical(this, kFehler,
            failure.isEmpty() ? kNichtGesichert : kNichtGesichert + QLatin1Char('\n') + failure);
        // One failure, one box: the same lock may fail this write too.
        putBack(previous, true);
    }
    if (menu)
        emit openMenu();
    return outcome;
}

bool Backup::masterPasswordAccepted()
{
    // A password that could not be read keeps restore and reset closed.
    if (!masterPasswortRead)
        return false;
    bool ok = false;
    const QString entered = Dialogs::getText(this, QStringLiteral("MasterPasswort"),
        QStringLiteral("Bitte geben Sie das MasterPasswort ein, um fortzufahren:"),
        QLineEdit::Password, QString(), &ok);
    return ok && entered == masterPasswort;
}

void Backup::wiederherstellen()
{
    const Outcome saved = backup(false);
    // A damaged database is what a restore is for; as no backup of it can be made, it is
    // replaced only when the user says so.
    if (saved == Outcome::Damaged) {
        if (Dialogs::question(this, QStringLiteral("Warnung"),
                QStringLiteral("Die Datenbank ist beschädigt und konnte nicht gesichert werden.\n"
                               "Trotzdem wiederherstellen?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
            return;
    } else if (saved != Outcome::Saved) {
        return;
    }
    if (!masterPasswordAccepted())
        return;
    const QString source = Dialogs::getOpenFileName(
        this, tr("Daten wiederherstellen"), folder(), tr("Database (*.sqlite)"));
    if (source.isEmpty())
        return;

    const WaitCursor wait;

    // The live file stays until a checked copy of the backup stands beside it.
    const QString candidate = databasePath() + QStringLiteral(".restore");
    const bool restored = !isLiveDatabase(source) && copyFileSafely(source, candidate)
        && isShopDatabase(candidate) && replaceDatabase(candidate);
    if (!restored) {
        QFile::remove(candidate);
        Dialogs::critical(this, kFehler, QStringLiteral("Daten wurden nicht wiederhergestellt."));
        return;
    }
    // The restored file carries the date of its own backup.
    putBackPending = false;
    putBackTimer.stop();
    emit openMenu();
}

void Backup::resetDb()
{
    if (!masterPasswordAccepted())
        return;
    if (!sichern(true)) {
        Dialogs::warning(this, kFehler, kNichtGesichert + QStringLiteral("\nVorgang abgebrochen."));
        return;
    }
    // The menu is shown by now and its connection open again; the script runs on its own.
    if (recreateDataTables())
        Dialogs::information(
            this, QStringLiteral("Erfolg"), QStringLiteral("Daten wurden erfolgreich gelöscht."));
    else
        Dialogs::critical(
            this, kFehler, QStringLiteral("Daten wurden nicht vollständig gelöscht."));
    emit openMenu();
}

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

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const QString kFehler = QStringLiteral("Fehler");
const QString kNichtGesichert = QStringLiteral("Daten wurden nicht gesichert.");
const QString kNichtWiederhergestellt = QStringLiteral("Daten wurden nicht wiederhergestellt.");
const QString kPasswortUnlesbar = QStringLiteral("Das MasterPasswort konnte nicht gelesen werden.");
QString today()
{
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}

// SQLite's answers for a file that is damaged or no database at all (SQLITE_CORRUPT and
// SQLITE_NOTADB, with their extended codes).
bool isDamage(const QSqlError &error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 11 || code == 26;
}

// Why a step failed, for the one box of the failure.
struct Failure
{
    QString reason;
    bool damaged = false; // the live database itself
    bool locked = false; // held by another program

    void set(const QSqlError &error)
    {
        reason = error.text();
        damaged = isDamage(error);
        locked = isLockError(error);
    }
    // The box's text below its first line.
    QString boxText(const QString &first) const
    {
        if (locked)
            return first + QLatin1Char('\n') + kLockedText + QStringLiteral("\n\n") + reason;
        return reason.isEmpty() ? first : first + QLatin1Char('\n') + reason;
    }
};

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

const char *const kCompanions[] = { "-journal", "-wal", "-shm" };

// What SQLite keeps beside a database file: its journal, its log and the log's index. Beside a
// file that is about to be written they belong to another file (or to a program killed while
// it had that name open), and SQLite would play them into the new one when it opens it.
bool removeLeftovers(const QString &file, Failure *failure)
{
    for (const char *suffix : kCompanions) {
        const QString leftover = file + QLatin1String(suffix);
        if (::unlink(QFile::encodeName(leftover).constData()) == 0 || errno == ENOENT)
            continue;
        const int error = errno;
        failure->reason = QStringLiteral("Die Datei %1 konnte nicht entfernt werden:\n%2")
                              .arg(QDir::toNativeSeparators(leftover), systemReason(error));
        return false;
    }
    return true;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool statOf(const QString &path, struct stat *info)
{
    return ::stat(QFile::encodeName(path).constData(), info) == 0;
}

enum class LiveFile { No, Itself, Companion };

// Whether a path names the live database or one of its companions, whatever its spelling: a
// file is known by its device and inode (another link to it, another path to its folder, a
// second mount of that folder), a name not yet taken by its folder's identity and the name.
// SQLite finds the companions by name beside the file: a backup written as one of them would
// be taken for the live file's journal or log, and its leftovers removed would be the live
// ones. Names are compared without regard to case, as Windows and a FAT stick compare them.
LiveFile liveFileAt(const QString &path)
{
    const QFileInfo live(databasePath());
    struct stat target, other;
    if (statOf(path, &target)) {
        if (statOf(live.filePath(), &other) && sameFile(target, other))
            return LiveFile::Itself;
        for (const char *suffix : kCompanions) {
            if (statOf(live.filePath() + QLatin1String(suffix), &other) && sameFile(target, other))
                return LiveFile::Companion;
        }
    }
    const QFileInfo info(path);
    struct stat folder, liveFolder;
    if (!statOf(info.absolutePath(), &folder) || !statOf(live.absolutePath(), &liveFolder)
        || !sameFile(folder, liveFolder))
        return LiveFile::No;
    if (info.fileName().compare(live.fileName(), Qt::CaseInsensitive) == 0)
        return LiveFile::Itself;
    for (const char *suffix : kCompanions) {
        if (info.fileName().compare(live.fileName() + QLatin1String(suffix), Qt::CaseInsensitive)
            == 0)
            return LiveFile::Companion;
    }
    return LiveFile::No;
}

// Why a path is refused as a backup's target; empty when it is no name of the live database
// or of its companions.
QString refusedAsLive(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (liveFileAt(path)) {
    case LiveFile::Itself:
        return QStringLiteral("Die Datei %1 ist die Datenbank des Programms selbst.\n"
                              "Bitte wählen Sie einen anderen Namen oder einen anderen Ordner.")
            .arg(shown);
    case LiveFile::Companion:
        return QStringLiteral("Die Datei %1 gehört zur Datenbank des Programms: SQLite hält sie "
                              "für deren Journal oder Protokoll.\n"
                              "Bitte wählen Sie einen anderen Namen oder einen anderen Ordner.")
            .arg(shown);
    case LiveFile::No:
        break;
    }
    return QString();
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

// Stores the date of the last backup; false, with the statement's error, when it could not.
bool writeBackupDate(const QSqlDatabase &db, const QString &date, QSqlError *error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE Systemdaten SET Wert = ? WHERE Name = 'BackupDate';"));
    query.addBindValue(date);
    bool ok = query.exec();
    if (ok && query.numRowsAffected() == 0) {
        query.prepare(
            QStringLiteral("INSERT INTO Systemdaten (Name, Wert) VALUES ('BackupDate', ?);"));
        query.addBindValue(date);
        ok = query.exec();
    }
    if (!ok)
        *error = query.lastError();
    return ok;
}

// A file left in WAL mode by another tool keeps its newest commits in db.sqlite-wal, which a
// copy of db.sqlite alone would miss: they are written back first. A reader of another
// program on an older state keeps them there, and no backup is made.
bool walWrittenBack(const QSqlDatabase &db, Failure *failure, bool *wal)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode;")) || !query.next()) {
        failure->set(query.lastError());
        return false;
    }
    *wal = query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    if (!*wal)
        return true;
    // One row: busy, frames in the log, frames written back.
    if (!query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE);")) || !query.next()) {
        failure->set(query.lastError());
        failure->damaged = false;
        return false;
    }
    if (query.value(0).toInt() == 0)
        return true;
    failure->reason
        = QStringLiteral("Das Protokoll %1 konnte nicht in die Datenbank zurückgeschrieben "
                         "werden: ein anderes Programm liest sie noch.")
              .arg(QDir::toNativeSeparators(databasePath() + QStringLiteral("-wal")));
    return false;
}

// A copy of a file in WAL mode would open in WAL mode too and leave -wal and -shm files
// beside it wherever it is read: the file header makes it a rollback-journal database.
bool toRollbackJournal(const QString &file, Failure *failure)
{
    QFile copy(file);
    if (copy.open(QIODevice::ReadWrite) && copy.seek(18) && copy.write("\x01\x01", 2) == 2
        && copy.flush() && ::fsync(copy.handle()) == 0)
        return true;
    failure->reason = QStringLiteral("Die Datei %1 konnte nicht geschrieben werden:\n%2")
                          .arg(QDir::toNativeSeparators(file), copy.errorString());
    return false;
}

// The copy carries the day it was made, so that the shop's data restored from it tell when
// they were saved. Written before the check, which then reads it too.
bool dateTheCopy(const QString &copy, Failure *failure)
{
    ScopedConnection connection(QStringLiteral("backup-date"), copy);
    QSqlError error;
    if (writeBackupDate(connection.db(), today(), &error))
        return true;
    failure->reason = QStringLiteral("Das Datum der Sicherung konnte nicht in die Datei %1 "
                                     "geschrieben werden:\n%2")
                          .arg(QDir::toNativeSeparators(copy), error.text());
    return false;
}

// The first findings of SQLite's check of the live file, asked under the backup's read
// transaction; damaged tells whether they are damage. A check that cannot run counts as damage
// only when SQLite says so, so that a lock never passes for it.
QString checkLive(QSqlQuery &live, bool *damaged)
{
    QString found;
    if (live.exec(QStringLiteral("PRAGMA quick_check;")) && live.next()) {
        found = live.value(0).toString().section(QLatin1Char('\n'), 0, 2);
        *damaged = found != QLatin1String("ok");
    } else {
        found = live.lastError().text();
        *damaged = isDamage(live.lastError());
    }
    live.finish();
    return found;
}

// Copies the live database as its last commit left it into a file of our own beside the
// target (*copy, empty when none was made) and checks the copy. While our read transaction
// lasts no other program can commit into the file; one that already holds it, its changes half
// written into it, keeps us from reading, and after the driver's usual busy wait nothing is
// copied. A copy that fails its check, or cannot even take its date, is compared with the live
// file under the same transaction, so a lock can never pass for damage: damaged only when
// SQLite finds the live file damaged too.
bool copyCommitted(const QString &target, QString *copy, Failure *failure)
{
    ScopedConnection reader(QStringLiteral("backup"));
    QSqlDatabase db = reader.db();
    bool wal = false;
    if (!walWrittenBack(db, failure, &wal))
        return false;
    if (!db.transaction()) {
        failure->set(db.lastError());
        return false;
    }
    QSqlQuery live(db);
    if (!live.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master;"))) {
        failure->set(live.lastError());
        db.rollback();
        return false;
    }
    live.finish();
    // A commit into the log between its write-back and our transaction is not in the file.
    if (wal && QFileInfo(databasePath() + QStringLiteral("-wal")).size() > 0) {
        failure->reason = QStringLiteral("Ein anderes Programm schreibt gerade in die Datenbank.");
        db.rollback();
        return false;
    }
    // POSIX locks belong to the process: closing any descriptor of the file drops SQLite's
    // lock with it. The one we read through stays open until the transaction has ended.
    QFile source(databasePath());
    source.open(QIODevice::ReadOnly); // one that did not open is reported by the copy
    *copy = saveNewCopy(source, target, &failure->reason);
    bool copied = !copy->isEmpty() && (!wal || toRollbackJournal(*copy, failure));
    if (copied && !dateTheCopy(*copy, failure)) {
        copied = false;
        // A damaged settings table takes no date: that is the live file's damage, not the
        // copy's, and the restore it stood before is what such a file needs.
        bool damaged = false;
        const QString found = checkLive(live, &damaged);
        if (damaged) {
            failure->damaged = true;
            failure->reason = QStringLiteral("Die Datenbank ist beschädigt:\n") + found;
        }
    }
    if (copied && g_copyObserver)
        g_copyObserver(*copy);
    if (copied) {
        ScopedConnection check(QStringLiteral("backup-check"), *copy, true);
        // Its first findings only: a damaged file may have thousands.
        const QString found = quickCheck(check.db()).section(QLatin1Char('\n'), 0, 2);
        if (found != QLatin1String("ok")) {
            copied = false;
            checkLive(live, &failure->damaged);
            failure->reason = failure->damaged
                ? QStringLiteral("Die Datenbank ist beschädigt:\n") + found
                : QStringLiteral("Die Kopie %1 ist fehlerhaft:\n%2")
                      .arg(QDir::toNativeSeparators(*copy), found);
        }
    }
    db.rollback();
    source.close();
    return copied;
}

using Outcome = Backup::Outcome;

// A backup is a sound copy of committed data, or it is not made: the copy is checked beside
// the target before it replaces an older backup of that name, and the rename is on disk before
// the live file takes the date. Damaged: the live database itself fails the check, so no sound
// copy of it can be made.
Outcome writeBackup(const QString &target, Failure *failure)
{
    QString copy;
    if (!copyCommitted(target, &copy, failure)) {
        if (!copy.isEmpty()) {
            QFile::remove(copy);
            Failure ours; // what the copy's date write may have left is ours to tidy, quietly
            removeLeftovers(copy, &ours);
            // The user chose the target; the file beside it is only ours.
            failure->reason.replace(
                QDir::toNativeSeparators(copy), QDir::toNativeSeparators(target));
        }
        return failure->damaged ? Outcome::Damaged : Outcome::NotSaved;
    }
    bool replaced = removeLeftovers(target, failure);
    if (replaced && !renameOver(copy, target)) {
        const int error = errno;
        replaced = false;
        failure->reason = QStringLiteral("Die Datei %1 konnte nicht geschrieben werden:\n%2")
                              .arg(QDir::toNativeSeparators(target), systemReason(error));
    }
    if (!replaced) {
        QFile::remove(copy);
        return Outcome::NotSaved;
    }
    // Pulled out right after the success box, a stick must hold the new backup, not the older
    // file or our copy beside it.
    return syncFolderOf(target, &failure->reason) ? Outcome::Saved : Outcome::NotSaved;
}

// The live file takes the date of the backup only once the backup stands: whatever ends the
// program before (a failure, a kill, a power cut), its date stays that of the last backup made.
// Another program's lock may keep this write out; the close then asks once more, which is
// harmless.
void storeBackupDate()
{
    ScopedConnection connection(QStringLiteral("123"));
    const LockWait wait(connection.db(), kShortLockWaitMs);
    QSqlError error;
    if (!writeBackupDate(connection.db(), today(), &error))
        qDebug().noquote() << "BackupDate:" << error.text();
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

// Whether the file's header says WAL: its read and write versions, bytes 18 and 19, are 2.
bool walInHeader(const QString &file)
{
    QFile database(file);
    char versions[2] = {};
    return database.open(QIODevice::ReadOnly) && database.seek(18)
        && database.read(versions, 2) == 2 && (versions[0] == 2 || versions[1] == 2);
}

// Puts the checked copy in place of the live file. A program in the middle of writing to it
// keeps it: its journal beside the file would be removed under it, and its commit lost. So the
// file is taken for writing first; a journal left beside it then belongs to the old file alone,
// and SQLite would play it back into the new one. A program that merely holds the file open in
// WAL mode keeps it too: SQLite refuses its next write into a file renamed over only in the
// rollback journal mode, in WAL mode the commit would go into the old file and be lost.
bool replaceDatabase(const QString &candidate, Failure *failure)
{
    const QString live = databasePath();
    // From the first change to the old file's release: the old file or the new one, never a
    // mixture.
    std::optional<WriteMark> replacing;
    bool replaced = false;
    {
        ScopedConnection writer(QStringLiteral("restore-lock"));
        QSqlQuery take(writer.db());
        // Every program in WAL mode holds a shared lock on the file: leaving WAL fails exactly
        // while one has it open. A damaged file that the user wants replaced may not even
        // take the lock, nor leave WAL.
        bool leftWal = false;
        {
            const LockWait wait(writer.db(), kShortLockWaitMs);
            leftWal = take.exec(QStringLiteral("PRAGMA journal_mode = DELETE;"));
            if (!leftWal && isLockError(take.lastError())) {
                failure->set(take.lastError());
                return false;
            }
            take.finish();
        }
        if (!take.exec(QStringLiteral("BEGIN IMMEDIATE;")) && isLockError(take.lastError())) {
            failure->set(take.lastError());
            return false;
        }
        // Our write lock keeps anyone from switching back to WAL until the rename is done;
        // one who did before it, between our two statements, keeps the file.
        if (leftWal && walInHeader(live)) {
            failure->locked = true;
            failure->reason = QStringLiteral("Ein anderes Programm hat die Datenbank im "
                                             "WAL-Modus geöffnet.");
            take.exec(QStringLiteral("ROLLBACK;"));
            return false;
        }
        replacing.emplace();
        replaced = removeLeftovers(live, failure) && renameOver(candidate, live);
        QString unsynced;
        if (replaced && !syncFolderOf(live, &unsynced))
            qDebug().noquote() << unsynced; // replaced all the same; only a power cut undoes it
        take.exec(QStringLiteral("ROLLBACK;"));
    }
    return replaced;
}

// Runs the reset script on a connection of its own, all or nothing: it counts only when
// the five tables exist again and are empty.
bool recreateDataTables(Failure *failure)
{
    ScopedConnection connection(QStringLiteral("234"));
    QSqlDatabase db = connection.db();
    // The write lock first: another program's lock then costs one wait, not one per statement.
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE;"))) {
        failure->set(begin.lastError());
        qDebug() << failure->reason;
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
}

void Backup::setCopyObserver(std::function<void(const QString &)> observer)
{
    g_copyObserver = std::move(observer);
}

Backup::~Backup()
{
    delete ui;
}

void Backup::refreshPage(bool readable)
{
    masterPasswortRead = false;
    // A count that cannot be read now is not shown: one of an earlier visit would pass for it.
    for (QLabel *label : { ui->label_vertrage, ui->label_kunden, ui->label_artikel })
        label->clear();
    if (!readable)
        return;
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
        if (execOrWarn(query, QLatin1String(count.sql), this)) {
            if (query.next())
                count.label->setText(query.value(0).toString());
        } else if (isLockError(query.lastError())) {
            return; // the rest would wait for the same lock
        }
    }
    bool found = false;
    const QString stored
        = readSetting(QStringLiteral("MasterPasswort"), this, &found, &masterPasswortRead);
    if (found)
        masterPasswort = stored;
}

bool Backup::masterPasswordRead(QSqlError *error)
{
    if (masterPasswortRead)
        return true;
    // The page's entry could not read it (the default connection is closed by now): once
    // more, with the short wait of what the user only passes through.
    ScopedConnection connection(QStringLiteral("backup-password"));
    const LockWait wait(connection.db(), kShortLockWaitMs);
    QSqlQuery query(connection.db());
    if (!query.exec(
            QStringLiteral("SELECT Wert FROM Systemdaten WHERE Name = 'MasterPasswort';"))) {
        *error = query.lastError();
        return false;
    }
    if (query.next())
        masterPasswort = query.value(0).toString();
    masterPasswortRead = true;
    return true;
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

bool Backup::sichern(bool menu)
{
    return backup(menu) == Outcome::Saved;
}

Backup::Outcome Backup::backup(bool menu)
{
    const QString proposed = joinPath(folder(),
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"))
            + QStringLiteral("_Velarix_Backup.sqlite"));
    const QString target
        = Dialogs::getSaveFileName(this, tr("Daten sichern"), proposed, tr("Database (*.sqlite)"));
    if (target.isEmpty())
        return Outcome::NotSaved;

    const WaitCursor wait;
    qDebug().noquote() << target;
    qDebug().noquote() << databasePath();
    // Never the live file nor a file SQLite takes for its companion: the copy would replace
    // what it is copying, or be played into it.
    Failure failure;
    failure.reason = refusedAsLive(target);
    Outcome outcome = Outcome::NotSaved;
    if (failure.reason.isEmpty()) {
        // The date goes into the live file only once the backup stands.
        outcome = writeBackup(target, &failure);
        if (outcome == Outcome::Saved)
            storeBackupDate();
    }
    if (outcome == Outcome::Saved) {
        Dialogs::information(
            this, QStringLiteral("Erfolg"), QStringLiteral("Daten wurden erfolgreich gesichert."));
    } else {
        qDebug().noquote() << failure.reason;
        // The reason (a full disk, a missing folder, a lock, a damaged database) tells the
        // user what to change.
        Dialogs::critical(this, kFehler, failure.boxText(kNichtGesichert));
    }
    if (menu)
        emit openMenu();
    return outcome;
}

bool Backup::masterPasswordAccepted()
{
    bool ok = false;
    const QString entered = Dialogs::getText(this, QStringLiteral("MasterPasswort"),
        QStringLiteral("Bitte geben Sie das MasterPasswort ein, um fortzufahren:"),
        QLineEdit::Password, QString(), &ok);
    return ok && entered == masterPasswort;
}

void Backup::wiederherstellen()
{
    // Without the password nothing is replaced. A damaged file, whose settings cannot be read,
    // is what a restore is for: its backup then finds the damage, and the user's answer to
    // that is the gate, as there is nothing to compare an entry with.
    QSqlError error;
    const bool known = masterPasswordRead(&error);
    Failure unread;
    unread.set(error);
    if (!known && !unread.damaged) {
        Dialogs::critical(this, kFehler, unread.boxText(kPasswortUnlesbar));
        return;
    }
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
    } else if (!known) {
        // Not the damage the read failed on, after all: no gate without the password.
        Dialogs::critical(this, kFehler, unread.boxText(kPasswortUnlesbar));
        return;
    }
    if (known && !masterPasswordAccepted())
        return;
    const QString source = Dialogs::getOpenFileName(
        this, tr("Daten wiederherstellen"), folder(), tr("Database (*.sqlite)"));
    if (source.isEmpty())
        return;

    const WaitCursor wait;

    // The live file stays until a checked copy of the backup, a file of our own, stands beside
    // it.
    Failure failure;
    QString candidate;
    if (liveFileAt(source) == LiveFile::No) {
        QFile from(source);
        from.open(QIODevice::ReadOnly); // one that did not open is reported by the copy
        candidate = saveNewCopy(from, databasePath(), &failure.reason);
    }
    const bool restored
        = !candidate.isEmpty() && isShopDatabase(candidate) && replaceDatabase(candidate, &failure);
    if (!restored) {
        if (!candidate.isEmpty())
            QFile::remove(candidate);
        qDebug().noquote() << failure.reason;
        // Only a lock is worth its words here: the rest means another file is needed.
        Dialogs::critical(this, kFehler,
            failure.locked ? failure.boxText(kNichtWiederhergestellt) : kNichtWiederhergestellt);
        return;
    }
    emit openMenu();
}

void Backup::resetDb()
{
    QSqlError error;
    if (!masterPasswordRead(&error)) {
        Failure unread;
        unread.set(error);
        Dialogs::critical(this, kFehler, unread.boxText(kPasswortUnlesbar));
        return;
    }
    if (!masterPasswordAccepted())
        return;
    if (!sichern(true)) {
        Dialogs::warning(this, kFehler, kNichtGesichert + QStringLiteral("\nVorgang abgebrochen."));
        return;
    }
    // The menu is shown by now and its connection open again; the script runs on its own.
    Failure failure;
    if (recreateDataTables(&failure))
        Dialogs::information(
            this, QStringLiteral("Erfolg"), QStringLiteral("Daten wurden erfolgreich gelöscht."));
    else
        Dialogs::critical(this, kFehler,
            failure.locked
                ? failure.boxText(QStringLiteral("Daten wurden nicht vollständig gelöscht."))
                : QStringLiteral("Daten wurden nicht vollständig gelöscht."));
    emit openMenu();
}

#include "support/intakedriver.h"
#include "support/pagehelpers.h"
#include "support/shopfixture.h"
#include "support/sqlitetool.h"
#include "support/windowdriver.h"

#include "admin/backup.h"
#include "app/database.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The failure box's words for another program's lock, above the driver's own.
const QString kLocked = "Ein anderes Programm greift gerade auf die Datenbank zu.\nBitte schließen "
                        "Sie das andere Programm und versuchen Sie es dann erneut.\n\n";

QByteArray bytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString shown(const Shell &s, const char *label)
{
    return s.field<QLabel>("swBackup", label)->text();
}

void clickOn(Shell &s, const char *button)
{
    QTest::mouseClick(s.field("swBackup", button), Qt::LeftButton);
}

// A restore as the staff run it: the backup before it saved to before (and its box
// confirmed), the master password typed, the file chosen (none: the open dialog cancelled).
void restore(Shell &s, const QString &before, const QString &password, const QString &source)
{
    Dialogs::takeRecords();
    Dialogs::setNextAnswer(before);
    Dialogs::setNextAnswer(QMessageBox::Ok);
    Dialogs::setNextAnswer(password);
    if (!source.isEmpty())
        Dialogs::setNextAnswer(source);
    clickOn(s, "pushButtonWiederherstellen");
}

// A statement on a database file other than the live one, and its first value.
QVariant scalarIn(const QString &file, const QString &statement, bool readOnly = false)
{
    ScopedConnection other(QStringLiteral("probe"), file, readOnly);
    QSqlQuery query(other.db());
    return query.exec(statement) && query.next() ? query.value(0) : QVariant();
}

// Statements on a database file other than the live one; false (and why) at the first failure.
bool execIn(const QString &file, const QStringList &statements)
{
    ScopedConnection other(QStringLiteral("probe"), file);
    for (const QString &statement : statements) {
        QSqlQuery query(other.db());
        if (!query.exec(statement)) {
            qWarning().noquote() << statement << query.lastError().text();
            return false;
        }
    }
    return true;
}

// Every row of a table as one text, for before-and-after comparisons.
QString dump(const QString &table)
{
    QSqlQuery query;
    query.exec("SELECT * FROM " + table + " ORDER BY 1");
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values << query.value(i).toString();
        rows << values.join('|');
    }
    return rows.join('\n');
}

// All seven tables, for checks that nothing changed.
QStringList dumpAll()
{
    QStringList tables;
    for (const QString &table : allTables)
        tables << dump(table);
    return tables;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// The files of a folder, sorted: what a failure or a kill must not leave there.
QStringList filesIn(const QString &folder)
{
    return sorted(QDir(folder).entryList(QDir::Files | QDir::System));
}

QString makeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

// Runs the action once, when the program writes the line to its debug output: the backup
// writes its target there after the save dialog and before the copy.
class OnDebugLine
{
public:
    OnDebugLine(const QString &line, std::function<void()> action)
    {
        s_line = line;
        s_action = std::move(action);
        s_previous = qInstallMessageHandler(handle);
    }
    ~OnDebugLine()
    {
        qInstallMessageHandler(s_previous);
        s_action = nullptr;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        s_previous(type, context, message);
        if (type == QtDebugMsg && message == s_line && s_action)
            std::exchange(s_action, nullptr)();
    }
    static inline QString s_line;
    static inline std::function<void()> s_action;
    static inline QtMessageHandler s_previous = nullptr;
};

// Another database at file, left by a program killed in the middle of its writes: beside it
// a hot rollback journal, or a log (with its index) holding commits not yet in the file.
bool killedWhileWriting(const QString &file, bool wal)
{
    SqliteTool tool(file);
    const QString rows = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                         "i < 20000) INSERT INTO Fremd SELECT i, 'fremde Zeile ' || i FROM n;";
    const bool ran = wal
        ? tool.run(".output /dev/null\nPRAGMA journal_mode = WAL;\nPRAGMA wal_autocheckpoint = "
                   "0;\n.output stdout\nCREATE TABLE "
                   "Fremd (ID INTEGER, Text TEXT);"
            + rows)
        : tool.run("CREATE TABLE Fremd (ID INTEGER, Text TEXT);" + rows
            + "PRAGMA cache_size = 5; BEGIN; UPDATE Fremd SET Text = 'geändert';");
    tool.kill();
    return ran && QFileInfo(file + (wal ? "-wal" : "-journal")).size() > 0;
}

// One fsync of the program's: the file or folder synced, and what the recorder's probe found
// at that moment.
struct Synced
{
    QString path;
    QString found;
};

// Records every fsync of the process while it lives.
class SyncRecorder
{
public:
    SyncRecorder(QList<Synced> *synced, std::function<QString()> probe)
    {
        s_probe = std::move(probe);
        s_synced = synced;
    }
    ~SyncRecorder()
    {
        s_synced = nullptr;
        s_probe = nullptr;
    }
    static void record(int fd)
    {
        if (!s_synced || s_probing)
            return;
        char link[4096];
        const ssize_t size = ::readlink(
            QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), link, sizeof link);
        s_probing = true;
        s_synced->append(
            { size > 0 ? QFile::decodeName(QByteArray(link, int(size))) : QString(), s_probe() });
        s_probing = false;
    }

private:
    static inline QList<Synced> *s_synced = nullptr;
    static inline std::function<QString()> s_probe;
    static inline bool s_probing = false;
};

} // namespace

// The program's calls reach this one (it is linked into the test program, ahead of the C
// library's): it records them and syncs.
extern "C" int fsync(int fd)
{
    SyncRecorder::record(fd);
    return int(::syscall(SYS_fsync, fd));
}

namespace {

// Sets the backup's copy observer for its own life.
struct CopyObserver
{
    explicit CopyObserver(std::function<void(const QString &)> observer)
    {
        Backup::setCopyObserver(std::move(observer));
    }
    ~CopyObserver() { Backup::setCopyObserver(nullptr); }
};

// Overwrites the page that holds the start of a table (the whole of a small one), as a disk
// fault would.
bool spoilRootPage(const QString &file, const QString &table)
{
    const qint64 root
        = scalarIn(file, "SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'", true)
              .toLongLong();
    const qint64 size = scalarIn(file, "PRAGMA page_size", true).toLongLong();
    QFile live(file);
    return root > 1 && size > 0 && live.open(QIODevice::ReadWrite) && live.seek((root - 1) * size)
        && live.write(QByteArray(size, 'U')) == size;
}

// So many customers that a transaction over all of them spills into the file.
void addCustomers(int count)
{
    TestWorkdir::exec(
        QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO Kunde (Name, Vorname, Telefon, PLZ, Ort, Strasse) SELECT 'Kunde ' "
                "|| i, 'Vorname', '0123 4567', '12345', 'Musterhausen', 'Musterweg ' || i FROM n")
            .arg(count));
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void entryShowsTheCountsAndClosesTheConnection()
    {
        Shell s;
        QVERIFY(s.start());
        s.key("6");
        QCOMPARE(s.page(), QString("swBackup"));
        QCOMPARE(shown(s, "label_vertrage"), QString("0"));
        QVERIFY(!s.dbOpen());
        s.key("Esc");
        QVERIFY(s.dbOpen());

        const ShopFixture shop;
        s.key("6");
        QCOMPARE(shown(s, "label_vertrage"), QString("3"));
        QCOMPARE(shown(s, "label_kunden"), QString("2"));
        QCOMPARE(shown(s, "label_artikel"), QString("8"));
        QCOMPARE(dialogLog(), QStringList());
    }

    void backupIsACopyCarryingTodaysDate()
    {
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::removeSetting("BackupDate"); // the backup adds it
        QTemporaryDir usb;
        TestWorkdir::setSetting("PfadBackup", usb.path());
        // An older file of the chosen name is replaced.
        const QString target = usb.filePath("sicherung.sqlite");
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("alt");
        old.close();

        s.key("6");
        Dialogs::setNextAnswer(target);
        clickOn(s, "pushButtonSichern");

        QCOMPARE(dialogLog(),
            QStringList({ "SaveFile|Daten sichern|",
                "Information|Erfolg|Daten wurden erfolgreich gesichert." }));
        QCOMPARE(s.page(), QString("swMenu"));
        QVERIFY(s.dbOpen());
        QCOMPARE(bytes(target), bytes(s.dir.path("db.sqlite")));
        QCOMPARE(scalarIn(target, "SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant(today()));
        QCOMPARE(scalarIn(target, "SELECT COUNT(*) FROM Artikel"), QVariant(8));
        // No temporary file stays behind.
        QCOMPARE(QDir(usb.path()).entryList(QDir::Files), QStringList("sicherung.sqlite"));

        // With today's backup, closing asks nothing.
        Dialogs::takeRecords();
        QVERIFY(s.window->close());
        QCOMPARE(dialogLog(), QStringList());
    }

    // A copy that fails half-way leaves the older backup of that name as it was.
    void fullDiskKeepsTheOlderBackup()
    {
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("BackupDate", "01.02.2020");
        const QString target = makeFile(s.dir.path("sicherung.sqlite"), "alt");
        s.key("6");
        Dialogs::setNextAnswer(target);
        bool saved = true;
        {
            FileSizeLimit full(QFileInfo(s.dir.path("db.sqlite")).size() - 4096);
            saved = s.page<Backup>("swBackup")->sichern(true);
        }
        QVERIFY(!saved);
        QCOMPARE(dialogLog(),
            QStringList({ "SaveFile|Daten sichern|",
                "Critical|Fehler|Daten wurden nicht gesichert.\nDie Datei " + target
                    + " konnte nicht geschrieben werden:\n"
                    + QString::fromLocal8Bit(strerror(EFBIG)) }));
        QCOMPARE(bytes(target), QByteArray("alt"));
        QCOMPARE(QDir(s.dir.path()).entryList({ "sicherung*" }, QDir::Files),
            QStringList("sicherung.sqlite"));
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant("01.02.2020"));
    }

    // What another program does while the save dialog is open. A transaction whose changes
    // already lie in the file keeps the backup from reading it; one that holds its changes
    // in memory does not, and the backup holds only what was committed. A copy that is not
    // sound never replaces the older backup.
    void backupBesideAnotherProgram_data()
    {
        // Statements for the sqlite3 tool, or "damage" (of customers' pages or the settings').
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("reason"); // the start of the failure box's second line
        QTest::newRow("exclusive transaction, cache spilled")
            << "PRAGMA cache_size = 5; BEGIN EXCLUSIVE; UPDATE Kunde SET Name = 'X' || ID;" << false
            << kLocked + "database is locked";
        // A cache large enough that the changes stay in memory.
        QTest::newRow("reserved transaction")
            << "PRAGMA cache_size = -200000; BEGIN IMMEDIATE; UPDATE Kunde SET Name = 'X' || ID;"
            << true << "";
        QTest::newRow("the file damaged")
            << "damage" << false << "Die Datenbank ist beschädigt:\n*** in database main ***";
        // The copy cannot even take its date: the damage is still called damage.
        QTest::newRow("the settings damaged")
            << "damage settings" << false
            << "Die Datenbank ist beschädigt:\n*** in database main ***";
    }
    void backupBesideAnotherProgram()
    {
        QFETCH(QString, meanwhile);
        QFETCH(bool, saved);
        QFETCH(QString, reason);
        Shell s;
        QVERIFY(s.start());
        addCustomers(30000);
        QTemporaryDir usb;
        const QString target = makeFile(usb.filePath("sicherung.sqlite"), "alt");
        s.key("6");
        SqliteTool other(s.dir.path("db.sqlite"));
        bool done = false;
        OnDebugLine whileTheDialogIsOpen(target, [&] {
            if (meanwhile == "damage settings") {
                done = spoilRootPage(s.dir.path("db.sqlite"), "Systemdaten");
                return;
            }
            if (meanwhile != "damage") {
                done = other.run(meanwhile);
                return;
            }
            // The last 64 KiB are customers' pages, far from the table list.
            QFile live(s.dir.path("db.sqlite"));
            done = live.open(QIODevice::ReadWrite) && live.seek(live.size() - 65536)
                && live.write(QByteArray(65536, 'U')) == 65536;
        });
        // The backup before a restore, which then stops at the (unanswered) password prompt:
        // the page stays, so the main window does not reopen its connection under the lock.
        Dialogs::setNextAnswer(target);
        clickOn(s, "pushButtonWiederherstellen");

        QVERIFY(done);
        const QStringList log = dialogLog();
        QCOMPARE(log.contains("Information|Erfolg|Daten wurden erfolgreich gesichert."), saved);
        const QString refused = "Critical|Fehler|Daten wurden nicht gesichert.\n" + reason;
        QCOMPARE(std::any_of(log.begin(), log.end(),
                     [&](const QString &line) { return line.startsWith(refused); }),
            !saved);
        // One failure, one box: taking the date back under the same lock adds none.
        QVERIFY2(!log.join('\n').contains("SQL-Fehler"), qPrintable(log.join('\n')));
        QCOMPARE(QDir(usb.path()).entryList(QDir::Files), QStringList("sicherung.sqlite"));
        if (!saved) {
            QCOMPARE(bytes(target), QByteArray("alt"));
            return;
        }
        QCOMPARE(scalarIn(target, "PRAGMA integrity_check"), QVariant("ok"));
        QCOMPARE(scalarIn(target, "SELECT COUNT(*) FROM Kunde WHERE Name LIKE 'Kunde %'"),
            QVariant(30000));
        QCOMPARE(scalarIn(target, "SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant(today()));
    }

    // Another program in the middle of a write, its changes still in memory: the backup holds
    // what was committed and carries today's date, but the live file takes the date only
    // when the lock allows. Until then closing asks once more, which is harmless; the reset
    // that asked for the backup waits once for the lock and touches no table.
    void writerKeepsTheDateOutOfTheLiveFile_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("log");
        const QStringList saved = { "SaveFile|Daten sichern|",
            "Information|Erfolg|Daten wurden erfolgreich gesichert." };
        QTest::newRow("Sichern") << "pushButtonSichern" << saved;
        QTest::newRow("Daten löschen")
            << "pushButton"
            << QStringList { "Text|MasterPasswort|Bitte geben Sie das MasterPasswort ein, um "
                             "fortzufahren:" }
                + saved
                + QStringList { "Critical|Fehler|Daten wurden nicht vollständig gelöscht.\n"
                      + kLocked + "database is locked Unable to fetch row" };
    }
    void writerKeepsTheDateOutOfTheLiveFile()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, log);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        TestWorkdir::setSetting("BackupDate", "01.02.2020");
        const QStringList before = dumpAll();
        const QString target = s.dir.path("sicherung.sqlite");
        s.key("6");
        {
            SqliteTool other(s.dir.path("db.sqlite"));
            QVERIFY(other.run("PRAGMA cache_size = -200000; BEGIN IMMEDIATE; UPDATE Kunde SET Name "
                              "= 'X';"));
            if (button == "pushButton")
                Dialogs::setNextAnswer("Chef");
            Dialogs::setNextAnswer(target);
            clickOn(s, qPrintable(button));
            QCOMPARE(dialogLog(), log);
            QCOMPARE(s.page(), QString("swMenu"));
            QCOMPARE(scalarIn(target, "SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
                QVariant(today()));
            QCOMPARE(scalarIn(target, "SELECT COUNT(*) FROM Kunde WHERE Name = 'X'"), QVariant(0));

            Dialogs::takeRecords();
            Dialogs::setNextAnswer(QMessageBox::No);
            QVERIFY(s.window->close());
            QCOMPARE(dialogLog(),
                QStringList("Question|Warnung|Die Daten wurden heute noch nicht gesichert.\nWollen "
                            "Sie sichern?"));
        }
        QCOMPARE(dumpAll(), before);
    }

    // The live file and its companions under other names: SQLite would take a copy written
    // as the journal or log for the live file's own (and remove it at its next read), and the
    // backup would remove the journal of a program in the middle of its write and rename its
    // copy over the live file. Such a target is refused by what the file is, whatever its
    // spelling, with the box saying why; the other program's commit goes through.
    void liveFileUnderAnyNameIsNoTarget_data()
    {
        QTest::addColumn<QString>("target"); // in the working folder, "link/" or "mount/"
        QTest::addColumn<bool>("itself"); // the live file, else a companion
        QTest::newRow("its journal") << "db.sqlite-journal" << false;
        QTest::newRow("its log") << "db.sqlite-wal" << false;
        QTest::newRow("its log's index") << "db.sqlite-shm" << false;
        QTest::newRow("its journal in capitals") << "DB.SQLITE-JOURNAL" << false;
        QTest::newRow("a second link to it") << "zweiter-name.sqlite" << true;
        QTest::newRow("it through a linked folder") << "link/db.sqlite" << true;
        QTest::newRow("its journal through a linked folder") << "link/db.sqlite-journal" << false;
        QTest::newRow("it through a second mount") << "mount/db.sqlite" << true;
        QTest::newRow("its journal through a second mount") << "mount/db.sqlite-journal" << false;
    }
    void liveFileUnderAnyNameIsNoTarget()
    {
        QFETCH(QString, target);
        QFETCH(bool, itself);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("BackupDate", "01.02.2020");
        QTemporaryDir elsewhere;
        QString path = s.dir.path(target);
        if (target == "zweiter-name.sqlite") {
            QVERIFY(
                ::link(QFile::encodeName(s.dir.path("db.sqlite")), QFile::encodeName(path)) == 0);
        } else if (target.startsWith("link/")) {
            QVERIFY(QFile::link(s.dir.path(), s.dir.path("link")));
        } else if (target.startsWith("mount/")) {
            // In a mount namespace of the test's own, gone with it.
            if (::unshare(CLONE_NEWNS) != 0
                || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || ::mount(QFile::encodeName(s.dir.path()), QFile::encodeName(elsewhere.path()),
                       nullptr, MS_BIND, nullptr)
                    != 0)
                QSKIP(qPrintable("no second mount here: " + QString(strerror(errno))));
            path = elsewhere.filePath(target.mid(6));
        }
        SqliteTool other(s.dir.path("db.sqlite"));
        QVERIFY(other.run("BEGIN; UPDATE Kunde SET Name = 'X';"));
        QVERIFY(QFile::exists(s.dir.path("db.sqlite-journal")));
        const QStringList files = QDir(s.dir.path()).entryList(QDir::Files);
        s.key("6");
        Dialogs::setNextAnswer(path);
        clickOn(s, "pushButtonSichern");

        QCOMPARE(dialogLog(),
            QStringList({ "SaveFile|Daten sichern|",
                "Critical|Fehler|Daten wurden nicht gesichert.\nDie Datei " + path
                    + (itself ? " ist die Datenbank des Programms selbst."
                              : " gehört zur Datenbank des Programms: SQLite hält sie für deren "
                                "Journal oder Protokoll.")
                    + "\nBitte wählen Sie einen anderen Namen oder einen anderen Ordner." }));
        QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files), files);
        QVERIFY(other.run("COMMIT;"));
        if (target.startsWith("mount/"))
            QVERIFY(::umount(QFile::encodeName(elsewhere.path())) == 0);
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Kunde WHERE Name <> 'X'"), QVariant(0));
        QCOMPARE(TestWorkdir::scalar("PRAGMA integrity_check"), QVariant("ok"));
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant("01.02.2020"));
    }

    // A copy that fails its check while another program waits for the database: the live file
    // is looked at while the backup still holds it, so the waiting program's lock cannot pass
    // for damage, and the restore stops without offering to replace a sound database.
    void aBadCopyOfASoundDatabaseIsNoDamage()
    {
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        QTemporaryDir usb;
        const QString target = usb.filePath("sicherung.sqlite");
        s.key("6");

        // The other program asks for the database once it is told to, and waits for it.
        std::atomic<bool> ask { false };
        std::atomic<bool> release { false };
        std::atomic<bool> locked { false };
        std::thread other([&] {
            ScopedConnection connection(QStringLiteral("other"));
            QSqlDatabase db = connection.db();
            db.close();
            db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=30000");
            db.open();
            while (!ask && !release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            QSqlQuery query(db);
            locked = !release && query.exec("BEGIN EXCLUSIVE");
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            query.exec("ROLLBACK");
        });
        // Between the copy and its check: the copy is spoilt after its first page, and the
        // other program asks. A reader that comes now is refused: its request stands.
        bool waiting = false;
        const CopyObserver betweenCopyAndCheck([&](const QString &copy) {
            QFile file(copy);
            if (!file.open(QIODevice::ReadWrite) || !file.seek(4096))
                return;
            file.write(QByteArray(file.size() - 4096, 'U'));
            file.close();
            ask = true;
            QElapsedTimer timer;
            timer.start();
            while (!waiting && timer.elapsed() < 60000) {
                ScopedConnection reader(QStringLiteral("reader"));
                QSqlQuery query(reader.db());
                query.exec("PRAGMA busy_timeout = 0");
                waiting = !query.exec("SELECT COUNT(*) FROM sqlite_master")
                    && query.lastError().nativeErrorCode() == "5"; // SQLITE_BUSY
                if (!waiting)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        restore(s, target, "Chef", s.dir.path("alt.sqlite"));
        release = true;
        other.join();

        QVERIFY(waiting);
        QVERIFY(locked);
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.value(0), QString("SaveFile|Daten sichern|"));
        QVERIFY2(log.value(1).startsWith("Critical|Fehler|Daten wurden nicht gesichert.\nDie Kopie "
                     + target + " ist fehlerhaft:\n"),
            qPrintable(log.value(1)));
        QCOMPARE(s.page(), QString("swBackup"));
        QCOMPARE(QDir(usb.path()).entryList(QDir::Files), QStringList());
    }

    // A shop saves to the same name every evening. A journal or a log beside that name belongs
    // to the file it replaces (or to a program killed while it had it open): SQLite would play
    // it into the new backup. A database of another program at the name an earlier version
    // gave its copy is no concern of the backup's, and stays as it is.
    void leftoversDoNotSpoilTheBackup_data()
    {
        QTest::addColumn<QString>("beside"); // the database the leftovers belong to
        QTest::addColumn<bool>("wal");
        QTest::newRow("hot journal of the older file") << "sicherung.sqlite" << false;
        QTest::newRow("log of another database") << "sicherung.sqlite" << true;
        QTest::newRow("hot journal beside the former copy's name")
            << "sicherung.sqlite.tmp" << false;
        QTest::newRow("log beside the former copy's name") << "sicherung.sqlite.tmp" << true;
    }
    void leftoversDoNotSpoilTheBackup()
    {
        QFETCH(QString, beside);
        QFETCH(bool, wal);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        QTemporaryDir usb;
        const QString target = usb.filePath("sicherung.sqlite");
        QVERIFY(killedWhileWriting(usb.filePath(beside), wal));
        // The target's own leftovers go, another file's stay; no working file stays.
        QStringList files = { "sicherung.sqlite" };
        for (const QString &file : filesIn(usb.path())) {
            if (!file.startsWith("sicherung.sqlite-") && file != "sicherung.sqlite")
                files << file;
        }
        s.key("6");
        Dialogs::setNextAnswer(target);
        clickOn(s, "pushButtonSichern");

        QCOMPARE(dialogLog(),
            QStringList({ "SaveFile|Daten sichern|",
                "Information|Erfolg|Daten wurden erfolgreich gesichert." }));
        // The shop's data, opened read-only (as a viewer would) and for writing.
        for (const bool readOnly : { true, false }) {
            QCOMPARE(scalarIn(target, "PRAGMA quick_check", readOnly), QVariant("ok"));
            QCOMPARE(scalarIn(target, "SELECT COUNT(*) FROM Artikel", readOnly), QVariant(8));
            QCOMPARE(scalarIn(target, "SELECT COUNT(*) FROM sqlite_master WHERE name = 'Fremd'",
                         readOnly),
                QVariant(0));
        }
        QCOMPARE(filesIn(usb.path()), sorted(files));
    }

    // A leftover that cannot be removed stops the backup, names itself, and the older file
    // stays as it was.
    void leftoverThatStaysStopsTheBackup_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("beside the older file") << "sicherung.sqlite-journal";
        QTest::newRow("the older file's log") << "sicherung.sqlite-wal";
    }
    void leftoverThatStaysStopsTheBackup()
    {
        QFETCH(QString, leftover);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("BackupDate", "01.02.2020");
        QTemporaryDir usb;
        const QString target = makeFile(usb.filePath("sicherung.sqlite"), "alt");
        // A folder of that name, with a file in it: no program removes it in passing.
        QVERIFY(QDir(usb.path()).mkpath(leftover));
        makeFile(usb.filePath(leftover + "/inhalt"), "x");
        s.key("6");
        Dialogs::setNextAnswer(target);
        clickOn(s, "pushButtonSichern");

        QCOMPARE(dialogLog(),
            QStringList({ "SaveFile|Daten sichern|",
                "Critical|Fehler|Daten wurden nicht gesichert.\nDie Datei " + usb.filePath(leftover)
                    + " konnte nicht entfernt werden:\n"
                    + QString::fromLocal8Bit(strerror(EISDIR)) }));
        QCOMPARE(bytes(target), QByteArray("alt"));
        QCOMPARE(QDir(usb.path()).entryList(QDir::Files), QStringList("sicherung.sqlite"));
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant("01.02.2020"));
    }

    // Another program takes the database while the save dialog is open, and the backup fails:
    // the box says why and what to do. The live file never held today's date, so whatever
    // the lock does next, and however the program ends, closing reminds of the backup, that
    // day and after the next start. A lock that lasts costs one short wait, with one box, on
    // the return to the menu and on the close.
    void failedBackupLeavesTheReminder_data()
    {
        QTest::addColumn<QString>("then"); // what the other program does after the failure
        QTest::addColumn<QStringList>("onClose"); // the close's boxes, each by its start
        const QString question
            = "Question|Warnung|Die Daten wurden heute noch nicht gesichert.\nWollen Sie sichern?";
        QTest::newRow("lock released") << "ROLLBACK;" << QStringList(question);
        // Reading is allowed again, writing not.
        QTest::newRow("lock eased to a reservation")
            << "ROLLBACK; PRAGMA cache_size = -200000; BEGIN IMMEDIATE; UPDATE Kunde SET Name = "
               "'Y';"
            << QStringList(question);
        QTest::newRow("lock outlasting the program")
            << ""
            << QStringList({ "Warning|SQL-Fehler|" + kLocked + "database is locked", question });
    }
    void failedBackupLeavesTheReminder()
    {
        QFETCH(QString, then);
        QFETCH(QStringList, onClose);
        Shell s;
        QVERIFY(s.start());
        addCustomers(30000);
        TestWorkdir::setSetting("BackupDate", "01.02.2020");
        QTemporaryDir usb;
        const QString target = usb.filePath("sicherung.sqlite");
        s.key("6");
        SqliteTool other(s.dir.path("db.sqlite"));
        bool locked = false;
        OnDebugLine whileTheDialogIsOpen(target, [&] {
            locked = other.run(
                "PRAGMA cache_size = 5; BEGIN EXCLUSIVE; UPDATE Kunde SET Name = 'X' || ID;");
        });
        Dialogs::setNextAnswer(target);
        clickOn(s, "pushButtonSichern");
        QVERIFY(locked);
        QCOMPARE(dialogLog().value(0), QString("SaveFile|Daten sichern|"));
        QVERIFY2(dialogLog().value(1).startsWith("Critical|Fehler|Daten wurden nicht gesichert.\n"
                     + kLocked + "database is locked"),
            qPrintable(dialogLog().join('\n')));
        // The button's return to the menu, still under the lock: one wait, under the wait
        // cursor, and one box.
        const QList<Dialogs::Record> records = Dialogs::takeRecords();
        QCOMPARE(s.page(), QString("swMenu"));
        QCOMPARE(records.size(), 3);
        QCOMPARE(records.last().title, QString("SQL-Fehler"));
        QVERIFY2(records.last().text.startsWith(kLocked + "database is locked"),
            qPrintable(records.last().text));
        QVERIFY(records.last().busy);
        QVERIFY(then.isEmpty() || other.run(then));

        const auto closeAsks = [&](const QStringList &boxes) {
            Dialogs::takeRecords();
            for (int i = 1; i < boxes.size(); ++i)
                Dialogs::setNextAnswer(QMessageBox::Ok);
            Dialogs::setNextAnswer(QMessageBox::No);
            QVERIFY(s.window->close());
            const QStringList log = dialogLog();
            QCOMPARE(log.size(), boxes.size());
            for (int i = 0; i < boxes.size(); ++i)
                QVERIFY2(log.at(i).startsWith(boxes.at(i)), qPrintable(log.at(i)));
        };
        closeAsks(onClose);
        other.kill();
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant("01.02.2020"));
        // The next start, the same day.
        QVERIFY(s.start());
        closeAsks({ onClose.last() });
    }

    // A database tool may leave the file in WAL mode, and while it keeps the file open our
    // commits stay in db.sqlite-wal. The start switches back to the rollback journal where it
    // can; the backup writes the log back before its copy, so the contract just concluded is
    // in it, or it says why it cannot.
    void walFileIsWrittenBackBeforeTheCopy_data()
    {
        QTest::addColumn<bool>("heldOpen"); // by the other program since before the start
        QTest::addColumn<bool>("oldReader"); // it reads the state before the contract
        QTest::newRow("switched back at the start") << false << false;
        QTest::newRow("held open by another program") << true << false;
        QTest::newRow("another program reading the older state") << true << true;
    }
    void walFileIsWrittenBackBeforeTheCopy()
    {
        QFETCH(bool, heldOpen);
        QFETCH(bool, oldReader);
        Shell s;
        TestWorkdir::exec("PRAGMA journal_mode = WAL"); // stored in the file
        std::unique_ptr<SqliteTool> other;
        if (heldOpen) {
            other = std::make_unique<SqliteTool>(s.dir.path("db.sqlite"));
            QVERIFY(other->run("SELECT ID FROM Kunde WHERE ID < 0;"));
        }
        QSqlDatabase::database().close(); // the program opens it itself
        QVERIFY(s.start());
        QCOMPARE(TestWorkdir::scalar("PRAGMA journal_mode").toString(),
            QString(heldOpen ? "wal" : "delete"));
        TestWorkdir::setPrinters();
        if (oldReader)
            QVERIFY(other->run("BEGIN; SELECT ID FROM Vertrag WHERE ID < 0;"));

        QVERIFY(s.enter(Qt::Key_1, "swArrive"));
        auto &page = *s.page<Anlieferung>("swArrive");
        pages::type(pages::edit(page, "lineEditNA"), "Krause");
        pages::type(pages::edit(page, "lineEditVNA"), "Lena");
        intake::addArticle(page, "Sessel", 1, "20");
        pages::click(pages::button(page, "pushButtonVertrAbsch"));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Vertrag"), QVariant(1));
        QVERIFY(s.toMenu());

        QTemporaryDir usb;
        const QString target = makeFile(usb.filePath("sicherung.sqlite"), "alt");
        s.key("6");
        Dialogs::takeRecords();
        Dialogs::setNextAnswer(target);
        clickOn(s, "pushButtonSichern");
        const QStringList log = dialogLog();
        if (oldReader) {
            QCOMPARE(log,
                QStringList({ "SaveFile|Daten sichern|",
                    "Critical|Fehler|Daten wurden nicht gesichert.\nDas Protokoll "
                        + s.dir.path("db.sqlite-wal")
                        + " konnte nicht in die Datenbank zurückgeschrieben werden: ein anderes "
                          "Programm liest sie noch." }));
            QCOMPARE(bytes(target), QByteArray("alt"));
            return;
        }
        QCOMPARE(log,
            QStringList({ "SaveFile|Daten sichern|",
                "Information|Erfolg|Daten wurden erfolgreich gesichert." }));
        QCOMPARE(scalarIn(target, "PRAGMA integrity_check"), QVariant("ok"));
        QCOMPARE(scalarIn(target, "SELECT Name FROM Kunde k JOIN Vertrag v ON v.Kunde = k.ID"),
            QVariant("Krause"));
        QCOMPARE(scalarIn(target, "SELECT Bezeichnung FROM Artikel"), QVariant("Sessel"));
        // A file of its own: in the rollback journal mode, nothing left beside it.
        QCOMPARE(scalarIn(target, "PRAGMA journal_mode"), QVariant("delete"));
        QCOMPARE(QDir(usb.path()).entryList(QDir::Files), QStringList("sicherung.sqlite"));
    }

    // The backup's working copy is a file the program creates itself: a link at the name an
    // earlier version gave its copy leads nowhere, neither into the live file nor into another
    // program's, and the backup is a file of its own.
    void backupNeverWritesThroughALink_data()
    {
        QTest::addColumn<QString>("pointsAt"); // the link at "<target>.tmp"
        QTest::newRow("to the live file") << "db.sqlite";
        QTest::newRow("to another program's file") << "fremd.txt";
    }
    void backupNeverWritesThroughALink()
    {
        QFETCH(QString, pointsAt);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("BackupDate", "01.02.2020");
        makeFile(s.dir.path("fremd.txt"), "fremd");
        QTemporaryDir usb;
        const QString target = makeFile(usb.filePath("sicherung.sqlite"), "alt");
        const QString link = target + ".tmp";
        QVERIFY(QFile::link(s.dir.path(pointsAt), link));
        const QByteArray pointedAt = bytes(s.dir.path(pointsAt));
        s.key("6");
        Dialogs::setNextAnswer(target);
        clickOn(s, "pushButtonSichern");

        QCOMPARE(dialogLog(),
            QStringList({ "SaveFile|Daten sichern|",
                "Information|Erfolg|Daten wurden erfolgreich gesichert." }));
        QVERIFY(!QFileInfo(target).isSymLink());
        QCOMPARE(scalarIn(target, "PRAGMA quick_check", true), QVariant("ok"));
        QCOMPARE(scalarIn(target, "SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'", true),
            QVariant(today()));
        // The link and what it points at stay as they were; no working file stays.
        QCOMPARE(QFileInfo(link).symLinkTarget(), s.dir.path(pointsAt));
        if (pointsAt == "fremd.txt")
            QCOMPARE(bytes(s.dir.path(pointsAt)), pointedAt);
        QCOMPARE(filesIn(usb.path()), QStringList({ "sicherung.sqlite", "sicherung.sqlite.tmp" }));
        QCOMPARE(TestWorkdir::scalar("PRAGMA integrity_check"), QVariant("ok"));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Artikel"), QVariant(8));
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant(today()));
    }

    // Pulled out right after the success box, a stick holds the new backup: the rename into its
    // folder is on disk (the folder synced) before the live file says "backed up today". The
    // test's own fsync sees every sync of the program's.
    void backupIsOnDiskBeforeTheLiveFileIsDated()
    {
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("BackupDate", "01.02.2020");
        QTemporaryDir usb;
        const QString target = makeFile(usb.filePath("sicherung.sqlite"), "alt");
        const QString live = s.dir.path("db.sqlite");
        s.key("6");
        QList<Synced> synced;
        {
            const SyncRecorder recorder(&synced, [&] {
                return QString("live ")
                    + (bytes(live).contains(today().toLatin1()) ? "dated" : "older") + ", backup "
                    + (bytes(target).contains(today().toLatin1()) ? "new" : "older");
            });
            Dialogs::setNextAnswer(target);
            clickOn(s, "pushButtonSichern");
        }

        QCOMPARE(dialogLog(),
            QStringList({ "SaveFile|Daten sichern|",
                "Information|Erfolg|Daten wurden erfolgreich gesichert." }));
        // The copy itself is synced too: none recorded means the program's calls miss the test's.
        QVERIFY2(!synced.isEmpty(), "no fsync recorded: none made, or the interposition fails");
        const QString folder = QFileInfo(usb.path()).canonicalFilePath();
        QStringList folderSyncs, all;
        for (const Synced &sync : qAsConst(synced)) {
            all << sync.path + ": " + sync.found;
            if (sync.path == folder)
                folderSyncs << sync.found;
        }
        QVERIFY2(folderSyncs.contains("live older, backup new"), qPrintable(all.join('\n')));
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant(today()));
    }

    // Another program holds the database while the page is entered: no count is shown (nor
    // one of an earlier visit), and the master password is read when restore or reset is
    // pressed. When it still cannot be read, one box says why, before any backup is made.
    void passwordIsReadAtThePressWhenTheEntryCouldNot_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("released"); // the lock, before the press
        QTest::addColumn<QStringList>("log");
        const QString prompt
            = "Text|MasterPasswort|Bitte geben Sie das MasterPasswort ein, um fortzufahren:";
        const QStringList unread = { "Critical|Fehler|Das MasterPasswort konnte nicht gelesen "
                                     "werden.\n"
            + kLocked + "database is locked Unable to execute statement" };
        QTest::newRow("restore, lock released")
            << "pushButtonWiederherstellen" << true
            << QStringList({ "SaveFile|Daten sichern|",
                   "Information|Erfolg|Daten wurden erfolgreich gesichert.", prompt,
                   "OpenFile|Daten wiederherstellen|" });
        QTest::newRow("reset, lock released")
            << "pushButton" << true
            << QStringList({ prompt, "SaveFile|Daten sichern|",
                   "Warning|Fehler|Daten wurden nicht gesichert.\nVorgang abgebrochen." });
        QTest::newRow("restore, lock lasting") << "pushButtonWiederherstellen" << false << unread;
        QTest::newRow("reset, lock lasting") << "pushButton" << false << unread;
    }
    void passwordIsReadAtThePressWhenTheEntryCouldNot()
    {
        QFETCH(QString, button);
        QFETCH(bool, released);
        QFETCH(QStringList, log);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        s.key("6");
        QCOMPARE(shown(s, "label_artikel"), QString("8"));
        s.key("Esc");
        const QStringList before = dumpAll();
        SqliteTool other(s.dir.path("db.sqlite"));
        QVERIFY(other.run("BEGIN EXCLUSIVE;"));
        s.key("6");
        QCOMPARE(s.page(), QString("swBackup"));
        for (const char *label : { "label_vertrage", "label_kunden", "label_artikel" })
            QCOMPARE(shown(s, label), QString());
        Dialogs::takeRecords(); // the entry's box about the lock
        if (released)
            QVERIFY(other.run("ROLLBACK;"));
        if (button == "pushButtonWiederherstellen") {
            Dialogs::setNextAnswer(s.dir.path("vorher.sqlite"));
            Dialogs::setNextAnswer(QMessageBox::Ok);
        }
        // The prompt; then the reset's save dialog, or the restore's open dialog, is cancelled.
        Dialogs::setNextAnswer("Chef");
        clickOn(s, qPrintable(button));

        QCOMPARE(dialogLog(), log);
        if (released)
            return;
        QCOMPARE(s.page(), QString("swBackup"));
        QVERIFY(!QFile::exists(s.dir.path("vorher.sqlite")));
        QVERIFY(other.run("ROLLBACK;"));
        s.key("Esc");
        QCOMPARE(dumpAll(), before);
    }

    void proposedName_data()
    {
        QTest::addColumn<QString>("folder"); // "usb": an existing folder
        QTest::addColumn<bool>("home");
        QTest::newRow("existing folder") << "usb" << false;
        QTest::newRow("default e:, missing here") << "e:" << true;
        QTest::newRow("empty") << "" << true;
    }
    void proposedName()
    {
        QFETCH(QString, folder);
        QFETCH(bool, home);
        Shell s;
        QVERIFY(s.start());
        QTemporaryDir usb;
        TestWorkdir::setSetting("PfadBackup", folder == "usb" ? usb.path() : folder);
        s.key("6");
        clickOn(s, "pushButtonSichern"); // unscripted: cancelled
        const QVariantMap call = Dialogs::lastCall();
        QCOMPARE(call.value("filter").toString(), QString("Database (*.sqlite)"));
        const QFileInfo proposed(call.value("dir").toString());
        QCOMPARE(proposed.absolutePath(), home ? QDir::homePath() : usb.path());
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d_Velarix_Backup\\."
                                    "sqlite$")
                     .match(proposed.fileName())
                     .hasMatch(),
            qPrintable(proposed.fileName()));
        QVERIFY(proposed.fileName().startsWith(QDate::currentDate().toString("yyyy-MM-dd_")));
    }

    // Nothing saved: the previous date stays, so the reminder still comes.
    void unsavedBackupKeepsThePreviousDate_data()
    {
        QTest::addColumn<QString>("target"); // empty: cancelled
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("page");
        const QStringList refused
            = { "SaveFile|Daten sichern|", "Critical|Fehler|Daten wurden nicht gesichert." };
        QTest::newRow("cancelled") << "" << QStringList("SaveFile|Daten sichern|") << "swBackup";
        QTest::newRow("the live file")
            << "db.sqlite"
            << QStringList({ refused.first(),
                   refused.last()
                       + "\nDie Datei WORKDIR/db.sqlite ist die Datenbank des Programms "
                         "selbst.\nBitte wählen Sie einen anderen Namen oder einen anderen "
                         "Ordner." })
            << "swMenu";
        // WORKDIR stands for the test's working folder.
        QTest::newRow("missing folder")
            << "fehlt/x.sqlite"
            << QStringList({ refused.first(),
                   refused.last()
                       + "\nDie Datei WORKDIR/fehlt/x.sqlite konnte nicht geschrieben "
                         "werden:\n"
                       + QString::fromLocal8Bit(strerror(ENOENT)) })
            << "swMenu";
    }
    void unsavedBackupKeepsThePreviousDate()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, log);
        QFETCH(QString, page);
        for (const bool rowPresent : { true, false }) {
            Shell s;
            QVERIFY(s.start());
            const ShopFixture shop;
            if (rowPresent)
                TestWorkdir::setSetting("BackupDate", "01.02.2020");
            else
                TestWorkdir::removeSetting("BackupDate");
            s.key("6");
            if (!target.isEmpty())
                Dialogs::setNextAnswer(s.dir.path(target));
            clickOn(s, "pushButtonSichern");
            QCOMPARE(dialogLog(), QStringList(log).replaceInStrings("WORKDIR", s.dir.path()));
            QCOMPARE(s.page(), page);
            if (!s.dbOpen())
                s.key("Esc");
            QCOMPARE(TestWorkdir::scalar("PRAGMA integrity_check"), QVariant("ok"));
            QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Artikel"), QVariant(8));
            QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Systemdaten WHERE Name = "
                                         "'BackupDate' AND Wert = '01.02.2020'"),
                QVariant(rowPresent ? 1 : 0));
            QCOMPARE(
                TestWorkdir::scalar("SELECT COUNT(*) FROM Systemdaten WHERE Name = 'BackupDate'"),
                QVariant(rowPresent ? 1 : 0));
        }
    }
    // The backup before the restore may have any name the user gives it, also one beside the
    // live file that the restore's own working copy once had: that copy is a file the program
    // creates itself, and never takes another's place.
    void restoreSwapsTheData_data()
    {
        QTest::addColumn<QString>("before"); // in the backup folder, or beside the live file
        QTest::newRow("in the backup folder") << "usb/vorher.sqlite";
        QTest::newRow("beside the live file, as db.sqlite.restore") << "db.sqlite.restore";
    }
    void restoreSwapsTheData()
    {
        QFETCH(QString, before);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        QTemporaryDir usb;
        TestWorkdir::setSetting("PfadBackup", usb.path());
        s.key("6");
        Dialogs::setNextAnswer(usb.filePath("alt.sqlite"));
        clickOn(s, "pushButtonSichern");
        TestWorkdir::exec("INSERT INTO Kunde (Name, Vorname) VALUES ('Neu', 'Nina')");
        TestWorkdir::exec("UPDATE Systemdaten SET Wert = '01.01.2020' WHERE Name = 'BackupDate'");
        // The intake page keeps its customers between entries; the restored ones replace them.
        const auto listedOnIntake = [&s] {
            if (!s.enter(Qt::Key_1, "swArrive"))
                return QList<int>();
            auto *search = s.field("swArrive", "lineEditSearch");
            search->setFocus();
            pages::type(search, "e");
            const QList<int> ids
                = pages::listedIds(*s.field<QListWidget>("swArrive", "listWidget"));
            s.toMenu();
            return ids;
        };
        QCOMPARE(listedOnIntake(), QList<int>({ 2, 1, 3 }));

        s.key("6");
        const QString backupBefore
            = before.startsWith("usb/") ? usb.filePath(before.mid(4)) : s.dir.path(before);
        restore(s, backupBefore, "Chef", usb.filePath("alt.sqlite"));

        QCOMPARE(dialogLog(),
            QStringList({ "SaveFile|Daten sichern|",
                "Information|Erfolg|Daten wurden erfolgreich gesichert.",
                "Text|MasterPasswort|Bitte geben Sie das MasterPasswort ein, um fortzufahren:",
                "OpenFile|Daten wiederherstellen|" }));
        QCOMPARE(Dialogs::lastCall().value("dir").toString(), usb.path());
        QCOMPARE(Dialogs::lastCall().value("filter").toString(), QString("Database (*.sqlite)"));
        QCOMPARE(s.page(), QString("swMenu"));
        QVERIFY(s.dbOpen());
        QCOMPARE(TestWorkdir::scalar(
                     "SELECT group_concat(Name) FROM (SELECT Name FROM Kunde ORDER BY ID)"),
            QVariant("Muster,Beispiel"));
        QCOMPARE(listedOnIntake(), QList<int>({ 2, 1 }));
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"),
            QVariant(today()));
        // The backup before the restore holds what was replaced; no working file stays.
        QCOMPARE(scalarIn(backupBefore, "SELECT COUNT(*) FROM Kunde", true), QVariant(3));
        QCOMPARE(QDir(s.dir.path()).entryList({ "db.sqlite*" }, QDir::Files),
            sorted(QStringList({ "db.sqlite", before }).filter(QRegularExpression("^db"))));
    }

    // The live file stays exactly as the backup before the restore found it.
    void restoreRefusals_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("source"); // empty: the open dialog cancelled
        QTest::addColumn<QString>("last");
        const QString refused = "Critical|Fehler|Daten wurden nicht wiederhergestellt.";
        QTest::newRow("a text file") << "Chef"
                                     << "kaputt.sqlite" << refused;
        QTest::newRow("SQLite without the shop's tables") << "Chef"
                                                          << "fremd.sqlite" << refused;
        QTest::newRow("a damaged backup") << "Chef"
                                          << "kaputt2.sqlite" << refused;
        QTest::newRow("the live file") << "Chef"
                                       << "db.sqlite" << refused;
        QTest::newRow("a missing file") << "Chef"
                                        << "fehlt.sqlite" << refused;
        QTest::newRow("wrong password")
            << "chef"
            << "alt.sqlite"
            << "Text|MasterPasswort|Bitte geben Sie das MasterPasswort ein, um fortzufahren:";
        QTest::newRow("open dialog cancelled") << "Chef"
                                               << ""
                                               << "OpenFile|Daten wiederherstellen|";
    }
    void restoreRefusals()
    {
        QFETCH(QString, password);
        QFETCH(QString, source);
        QFETCH(QString, last);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        makeFile(s.dir.path("kaputt.sqlite"), "Das ist keine Datenbank.\n");
        scalarIn(s.dir.path("fremd.sqlite"), "CREATE TABLE Kunde (ID INTEGER)");
        s.key("6");
        Dialogs::setNextAnswer(s.dir.path("alt.sqlite"));
        clickOn(s, "pushButtonSichern");
        const QByteArray backup = bytes(s.dir.path("alt.sqlite"));
        // Its list of tables intact, everything after the first page overwritten.
        makeFile(s.dir.path("kaputt2.sqlite"),
            backup.left(4096) + QByteArray(backup.size() - 4096, 'U'));
        s.key("6");
        const QStringList files = filesIn(s.dir.path()) << "vorher.sqlite";
        restore(s, s.dir.path("vorher.sqlite"), password,
            source.isEmpty() ? QString() : s.dir.path(source));

        QCOMPARE(dialogLog().last(), last);
        QCOMPARE(s.page(), QString("swBackup"));
        QCOMPARE(bytes(s.dir.path("db.sqlite")), bytes(s.dir.path("vorher.sqlite")));
        // No working file stays.
        QCOMPARE(filesIn(s.dir.path()), sorted(files));
    }

    // A program in the middle of its write keeps the database: the restore would remove its
    // journal and put another file in its place, and its commit would be lost. So does one that
    // merely holds the file open in WAL mode: its next commit would go into the old file. The
    // box says what to do; the live file and the other program's write stay whole.
    void restoreWaitsForAWriter_data()
    {
        QTest::addColumn<QString>("before"); // what the other program does before the restore
        QTest::addColumn<QString>("companion"); // what that leaves beside the live file
        QTest::addColumn<QString>("after"); // and then
        QTest::newRow("in the middle of a write") << "BEGIN; UPDATE Kunde SET Name = 'X';"
                                                  << "-journal"
                                                  << "COMMIT;";
        QTest::newRow("holding the file open in WAL mode")
            << ".output /dev/null\nPRAGMA journal_mode = WAL;\nSELECT COUNT(*) FROM Kunde;\n"
               ".output stdout\n"
            << "-wal"
            << "UPDATE Kunde SET Name = 'X';";
    }
    void restoreWaitsForAWriter()
    {
        QFETCH(QString, before);
        QFETCH(QString, companion);
        QFETCH(QString, after);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        s.key("6");
        Dialogs::setNextAnswer(s.dir.path("alt.sqlite"));
        clickOn(s, "pushButtonSichern");
        SqliteTool other(s.dir.path("db.sqlite"));
        QVERIFY(other.run(before));
        QVERIFY(QFile::exists(s.dir.path("db.sqlite" + companion)));
        struct stat live;
        QVERIFY(::stat(QFile::encodeName(s.dir.path("db.sqlite")), &live) == 0);
        const QByteArray liveBytes = bytes(s.dir.path("db.sqlite"));
        s.key("6");
        const QStringList files = filesIn(s.dir.path()) << "vorher.sqlite";
        restore(s, s.dir.path("vorher.sqlite"), "Chef", s.dir.path("alt.sqlite"));

        QCOMPARE(dialogLog().last(),
            "Critical|Fehler|Daten wurden nicht wiederhergestellt.\n" + kLocked
                + "database is locked Unable to fetch row");
        QCOMPARE(s.page(), QString("swBackup"));
        struct stat now;
        QVERIFY(::stat(QFile::encodeName(s.dir.path("db.sqlite")), &now) == 0);
        QCOMPARE(now.st_ino, live.st_ino);
        if (companion == "-journal") // the log was written back before the backup's copy
            QCOMPARE(bytes(s.dir.path("db.sqlite")), liveBytes);
        // No working file stays.
        QCOMPARE(filesIn(s.dir.path()), sorted(files));
        QVERIFY(other.run(after));
        s.key("Esc");
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Kunde WHERE Name <> 'X'"), QVariant(0));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Kunde"), QVariant(2));
    }

    // A damaged database cannot be backed up, yet it is what a restore is for: after the
    // failed backup the user decides whether it is replaced. With the settings damaged the
    // master password cannot be read, at the entry nor at the press, and there is nothing to
    // compare an entry with: the question is the gate. A copy that cannot take its date is
    // judged like one that fails its check.
    void damagedDatabaseIsReplacedWhenTheUserSaysSo_data()
    {
        QTest::addColumn<QString>("damaged"); // "customers" or "settings"
        QTest::addColumn<bool>("yes");
        QTest::newRow("customers, yes") << "customers" << true;
        QTest::newRow("customers, no") << "customers" << false;
        QTest::newRow("settings, yes") << "settings" << true;
        QTest::newRow("settings, no") << "settings" << false;
    }
    void damagedDatabaseIsReplacedWhenTheUserSaysSo()
    {
        QFETCH(QString, damaged);
        QFETCH(bool, yes);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        addCustomers(30000);
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        s.key("6");
        const QString good = s.dir.path("alt.sqlite");
        Dialogs::setNextAnswer(good);
        clickOn(s, "pushButtonSichern");
        // The main window reads the file afresh at the next entry, as after a start.
        QSqlDatabase::database().close();
        if (damaged == "settings") {
            QVERIFY(spoilRootPage(s.dir.path("db.sqlite"), "Systemdaten"));
        } else {
            // The last 64 KiB are customers' pages, far from the settings.
            QFile live(s.dir.path("db.sqlite"));
            QVERIFY(live.open(QIODevice::ReadWrite) && live.seek(live.size() - 65536)
                && live.write(QByteArray(65536, 'U')) == 65536);
        }
        const QByteArray damagedBytes = bytes(s.dir.path("db.sqlite"));
        s.key("6");
        Dialogs::takeRecords();
        Dialogs::setNextAnswer(s.dir.path("vorher.sqlite"));
        Dialogs::setNextAnswer(QMessageBox::Ok);
        Dialogs::setNextAnswer(yes ? QMessageBox::Yes : QMessageBox::No);
        if (damaged == "customers")
            Dialogs::setNextAnswer("Chef");
        Dialogs::setNextAnswer(good);
        clickOn(s, "pushButtonWiederherstellen");

        const QStringList log = dialogLog();
        QCOMPARE(log.value(0), QString("SaveFile|Daten sichern|"));
        QVERIFY2(log.value(1).startsWith("Critical|Fehler|Daten wurden nicht gesichert.\nDie "
                                         "Datenbank ist beschädigt:\n"),
            qPrintable(log.value(1)));
        QCOMPARE(log.value(2),
            QString("Question|Warnung|Die Datenbank ist beschädigt und konnte nicht gesichert "
                    "werden.\nTrotzdem wiederherstellen?"));
        QVERIFY(!QFile::exists(s.dir.path("vorher.sqlite")));
        // No working file stays.
        QCOMPARE(QDir(s.dir.path()).entryList({ "db.sqlite*", "vorher*" }, QDir::Files),
            QStringList("db.sqlite"));
        if (!yes) {
            QCOMPARE(log.size(), 3);
            // Return alone does not give the data away.
            QCOMPARE(Dialogs::lastCall().value("defaultButton").toInt(), int(QMessageBox::No));
            QCOMPARE(s.page(), QString("swBackup"));
            QCOMPARE(bytes(s.dir.path("db.sqlite")), damagedBytes);
            return;
        }
        QStringList rest = { "OpenFile|Daten wiederherstellen|" };
        if (damaged == "customers")
            rest.prepend(
                "Text|MasterPasswort|Bitte geben Sie das MasterPasswort ein, um fortzufahren:");
        QCOMPARE(log.mid(3), rest);
        QCOMPARE(s.page(), QString("swMenu"));
        QCOMPARE(TestWorkdir::scalar("PRAGMA integrity_check"), QVariant("ok"));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Kunde"), QVariant(30002));
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'MasterPasswort'"),
            QVariant("Chef"));
    }

    // A backup must hold every column the program reads; what the schema upgrade adds may be
    // missing (it completes the file on the return to the menu), and columns of its own stay.
    void restoreChecksTheColumns_data()
    {
        QTest::addColumn<QStringList>("change"); // made to the backup before it is restored
        QTest::addColumn<bool>("restored");
        QStringList foreign;
        for (const QString &table : allTables)
            foreign << "DROP TABLE " + table << "CREATE TABLE " + table + " (x)";
        QTest::newRow("another program's tables") << foreign << false;
        QTest::newRow("a customer column missing")
            << QStringList("ALTER TABLE Kunde DROP COLUMN Telefon") << false;
        QStringList older;
        for (const char *column : { "EAN", "ISBN", "Images", "Kategorie", "Beschreibung" })
            older << QString("ALTER TABLE Artikel DROP COLUMN ") + column;
        QTest::newRow("an older shop without the later article columns") << older << true;
        QTest::newRow("a column of its own")
            << QStringList("ALTER TABLE Kunde ADD Notiz TEXT") << true;
    }
    void restoreChecksTheColumns()
    {
        QFETCH(QStringList, change);
        QFETCH(bool, restored);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        s.key("6");
        const QString backup = s.dir.path("alt.sqlite");
        Dialogs::setNextAnswer(backup);
        clickOn(s, "pushButtonSichern");
        QVERIFY(execIn(backup, change));
        TestWorkdir::exec("INSERT INTO Kunde (Name, Vorname) VALUES ('Neu', 'Nina')");

        s.key("6");
        restore(s, s.dir.path("vorher.sqlite"), "Chef", backup);

        if (!restored) {
            QCOMPARE(dialogLog().last(),
                QString("Critical|Fehler|Daten wurden nicht wiederhergestellt."));
            QCOMPARE(bytes(s.dir.path("db.sqlite")), bytes(s.dir.path("vorher.sqlite")));
            return;
        }
        QCOMPARE(dialogLog().last(), QString("OpenFile|Daten wiederherstellen|"));
        QCOMPARE(s.page(), QString("swMenu"));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Kunde"), QVariant(2));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Artikel"), QVariant(8));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM pragma_table_info('Artikel') WHERE name "
                                     "IN ('EAN', 'ISBN', 'Images', 'Kategorie', 'Beschreibung')"),
            QVariant(5));
    }

    void reset_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("done");
        QTest::newRow("whole shop") << "" << true;
        QTest::newRow("a data table missing") << "DROP TABLE Zurueckgegeben" << true;
        // The script cannot recreate the table: nothing of it may stay done.
        QTest::newRow("a view in a table's place")
            << "CREATE VIEW Verkauf AS SELECT 1 AS x" << false;
    }
    void reset()
    {
        QFETCH(QString, damage);
        QFETCH(bool, done);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        if (damage.startsWith("CREATE VIEW"))
            TestWorkdir::exec("DROP TABLE Verkauf");
        if (!damage.isEmpty())
            TestWorkdir::exec(damage);
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        TestWorkdir::setSetting("BackupDate", today());
        TestWorkdir::exec("UPDATE Verkaufspreis SET Wert = 3 WHERE Einkaufspreis = 0");
        const QString settings = dump("Systemdaten"), rules = dump("Verkaufspreis");
        const QString customers = dump("Kunde"), articles = dump("Artikel");

        s.key("6");
        Dialogs::setNextAnswer("Chef");
        Dialogs::setNextAnswer(s.dir.path("vorher.sqlite"));
        clickOn(s, "pushButton");

        QCOMPARE(dialogLog(),
            QStringList({ "Text|MasterPasswort|Bitte geben Sie das MasterPasswort ein, um "
                          "fortzufahren:",
                "SaveFile|Daten sichern|", "Information|Erfolg|Daten wurden erfolgreich gesichert.",
                done ? "Information|Erfolg|Daten wurden erfolgreich gelöscht."
                     : "Critical|Fehler|Daten wurden nicht vollständig gelöscht." }));
        QCOMPARE(s.page(), QString("swMenu"));
        QCOMPARE(dump("Systemdaten"), settings);
        QCOMPARE(dump("Verkaufspreis"), rules);
        if (!done) {
            QCOMPARE(dump("Kunde"), customers);
            QCOMPARE(dump("Artikel"), articles);
            return;
        }
        for (const char *table : { "Vertrag", "Artikel", "Kunde", "Verkauf", "Zurueckgegeben" })
            QCOMPARE(TestWorkdir::scalar(QString("SELECT COUNT(*) FROM ") + table), QVariant(0));
        // The return to the menu brought back what the script's tables lack.
        QVERIFY(TestWorkdir::scalar("SELECT COUNT(*) FROM pragma_table_info('Artikel') "
                                    "WHERE name = 'Beschreibung'")
                    .toInt()
            == 1);
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' "
                                     "AND name LIKE 'idx_%'"),
            QVariant(int(indexNames().size())));
        TestWorkdir::exec("INSERT INTO Kunde (Name) VALUES ('Erste')");
        TestWorkdir::exec("INSERT INTO Vertrag (Kunde, Laufzeit) VALUES (1, 90)");
        QCOMPARE(TestWorkdir::scalar("SELECT MAX(ID) FROM Kunde"), QVariant(1));
        QCOMPARE(TestWorkdir::scalar("SELECT MAX(ID) FROM Vertrag"), QVariant(1));
        s.key("6");
        QCOMPARE(shown(s, "label_artikel"), QString("0"));
    }

    void resetRefusals_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QVariantList>("answers");
        QTest::addColumn<QStringList>("log");
        const QString prompt
            = "Text|MasterPasswort|Bitte geben Sie das MasterPasswort ein, um fortzufahren:";
        QTest::newRow("wrong password: not even a backup")
            << "" << QVariantList { "chef" } << QStringList(prompt);
        QTest::newRow("prompt cancelled")
            << "" << QVariantList { QVariant() } << QStringList(prompt);
        QTest::newRow("backup cancelled")
            << "" << QVariantList { "Chef" }
            << QStringList({ prompt, "SaveFile|Daten sichern|",
                   "Warning|Fehler|Daten wurden nicht gesichert.\nVorgang abgebrochen." });
        // The empty entry would match the password the page starts with: no prompt, and the
        // box says why.
        QTest::newRow("password unreadable: one box")
            << "ALTER TABLE Systemdaten RENAME TO Einstellungen" << QVariantList { "" }
            << QStringList("Critical|Fehler|Das MasterPasswort konnte nicht gelesen werden.\nno "
                           "such table: Systemdaten Unable to execute statement");
    }
    void resetRefusals()
    {
        QFETCH(QString, setup);
        QFETCH(QVariantList, answers);
        QFETCH(QStringList, log);
        Shell s;
        QVERIFY(s.start());
        const ShopFixture shop;
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        if (!setup.isEmpty())
            TestWorkdir::exec(setup);
        const QStringList before = dumpAll();
        s.key("6");
        QCOMPARE(s.page(), QString("swBackup"));
        Dialogs::takeRecords(); // what the entry could not read
        for (const QVariant &answer : answers)
            Dialogs::setNextAnswer(answer);
        clickOn(s, "pushButton");
        QCOMPARE(dialogLog(), log);
        QCOMPARE(s.page(), QString("swBackup"));
        s.key("Esc");
        const QStringList after = dumpAll();
        QCOMPARE(after, before);
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"

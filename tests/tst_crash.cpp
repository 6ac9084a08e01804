// Kills the program with SIGKILL in the middle of each all-or-nothing write and checks what the
// next start finds: an intact database that holds each action wholly or not at all, no contract
// or label on paper whose number was never stored, and no payout or contract end stored without
// its document.
//
// The test starts itself again as the program: with VELARIX_CRASH_ACTION and
// VELARIX_CRASH_FOLDER set, it opens that working folder in the real main window, goes to the
// action's page as the staff do, fills it and waits for its turn, a line on its standard input;
// then it clicks the button that starts the action. From the click on it writes unbuffered
// marks into the folder's "crash-marks": "go", the begin and the end of every all-or-nothing
// write (each transaction, and the restore's replacement of the file, as the write observer
// tells) and "done", each with its time since "go". A few runs not killed tell how many writes
// the action makes and how long each lasts at the least. The start-up takes several times as
// long as the action: a few children start up ahead, but only one runs its action at a time.
// The next start on each folder a child left, and what the folder then holds, are checked in
// children of their own ("checkers", with VELARIX_CRASH_CHECK set), two side by side.
//
// Then the child kills itself: a thread started before the click waits, spinning, for the
// moment its turn names, "go" or the begin of a write, and sends SIGKILL the given delay after
// it, precise to microseconds. Thirty kills are spread over the whole action and twelve over
// each write's window; one that comes after its write's end is aimed again, earlier.
// The marks a killed child leaves say where the kill landed: each write must have been hit
// inside at least six times, and of the kills inside an action's transactions at least one must
// find the journal on disk: kept in memory, it could not undo a commit that a kill cut short.

#include "support/intakedriver.h"
#include "support/printhelpers.h"
#include "support/shopfixture.h"
#include "support/tilldriver.h"
#include "support/windowdriver.h"

#include "app/database.h"
#include "app/sql.h"
#include "app/textcodec.h"
#include "shell/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using namespace pages;

namespace {

const char *const kActionVariable = "VELARIX_CRASH_ACTION";
const char *const kFolderVariable = "VELARIX_CRASH_FOLDER";
// Set to an action's name: the child checks the folders of that action's kills (see Checkers).
const char *const kCheckVariable = "VELARIX_CRASH_CHECK";
const char *const kCheckedWord = "checked";
// The child's turn, a line on its standard input: "run" unkilled, or "kill N D": killed D
// nanoseconds after the begin of the action's N-th write, or after "go" for N 0.
const char *const kRunWord = "run";
const char *const kKillWord = "kill";
const char *const kMarksFile = "crash-marks";
const char *const kOutputFile = "crash-output";
constexpr int kSpreadKills = 30; // per action, over all of it
constexpr int kAimedKills = 12; // per write, over its window
constexpr int kAimedAgain = 2; // at most, for a kill that came after its write's end
constexpr int kMeasuringRuns = 3; // unkilled, per action
constexpr int kAhead = 3; // children started up and waiting for their turn
constexpr int kCheckers = 2; // children checking the folders the kills left, side by side
// Kills that must land inside each write.
constexpr int kFloor = kAimedKills / 2;

// Beside the shop fixture (contracts 101 to 103), the working folder every run starts from:
//   104-106  Muster (1), running: two articles each, two sales unpaid, one paid   (payout)
//   107-110  Beispiel (2), expired 110 days ago, the same articles and sales      (ending)
//   111      Beispiel (2), running: ten articles of 100 pieces                    (import)
//   "journal.csv"       1,000 journal lines of one piece each of contract 111
// Passwort is empty, MasterPasswort "Chef", both printers set. Beside the working folders,
// "sicherung.sqlite": a backup of the fixture taken before all this, grown by years of
// contracts to some megabytes, so that a replacement that is not one step lasts long enough
// to be hit (restore).
const QList<qint64> kPayoutContracts = { 102, 104, 105, 106 }; // 106 is ended, the rest paid
const QList<qint64> kExpiredContracts = { 107, 108, 109, 110 };
constexpr qint64 kLastPrepared = 111;
constexpr int kConcludedArticles = 20;
const char *const kBackup = "sicherung.sqlite";
const char *const kTodaysBackup = "heute.sqlite";
const char *const kEarlierBackupDate = "01.02.2020";

void addContracts(const ShopFixture &shop)
{
    int minute = 0;
    const auto nextStamp = [&] { return shop.stamp(2, QTime(8, 0).addSecs(60 * minute++)); };
    for (qint64 nr = 104; nr <= 110; ++nr) {
        const bool expired = nr >= 107;
        TestWorkdir::exec(QStringLiteral("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, "
                                         "Laufzeit) VALUES (%1, %2, '%3', 5, 90)")
                              .arg(nr)
                              .arg(expired ? ShopFixture::kundeBeispiel : ShopFixture::kundeMuster)
                              .arg(shop.stamp(expired ? 200 : 5, QTime(10, 0))));
        TestWorkdir::exec(
            QStringLiteral("INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, "
                           "VerkaufsPreis, EinkaufsMenge) VALUES "
                           "(%1, 'Teller', 2.5, 6, 4), (%1, 'Vase', 4, 10, 2)")
                .arg(nr));
        const QString teller = QStringLiteral(
            "(SELECT ID FROM Artikel WHERE Vertrag = %1 AND Bezeichnung = 'Teller')")
                                   .arg(nr);
        const QString vase
            = QStringLiteral("(SELECT ID FROM Artikel WHERE Vertrag = %1 AND Bezeichnung = 'Vase')")
                  .arg(nr);
        TestWorkdir::exec(QStringLiteral("INSERT INTO Verkauf (DateTime, EinkaufsPreis, "
                                         "VerkaufsPreis, VerkaufsMenge, Artikel, Auszahldatum) "
                                         "VALUES ('%1', 2.5, 6, 1, %4, NULL), "
                                         "('%2', 2.5, 6, 1, %4, NULL), ('%3', 4, 10, 1, %5, '%3')")
                              .arg(nextStamp(), nextStamp(), nextStamp(), teller, vase));
    }
    TestWorkdir::exec(QStringLiteral("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, "
                                     "Laufzeit) VALUES (%1, %2, '%3', 5, 90)")
                          .arg(kLastPrepared)
                          .arg(ShopFixture::kundeBeispiel)
                          .arg(shop.stamp(3, QTime(10, 0))));
    for (int i = 1; i <= 10; ++i)
        TestWorkdir::exec(
            QStringLiteral("INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, "
                           "VerkaufsPreis, EinkaufsMenge) VALUES "
                           "(%1, 'Buch %2', 1, 3, 100)")
                .arg(kLastPrepared)
                .arg(i));
}

// 600 contracts of 99 articles each, from contract 1,000 on: a file of some 4.5 MB.
void growBackup(const QString &file)
{
    ScopedConnection backup(QStringLiteral("backup"), file);
    QSqlQuery query(backup.db());
    const QStringList statements = {
        QStringLiteral("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                       "WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < 1599) SELECT i, %1, '2015-03-02 10:00:00.000', 5, 90 FROM n")
            .arg(ShopFixture::kundeMuster),
        QStringLiteral("INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
                       "EinkaufsMenge) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                       "FROM n WHERE i < 59399) SELECT 1000 + i / 99, "
                       "'Gebrauchtes Porzellan, Serie ' || i, 2.5, 6, 1 FROM n"),
    };
    for (const QString &statement : statements)
        QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
}

// One piece a line, two sales a minute from 8 o'clock yesterday, every article of 111 in turn.
QByteArray journal()
{
    QStringList lines { kJournalHeader };
    const QString yesterday = QDate::currentDate().addDays(-1).toString("dd.MM.yy");
    for (int i = 0; i < 1000; ++i)
        lines << journalLine(yesterday, QTime(8, 0).addSecs(30 * i).toString("hh:mm"), "1",
            QStringLiteral("Vertr:%1/%2").arg(kLastPrepared).arg(i % 10 + 1), i % 2 ? "3,50" : "");
    return toCp1252(lines.join("\r\n") + "\r\n");
}

bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &entry :
        source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir() ? !copyFolder(entry.filePath(), target)
                          : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// ---- the child: one action on the real main window -----------------------------------------

struct Action
{
    const char *name;
    // The test function that kills it.
    const char *test;
    Qt::Key menuKey;
    const char *page;
    // Fills the page as the staff do, up to the click that starts the action.
    std::function<bool(WindowDriver &, const QString &folder)> fill;
    const char *button;
    // Each of these contracts is a unit of its own; none: the whole database is one.
    QList<qint64> contracts;
    // Prints a contract and labels with the new numbers.
    bool printsNumbers = false;
    // Prints each contract's document inside its write: stored, it must be on paper.
    bool documentsEach = false;
    // Its write puts another file in the database's place, which no journal guards.
    bool replacesFile = false;
};

bool tick(WindowDriver &w, const char *page, qint64 vertrag, int column)
{
    auto *table = w.field<QTableWidget>(page, "tableWidget");
    const auto found = table->findItems(QString::number(vertrag), Qt::MatchExactly);
    return !found.isEmpty() && clickCheckBox(table, found.first()->row(), column);
}

const QList<Action> &actions()
{
    static const QList<Action> list = {
        { "conclusion", "killedConclusion", Qt::Key_1, "swArrive",
            [](WindowDriver &w, const QString &) {
                auto &page = *w.page<Anlieferung>("swArrive");
                type(edit(page, "lineEditNA"), "Krause");
                type(edit(page, "lineEditVNA"), "Lena");
                for (int i = 1; i <= kConcludedArticles; ++i)
                    intake::addArticle(page, QStringLiteral("Artikel %1").arg(i), 1, "2,50");
                return true;
            },
            "pushButtonVertrAbsch", {}, true },
        { "journal import", "killedJournalImport", Qt::Key_3, "swSell",
            [](WindowDriver &, const QString &folder) {
                Dialogs::setNextAnswer(QDir(folder).filePath("journal.csv"));
                return true;
            },
            "toolButtonImport", {} },
        { "payout", "killedPayout", Qt::Key_4, "swSellout",
            [](WindowDriver &w, const QString &) {
                type(
                    w.field("swSellout", "lineEditKNR"), QString::number(ShopFixture::kundeMuster));
                enum { Auszahlen = 5, Beenden = 7 };
                return tick(w, "swSellout", 102, Auszahlen) && tick(w, "swSellout", 104, Auszahlen)
                    && tick(w, "swSellout", 105, Auszahlen) && tick(w, "swSellout", 106, Beenden);
            },
            "pushButtonPrint", kPayoutContracts, false, true },
        { "expired contracts", "killedEndOfExpiredContracts", Qt::Key_8, "swAbgelaufene",
            [](WindowDriver &w, const QString &) {
                enum { Beenden = 6 };
                for (const qint64 nr : kExpiredContracts)
                    if (!tick(w, "swAbgelaufene", nr, Beenden))
                        return false;
                return true;
            },
            "pushButton_beenden", kExpiredContracts, false, true },
        { "restore", "killedRestore", Qt::Key_6, "swBackup",
            [](WindowDriver &, const QString &folder) {
                Dialogs::setNextAnswer(QDir(folder).filePath("vorher.sqlite"));
                Dialogs::setNextAnswer(QMessageBox::Ok);
                Dialogs::setNextAnswer("Chef");
                Dialogs::setNextAnswer(QFileInfo(folder).dir().filePath(kBackup));
                return true;
            },
            "pushButtonWiederherstellen", {}, false, false, true },
    };
    return list;
}

// A backup into the working folder. It writes none of the shop's data, but the date it leaves
// in the live file must be true.
const Action &backupAction()
{
    static const Action action { "backup", "killedBackupLeavesATrueDate", Qt::Key_6, "swBackup",
        [](WindowDriver &, const QString &folder) {
            Dialogs::setNextAnswer(QDir(folder).filePath(kTodaysBackup));
            return true;
        },
        "pushButtonSichern", {} };
    return action;
}

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct ChildMarks
{
    int file = -1;
    qint64 go = 0;
    int writes = 0; // begun since "go"
    int open = 0; // the write under way, 0: none
    int aimed = -1; // the write whose begin starts the kill's delay, 0: "go"
    std::atomic<qint64> aimedFrom { -1 };
};
ChildMarks marks;

// One line, "what N nanoseconds-since-go", written unbuffered: a kill loses none.
void mark(const char *what, int write, qint64 at)
{
    char line[64];
    const int size = std::snprintf(
        line, sizeof line, "%s %d %lld\n", what, write, static_cast<long long>(at - marks.go));
    const ssize_t written = ::write(marks.file, line, size_t(size));
    Q_UNUSED(written)
}

void observeWrite(bool begins)
{
    const qint64 now = steadyNs();
    if (!begins) {
        mark("end", marks.open, now);
        marks.open = 0;
        return;
    }
    marks.open = ++marks.writes;
    mark("begin", marks.open, now);
    if (marks.open == marks.aimed)
        marks.aimedFrom.store(now);
}

// A thread that waits, spinning, for the aimed moment and sends SIGKILL the delay after it:
// already running, it is precise to microseconds, where a parent would first read a pipe.
void armKill(int write, qint64 delay)
{
    marks.aimed = write;
    std::thread([delay] {
        qint64 from = -1;
        while ((from = marks.aimedFrom.load()) < 0) { }
        const qint64 at = from + delay;
        for (qint64 left = at - steadyNs(); left > 0; left = at - steadyNs()) {
            if (left > 2000000)
                std::this_thread::sleep_for(std::chrono::nanoseconds(left - 1000000));
        }
        ::kill(::getpid(), SIGKILL);
    }).detach();
}

const Action *findAction(const QString &name)
{
    const Action *action = name == QLatin1String(backupAction().name) ? &backupAction() : nullptr;
    for (const Action &a : actions())
        if (name == QLatin1String(a.name))
            action = &a;
    return action;
}

int runAction(const QString &name, const QString &folder)
{
    const Action *action = findAction(name);
    if (!action || !QDir::setCurrent(folder))
        return 2;
    Dialogs::setTestMode(true);
    Dialogs::setEcho(true);
    if (!openDatabaseAtStart())
        return 3;
    WindowDriver w;
    if (!w.start())
        return 4;
    Dialogs::setNextAnswer(QString("")); // the empty Passwort, where the page asks for it
    if (!w.enter(action->menuKey, action->page))
        return 5;
    Dialogs::clearAnswers();
    if (!action->fill(w, folder))
        return 6;
    QWidget *button = w.field(action->page, action->button);
    if (!button)
        return 7;
    marks.file = ::open(QFile::encodeName(QDir(folder).filePath(kMarksFile)).constData(),
        O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (marks.file < 0)
        return 8;
    // Started up and ready: the turn comes as a line, "run" or "kill N D" (see kKillWord).
    QByteArray word;
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n')
        word += c;
    const QList<QByteArray> aim = word.split(' ');
    if (aim.size() == 3 && aim.at(0) == kKillWord)
        armKill(aim.at(1).toInt(), aim.at(2).toLongLong());
    else if (word != kRunWord)
        return 9; // never given a turn
    setWriteObserver(observeWrite);
    marks.go = steadyNs();
    mark("go", 0, marks.go);
    if (marks.aimed == 0)
        marks.aimedFrom.store(marks.go);
    QTest::mouseClick(button, Qt::LeftButton);
    mark("done", 0, steadyNs());
    return 0;
}

// Delays from "go" for kills over an action that lasts about span ns: every other one evenly
// spread to a tenth past the end; the rest from 50 µs on, each a constant factor later than the
// one before, as most actions write in their first milliseconds.
QList<qint64> spreadKills(double span)
{
    auto *random = QRandomGenerator::global();
    QList<qint64> delays;
    for (int k = 0; k < kSpreadKills; ++k) {
        const double at = (k / 2 + random->generateDouble() / 2) / (kSpreadKills / 2 - 1);
        delays << qint64(k % 2 ? span * at : 50000.0 * std::pow(span / 50000.0, at));
    }
    return delays;
}

// ---- what a killed folder holds ------------------------------------------------------------

QString firstValue(QSqlDatabase db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement) || !query.next())
        return QStringLiteral("(failed: %1)").arg(query.lastError().text());
    return query.value(0).toString();
}

// Row counts and sums of the business data, and the numbers handed out.
QString wholeData(QSqlDatabase db)
{
    return firstValue(db, QStringLiteral(R"(
SELECT (SELECT COUNT(*) FROM Kunde)
  || '|' || (SELECT COUNT(*) || ' ' || TOTAL(Standgebuehr) || ' ' || COUNT(Vertragsende)
             FROM Vertrag)
  || '|' || (SELECT COUNT(*) || ' ' || TOTAL(EinkaufsPreis * EinkaufsMenge) || ' '
             || TOTAL(VerkaufsPreis) FROM Artikel)
  || '|' || (SELECT COUNT(*) || ' ' || TOTAL(VerkaufsPreis * VerkaufsMenge) || ' '
             || TOTAL(EinkaufsPreis) || ' ' || COUNT(Auszahldatum) FROM Verkauf)
  || '|' || (SELECT COUNT(*) || ' ' || TOTAL(Anzahl) FROM Zurueckgegeben)
  || '|' || COALESCE((SELECT group_concat(name || '=' || seq) FROM
             (SELECT name, seq FROM sqlite_sequence WHERE name <> 'Systemdaten' ORDER BY name)), '')
)"));
}

// The state of the contracts that match: their end, their articles' purchase prices, their
// sales paid out and the consignor's share of them.
QString contractState(QSqlDatabase db, const QString &which)
{
    return firstValue(db,
        QStringLiteral(R"(
SELECT COALESCE((SELECT group_concat(S) FROM (SELECT CASE WHEN Vertragsende IS NULL THEN 'offen'
         WHEN Vertragsende IN ('', '-1') THEN Vertragsende ELSE 'beendet' END AS S
         FROM Vertrag WHERE ID %1 ORDER BY ID)), '')
  || '|' || (SELECT TOTAL(EinkaufsPreis) FROM Artikel WHERE Vertrag %1)
  || '|' || (SELECT COUNT(*) || ' ' || TOTAL(V.Auszahldatum IS NOT NULL AND V.Auszahldatum <> '-1')
             || ' ' || TOTAL(V.EinkaufsPreis)
             FROM Verkauf AS V JOIN Artikel AS A ON V.Artikel = A.ID WHERE A.Vertrag %1)
)")
            .arg(which));
}

// The units an action writes wholly or not at all: each contract, then everything else; or
// the whole database as one.
QStringList units(QSqlDatabase db, const QList<qint64> &contracts)
{
    if (contracts.isEmpty())
        return { wholeData(db) };
    QStringList result, numbers;
    for (const qint64 nr : contracts) {
        result << contractState(db, QStringLiteral("= %1").arg(nr));
        numbers << QString::number(nr);
    }
    result << contractState(db, QStringLiteral("NOT IN (%1)").arg(numbers.join(',')))
            + QLatin1Char('|') + wholeData(db).section('|', 0, 0);
    return result;
}

bool hotJournal(const QString &folder)
{
    QFile journal(QDir(folder).filePath("db.sqlite-journal"));
    // A journal whose header was zeroed or never written is not played back.
    return journal.open(QIODevice::ReadOnly)
        && journal.read(8) == QByteArray::fromHex("d9d505f920a163d7");
}

// The next start of the program on the folder: the database opens, the main window comes up
// and no box is shown. It also plays back a journal the kill left.
QString restart(const QString &folder)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    Dialogs::setTestMode(true);
    Dialogs::clearAnswers();
    Dialogs::takeRecords();
    QString failure;
    if (!openDatabaseAtStart()) {
        failure = QStringLiteral("the database does not open");
    } else {
        WindowDriver w;
        if (!w.start() || !w.expectPage("swMenu"))
            failure = QStringLiteral("the main window does not come up");
    }
    if (!dialogLog().isEmpty())
        failure = QStringLiteral("boxes at the start: ") + dialogLog().join(QStringLiteral(" / "));
    QSqlDatabase::database(QSqlDatabase::defaultConnection, false).close();
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    QDir::setCurrent(previous);
    return failure;
}

// The printed files that match, each with its text, whitespace collapsed. A conclusion leaves
// some twenty to read after each kill: their readers run side by side.
QList<QPair<QString, QString>> printedTexts(const QString &folder, const QString &pattern)
{
    const QDir print(QDir(folder).filePath("print"));
    std::vector<std::unique_ptr<QProcess>> readers;
    const QStringList files = print.entryList({ pattern }, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        readers.push_back(std::make_unique<QProcess>());
        readers.back()->start(QStringLiteral("pdftotext"),
            { QStringLiteral("-layout"), print.filePath(file), QStringLiteral("-") });
    }
    QList<QPair<QString, QString>> texts;
    for (size_t i = 0; i < readers.size(); ++i) {
        readers.at(i)->waitForFinished(60000);
        texts.append({ files.at(int(i)),
            collapsed(QString::fromUtf8(readers.at(i)->readAllStandardOutput())) });
    }
    return texts;
}

// A contract or label on paper must carry a number the database holds: a contract made by
// this action, with an article at the label's position.
QString printedButNotStored(const QString &folder, QSqlDatabase db)
{
    for (const auto &[file, text] : printedTexts(folder, "*.pdf")) {
        const bool label = file.endsWith("-etikett.pdf");
        const auto m = QRegularExpression(label ? "\\b(\\d+)/(\\d+)\\b" : "Nr: (\\d+)").match(text);
        if (!m.hasMatch())
            return file + QStringLiteral(" names no contract: ") + text;
        const qint64 nr = m.captured(1).toLongLong();
        const int position = label ? m.captured(2).toInt() : 1;
        const int articles = firstValue(db,
            QStringLiteral("SELECT COUNT(*) FROM Artikel WHERE Vertrag = %1 AND EXISTS "
                           "(SELECT 1 FROM Vertrag WHERE ID = %1)")
                .arg(nr))
                                 .toInt();
        if (nr <= kLastPrepared || position < 1 || position > articles)
            return QStringLiteral("%1 shows contract %2, position %3, which is not stored")
                .arg(file)
                .arg(nr)
                .arg(position);
    }
    return QString();
}

// The contracts whose document (payout or contract end) is on paper.
QSet<qint64> documented(const QString &folder)
{
    QSet<qint64> numbers;
    for (const auto &[file, text] : printedTexts(folder, "*-dokument.pdf")) {
        const auto m = QRegularExpression("Kommissionsvertrag Nr: (\\d+)").match(text);
        if (m.hasMatch())
            numbers.insert(m.captured(1).toLongLong());
    }
    return numbers;
}

// What a working folder holds once the program has started on it again.
struct Found
{
    QString integrity; // "ok"
    QStringList units;
    QString printed; // a contract or label on paper that is not stored
    QSet<qint64> documented; // contracts whose document was printed
};

Found inspect(const QString &folder, const Action &action)
{
    ScopedConnection check(QStringLiteral("check"), QDir(folder).filePath("db.sqlite"));
    Found found;
    found.integrity = firstValue(check.db(), QStringLiteral("PRAGMA integrity_check"));
    found.units = units(check.db(), action.contracts);
    if (action.printsNumbers)
        found.printed = printedButNotStored(folder, check.db());
    if (action.documentsEach)
        found.documented = documented(folder);
    return found;
}

// The live file's backup date, and the backup's beside it (empty: none stands).
QPair<QString, QString> backupDates(const QString &folder)
{
    ScopedConnection live(QStringLiteral("dates"), QDir(folder).filePath("db.sqlite"));
    const QString liveDate = firstValue(
        live.db(), QStringLiteral("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'"));
    const QString backup = QDir(folder).filePath(kTodaysBackup);
    if (!QFile::exists(backup))
        return qMakePair(liveDate, QString());
    ScopedConnection saved(QStringLiteral("saved"), backup, true);
    const QString check = firstValue(saved.db(), QStringLiteral("PRAGMA quick_check"));
    return qMakePair(liveDate,
        check != "ok"
            ? check
            : firstValue(saved.db(),
                QStringLiteral("SELECT Wert FROM Systemdaten WHERE Name = 'BackupDate'")));
}

// What a checker found in a folder a child left: before, at and after the next start.
struct Checked
{
    bool hot = false; // a journal to play back, before the start
    bool journal = false; // a journal or log beside the database, before the start
    QString failure; // of the start, or of the checker
    bool playedBack = false; // no journal to play back after it
    Found found;
    QPair<QString, QString> dates; // backupDates
};

QJsonObject toJson(const Checked &checked)
{
    QJsonArray documented;
    for (const qint64 nr : checked.found.documented)
        documented.append(nr);
    return { { "hot", checked.hot }, { "journal", checked.journal }, { "failure", checked.failure },
        { "playedBack", checked.playedBack }, { "integrity", checked.found.integrity },
        { "units", QJsonArray::fromStringList(checked.found.units) },
        { "printed", checked.found.printed }, { "documented", documented },
        { "liveDate", checked.dates.first }, { "backupDate", checked.dates.second } };
}

Checked fromJson(const QJsonObject &json)
{
    Checked checked;
    checked.hot = json["hot"].toBool();
    checked.journal = json["journal"].toBool();
    checked.failure = json["failure"].toString();
    checked.playedBack = json["playedBack"].toBool();
    checked.found.integrity = json["integrity"].toString();
    for (const QJsonValue &unit : json["units"].toArray())
        checked.found.units << unit.toString();
    checked.found.printed = json["printed"].toString();
    for (const QJsonValue &nr : json["documented"].toArray())
        checked.found.documented.insert(qint64(nr.toDouble()));
    checked.dates = { json["liveDate"].toString(), json["backupDate"].toString() };
    return checked;
}

// A checker: for each folder named on its standard input, in turn, the next start of the
// program on it and what the folder then holds, answered on its standard output.
int runChecks(const QString &name)
{
    const Action *action = findAction(name);
    if (!action)
        return 2;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTextStream in(stdin);
    QString folder;
    while (in.readLineInto(&folder)) {
        Checked checked;
        if (folder.isEmpty()) { // a child whose folder could not be copied
            checked.failure = QStringLiteral("no folder");
        } else {
            checked.hot = hotJournal(folder);
            checked.journal = QFile::exists(QDir(folder).filePath("db.sqlite-journal"))
                || QFile::exists(QDir(folder).filePath("db.sqlite-wal"));
            checked.failure = restart(folder);
            checked.playedBack = !hotJournal(folder);
            checked.found = inspect(folder, *action);
            checked.dates = backupDates(folder);
        }
        const QByteArray answer = QJsonDocument(toJson(checked)).toJson(QJsonDocument::Compact);
        std::printf("%s %s\n", kCheckedWord, answer.constData());
        std::fflush(stdout);
    }
    return 0;
}

// Where a write lay, in nanoseconds since "go".
struct Window
{
    qint64 begin = -1;
    qint64 end = -1;
};

struct Run
{
    bool went = false; // came to the click
    bool done = false; // finished the action
    qint64 goToEnd = -1; // ns from "go" to "done"
    QList<Window> writes; // as far as they were marked
    int inside = 0; // the write under way when the child died, 0: none
    QStringList warnings; // warning and critical boxes it showed
    QString failure;
    QString folder; // where it ran
};

// What the child marked before it ended or was killed.
void readMarks(const QString &folder, Run &run)
{
    QFile file(QDir(folder).filePath(kMarksFile));
    if (!file.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3)
            continue;
        const int write = parts.at(1).toInt();
        const qint64 at = parts.at(2).toLongLong();
        if (parts.at(0) == "go") {
            run.went = true;
        } else if (parts.at(0) == "begin" && write >= 1) {
            if (write > run.writes.size())
                run.writes.resize(write);
            run.writes[write - 1].begin = at;
            run.inside = write;
        } else if (parts.at(0) == "end" && write >= 1 && write <= run.writes.size()) {
            run.writes[write - 1].end = at;
            run.inside = 0;
        } else if (parts.at(0) == "done") {
            run.done = true;
            run.goToEnd = at;
        }
    }
}

// Empty: no folder could be made (QDir("") would be the current one).
void removeFolder(const QString &folder)
{
    if (!folder.isEmpty())
        QDir(folder).removeRecursively();
}

// A turn: unkilled (write -1), or killed delay ns after the begin of that write, counted from
// 1, or after "go" for 0; tried: how often that kill was aimed before.
struct Turn
{
    int write = -1;
    qint64 delay = 0;
    int tried = 0;
};

// The children of one action, each on a fresh working folder. A child's start-up (the program,
// its window, the page filled) takes several times as long as its action: kAhead of them start
// up ahead and wait, and the next one's turn comes as soon as the last has ended, while its
// folder is checked. Only one action runs at a time, so that no two kills' timings meet.
class Children
{
public:
    Children(const Action &action, std::function<QString()> newFolder)
        : m_action(action)
        , m_newFolder(std::move(newFolder))
    {
        while (m_waiting.size() < kAhead)
            startOne();
    }
    ~Children()
    {
        for (auto *children : { &m_going, &m_waiting })
            for (Child &child : *children) {
                child.process->kill();
                child.process->waitForFinished();
                removeFolder(child.folder);
            }
    }
    Children(const Children &) = delete;
    Children &operator=(const Children &) = delete;

    // Gives the next child its turn.
    void go(const Turn &turn)
    {
        Child child = std::move(m_waiting.front());
        m_waiting.pop_front();
        child.turn = turn;
        child.process->write(turn.write < 0 ? QByteArray(kRunWord) + '\n'
                                            : QStringLiteral("%1 %2 %3\n")
                                                  .arg(kKillWord)
                                                  .arg(turn.write)
                                                  .arg(turn.delay)
                                                  .toLatin1());
        child.process->waitForBytesWritten(60000);
        m_going.push_back(std::move(child));
        startOne();
    }

    // Waits for the child whose turn came first to end: what it did, in its folder, which the
    // caller removes.
    Run finish()
    {
        Child child = std::move(m_going.front());
        m_going.pop_front();
        QProcess &process = *child.process;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
        }
        Run run;
        run.folder = child.folder;
        if (child.folder.isEmpty()) {
            run.failure = QStringLiteral("its working folder could not be copied");
            return run;
        }
        readMarks(child.folder, run);
        QFile output(QDir(child.folder).filePath(kOutputFile));
        const QString errors
            = output.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(output.readAll()) : "";
        run.warnings = errors.split('\n').filter(QRegularExpression("^Dialog: (Warning|Critical)"));
        const bool normal = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (!run.went)
            run.failure = QStringLiteral("never came to the click (exit %1): %2")
                              .arg(process.exitCode())
                              .arg(errors);
        else if (run.done ? child.turn.write < 0 && !normal
                          : process.exitStatus() != QProcess::CrashExit)
            run.failure = QStringLiteral("ended with %1: %2").arg(process.exitCode()).arg(errors);
        return run;
    }

private:
    struct Child
    {
        std::unique_ptr<QProcess> process;
        QString folder;
        Turn turn;
    };

    void startOne()
    {
        Child child { std::make_unique<QProcess>(), m_newFolder(), {} };
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kActionVariable, m_action.name);
        env.insert(kFolderVariable, child.folder);
        env.insert("VELARIX_PRINT_DIR", QDir(child.folder).filePath("print"));
        env.insert("VELARIX_TEST", "1");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VELARIX_SHUTDOWN_CMD", "true");
        env.insert("VELARIX_CAMERA_CMD", "true");
        child.process->setProcessEnvironment(env);
        if (child.folder.isEmpty()) {
            m_waiting.push_back(std::move(child)); // fails its turn
            return;
        }
        // Into a file: a child waiting for its turn fills no pipe that nobody reads.
        child.process->setStandardOutputFile(QProcess::nullDevice());
        child.process->setStandardErrorFile(QDir(child.folder).filePath(kOutputFile));
        child.process->start(QCoreApplication::applicationFilePath(), {});
        m_waiting.push_back(std::move(child));
    }

    const Action &m_action;
    std::function<QString()> m_newFolder;
    std::deque<Child> m_waiting, m_going;
};

// Checks the folders the children left, each in a checker of its own: a child started with
// VELARIX_CRASH_CHECK. A check starts the program again on the folder and reads what it holds
// then, which takes longer than most actions: kCheckers checkers take the folders in turn.
class Checkers
{
public:
    explicit Checkers(const Action &action)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kCheckVariable, action.name);
        env.insert("VELARIX_TEST", "1");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        for (int c = 0; c < kCheckers; ++c) {
            auto &checker = *m_checkers.emplace_back(std::make_unique<QProcess>());
            checker.setProcessEnvironment(env);
            checker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            checker.start(QCoreApplication::applicationFilePath(), {});
        }
    }
    ~Checkers()
    {
        for (auto &checker : m_checkers) {
            checker->closeWriteChannel();
            if (!checker->waitForFinished(10000))
                checker->kill();
            checker->waitForFinished();
        }
    }
    Checkers(const Checkers &) = delete;
    Checkers &operator=(const Checkers &) = delete;

    // Hands the folder to the next checker: its checks come back in the order given.
    void give(const QString &folder)
    {
        QProcess &checker = *m_checkers.at(m_given++ % kCheckers);
        checker.write(QFile::encodeName(folder) + '\n');
        checker.waitForBytesWritten(60000);
    }

    // Waits for the check of the folder given first of those not yet taken.
    Checked take()
    {
        QProcess &checker = *m_checkers.at(m_taken++ % kCheckers);
        const QByteArray word = QByteArray(kCheckedWord) + ' ';
        while (checker.canReadLine() || checker.waitForReadyRead(120000)) {
            while (checker.canReadLine()) {
                const QByteArray line = checker.readLine();
                if (line.startsWith(word))
                    return fromJson(QJsonDocument::fromJson(line.mid(word.size())).object());
            }
        }
        Checked broken;
        broken.failure
            = QStringLiteral("the checker gave no answer (exit %1)").arg(checker.exitCode());
        return broken;
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_checkers;
    int m_given = 0;
    int m_taken = 0;
};

// Gives each turn in order to the next child and hands the folder it left to the checkers.
// The checks lag behind by up to kCheckers, so that they run side by side and beside the next
// child's action. The check may add turns; a failed check ends.
void takeTurns(Children &children, Checkers &checkers, QList<Turn> &turns,
    const std::function<void(const Turn &, const Run &, const Checked &)> &check)
{
    QList<Run> ended; // in the order of the turns
    int given = 0, checked = 0;
    while (checked < turns.size() && !QTest::currentTestFailed()) {
        if (given == ended.size() && given < turns.size())
            children.go(turns.at(given++));
        if (ended.size() < given) {
            ended << children.finish();
            if (given < turns.size())
                children.go(turns.at(given++));
            checkers.give(ended.last().folder);
        }
        // Checked now when the checkers are all busy, or when no child is going.
        if (ended.size() - checked >= kCheckers || ended.size() == given) {
            const Run &run = ended.at(checked);
            const Turn turn = turns.at(checked);
            check(turn, run, checkers.take());
            removeFolder(run.folder);
            ++checked;
        }
    }
}

} // namespace

class TestCrash : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_template;
    int m_runs = 0;

    QString newFolder(const QString &from = QString())
    {
        const QString folder = m_root.filePath(QStringLiteral("run%1").arg(++m_runs));
        return copyFolder(from.isEmpty() ? m_template : from, folder) ? folder : QString();
    }

    // The kills of the action whose test function runs, and what each left.
    void killedWritesAreWholeOrAbsent()
    {
        const auto found = std::find_if(actions().cbegin(), actions().cend(),
            [](const Action &a) { return QLatin1String(a.test) == QTest::currentTestFunction(); });
        QVERIFY(found != actions().cend());
        const Action &action = *found;
        const QStringList before = inspect(m_template, action).units;
        Children children(action, [this] { return newFolder(); });
        Checkers checkers(action);

        // Unkilled: what the action writes, how long it takes and where its writes lie. The
        // same write may take ten times as long from one run to the next (the disk's flushes
        // under load): of a few runs, each write's shortest time is the window the kills aim
        // at, so that in a quicker run they still land inside it.
        const int writeCount = qMax(1, int(action.contracts.size()));
        QList<qint64> totals, windows(writeCount, std::numeric_limits<qint64>::max());
        QStringList after;
        QList<Turn> measuring(kMeasuringRuns);
        takeTurns(children, checkers, measuring,
            [&](const Turn &, const Run &full, const Checked &checked) {
                QVERIFY2(full.failure.isEmpty(), qPrintable(full.failure));
                QVERIFY2(full.warnings.isEmpty(), qPrintable(full.warnings.join('\n')));
                QVERIFY2(checked.failure.isEmpty(), qPrintable(checked.failure));
                const Found &complete = checked.found;
                QCOMPARE(complete.integrity, QString("ok"));
                if (totals.isEmpty())
                    after = complete.units;
                QCOMPARE(complete.units, after);
                for (int u = 0; u < writeCount; ++u)
                    QVERIFY2(after.at(u) != before.at(u),
                        qPrintable(action.name + (": " + before.at(u))));
                QVERIFY2(complete.printed.isEmpty(), qPrintable(complete.printed));
                if (action.printsNumbers)
                    QCOMPARE(
                        QDir(QDir(full.folder).filePath("print")).entryList({ "*.pdf" }).size(),
                        2 + kConcludedArticles); // the contract, its copy and the labels
                for (const qint64 nr : action.documentsEach ? action.contracts : QList<qint64>())
                    QVERIFY2(complete.documented.contains(nr), qPrintable(QString::number(nr)));
                // Each contract is a write of its own; without contracts the action is one.
                QCOMPARE(full.writes.size(), writeCount);
                for (int w = 0; w < writeCount; ++w) {
                    const Window &window = full.writes.at(w);
                    QVERIFY(window.begin >= 0 && window.end >= window.begin);
                    windows[w] = qMin(windows.at(w), window.end - window.begin);
                }
                totals << full.goToEnd;
            });
        if (QTest::currentTestFailed())
            return;
        std::sort(totals.begin(), totals.end());

        // Each kill: the write whose begin it counts from (0: "go"), its delay in ns and how
        // often it was tried before.
        QList<Turn> kills;
        auto *random = QRandomGenerator::global();
        const double span = qMax<qint64>(totals.at(totals.size() / 2), 1000) * 1.1;
        for (const qint64 delay : spreadKills(span))
            kills << Turn { 0, delay, 0 };
        // And a share spread over each write's window.
        for (int w = 1; w <= writeCount; ++w) {
            for (int k = 0; k < kAimedKills; ++k)
                kills << Turn { w,
                    qint64(
                        (k + random->generateDouble()) / kAimedKills * double(windows.at(w - 1))),
                    0 };
        }

        // Where each kill landed: inside write N (as the marks it left say), between writes
        // or after the end; whether a commit was under way (its journal played back at the
        // start); and how many of the action's units were stored.
        QVector<int> inside(writeCount + 1);
        int ended = 0, played = 0, journaled = 0;
        enum { None, Some, All };
        int stored[All + 1] = {};
        takeTurns(children, checkers, kills,
            [&](const Turn &kill, const Run &run, const Checked &checked) {
                const auto [write, delay, tried] = kill;
                const QString where
                    = QStringLiteral("%1, killed %2 ms after %3: ")
                          .arg(action.name)
                          .arg(delay / 1e6)
                          .arg(write ? QStringLiteral("the begin of write %1").arg(write)
                                     : QStringLiteral("the click"));
                QVERIFY2(run.failure.isEmpty(), qPrintable(where + run.failure));
                const bool hot = checked.hot;
                const bool journal = checked.journal;
                QVERIFY2(checked.failure.isEmpty(), qPrintable(where + checked.failure));
                QVERIFY2(checked.playedBack, qPrintable(where + "the journal was not played back"));
                const Found &now = checked.found;
                QVERIFY2(now.integrity == "ok", qPrintable(where + now.integrity));
                int done = 0;
                for (int u = 0; u < now.units.size(); ++u) {
                    QVERIFY2(now.units.at(u) == before.at(u) || now.units.at(u) == after.at(u),
                        qPrintable(where + now.units.at(u) + " is neither " + before.at(u) + " nor "
                            + after.at(u)));
                    if (now.units.at(u) != before.at(u))
                        ++done;
                }
                QVERIFY2(now.printed.isEmpty(), qPrintable(where + now.printed));
                for (int u = 0; u < (action.documentsEach ? action.contracts.size() : 0); ++u) {
                    const qint64 nr = action.contracts.at(u);
                    QVERIFY2(now.units.at(u) == before.at(u) || now.documented.contains(nr),
                        qPrintable(where
                            + QStringLiteral("contract %1 is stored without its document")
                                  .arg(nr)));
                }

                ++inside[run.done ? 0 : run.inside];
                // A kill that came after the end of the write it aimed at (this time shorter, or
                // the machine busy) is aimed again, at half the delay.
                if (write > 0 && run.inside != write && run.writes.size() >= write
                    && run.writes.at(write - 1).end >= 0 && tried < kAimedAgain)
                    kills << Turn { write, delay / 2, tried + 1 };
                ended += run.done;
                played += hot;
                journaled += !run.done && run.inside > 0 && journal;
                const int unitCount = qMax(1, int(action.contracts.size()));
                ++stored[done == 0 ? None : done < unitCount ? Some : All];
            });
        if (QTest::currentTestFailed())
            return;
        QStringList perWrite, lengths;
        for (int w = 1; w <= writeCount; ++w) {
            perWrite << QString::number(inside.at(w));
            lengths << QString::number(windows.at(w - 1) / 1e6, 'f', 3);
        }
        qInfo("%s: %d kills (%d aimed again) over %.1f ms, writes of %s ms; inside a write %s "
              "(%d beside a journal), between writes %d, after the end %d; a commit's journal "
              "played back %d; stored: %d nothing, %d some contracts, %d all",
            action.name, int(kills.size()),
            int(kills.size()) - kSpreadKills - writeCount * kAimedKills, span / 1.1e6,
            qPrintable(lengths.join(" + ")), qPrintable(perWrite.join(" + ")), journaled,
            inside.at(0) - ended, ended, played, stored[None], stored[Some], stored[All]);
        for (int w = 1; w <= writeCount; ++w)
            QVERIFY2(inside.at(w) >= kFloor,
                qPrintable(QStringLiteral("%1: %2 kills landed inside write %3, fewer than %4")
                               .arg(action.name)
                               .arg(inside.at(w))
                               .arg(w)
                               .arg(kFloor)));
        // A journal kept only in memory (or none) cannot undo a commit cut off half-way; the
        // pages of such a commit are written in microseconds, which kills seldom hit, but the
        // journal's absence shows in every write.
        QVERIFY2(action.replacesFile || journaled > 0,
            qPrintable(action.name
                + QStringLiteral(
                    ": no kill inside a write found the journal beside the database")));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(m_root.isValid());
        m_template = m_root.filePath("template");
        TestWorkdir dir;
        const ShopFixture shop;
        const QString backup = m_root.filePath(kBackup);
        QVERIFY(QFile::copy(dir.path("db.sqlite"), backup));
        growBackup(backup);
        if (QTest::currentTestFailed())
            return;
        addContracts(shop);
        TestWorkdir::setPrinters();
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        QFile file(dir.path("journal.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(journal());
        file.close();
        QVERIFY(copyFolder(dir.path(), m_template));
        for (const Action &action : actions())
            QVERIFY2(metaObject()->indexOfSlot(QByteArray(action.test) + "()") >= 0,
                qPrintable(QStringLiteral("no test function %1()").arg(action.test)));
    }

    // One function an action, not one row: QtTest 6.4 restarts its clock for a function (when
    // its watchdog gets to run in between), never for a data row.
    void killedConclusion() { killedWritesAreWholeOrAbsent(); }
    void killedJournalImport() { killedWritesAreWholeOrAbsent(); }
    void killedPayout() { killedWritesAreWholeOrAbsent(); }
    void killedEndOfExpiredContracts() { killedWritesAreWholeOrAbsent(); }
    void killedRestore() { killedWritesAreWholeOrAbsent(); }

    // A backup killed at any moment leaves a true date: today's in the live file only when
    // the backup stands whole beside it and carries that date itself; else the date of the
    // last backup made, so that closing still reminds of one.
    void killedBackupLeavesATrueDate()
    {
        const Action &action = backupAction();
        // The grown backup as the shop's file: its copy and check last long enough to be hit.
        const QString from = m_root.filePath("backup-template");
        QVERIFY(copyFolder(m_template, from));
        QVERIFY(QFile::remove(QDir(from).filePath("db.sqlite")));
        QVERIFY(QFile::copy(m_root.filePath(kBackup), QDir(from).filePath("db.sqlite")));
        {
            ScopedConnection live(QStringLiteral("template"), QDir(from).filePath("db.sqlite"));
            QSqlQuery query(live.db());
            QVERIFY(query.exec(QStringLiteral("UPDATE Systemdaten SET Wert = '%1' WHERE Name = "
                                              "'BackupDate'")
                                   .arg(kEarlierBackupDate)));
            QCOMPARE(query.numRowsAffected(), 1);
        }
        const QString today = QDate::currentDate().toString("dd.MM.yyyy");

        Children children(action, [this, from] { return newFolder(from); });
        Checkers checkers(action);
        QList<qint64> totals;
        QList<Turn> measuring(kMeasuringRuns);
        takeTurns(children, checkers, measuring,
            [&](const Turn &, const Run &full, const Checked &checked) {
                QVERIFY2(full.failure.isEmpty(), qPrintable(full.failure));
                QVERIFY2(full.warnings.isEmpty(), qPrintable(full.warnings.join('\n')));
                QVERIFY(full.done);
                QVERIFY2(checked.failure.isEmpty(), qPrintable(checked.failure));
                QCOMPARE(checked.dates, qMakePair(today, today));
                totals << full.goToEnd;
            });
        if (QTest::currentTestFailed())
            return;
        std::sort(totals.begin(), totals.end());

        QList<Turn> kills;
        for (const qint64 delay :
            spreadKills(qMax<qint64>(totals.at(totals.size() / 2), 1000) * 1.1))
            kills << Turn { 0, delay, 0 };
        int during = 0, savedOnly = 0;
        takeTurns(children, checkers, kills,
            [&](const Turn &kill, const Run &run, const Checked &checked) {
                const QString where
                    = QStringLiteral("backup killed %1 ms after the click: ").arg(kill.delay / 1e6);
                QVERIFY2(run.failure.isEmpty(), qPrintable(where + run.failure));
                QVERIFY2(checked.failure.isEmpty(), qPrintable(where + checked.failure));
                const auto [liveDate, backupDate] = checked.dates;
                QVERIFY2(liveDate == kEarlierBackupDate || liveDate == today,
                    qPrintable(where + liveDate));
                QVERIFY2(backupDate.isEmpty() || backupDate == today,
                    qPrintable(where + "the backup holds " + backupDate));
                QVERIFY2(liveDate != today || !backupDate.isEmpty(),
                    qPrintable(where + "today's date, and no backup"));
                during += !run.done;
                savedOnly += liveDate != today && !backupDate.isEmpty();
            });
        if (QTest::currentTestFailed())
            return;
        qInfo("backup: %d kills, %d before its end, %d between the backup and the live file's date",
            kSpreadKills, during, savedOnly);
        QVERIFY2(during >= kFloor, qPrintable(QString::number(during)));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kActionVariable))
        return runAction(
            qEnvironmentVariable(kActionVariable), qEnvironmentVariable(kFolderVariable));
    if (qEnvironmentVariableIsSet(kCheckVariable))
        return runChecks(qEnvironmentVariable(kCheckVariable));
    TestCrash test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash.moc"

// Kills the program with SIGKILL in the middle of each all-or-nothing write and checks what the
// next start finds: an intact database that holds each action wholly or not at all, and no
// contract or label on paper whose number was never stored.
//
// The test starts itself again as the program: with VELARIX_CRASH_ACTION and
// VELARIX_CRASH_FOLDER set, it opens that working folder in the real main window, goes to the
// action's page as the staff do, writes "go" right before the click that starts the action and
// "done" after it. The parent kills it at delays spread from just after "go" to past the end.

#include "support/intakedriver.h"
#include "support/printhelpers.h"
#include "support/shopfixture.h"
#include "support/tilldriver.h"
#include "support/windowdriver.h"

#include "app/database.h"
#include "app/textcodec.h"
#include "shell/startup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <functional>

using namespace pages;

namespace {

const char *const kActionVariable = "VELARIX_CRASH_ACTION";
const char *const kFolderVariable = "VELARIX_CRASH_FOLDER";
constexpr int kKills = 30; // per action

// Beside the shop fixture (contracts 101 to 103), the working folder every run starts from:
//   104-106  Muster (1), running: two articles each, two sales unpaid, one paid   (payout)
//   107-110  Beispiel (2), expired 110 days ago, the same articles and sales      (ending)
//   111      Beispiel (2), running: ten articles of 100 pieces                    (import)
//   "journal.csv"       1,000 journal lines of one piece each of contract 111
//   "sicherung.sqlite"  a backup of the fixture alone, taken before all this     (restore)
// Passwort is empty, MasterPasswort "Chef", both printers set.
const QList<qint64> kPayoutContracts = { 102, 104, 105, 106 }; // 106 is ended, the rest paid
const QList<qint64> kExpiredContracts = { 107, 108, 109, 110 };
constexpr qint64 kLastPrepared = 111;
constexpr int kConcludedArticles = 20;

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
    Qt::Key menuKey;
    const char *page;
    // Fills the page as the staff do, up to the click that starts the action.
    std::function<bool(WindowDriver &, const QString &folder)> fill;
    const char *button;
    // Each of these contracts is a unit of its own; none: the whole database is one.
    QList<qint64> contracts;
    // Prints a contract and labels with the new numbers.
    bool printsNumbers = false;
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
        { "conclusion", Qt::Key_1, "swArrive",
            [](WindowDriver &w, const QString &) {
                auto &page = *w.page<Anlieferung>("swArrive");
                type(edit(page, "lineEditNA"), "Krause");
                type(edit(page, "lineEditVNA"), "Lena");
                for (int i = 1; i <= kConcludedArticles; ++i)
                    intake::addArticle(page, QStringLiteral("Artikel %1").arg(i), 1, "2,50");
                return true;
            },
            "pushButtonVertrAbsch", {}, true },
        { "journal import", Qt::Key_3, "swSell",
            [](WindowDriver &, const QString &folder) {
                Dialogs::setNextAnswer(QDir(folder).filePath("journal.csv"));
                return true;
            },
            "toolButtonImport", {} },
        { "payout", Qt::Key_4, "swSellout",
            [](WindowDriver &w, const QString &) {
                type(
                    w.field("swSellout", "lineEditKNR"), QString::number(ShopFixture::kundeMuster));
                enum { Auszahlen = 5, Beenden = 7 };
                return tick(w, "swSellout", 102, Auszahlen) && tick(w, "swSellout", 104, Auszahlen)
                    && tick(w, "swSellout", 105, Auszahlen) && tick(w, "swSellout", 106, Beenden);
            },
            "pushButtonPrint", kPayoutContracts },
        { "expired contracts", Qt::Key_8, "swAbgelaufene",
            [](WindowDriver &w, const QString &) {
                enum { Beenden = 6 };
                for (const qint64 nr : kExpiredContracts)
                    if (!tick(w, "swAbgelaufene", nr, Beenden))
                        return false;
                return true;
            },
            "pushButton_beenden", kExpiredContracts },
        { "restore", Qt::Key_6, "swBackup",
            [](WindowDriver &, const QString &folder) {
                Dialogs::setNextAnswer(QDir(folder).filePath("vorher.sqlite"));
                Dialogs::setNextAnswer(QMessageBox::Ok);
                Dialogs::setNextAnswer("Chef");
                Dialogs::setNextAnswer(QDir(folder).filePath("sicherung.sqlite"));
                return true;
            },
            "pushButtonWiederherstellen", {} },
    };
    return list;
}

int runAction(const QString &name, const QString &folder)
{
    const Action *action = nullptr;
    for (const Action &a : actions())
        if (name == QLatin1String(a.name))
            action = &a;
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
    std::fputs("go\n", stdout);
    std::fflush(stdout);
    QTest::mouseClick(button, Qt::LeftButton);
    std::fputs("done\n", stdout);
    std::fflush(stdout);
    return 0;
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

// A contract or label on paper must carry a number the database holds: a contract made by
// this action, with an article at the label's position.
QString printedButNotStored(const QString &folder, QSqlDatabase db)
{
    const QDir print(QDir(folder).filePath("print"));
    for (const QString &file : print.entryList({ "*.pdf" }, QDir::Files, QDir::Name)) {
        const QString text = collapsed(pdfText(print.filePath(file)));
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

// What a working folder holds once the program has started on it again.
struct Found
{
    QString integrity; // "ok"
    QStringList units;
    QString printed; // a contract or label on paper that is not stored
};

Found inspect(const QString &folder, const Action &action)
{
    ScopedConnection check(QStringLiteral("check"), QDir(folder).filePath("db.sqlite"));
    Found found;
    found.integrity = firstValue(check.db(), QStringLiteral("PRAGMA integrity_check"));
    found.units = units(check.db(), action.contracts);
    if (action.printsNumbers)
        found.printed = printedButNotStored(folder, check.db());
    return found;
}

struct Run
{
    bool done = false; // the child finished the action
    qint64 goToEnd = -1; // ms from "go" to "done", for a run not killed
    QStringList warnings; // warning and critical boxes it showed
    QString failure;
};

// Runs the action in a child; kills it killAfter microseconds after "go" (-1: never).
Run runChild(const Action &action, const QString &folder, qint64 killAfter)
{
    Run run;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kActionVariable, action.name);
    env.insert(kFolderVariable, folder);
    env.insert("VELARIX_PRINT_DIR", QDir(folder).filePath("print"));
    env.insert("VELARIX_TEST", "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VELARIX_SHUTDOWN_CMD", "true");
    env.insert("VELARIX_CAMERA_CMD", "true");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QByteArray out;
    while (!out.contains("go\n") && child.waitForReadyRead(20000))
        out += child.readAllStandardOutput();
    QElapsedTimer sinceGo;
    sinceGo.start();
    if (!out.contains("go\n")) {
        child.kill();
    } else if (killAfter >= 0) {
        QThread::usleep(quint64(killAfter));
        ::kill(pid_t(child.processId()), SIGKILL);
    } else {
        while (!out.contains("done\n") && child.waitForReadyRead(20000))
            out += child.readAllStandardOutput();
        run.goToEnd = sinceGo.elapsed();
    }
    child.waitForFinished(20000);
    out += child.readAllStandardOutput();
    run.done = out.contains("done\n");
    const QString errors = QString::fromLocal8Bit(child.readAllStandardError());
    run.warnings = errors.split('\n').filter(QRegularExpression("^Dialog: (Warning|Critical)"));
    if (!out.contains("go\n"))
        run.failure = QStringLiteral("no \"go\" (exit %1): %2").arg(child.exitCode()).arg(errors);
    else if (killAfter < 0 && (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0))
        run.failure = QStringLiteral("ended with %1: %2").arg(child.exitCode()).arg(errors);
    return run;
}

} // namespace

class TestCrash : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_template;
    int m_runs = 0;

    QString newFolder()
    {
        const QString folder = m_root.filePath(QStringLiteral("run%1").arg(++m_runs));
        return copyFolder(m_template, folder) ? folder : QString();
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(m_root.isValid());
        m_template = m_root.filePath("template");
        TestWorkdir dir;
        const ShopFixture shop;
        QVERIFY(QFile::copy(dir.path("db.sqlite"), dir.path("sicherung.sqlite")));
        addContracts(shop);
        TestWorkdir::setPrinters();
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        QFile file(dir.path("journal.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(journal());
        file.close();
        QVERIFY(copyFolder(dir.path(), m_template));
    }

    void killedWritesAreWholeOrAbsent_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < actions().size(); ++i)
            QTest::newRow(actions().at(i).name) << i;
    }
    void killedWritesAreWholeOrAbsent()
    {
        QFETCH(int, index);
        const Action &action = actions().at(index);
        const QStringList before = inspect(m_template, action).units;

        // Once unkilled: what the action writes, and how long it takes.
        const QString measured = newFolder();
        const Run full = runChild(action, measured, -1);
        QVERIFY2(full.failure.isEmpty(), qPrintable(full.failure));
        QVERIFY2(full.warnings.isEmpty(), qPrintable(full.warnings.join('\n')));
        const Found complete = inspect(measured, action);
        QCOMPARE(complete.integrity, QString("ok"));
        const QStringList after = complete.units;
        for (int u = 0; u < qMax(1, int(action.contracts.size())); ++u)
            QVERIFY2(after.at(u) != before.at(u), qPrintable(action.name + (": " + before.at(u))));
        QVERIFY2(complete.printed.isEmpty(), qPrintable(complete.printed));
        if (action.printsNumbers)
            QCOMPARE(QDir(QDir(measured).filePath("print")).entryList({ "*.pdf" }).size(),
                2 + kConcludedArticles); // the contract, its copy and the labels
        QDir(measured).removeRecursively();
        const qint64 span = qMax<qint64>(full.goToEnd, 1) * 1100; // µs: a tenth past the end

        // What each kill found: whether the action had ended, a commit was under way (its
        // journal played back at the start) or a transaction was open; and how many of the
        // action's units were stored.
        enum { Ended, Commit, Open, NoTransaction };
        enum { None, Some, All };
        int moment[NoTransaction + 1] = {}, stored[All + 1] = {};
        for (int k = 0; k < kKills; ++k) {
            // Every other kill evenly spread; the rest from 50 µs on, each a constant factor
            // later than the one before, as most actions write in their first milliseconds.
            const double at
                = (k / 2 + QRandomGenerator::global()->generateDouble() / 2) / (kKills / 2 - 1);
            const qint64 delay
                = qint64(k % 2 ? double(span) * at : 50.0 * std::pow(span / 50.0, at));
            const QString folder = newFolder();
            QVERIFY(!folder.isEmpty());
            const Run run = runChild(action, folder, delay);
            QVERIFY2(run.failure.isEmpty(), qPrintable(run.failure));
            const QString where = QStringLiteral("%1, killed %2 ms after go: ")
                                      .arg(action.name)
                                      .arg(delay / 1000.0);
            const bool journalThere = QFile::exists(QDir(folder).filePath("db.sqlite-journal"));
            const bool hot = hotJournal(folder);

            const QString failure = restart(folder);
            QVERIFY2(failure.isEmpty(), qPrintable(where + failure));
            QVERIFY2(!hotJournal(folder), qPrintable(where + "the journal was not played back"));
            const Found now = inspect(folder, action);
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
            QDir(folder).removeRecursively();

            const int unitCount = qMax(1, int(action.contracts.size()));
            ++moment[run.done ? Ended : hot ? Commit : journalThere ? Open : NoTransaction];
            ++stored[done == 0 ? None : done < unitCount ? Some : All];
        }
        qInfo("%s: %d kills over %lld ms, %d after the end, %d in a commit, %d in an open "
              "transaction, %d with none open; stored: %d nothing, %d some contracts, %d all",
            action.name, kKills, span / 1000, moment[Ended], moment[Commit], moment[Open],
            moment[NoTransaction], stored[None], stored[Some], stored[All]);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kActionVariable))
        return runAction(
            qEnvironmentVariable(kActionVariable), qEnvironmentVariable(kFolderVariable));
    TestCrash test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash.moc"

// Timings of the program's user actions on a large database. Each case runs a few times for
// warm-up and then --runs times; the medians are printed. Run it in a prepared working folder
// (see bench/README.md), never as a test.

#include "app/database.h"
#include "app/dialogs.h"
#include "app/startup.h"
#include "app/velarix.h"
#include "intake/anlieferung.h"
#include "payout/records.h"
#include "printing/reportprinter.h"
#include "statistics/records.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTest>
#include <QTranslator>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Sample
{
    double ms = 0;
    double partMs = -1; // a whole process: the part inside it that the case is about
    double rssMb = -1; // peak resident memory of a whole process, where measured
    // Actions inside the program: until nothing is left to do, including work that Qt
    // spreads over later event loop passes (a long list is laid out in batches).
    double idleMs = -1;
    // CPU time the process spent on it (user and system): on a busy machine the wall-clock
    // figures grow, this one much less.
    double cpuMs = -1;
};

double processCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A message box during a timing would block the run; the seam records it instead, and a
// recorded box makes the case fail, since the figure would not be the action's.
bool reportDialogs(const char *caseName)
{
    const QList<Dialogs::Record> records = Dialogs::takeRecords();
    for (const Dialogs::Record &r : records)
        std::fprintf(stderr, "%s: unexpected box \"%s\": %s\n", caseName, qPrintable(r.title),
            qPrintable(r.text));
    return records.isEmpty();
}

// ---- start-up as a whole process ----

// The steps of the program's main(): German locale, Qt's translation, the main window shown
// and closed again. Keep in step with app/main.cpp (both share app/startup.h).
int startupChild(int argc, char *argv[])
{
    QElapsedTimer timer;
    timer.start();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::AnyTerritory));
    QTranslator translator;
    QApplication app(argc, argv);
    installQtTranslation(app, translator);
    Dialogs::setTestMode(true);
    fixRunSettings();
    qint64 shown;
    {
        Velarix window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 3;
        QCoreApplication::processEvents();
        shown = timer.elapsed();
        if (!reportDialogs("startup"))
            return 4;
        // Without today's backup closing asks first; quitting answers No, as staff would
        // at the end of a benchmark. Any other box is a fault.
        Dialogs::setNextAnswer(int(QMessageBox::No));
        window.close();
        Dialogs::clearAnswers();
        for (const Dialogs::Record &r : Dialogs::takeRecords())
            if (r.kind != Dialogs::Kind::Question) {
                std::fprintf(stderr, "startup: unexpected box \"%s\": %s\n", qPrintable(r.title),
                    qPrintable(r.text));
                return 4;
            }
    }
    std::printf("part_ms %lld\n", static_cast<long long>(shown));
    return 0;
}

std::string g_self;

// Runs this program with flag as a child process: wall-clock time from fork to exit, peak
// resident memory and CPU time from wait4, and the part it reports as "part_ms N".
bool runChildProcess(const char *name, const char *flag, int timeoutSeconds, Sample *sample)
{
    int out[2];
    if (pipe(out) != 0)
        return false;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(g_self.c_str(), g_self.c_str(), flag, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    // A child that hangs (a box outside the dialog seam, say) must not hang the run.
    const auto deadline = start + std::chrono::seconds(timeoutSeconds);
    std::string text;
    char buffer[256];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now())
                              .count();
        struct pollfd fd = { out[0], POLLIN, 0 };
        if (left <= 0 || poll(&fd, 1, int(left)) == 0) {
            std::fprintf(stderr, "%s: no end after %d s, stopped\n", name, timeoutSeconds);
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, size_t(n));
    }
    close(out[0]);
    int status = 0;
    struct rusage usage;
    std::memset(&usage, 0, sizeof usage);
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: child ended with status %d\n", name, status);
        return false;
    }
    sample->ms = std::chrono::duration<double, std::milli>(end - start).count();
    sample->rssMb = double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    sample->cpuMs = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    const size_t at = text.find("part_ms ");
    if (at != std::string::npos)
        sample->partMs = std::atof(text.c_str() + at + 8);
    return true;
}

// ---- actions inside one running program ----

// The program as the user has it: the main window on the generated database, shown.
struct Session
{
    std::unique_ptr<Velarix> window;

    // The main window's own widget of that name (pages reuse some names).
    template <class T = QWidget> T *find(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            std::fprintf(stderr, "no widget %s\n", name);
        return found;
    }
    QString page() const
    {
        QStackedWidget *stack = find<QStackedWidget>("stackedWidget");
        return stack ? stack->currentWidget()->objectName() : QString();
    }
    Anlieferung *intake() const { return find<Anlieferung>("swArrive"); }
    QWidget *intakeField(const char *name) const
    {
        Anlieferung *page = intake();
        QWidget *field = page ? page->findChild<QWidget *>(QLatin1String(name)) : nullptr;
        if (!field)
            std::fprintf(stderr, "no field %s on the intake page\n", name);
        return field;
    }
    bool key(int k)
    {
        QTest::keyClick(window.get(), Qt::Key(k));
        QCoreApplication::processEvents();
        return true;
    }
    bool toMenu()
    {
        key(Qt::Key_Escape);
        return expectPage("swMenu");
    }
    // A fresh intake page, entered from the menu as the staff do (every entry starts a new
    // contract with empty fields and an empty customer list).
    bool enterIntake()
    {
        if (!toMenu())
            return false;
        key(Qt::Key_1);
        return expectPage("swArrive");
    }
    bool expectPage(const char *name) const
    {
        if (page() == QLatin1String(name))
            return true;
        std::fprintf(stderr, "on page %s instead of %s\n", qPrintable(page()), name);
        return false;
    }
};

// The print folder holds the jobs of one timing only: a full folder would make every job
// slower to number than in the shop.
void clearPrintFolder()
{
    QDir dir(QString::fromLocal8Bit(qgetenv("VELARIX_PRINT_DIR")));
    for (const QString &file : dir.entryList({ QStringLiteral("*.pdf") }, QDir::Files))
        dir.remove(file);
}

int printedJobs()
{
    QDir dir(QString::fromLocal8Bit(qgetenv("VELARIX_PRINT_DIR")));
    return int(dir.entryList({ QStringLiteral("*.pdf") }, QDir::Files).size());
}

qint64 scalar(const char *sql)
{
    QSqlQuery query;
    return query.exec(QLatin1String(sql)) && query.next() ? query.value(0).toLongLong() : -1;
}

// Replaces a field's content by typing, as the staff do.
bool typeInto(QWidget *field, const QString &text)
{
    if (!field)
        return false;
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    return true;
}

// A new customer (a telephone number of its own, so that no run finds the customer of an
// earlier one) and 20 articles of 2 pieces each.
bool fillContract(Session &s)
{
    // The next customer number in the telephone number: unique in this database.
    const qint64 next = scalar("SELECT MAX(ID) FROM Kunde") + 1;
    const QStringList customer = { QStringLiteral("Neumann"), QStringLiteral("Jana"),
        QStringLiteral("0171 55%1").arg(next, 6, 10, QLatin1Char('0')), QStringLiteral("12345"),
        QStringLiteral("Musterhausen"), QStringLiteral("Lindenweg 7") };
    const char *fields[] = { "lineEditNA", "lineEditVNA", "lineEditTEL", "lineEditPLZ",
        "lineEditORT", "lineEditSTR" };
    for (int i = 0; i < 6; ++i) {
        if (!typeInto(s.intakeField(fields[i]), customer.at(i)))
            return false;
    }
    static const char *const names[] = { "Damenjacke Wolle", "Herrenhemd blau", "Kinderstiefel 28",
        "Kaffeeservice 12-tlg.", "Roman Taschenbuch", "Jeans Gr. 38", "Tischlampe Messing",
        "Wollschal rot", "Kochbuch", "Puzzle 1000 Teile" };
    QWidget *bz = s.intakeField("lineEditBZ");
    QWidget *me = s.intakeField("spinBoxME");
    QWidget *ek = s.intakeField("doubleSpinBoxEk");
    QWidget *add = s.intakeField("pushButtonNeuArt");
    if (!bz || !me || !ek || !add)
        return false;
    for (int i = 0; i < 20; ++i) {
        typeInto(bz, QString::fromUtf8(names[i % 10]) + QStringLiteral(" %1").arg(i + 1));
        typeInto(me, QStringLiteral("2"));
        typeInto(ek, QStringLiteral("%1,50").arg(2 + i % 7 * 3));
        QTest::mouseClick(add, Qt::LeftButton);
    }
    QLineEdit *count = qobject_cast<QLineEdit *>(s.intakeField("lineEditArtAnzahl"));
    return count && count->text() == QLatin1String("20");
}

int listedCustomers(Session &s)
{
    QWidget *list = s.intakeField("listWidget");
    return list ? static_cast<QListWidget *>(list)->count() : -1;
}

// ---- long documents ----

// The stock list now, in the order of the stock page's join: every article whose stock is
// not 0, at most limit rows (all with limit < 0). One grouped statement where the page runs
// its sum statements over id lists; the rows are the same.
InventurListe stockList(int limit)
{
    InventurListe liste;
    liste.inventurDatum = QDateTime::currentDateTime();
    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT V.ID, A.ID, A.Bezeichnung, A.EinkaufsPreis, A.VerkaufsPreis, V.Laufzeit, "
        "A.EinkaufsMenge - IFNULL((SELECT SUM(VerkaufsMenge) FROM Verkauf WHERE Artikel = A.ID "
        "AND DateTime < :t), 0) - IFNULL((SELECT SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel "
        "= A.ID AND DateTime < :t), 0) AS Menge FROM Vertrag AS V JOIN Artikel AS A ON V.ID = "
        "A.Vertrag WHERE V.DateTime < :t AND Menge <> 0 LIMIT :n"));
    query.bindValue(
        QStringLiteral(":t"), liste.inventurDatum.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    query.bindValue(QStringLiteral(":n"), limit);
    if (!query.exec())
        std::fprintf(stderr, "stock list: %s\n", qPrintable(query.lastError().text()));
    while (query.next()) {
        InventurArtikel a;
        a.vertrag = query.value(0).toInt();
        a.bezeichnung = query.value(2).toString();
        a.einkaufsPreis = query.value(3).toDouble();
        a.verkaufsPreis = query.value(4).toDouble();
        a.laufzeit = query.value(5).toInt();
        a.menge = query.value(6).toInt();
        const qint64 id = query.value(1).toLongLong();
        liste.artikel.insert(id, a);
        liste.artikelIds << QString::number(id);
    }
    return liste;
}

// The running commission contracts past their term, with their customers and open amounts,
// as the expired-contracts page lists them.
QList<AbgelaufenerVertrag> expiredContracts()
{
    QList<AbgelaufenerVertrag> list;
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT V.ID, V.Kunde, K.Name || ', ' || K.Vorname, K.Telefon, V.DateTime, "
            "V.Laufzeit, (SELECT IFNULL(SUM(S.EinkaufsPreis * S.VerkaufsMenge), 0) FROM Artikel "
            "AS A JOIN Verkauf AS S ON S.Artikel = A.ID WHERE A.Vertrag = V.ID AND "
            "S.Auszahldatum IS NULL) FROM Vertrag AS V JOIN Kunde AS K ON K.ID = V.Kunde WHERE "
            "(V.Vertragsende IS NULL OR V.Vertragsende IN ('', '-1')) AND V.Laufzeit <> -1 "
            "ORDER BY V.ID")))
        std::fprintf(stderr, "expired contracts: %s\n", qPrintable(query.lastError().text()));
    const QDateTime now = QDateTime::currentDateTime();
    while (query.next()) {
        AbgelaufenerVertrag v;
        v.id = query.value(0).toInt();
        v.kunde = query.value(1).toInt();
        v.name = query.value(2).toString();
        v.telefon = query.value(3).toString();
        v.datum = QDateTime::fromString(
            query.value(4).toString().left(19), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        v.ende = v.datum.addDays(query.value(5).toInt());
        v.offen = query.value(6).toDouble();
        if (v.ende <= now)
            list << v;
    }
    return list;
}

// The stock list asks for A4 paper before it prints; any other box fails the case.
bool takeA4Box(const char *caseName)
{
    QList<Dialogs::Record> records = Dialogs::takeRecords();
    if (!records.isEmpty() && records.first().title == QLatin1String("Warnung")
        && records.first().text == QLatin1String("Bitte A4 Papier einlegen."))
        records.removeFirst();
    for (const Dialogs::Record &r : records)
        std::fprintf(stderr, "%s: unexpected box \"%s\": %s\n", caseName, qPrintable(r.title),
            qPrintable(r.text));
    return records.isEmpty();
}

// The list a print case prints, read before its timings.
InventurListe g_stock;
QList<AbgelaufenerVertrag> g_expired;

bool prepareStockList(int rows)
{
    clearPrintFolder();
    if (g_stock.artikelIds.size() != rows)
        g_stock = stockList(rows);
    if (g_stock.artikelIds.size() == rows)
        return true;
    std::fprintf(stderr, "the stock list has only %d rows\n", int(g_stock.artikelIds.size()));
    return false;
}

bool printStockList(Session &s)
{
    ReportPrinter printer;
    printer.parent = s.window.get();
    return printer.printInventur(g_stock) && takeA4Box("stock list") && printedJobs() == 1;
}

// The whole ten-year stock list, printed to PDF by a process of its own, so that its peak
// memory is the print's: the list read as the statistics page reads it, then printed.
int stockListChild(int argc, char *argv[])
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::AnyTerritory));
    QApplication app(argc, argv);
    Dialogs::setTestMode(true);
    qputenv("VELARIX_PRINT_DIR", QDir::current().absoluteFilePath("print").toLocal8Bit());
    fixRunSettings();
    if (!openDatabase().isOpen())
        return 3;
    clearPrintFolder();
    const InventurListe liste = stockList(-1);
    QElapsedTimer timer;
    timer.start();
    ReportPrinter printer;
    if (!printer.printInventur(liste) || !takeA4Box("stock-10y") || printedJobs() != 1)
        return 4;
    std::printf("part_ms %lld\n", static_cast<long long>(timer.elapsed()));
    std::fprintf(stderr, "stock-10y: %d rows\n", int(liste.artikelIds.size()));
    return 0;
}

// Cases that run as a process of their own.
struct ChildCase
{
    const char *name;
    const char *flag;
    const char *what;
    const char *part; // what the process reports as its part
    double targetMs;
    double rssTargetMb;
    int timeoutSeconds;
    bool once; // too long to repeat: one run, no warm-up
};

const std::vector<ChildCase> &childCases()
{
    static const std::vector<ChildCase> cases = {
        { "startup", "--startup-child",
            "Start bis zum gezeigten Fenster und Beenden, ganzer Prozess",
            "davon main() bis zum gezeigten Fenster", 500, 150, 60, false },
        { "stock-10y", "--stock-child",
            "Inventurliste der zehn Jahre (~268.000 Zeilen) lesen und als PDF drucken, ganzer "
            "Prozess, ein Lauf",
            "davon das Drucken", 120000, 1024, 900, true },
    };
    return cases;
}

struct InProcessCase
{
    const char *name;
    const char *what;
    double targetMs;
    // Brings the program into the state the action starts from; runs before every timing.
    std::function<bool(Session &)> prepare;
    // The timed action.
    std::function<bool(Session &)> run;
};

std::vector<InProcessCase> inProcessCases()
{
    return {
        { "menu-return", "Rückkehr zum Menü: Schema-Upgrade und letzte Vertragsnummer", 50,
            [](Session &) { return true; },
            [](Session &s) {
                s.window->updateDb();
                return true;
            } },
        // Key "1" on the menu: the page switch, the page's reset and the customer cache.
        { "intake-enter", "Taste 1 im Menü: Anlieferung mit 20.000 Kunden laden", 50,
            // As staff leave the page: a customer typed in (after a contract, say).
            [](Session &s) {
                return s.enterIntake()
                    && typeInto(s.intakeField("lineEditNA"), QStringLiteral("Neumann"))
                    && typeInto(s.intakeField("lineEditVNA"), QStringLiteral("Jana")) && s.toMenu();
            },
            [](Session &s) {
                s.key(Qt::Key_1);
                return s.expectPage("swArrive");
            } },
        // The first letter after page entry lists most customers: the heaviest keystroke.
        { "customer-key", "erster Buchstabe im Suchfeld (Liste von ~15.000 Kunden)", 30,
            [](Session &s) {
                if (!s.enterIntake())
                    return false;
                QWidget *field = s.intakeField("lineEditSearch");
                if (!field)
                    return false;
                field->setFocus();
                return true;
            },
            [](Session &s) {
                QTest::keyClick(s.intakeField("lineEditSearch"), Qt::Key_M);
                return listedCustomers(s) > 1000;
            } },
        // The second letter of a name: the long list of the first goes, a shorter one comes.
        { "customer-key2", "zweiter Buchstabe im Namensfeld (M -> Me)", 30,
            [](Session &s) {
                if (!s.enterIntake())
                    return false;
                QWidget *field = s.intakeField("lineEditNA");
                if (!field)
                    return false;
                field->setFocus();
                QTest::keyClicks(field, QStringLiteral("M"));
                return listedCustomers(s) > 1000;
            },
            [](Session &s) {
                QTest::keyClick(s.intakeField("lineEditNA"), Qt::Key_E);
                return listedCustomers(s) > 0;
            } },
        // A new customer, 20 articles of 2 pieces typed in, then "Kommission abschliessen":
        // stored, the contract and its copy and 40 labels printed, back to the menu.
        { "conclude-20", "Kommissionsvertrag mit 20 Artikeln und 40 Etiketten abschliessen", 2000,
            [](Session &s) {
                clearPrintFolder();
                if (!s.enterIntake())
                    return false;
                return fillContract(s);
            },
            [](Session &s) {
                const qint64 before = scalar("SELECT MAX(ID) FROM Vertrag");
                QTest::mouseClick(s.intakeField("pushButtonVertrAbsch"), Qt::LeftButton);
                return s.expectPage("swMenu") && scalar("SELECT MAX(ID) FROM Vertrag") == before + 1
                    && printedJobs() == 42;
            } },
        { "label", "ein Etikett als PDF drucken", 30,
            [](Session &) {
                clearPrintFolder();
                return true;
            },
            [](Session &s) {
                ReportPrinter printer;
                printer.parent = s.window.get();
                return printer.printEtikett(QDate::currentDate(), 100001, 7,
                           QStringLiteral("Damenjacke Wolle, Gr. 40"), 12.5)
                    && printedJobs() == 1;
            } },
        // The stock list's first rows as the statistics page prints them, A4 box answered.
        { "stock-2000", "Inventurliste mit 2.000 Zeilen als PDF drucken", 1000,
            [](Session &) { return prepareStockList(2000); }, printStockList },
        { "stock-10000", "Inventurliste mit 10.000 Zeilen als PDF drucken", 5000,
            [](Session &) { return prepareStockList(10000); }, printStockList },
        // Target: under 2.3 times stock-10000.
        { "stock-20000", "Inventurliste mit 20.000 Zeilen als PDF drucken", 11500,
            [](Session &) { return prepareStockList(20000); }, printStockList },
        { "expired-list", "Liste der ~4.900 abgelaufenen Verträge als PDF drucken", 3000,
            [](Session &) {
                clearPrintFolder();
                if (g_expired.isEmpty())
                    g_expired = expiredContracts();
                return g_expired.size() > 4000;
            },
            [](Session &s) {
                ReportPrinter printer;
                printer.parent = s.window.get();
                return printer.printOffeneVertraege(g_expired) && printedJobs() == 1;
            } },
    };
}

// ---- timing and report ----

// Runs the event loop until it has nothing left to do.
void processUntilIdle()
{
    while (QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents))
        ;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Result
{
    std::string name;
    std::string what;
    double targetMs;
    std::vector<Sample> samples;
    bool ok = true;
    std::string part; // child processes: the label of their part line
    double rssTargetMb = 0;
};

void printResults(const std::vector<Result> &results, int runs, int warmup)
{
    std::printf("\n%d runs after %d warm-up runs; wall-clock median, min and max, median CPU "
                "time of the process, in ms\n\n",
        runs, warmup);
    std::printf("%-14s %10s %10s %10s %10s %10s  %s\n", "case", "median", "min", "max", "cpu",
        "target", "what");
    for (const Result &r : results) {
        if (!r.ok) {
            std::printf("%-14s %10s %10s %10s %10s %10.0f  %s\n", r.name.c_str(), "FAILED", "-",
                "-", "-", r.targetMs, r.what.c_str());
            continue;
        }
        std::vector<double> ms, part, rss, idle, cpu;
        for (const Sample &s : r.samples) {
            ms.push_back(s.ms);
            if (s.cpuMs >= 0)
                cpu.push_back(s.cpuMs);
            if (s.idleMs >= 0)
                idle.push_back(s.idleMs);
            if (s.partMs >= 0)
                part.push_back(s.partMs);
            if (s.rssMb >= 0)
                rss.push_back(s.rssMb);
        }
        std::printf("%-14s %10.1f %10.1f %10.1f %10.1f %10.0f  %s\n", r.name.c_str(), median(ms),
            *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
            median(cpu), r.targetMs, r.what.c_str());
        if (!part.empty())
            std::printf("%-14s %10.1f %10.1f %10.1f %10s %10s  %s\n", "", median(part),
                *std::min_element(part.begin(), part.end()),
                *std::max_element(part.begin(), part.end()), "", "", r.part.c_str());
        // Only where later passes add something worth naming.
        if (!idle.empty() && median(idle) > median(ms) + 1.0)
            std::printf("%-14s %10.1f %10.1f %10.1f %10s %10s  %s\n", "", median(idle),
                *std::min_element(idle.begin(), idle.end()),
                *std::max_element(idle.begin(), idle.end()), "", "",
                "bis nichts mehr zu tun ist (spätere Durchläufe der Ereignisschleife)");
        if (!rss.empty())
            std::printf("%-14s %9.1fM %9.1fM %9.1fM %10s %9.0fM  %s\n", "", median(rss),
                *std::min_element(rss.begin(), rss.end()),
                *std::max_element(rss.begin(), rss.end()), "", r.rssTargetMb,
                "Spitzenspeicher (RSS) des Prozesses");
    }
}

void usage()
{
    std::printf("usage: velarix_bench [--runs N] [--warmup N] [case ...]\n"
                "Runs in the current folder, which holds db.sqlite, Templates/ and "
                "kategorien.txt.\ncases:");
    for (const ChildCase &c : childCases())
        std::printf(" %s", c.name);
    for (const InProcessCase &c : inProcessCases())
        std::printf(" %s", c.name);
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--stock-child") == 0)
        return stockListChild(argc, argv);

    g_self = QFile::decodeName(argv[0]).toStdString();
    {
        char path[4096];
        const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
        if (n > 0)
            g_self.assign(path, size_t(n));
    }
    int runs = 10, warmup = 2;
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--runs" || arg == "--warmup") && i + 1 < argc) {
            (arg == "--runs" ? runs : warmup)
                = std::max(arg == "--runs" ? 1 : 0, std::atoi(argv[++i]));
        } else if (arg == "-h" || arg == "--help") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            usage();
            return 2;
        } else {
            wanted.push_back(arg);
        }
    }
    if (!QFile::exists(QStringLiteral("db.sqlite"))) {
        std::fprintf(stderr, "velarix_bench: no db.sqlite in the current folder\n");
        return 2;
    }
    for (const std::string &name : wanted) {
        bool known = false;
        for (const ChildCase &c : childCases())
            known = known || name == c.name;
        for (const InProcessCase &c : inProcessCases())
            known = known || name == c.name;
        if (!known) {
            std::fprintf(stderr, "velarix_bench: no case \"%s\"\n", name.c_str());
            usage();
            return 2;
        }
    }
    auto selected = [&wanted](const std::string &name) {
        return wanted.empty() || std::find(wanted.begin(), wanted.end(), name) != wanted.end();
    };

    std::vector<Result> results;
    for (const ChildCase &c : childCases()) {
        if (!selected(c.name))
            continue;
        Result r { c.name, c.what, c.targetMs, {}, true, c.part, c.rssTargetMb };
        const int first = c.once ? 0 : warmup;
        const int total = c.once ? 1 : warmup + runs;
        for (int i = 0; i < total && r.ok; ++i) {
            Sample s;
            r.ok = runChildProcess(c.name, c.flag, c.timeoutSeconds, &s);
            if (i >= first)
                r.samples.push_back(s);
        }
        results.push_back(r);
    }

    std::vector<InProcessCase> cases;
    for (const InProcessCase &c : inProcessCases())
        if (selected(c.name))
            cases.push_back(c);
    if (!cases.empty()) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::AnyTerritory));
        QTranslator translator;
        QApplication app(argc, argv);
        installQtTranslation(app, translator);
        Dialogs::setTestMode(true);
        qputenv("VELARIX_PRINT_DIR", QDir::current().absoluteFilePath("print").toLocal8Bit());
        fixRunSettings();
        Session session;
        session.window = std::make_unique<Velarix>();
        session.window->show();
        // The menu keys are window shortcuts: they need the active window.
        session.window->activateWindow();
        if (!QTest::qWaitForWindowActive(session.window.get())) {
            std::fprintf(stderr, "velarix_bench: the window was not shown\n");
            return 1;
        }
        reportDialogs("start-up");
        for (const InProcessCase &c : cases) {
            Result r { c.name, c.what, c.targetMs, {} };
            for (int i = 0; i < warmup + runs && r.ok; ++i) {
                r.ok = c.prepare(session) && reportDialogs(c.name);
                processUntilIdle();
                QElapsedTimer timer;
                const double cpuStart = processCpuMs();
                timer.start();
                r.ok = r.ok && c.run(session);
                QCoreApplication::processEvents();
                const double ms = double(timer.nsecsElapsed()) / 1e6;
                processUntilIdle();
                const double idleMs = double(timer.nsecsElapsed()) / 1e6;
                r.ok = reportDialogs(c.name) && r.ok;
                if (i >= warmup)
                    r.samples.push_back({ ms, -1, -1, idleMs, processCpuMs() - cpuStart });
            }
            results.push_back(r);
        }
        session.window.reset();
    }
    if (results.empty()) {
        usage();
        return 2;
    }
    printResults(results, runs, warmup);
    for (const Result &r : results)
        if (!r.ok)
            return 1;
    return 0;
}

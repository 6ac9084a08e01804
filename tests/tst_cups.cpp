#include "support/barcodereader.h"
#include "support/intakedriver.h"
#include "support/printhelpers.h"
#include "support/privatecups.h"

#include "printing/artikelbarcode.h"
#include "printing/records/rueckgabe.h"
#include "printing/reportprinter.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QtTest>

#include <cups/ipp.h>

using namespace intake;

// Printing as the shop does, through real CUPS queues: a private daemon with the PDF queues
// "Buero" (documents) and "Etiketten" (labels), and no print folder.
namespace {

PrivateCups *g_cups = nullptr;

// A working folder whose jobs go to the print system, both printers set.
class CupsWorkdir : public TestWorkdir
{
public:
    CupsWorkdir()
    {
        qunsetenv("VELARIX_PRINT_DIR");
        setPrinters();
    }
};

// Concludes a commission contract on the intake page: "Tisch" once, "Lampe" twice. Returns
// the stored contract's number.
int concludeContract()
{
    Anlieferung page;
    if (!enter(page))
        return 0;
    type(edit(page, "lineEditNA"), "Meier");
    type(edit(page, "lineEditVNA"), "Anna");
    addArticle(page, "Tisch", 1, "20,00");
    addArticle(page, "Lampe", 2, "5,00");
    click(button(page, "pushButtonVertrAbsch"));
    return TestWorkdir::scalar("SELECT MAX(ID) FROM Vertrag").toInt();
}

RueckgabeBeleg rueckgabe()
{
    RueckgabeBeleg b;
    b.name = QStringLiteral("Meier, Anna");
    b.vertragDatum = QDateTime(QDate(2021, 2, 3), QTime(11, 0));
    b.bezeichnung = QStringLiteral("Stehlampe");
    b.artikelNr = 4;
    b.anzahl = 2;
    b.vertragNr = 42;
    b.kundeNr = 7;
    return b;
}

QStringList titles(const QList<PrivateCups::Job> &jobs)
{
    QStringList result;
    for (const PrivateCups::Job &job : jobs)
        result << job.queue + QLatin1Char('|') + job.title;
    return result;
}

// The spooled PDF of a job as a file of the working folder, for the PDF tools.
QString spooled(const TestWorkdir &wd, int jobId)
{
    const QString file = wd.path(QStringLiteral("job-%1.pdf").arg(jobId));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(g_cups->spooledFile(jobId)) <= 0)
        return QString();
    return file;
}

bool sameSize(const QSizeF &size, const QSizeF &expected)
{
    return qAbs(size.width() - expected.width()) < 1 && qAbs(size.height() - expected.height()) < 1;
}

// The paper a queue printed on: a printer turns a landscape page onto its paper.
bool samePaper(const QSizeF &size, const QSizeF &expected)
{
    return sameSize(size, expected) || sameSize(size, expected.transposed());
}

QString sizeText(const QSizeF &size)
{
    return QStringLiteral("%1 x %2 mm").arg(size.width()).arg(size.height());
}

// A PDF without its creation time, the one thing that differs between two renderings.
QByteArray withoutCreationDate(QByteArray pdf)
{
    static const QRegularExpression creation(QStringLiteral("/CreationDate \\(D:[^)]*\\)"));
    QString text = QString::fromLatin1(pdf);
    text.remove(creation);
    return text.toLatin1();
}

} // namespace

class TestCups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        qunsetenv("VELARIX_PRINTERS");
        g_cups = new PrivateCups({ QStringLiteral("Buero"), QStringLiteral("Etiketten") });
        if (!g_cups->skipReason().isEmpty())
            QSKIP(qPrintable(g_cups->skipReason()));
        QVERIFY2(g_cups->error().isEmpty(), qPrintable(g_cups->error()));
    }
    void cleanupTestCase()
    {
        delete g_cups;
        g_cups = nullptr;
    }
    void init() { QVERIFY2(g_cups->reset(), qPrintable(g_cups->error())); }

    // A conclusion gives the contract, its copy and one label per piece as completed jobs in
    // that order, each on its paper, with the program's own PDF in the spool.
    void conclusionPrintsThroughTheQueues_data()
    {
        QTest::addColumn<QString>("printFormat");
        QTest::addColumn<QString>("labelSize");
        QTest::addColumn<QSizeF>("paper");
        QTest::addColumn<double>("labelHeight");
        QTest::newRow("A5, 20 mm labels") << ""
                                          << "0" << QSizeF(210, 148) << 20.0;
        QTest::newRow("A4, 30 mm labels") << "true"
                                          << "2" << QSizeF(210, 297) << 30.0;
    }
    void conclusionPrintsThroughTheQueues()
    {
        QFETCH(QString, printFormat);
        QFETCH(QString, labelSize);
        QFETCH(QSizeF, paper);
        QFETCH(double, labelHeight);
        CupsWorkdir wd;
        TestWorkdir::setSetting("PrintFormat", printFormat);
        TestWorkdir::setSetting("LabelSize", labelSize);

        const int nr = concludeContract();
        QVERIFY2(dialogLog().isEmpty(), qPrintable(dialogLog().join('\n')));
        QVERIFY2(g_cups->waitForCompletion(), qPrintable(g_cups->error()));
        const QList<PrivateCups::Job> jobs = g_cups->jobs();
        const QString n = QString::number(nr);
        QCOMPARE(titles(jobs),
            QStringList({ "Buero|Kommissionsvertrag " + n, "Buero|Kopie Kommissionsvertrag " + n,
                "Etiketten|Etikett " + n + "/1", "Etiketten|Etikett " + n + "/2",
                "Etiketten|Etikett " + n + "/2" }));

        const QStringList headings
            = { "Kommissionsvertrag Nr: " + n, "Kopie - Kommissionsvertrag Nr: " + n };
        for (int i = 0; i < 2; ++i) {
            const QString pdf = spooled(wd, jobs[i].id);
            const QString text = collapsed(pdfText(pdf));
            VERIFY_CONTAINS(text, headings[i]);
            VERIFY_CONTAINS(text, "Meier, Anna");
            // The program's page as it was drawn, and the paper the queue printed it on.
            QVERIFY2(sameSize(pdfPageSizeMm(pdf), paper), qPrintable(sizeText(pdfPageSizeMm(pdf))));
            const QSizeF printed = g_cups->printedPageSizeMm(jobs[i].id);
            QVERIFY2(samePaper(printed, paper), qPrintable(sizeText(printed)));
        }
        VERIFY_LACKS(collapsed(pdfText(spooled(wd, jobs[0].id))), "Kopie");

        const QSizeF label(999, labelHeight);
        for (int i = 2; i < jobs.size(); ++i) {
            const QSizeF printed = g_cups->printedPageSizeMm(jobs[i].id);
            QVERIFY2(sameSize(printed, label), qPrintable(sizeText(printed)));
        }
        const QString first = spooled(wd, jobs[2].id);
        QCOMPARE(readBars(first), ArtikelBarcode::encode(nr, 1));
        VERIFY_CONTAINS(collapsed(pdfText(first)), n + "/1 Tisch");
        VERIFY_CONTAINS(collapsed(pdfText(spooled(wd, jobs[3].id))), n + "/2 Lampe");
    }

    // A queue that refuses jobs: the box with CUPS's reason, the operation says false, the
    // contract stays concluded, and a label run stops at the first refused label.
    void refusedJobsAreReported_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("documents")
            << "Buero"
            << "Critical|Fehler|Der Druck auf Buero ist fehlgeschlagen!\n"
            << QStringList { "Etikett %1/1", "Etikett %1/2", "Etikett %1/2" };
        QTest::newRow("labels") << "Etiketten"
                                << "Critical|Fehler|Das Etikett konnte nicht gedruckt werden!\n"
                                << QStringList { "Kommissionsvertrag %1",
                                       "Kopie Kommissionsvertrag %1" };
    }
    void refusedJobsAreReported()
    {
        QFETCH(QString, queue);
        QFETCH(QString, box);
        QFETCH(QStringList, printed);
        CupsWorkdir wd;
        QVERIFY2(g_cups->run("cupsreject", { queue }), qPrintable(g_cups->error()));

        const int nr = concludeContract();
        QCOMPARE(TestWorkdir::rowCount("Vertrag"), 1);
        QCOMPARE(TestWorkdir::rowCount("Artikel"), 2);
        QStringList log = dialogLog();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.at(0).startsWith(box), qPrintable(log.at(0)));
        const QString reason = log.at(0).mid(box.size());
        QVERIFY2(reason.contains(queue), qPrintable(reason)); // CUPS's words name the queue
        QVERIFY2(g_cups->waitForCompletion(), qPrintable(g_cups->error()));
        QStringList expected;
        for (const QString &title : printed)
            expected << title.arg(nr);
        QStringList done;
        for (const PrivateCups::Job &job : g_cups->jobs())
            done << job.title;
        QCOMPARE(done, expected);

        Dialogs::takeRecords();
        ReportPrinter printer;
        const bool result = queue == QLatin1String("Buero")
            ? printer.printRueckgabe(rueckgabe())
            : printer.printEtikett(QDate(2021, 6, 10), nr, 1, QStringLiteral("Tisch"), 20);
        QVERIFY(!result);
        log = dialogLog();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.at(0).startsWith(box), qPrintable(log.at(0)));
    }

    void removedQueueIsNotAvailable_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::newRow("documents") << "Buero";
        QTest::newRow("labels") << "Etiketten";
    }
    void removedQueueIsNotAvailable()
    {
        QFETCH(QString, queue);
        CupsWorkdir wd;
        QVERIFY2(g_cups->run("lpadmin", { "-x", queue }), qPrintable(g_cups->error()));
        ReportPrinter printer;
        const bool result = queue == QLatin1String("Buero")
            ? printer.printRueckgabe(rueckgabe())
            : printer.printEtikett(QDate(2021, 6, 10), 42, 1, QStringLiteral("Tisch"), 20);
        QVERIFY(!result);
        QCOMPARE(dialogLog(),
            QStringList({ "Critical|Fehler|Der Drucker " + queue + " ist nicht verfügbar!" }));
        QVERIFY(g_cups->jobs().isEmpty());
    }

    // A stopped printer keeps the job waiting: it is printed, not lost, once the printer runs.
    void stoppedQueueKeepsTheJob()
    {
        CupsWorkdir wd;
        QVERIFY2(g_cups->run("cupsdisable", { "Buero" }), qPrintable(g_cups->error()));
        ReportPrinter printer;
        QVERIFY(printer.printRueckgabe(rueckgabe()));
        QCOMPARE(dialogLog(), QStringList());
        QList<PrivateCups::Job> jobs = g_cups->jobs();
        QCOMPARE(jobs.size(), 1);
        QCOMPARE(jobs[0].title, QString("Rückgabe 42/4"));
        QCOMPARE(jobs[0].state, int(IPP_JSTATE_PENDING));

        QVERIFY2(g_cups->run("cupsenable", { "Buero" }), qPrintable(g_cups->error()));
        QVERIFY2(g_cups->waitForCompletion(), qPrintable(g_cups->error()));
        VERIFY_CONTAINS(collapsed(pdfText(spooled(wd, jobs[0].id))), "Stehlampe");
    }

    // The print folder and the print system get one rendering: the same bytes, but for the
    // time of rendering.
    void printFolderGetsTheBytesCupsGets_data()
    {
        QTest::addColumn<bool>("label");
        QTest::newRow("document") << false;
        QTest::newRow("label") << true;
    }
    void printFolderGetsTheBytesCupsGets()
    {
        QFETCH(bool, label);
        CupsWorkdir wd;
        auto printOnce = [label] {
            ReportPrinter printer;
            return label ? printer.printEtikett(QDate(2021, 6, 10), 42, 3, "Vase", 6.5)
                         : printer.printRueckgabe(rueckgabe());
        };
        qputenv("VELARIX_PRINT_DIR", wd.printDir().toLocal8Bit());
        QVERIFY(printOnce());
        qunsetenv("VELARIX_PRINT_DIR");
        QVERIFY(printOnce());
        QCOMPARE(dialogLog(), QStringList());
        QVERIFY2(g_cups->waitForCompletion(), qPrintable(g_cups->error()));

        QFile file(QDir(wd.printDir()).filePath(wd.printedFiles().value(0)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        const QByteArray received = g_cups->spooledFile(g_cups->jobs().value(0).id);
        QVERIFY(written.startsWith("%PDF"));
        QCOMPARE(received.size(), written.size());
        QVERIFY(withoutCreationDate(received) == withoutCreationDate(written));
    }
};

QTEST_MAIN(TestCups)
#include "tst_cups.moc"

#include "app/paths.h"
#include "printing/csvexport.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

const QByteArray kKassenHeader = "Kurzbeschreibung;St\xfc"
                                 "ck;Preis;Tags;EAN;Artikelnummer;Bild1;Bild2;Bild3;Bild4;Bild5;"
                                 "Beschreibung;Kategorie\r\n";
const QByteArray kShopHeader = "Verkaufsart;Kurzbeschreibung;St\xfc"
                               "ck;Zahlungsart;Versandart;Versandkosten;Preis;Zustand;EAN;ISBN;"
                               "Lagerplatz;Gewicht;Bild1;Bild2;Bild3;Bild4;Bild5;Beschreibung;"
                               "Kategorie\r\n";

// Contract 57 with four articles; contract 58 holds an article of its own.
void insertContract()
{
    TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                      "VALUES (57, 1, '2021-06-10 10:00:00.000', 5, 90);");
    TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                      "VALUES (58, 1, '2021-06-11 10:00:00.000', 5, 90);");
    // Stored out of ID order: the article number follows the ID.
    TestWorkdir::exec(
        "INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
        "EinkaufsMenge, EAN, ISBN, Images, Kategorie, Beschreibung) VALUES "
        "(13, 57, 'Buch', 2, 1234.567, 3, '', '', '', 7, 'Band 1' || char(10) || 'Band 2'),"
        "(10, 57, 'Tisch;rund', 10, 45.5, 5, '4006381333931', '', 'a.jpg,,b.jpg', 4, "
        "'Eiche \"massiv\"' || char(13) || char(10) || 'mit Schublade;neu'),"
        "(11, 57, 'Stück Holz', 8, 12345.67, 1, NULL, NULL, NULL, NULL, NULL),"
        "(12, 57, 'Lampe € 1', 100, 1000000, 1, 'A;B', '978;3', "
        "'1.jpg,2.jpg,3.jpg,4.jpg,5.jpg,6.jpg,7.jpg', '', ''),"
        "(20, 58, 'Fremd', 1, 2, 9, '', '', '', 1, '');");
    // Tisch: 5 delivered, a sale of 2 (in two rows) and a return of 1 leave 2.
    TestWorkdir::exec("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                      "VerkaufsMenge, Artikel) VALUES "
                      "('2021-06-12 10:00:00.000', 10, 45.5, 1, 10),"
                      "('2021-06-12 10:00:00.001', 10, 45.5, 1, 10),"
                      "('2021-06-12 10:00:00.002', 8, 20, 1, 11),"
                      "('2021-06-12 10:00:00.003', 1, 2, 3, 20);");
    TestWorkdir::exec("INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) VALUES "
                      "('2021-06-13 10:00:00.000', 1, 10),"
                      "('2021-06-13 10:00:00.001', 2, 12);");
}

const QByteArray kKassen57 = kKassenHeader
    + "Tisch rund;2;45.5;gebraucht;C7W7;57/1;a.jpg;;b.jpg;;;"
      "Eiche \"massiv\" mit Schublade neu;4\r\n"
      "St\xfc"
      "ck Holz;0;12345.67;gebraucht;C7Z0;57/2;;;;;;;0\r\n"
      "Lampe \x80 1;-1;1000000;gebraucht;C81T;57/3;1.jpg;2.jpg;3.jpg;4.jpg;5.jpg;;0\r\n"
      "Buch;3;1234.57;gebraucht;C84M;57/4;;;;;;Band 1 Band 2;7\r\n";

const QByteArray kShop57 = kShopHeader
    + "shop;Tisch rund;2;\xdc"
      "berweisung/Paypal;;;45.5;gebraucht;4006381333931;;Vertr:57/1;;a.jpg;;b.jpg;;;"
      "Eiche \"massiv\" mit Schublade neu;4\r\n"
      "shop;St\xfc"
      "ck Holz;0;\xdc"
      "berweisung/Paypal;;;12345.67;gebraucht;;;Vertr:57/2;;;;;;;;0\r\n"
      "shop;Lampe \x80 1;-1;\xdc"
      "berweisung/Paypal;;;1000000;gebraucht;A B;978 3;Vertr:57/3;;1.jpg;2.jpg;3.jpg;4.jpg;"
      "5.jpg;;0\r\n"
      "shop;Buch;3;\xdc"
      "berweisung/Paypal;;;1234.57;gebraucht;;;Vertr:57/4;;;;;;;Band 1 Band 2;7\r\n";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void layoutsByteForByte()
    {
        TestWorkdir work;
        insertContract();
        QCOMPARE(kassenExportCsv(57), kKassen57);
        QCOMPARE(shopExportCsv(57), kShop57);
        QCOMPARE(dialogLog(), QStringList());
    }

    void noArticlesGivesTheHeaderOnly()
    {
        TestWorkdir work;
        insertContract();
        QCOMPARE(kassenExportCsv(99), kKassenHeader);
        QCOMPARE(shopExportCsv(99), kShopHeader);
        QCOMPARE(dialogLog(), QStringList());
    }

    // A full disk or articles that cannot be read never leave a file that tells the till less
    // than the truth: nothing is written, an older file stays, and the export says it failed.
    void failedExportWritesNothing_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<bool>("throughDialog");
        QTest::newRow("full disk, automatic export") << true << false;
        QTest::newRow("full disk, dialog") << true << true;
        QTest::newRow("articles not readable, automatic export") << false << false;
        QTest::newRow("articles not readable, dialog") << false << true;
    }
    void failedExportWritesNothing()
    {
        QFETCH(bool, fullDisk);
        QFETCH(bool, throughDialog);
        TestWorkdir work;
        insertContract();
        const QString folder = work.path("export");
        QDir().mkpath(folder);
        const QString target = QDir(folder).filePath("x.csv");
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        if (throughDialog)
            Dialogs::setNextAnswer(QStringList { target, "Kassenexport (*.csv)" });
        if (!fullDisk)
            TestWorkdir::exec("DROP TABLE Artikel;");

        bool exported = true;
        {
            FileSizeLimit limit(fullDisk ? 64 : 1 << 30);
            exported = exportVertrag(57, throughDialog ? QString() : folder);
        }
        QVERIFY(!exported);
        QCOMPARE(readFile(target), QByteArray("old"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList { "x.csv" });
        const QString box = dialogLog().value(throughDialog ? 1 : 0);
        if (fullDisk) {
            const QString path = throughDialog ? target : folder + "/";
            QVERIFY2(box.startsWith("Warning|Fehler|Die Datei " + path), qPrintable(box));
            // The system's reason, not "Unknown error".
            QVERIFY2(
                box.endsWith(":\n" + QString::fromLocal8Bit(strerror(EFBIG))), qPrintable(box));
        } else {
            QVERIFY2(box.startsWith("Warning|SQL-Fehler|"), qPrintable(box));
        }
        QCOMPARE(dialogLog().size(), throughDialog ? 2 : 1);
    }

    void exportIntoFolder()
    {
        TestWorkdir work;
        insertContract();
        const QString folder = work.path("export");
        QDir().mkpath(folder);
        QVERIFY(exportVertrag(57, folder));
        QCOMPARE(dialogLog(), QStringList());
        const QStringList files = QDir(folder).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d-\\d{3}_57\\.csv$"))
                     .match(files[0])
                     .hasMatch(),
            qPrintable(files[0]));
        QCOMPARE(readFile(QDir(folder).filePath(files[0])), kKassen57);
    }

    void exportThroughDialog_data()
    {
        QTest::addColumn<QVariant>("answer"); // the chosen file's name and filter
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("Kassenexport")
            << QVariant(QStringList { "x.csv", "Kassenexport (*.csv)" }) << kKassen57;
        QTest::newRow("CSV") << QVariant(QStringList { "x.csv", "CSV (*.csv)" }) << kShop57;
        QTest::newRow("no filter reported") << QVariant(QStringList { "x.csv" }) << kKassen57;
        QTest::newRow("cancelled") << QVariant() << QByteArray("old");
    }
    void exportThroughDialog()
    {
        QFETCH(QVariant, answer);
        QFETCH(QByteArray, contents);
        TestWorkdir work;
        insertContract();
        const QString target = work.path("x.csv");
        QStringList chosen = answer.toStringList();
        if (!chosen.isEmpty())
            chosen[0] = target;
        // An existing file is replaced as a whole; a cancel leaves it alone.
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        Dialogs::setNextAnswer(answer.isValid() ? QVariant(chosen) : QVariant());

        QCOMPARE(exportVertrag(57, QString()), answer.isValid());
        QCOMPARE(dialogLog(), QStringList { "SaveFile|Export Datei wählen|" });
        const QVariantMap call = Dialogs::lastCall();
        QCOMPARE(
            call.value("filter").toString(), QStringLiteral("Kassenexport (*.csv);;CSV (*.csv)"));
        const QString start = call.value("dir").toString();
        QCOMPARE(QFileInfo(start).absolutePath(), QDir(desktopFolder()).absolutePath());
        QVERIFY2(QFileInfo(start).fileName().endsWith(QLatin1String("_57.csv")), qPrintable(start));
        QCOMPARE(readFile(target), contents);
        QCOMPARE(QDir(work.path()).entryList({ "*.csv*" }, QDir::Files), QStringList { "x.csv" });
    }

    void unwritableFileIsReported_data()
    {
        QTest::addColumn<bool>("throughDialog");
        QTest::newRow("automatic export") << false;
        QTest::newRow("dialog") << true;
    }
    void unwritableFileIsReported()
    {
        QFETCH(bool, throughDialog);
        TestWorkdir work;
        insertContract();
        const QString folder = work.path("fehlt");
        if (throughDialog)
            Dialogs::setNextAnswer(QStringList { QDir(folder).filePath("x.csv"), "CSV (*.csv)" });

        QVERIFY(!exportVertrag(57, throughDialog ? QString() : folder));
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), throughDialog ? 2 : 1);
        QVERIFY2(log.last().startsWith(QLatin1String("Warning|Fehler|Die Datei ") + folder),
            qPrintable(log.last()));
        QVERIFY(!QFileInfo::exists(folder));
    }
};

QTEST_MAIN(TestCsvExport)
#include "tst_csvexport.moc"

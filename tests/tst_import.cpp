#include "app/paths.h"
#include "app/textcodec.h"
#include "printing/artikelbarcode.h"
#include "support/tilldriver.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QToolButton>
#include <QtTest>

using namespace pages;
using Shop = ShopFixture;

namespace {

int salesCount()
{
    return TestWorkdir::scalar("SELECT COUNT(*) FROM Verkauf").toInt();
}

int stock(int artikel)
{
    return TestWorkdir::scalar(
        QString("SELECT A.EinkaufsMenge - COALESCE((SELECT SUM(VerkaufsMenge) "
                "FROM Verkauf WHERE Artikel = A.ID), 0) - COALESCE((SELECT "
                "SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel = A.ID), 0) "
                "FROM Artikel AS A WHERE ID = %1")
            .arg(artikel))
        .toInt();
}

QString refusedAt(int line)
{
    return QString("Critical|Fehler|Fehler beim lesen der Datei in Zeile: %1.\n"
                   "Vorgang wird abgebrochen.")
        .arg(line);
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

    // Writes the journal as the register does (Windows-1252) and imports it with the button.
    static void import(Till &t, const QByteArray &bytes)
    {
        const QString path = t.dir.path("journal.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        Dialogs::setNextAnswer(path);
        click(child<QToolButton>(t.page, "toolButtonImport"));
    }
    static QByteArray lines(const QStringList &text, const char *end = "\r\n")
    {
        return toCp1252(text.join(QLatin1String(end)) + QLatin1String(end));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void journalBooksEveryLine()
    {
        Till t;
        TestWorkdir::setSetting("Etikettendrucker", "Etiketten");
        QVERIFY(t.enter());
        // A header, an empty line, a CR LF line and an LF line; the same article named with
        // and without "Vertr:", the price with a comma and with a point; -1 is one piece.
        const QByteArray journal = toCp1252(kJournalHeader + "\r\n\r\n"
            + journalLine("01.02.15", "10:30", "1", "Vertr:102/1", "12,50") + "\r\n"
            + journalLine("01.02.15", "10:30", "-1", "102/1", "\"12.50\"") + "\n");
        const QTime before = QTime::currentTime();
        import(t, journal);
        const QTime after = QTime::currentTime();
        QCOMPARE(dialogLog(),
            (QStringList { "OpenFile|Import Datei wählen|",
                "Information|Erfolgreich|Es wurden 2 Verkäufe eingetragen." }));

        QSqlQuery rows("SELECT DateTime, EinkaufsPreis, VerkaufsPreis, VerkaufsMenge, Artikel, "
                       "Auszahldatum FROM Verkauf WHERE DateTime LIKE '2015-%' ORDER BY DateTime");
        QStringList keys;
        while (rows.next()) {
            keys << rows.value(0).toString();
            QCOMPARE(rows.value(1).toDouble(), 4.5);
            QCOMPARE(rows.value(2).toDouble(), 12.5);
            QCOMPARE(rows.value(3).toInt(), 1);
            QCOMPARE(rows.value(4).toInt(), Shop::jacke.id);
            QVERIFY(rows.isNull(5));
        }
        QCOMPARE(keys.size(), 2);
        // The journal's minute, the seconds and milliseconds of the import.
        const auto inMinute = [](const QTime &time) { return time.second() * 1000 + time.msec(); };
        for (const QString &key : keys) {
            QVERIFY2(key.startsWith("2015-02-01 10:30:"), qPrintable(key));
            const int at = key.mid(17, 2).toInt() * 1000 + key.mid(20, 3).toInt();
            if (inMinute(after) >= inMinute(before)) // not across a minute
                QVERIFY2(at >= inMinute(before) && at <= inMinute(after) + 1, qPrintable(key));
        }
        QCOMPARE(stock(Shop::jacke.id), 0);
        QCOMPARE(t.label("labelBarcodeStatus"), QString("Barcode Ok 2"));

        // The counter goes on from there.
        QVERIFY(t.scan(ArtikelBarcode::encode(102, 3)));
        QCOMPARE(t.label("labelBarcodeStatus"), QString("Barcode Ok 3"));
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QStringList>("data"); // after the header and one good line
        QTest::addColumn<int>("line");
        const auto line = [](const QString &menge, const QString &ref, const QString &preis = "",
                              const QString &datum = "03.04.24") {
            return journalLine(datum, "09:15", menge, ref, preis);
        };
        QStringList fields26 = line("1", "102/1").split(';');
        fields26.removeLast();
        QTest::newRow("26 fields") << QStringList { fields26.join(';') } << 3;
        QTest::newRow("28 fields") << QStringList { line("1", "102/1") + ";" } << 3;
        QTest::newRow("missing contract") << QStringList { line("1", "Vertr:50/1") } << 3;
        QTest::newRow("article 0") << QStringList { line("1", "Vertr:102/0") } << 3;
        QTest::newRow("article past the count") << QStringList { line("1", "Vertr:102/4") } << 3;
        QTest::newRow("quantity 0") << QStringList { line("0", "Vertr:102/1") } << 3;
        QTest::newRow("quantity above the stock") << QStringList { line("3", "Vertr:102/1") } << 3;
        QTest::newRow("two lines above the stock")
            << QStringList { line("1", "Vertr:102/1"), "", line("2", "Vertr:102/1") } << 5;
        QTest::newRow("31.02.24") << QStringList { line("1", "Vertr:102/1", "", "31.02.24") } << 3;
        QTest::newRow("1.234,50") << QStringList { line("1", "Vertr:102/1", "1.234,50") } << 3;
    }
    void refusedFiles()
    {
        QFETCH(QStringList, data);
        QFETCH(int, line);
        Till t;
        QVERIFY(t.enter());
        const int before = salesCount();
        const QStringList file = QStringList {
            kJournalHeader, journalLine("03.04.24", "09:00", "1", "Vertr:102/3", "")
        } + data;
        import(t, lines(file));
        QCOMPARE(dialogLog(), (QStringList { "OpenFile|Import Datei wählen|", refusedAt(line) }));
        QCOMPARE(salesCount(), before);
        QCOMPARE(stock(Shop::lampe.id), Shop::lampe.bestand());
    }

    // A reference is the two numbers in digits, "Vertr:" before them or not; anything else
    // refuses the file. Contract numbers run past 32 bits.
    void references_data()
    {
        QTest::addColumn<QString>("referenz");
        QTest::addColumn<int>("artikel"); // the id booked; 0: the file is refused
        const int lampe = Shop::lampe.id;
        QTest::newRow("Vertr:102/3") << "Vertr:102/3" << lampe;
        QTest::newRow("102/3") << "102/3" << lampe;
        QTest::newRow("leading zeros") << "Vertr:0102/03" << lampe;
        QTest::newRow("past 32 bits") << "Vertr:4294967398/1" << 50;
        QTest::newRow("past 32 bits, no prefix") << "4294967398/1" << 50;
        for (const char *bad : { "102/3/1", "102/+3", "+102/3", "102/-3", "102/ 3", "102/3 ",
                 "Vertr: 102/3", "vertr:102/3", "Vertr:Vertr:102/3", "102", "/3", "102/3a",
                 "102/99999999999", "99999999999999999999/3" })
            QTest::newRow(bad) << QString(bad) << 0;
    }
    void references()
    {
        QFETCH(QString, referenz);
        QFETCH(int, artikel);
        Till t;
        // 2^32 + 102: cut to 32 bits it would name contract 102.
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Laufzeit) VALUES "
                          "(4294967398, 1, '2024-04-01 10:00:00.000', 90)");
        TestWorkdir::exec("INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, "
                          "VerkaufsPreis, EinkaufsMenge) VALUES (50, 4294967398, 'Mantel', 7, "
                          "20, 1)");
        QVERIFY(t.enter());
        const int before = salesCount();
        import(t, lines({ kJournalHeader, journalLine("03.04.24", "09:00", "1", referenz, "") }));
        if (!artikel) {
            QCOMPARE(dialogLog(), (QStringList { "OpenFile|Import Datei wählen|", refusedAt(2) }));
            QCOMPARE(salesCount(), before);
            return;
        }
        QCOMPARE(dialogLog(),
            (QStringList { "OpenFile|Import Datei wählen|",
                "Information|Erfolgreich|Es wurden 1 Verkäufe eingetragen." }));
        QCOMPARE(salesCount(), before + 1);
        QSqlQuery row("SELECT Artikel, EinkaufsPreis, VerkaufsPreis FROM Verkauf "
                      "WHERE DateTime LIKE '2024-04-03 09:00:%'");
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toInt(), artikel);
        const bool mantel = artikel == 50;
        QCOMPARE(row.value(1).toDouble(), mantel ? 7.0 : Shop::lampe.einkaufsPreis);
        QCOMPARE(row.value(2).toDouble(), mantel ? 20.0 : Shop::lampe.verkaufsPreis);
    }

    // A line that cannot be stored takes the lines before it back with it.
    void failedBookingBooksNothing()
    {
        Till t;
        TestWorkdir::setSetting("Etikettendrucker", "Etiketten");
        QVERIFY(t.enter());
        TestWorkdir::exec(
            "CREATE TRIGGER gesperrt BEFORE INSERT ON Verkauf WHEN "
            "NEW.VerkaufsPreis = 99 BEGIN SELECT RAISE(ABORT, 'Kasse gesperrt'); END");
        import(t,
            lines({ kJournalHeader, journalLine("03.04.24", "09:00", "1", "102/3", ""),
                journalLine("03.04.24", "09:01", "1", "102/1", "99") }));
        QCOMPARE(dialogLog().size(), 2);
        QVERIFY(dialogLog().at(1).startsWith("Warning|SQL-Fehler|Kasse gesperrt"));
        QCOMPARE(salesCount(), t.shop.sales().size());
        QCOMPARE(t.label("labelBarcodeStatus"), QString());
    }

    void emptyJournalCancelAndUnreadableFile()
    {
        Till t;
        QVERIFY(t.enter());
        import(t, lines({ kJournalHeader }));
        QCOMPARE(dialogLog().value(1),
            QString("Information|Erfolgreich|Es wurden 0 Verkäufe eingetragen."));

        Dialogs::takeRecords();
        click(child<QToolButton>(t.page, "toolButtonImport")); // unscripted: cancelled
        QCOMPARE(dialogLog(), QStringList("OpenFile|Import Datei wählen|"));
        QCOMPARE(Dialogs::lastCall().value("dir").toString(), desktopFolder());
        QCOMPARE(Dialogs::lastCall().value("filter").toString(), QString("CSV (*.csv)"));

        Dialogs::takeRecords();
        Dialogs::setNextAnswer(t.dir.path("fehlt.csv"));
        click(child<QToolButton>(t.page, "toolButtonImport"));
        QCOMPARE(dialogLog().size(), 2);
        QVERIFY(dialogLog().at(1).startsWith("Critical|Fehler|"));
        QCOMPARE(salesCount(), t.shop.sales().size());
    }

    // Damaged lines never crash the import: a line cut before its last field is refused, and
    // of lines with random characters each is refused or booked whole.
    void damagedLines()
    {
        Till t;
        QVERIFY(t.enter());
        const QString good = journalLine("03.04.24", "09:00", "1", "Vertr:102/3", "24,90");
        for (int cut = 1; cut <= good.lastIndexOf(';'); ++cut) {
            Dialogs::takeRecords();
            import(t, lines({ kJournalHeader, good.left(cut) }));
            QCOMPARE(dialogLog().value(1), refusedAt(2));
        }
        QCOMPARE(salesCount(), t.shop.sales().size());

        QRandomGenerator random(20240403);
        const QString characters = "0123456789;:/.,\"- VertrxÄ\r";
        for (int i = 0; i < 300; ++i) {
            QString damaged = good;
            for (int n = random.bounded(1, 4); n > 0; --n)
                damaged[random.bounded(int(damaged.size()))]
                    = characters.at(random.bounded(int(characters.size())));
            Dialogs::takeRecords();
            const int before = salesCount();
            import(t, lines({ kJournalHeader, damaged }));
            const QStringList log = dialogLog();
            QCOMPARE(log.size(), 2);
            if (log.at(1).startsWith("Information"))
                QCOMPARE(salesCount() - before, log.at(1).contains("1 Verkäufe") ? 1 : 0);
            else
                QCOMPARE(salesCount(), before);
        }
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"

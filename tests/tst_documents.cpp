#include "support/printhelpers.h"

#include "printing/records/abgelaufen.h"
#include "printing/records/auszahlung.h"
#include "printing/records/inventur.h"
#include "printing/records/vertrag.h"
#include "printing/reportprinter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <numeric>

namespace {

ArtikelAbrechnung abrechnung(const QString &bezeichnung, double offen, double ausgezahlt, double ek,
    int menge, int zurueck, int verkauft)
{
    ArtikelAbrechnung a;
    a.bezeichnung = bezeichnung;
    a.offen = offen;
    a.ausgezahlt = ausgezahlt;
    a.einkaufsPreis = ek;
    a.verkaufsPreis = ek * 2;
    a.einkaufsMenge = menge;
    a.zurueckgegeben = zurueck;
    a.verkauft = verkauft;
    return a;
}

// Contract 17 of customer 7 from 01.03.2021, 90 days; the book is fully paid out.
AuszahlungsVertrag auszahlungsVertrag()
{
    AuszahlungsVertrag v;
    v.name = QStringLiteral("Meier, Anna");
    v.datum = QDateTime(QDate(2021, 3, 1), QTime(10, 15));
    v.vertragNr = 17;
    v.laufzeit = 90;
    v.kundeNr = 7;
    v.artikel = { abrechnung("Vase", 5.0, 2.0, 2.5, 4, 0, 3),
        abrechnung("Buch", 0.0, 3.0, 1.5, 2, 0, 2), abrechnung("Lampe", 2.5, 0.0, 2.5, 1, 1, 1) };
    // The page's own sums are not what the document prints.
    v.summeOffen = 99;
    v.summeAusgezahlt = 99;
    return v;
}

InventurArtikel inventurArtikel(
    int vertrag, int laufzeit, const QString &bezeichnung, int menge, double ek, double vk)
{
    InventurArtikel a;
    a.vertrag = vertrag;
    a.artikelNr = 9; // not printed: the list numbers its rows itself
    a.laufzeit = laufzeit;
    a.bezeichnung = bezeichnung;
    a.menge = menge;
    a.einkaufsPreis = ek;
    a.verkaufsPreis = vk;
    return a;
}

// Horizontal centres of the words of a PDF, in reading order.
QList<QPair<QString, double>> wordCentres(const QString &file)
{
    QProcess process;
    process.start(
        QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), file, QStringLiteral("-") });
    process.waitForFinished(60000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    QList<QPair<QString, double>> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({ m.captured(3), (m.captured(1).toDouble() + m.captured(2).toDouble()) / 2 });
    }
    return words;
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qunsetenv("VELARIX_PRINTERS"); }

    void payoutDocuments_data()
    {
        QTest::addColumn<bool>("beenden");
        QTest::addColumn<bool>("vorbereiten");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("endText");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("absent");

        const QStringList allRows = { "1 Vase 2.50 € 4 1 2.00 € 5.00 €",
            "2 Buch 1.50 € 2 0 3.00 € 0.00 €", "3 Lampe 2.50 € 1 -1 0.00 € 2.50 €" };
        const QString ende = "Ich bestätige hiermit, dass die Ware abgeholt beziehungsweise "
                             "darauf verzichtet wurde. Der Vertrag endet hiermit.";
        // Only what is paid now, positions keep their gaps, the paid column stays empty.
        QTest::newRow("payout") << false << false << "Auszahlung - Kommissionsvertrag Nr: 17"
                                << "Der Vertrag endet am: 30.05.2021."
                                << QStringList { "1 Vase 2.50 € 4 1 5.00 € 3 Lampe 2.50 € 1 -1 "
                                                 "2.50 €" }
                                << QStringList { "Buch", "2.00 €" };
        QTest::newRow("prepare") << false << true << "Vorbereiten - Kommissionsvertrag Nr: 17"
                                 << "Ich bestätige hiermit, dass die Ware inerhalb 7 Werktagen "
                                    "abgeholt wird. Sollte die Ware nicht abgeholt werden "
                                    "erlöschen alle Ansprüche."
                                 << allRows << QStringList { "endet am:" };
        QTest::newRow("end") << true << false << "Beenden - Kommissionsvertrag Nr: 17" << ende
                             << allRows << QStringList { "Vorbereiten", "endet am:" };
        QTest::newRow("both flags") << true << true << "Beenden - Kommissionsvertrag Nr: 17" << ende
                                    << allRows << QStringList { "Vorbereiten" };
    }
    void payoutDocuments()
    {
        QFETCH(bool, beenden);
        QFETCH(bool, vorbereiten);
        QFETCH(QString, title);
        QFETCH(QString, endText);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, absent);
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        ReportPrinter printer;
        QVERIFY(printer.printAuszahlung(auszahlungsVertrag(), beenden, vorbereiten));
        QCOMPARE(dialogLog(), QStringList());
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 1);
        const QString &text = texts.at(0);
        VERIFY_CONTAINS(text, title);
        VERIFY_CONTAINS(text,
            "Der offene Betrag in Höhe von 7.50 € wurde dem Kunden Meier, Anna "
            "ausgezahlt.");
        VERIFY_CONTAINS(text, "Meier, Anna Kundennr.: 7");
        VERIFY_CONTAINS(text, "Vertragsdatum: 01.03.2021");
        VERIFY_CONTAINS(text, "Musterhausen, den " + today());
        VERIFY_CONTAINS(text, "Musterstraße 158 : 12345 Musterhausen");
        VERIFY_CONTAINS(text, "Bereits ausgezahlt: 5.00 €");
        VERIFY_CONTAINS(text, "Offener Betrag: 7.50 €");
        VERIFY_CONTAINS(text, endText);
        for (const QString &row : rows)
            VERIFY_CONTAINS(text, row);
        for (const QString &piece : absent)
            VERIFY_LACKS(text, piece);
        VERIFY_LACKS(text, "$(");
    }

    // The payout rows centre pieces and stock under their headings.
    void payoutRowsCentreTheirCounts()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        ReportPrinter printer;
        QVERIFY(printer.printAuszahlung(auszahlungsVertrag(), true, false));
        const auto words = wordCentres(wd.printDir() + '/' + wd.printedFiles().value(0));
        double menge = -1, bestand = -1, vaseMenge = -1, vaseBestand = -1;
        for (int i = 0; i < words.size(); ++i) {
            if (words[i].first == "Menge")
                menge = words[i].second;
            if (words[i].first == "Bestand")
                bestand = words[i].second;
            if (words[i].first == "Vase" && i + 3 < words.size()) {
                vaseMenge = words[i + 3].second; // after "2.50" and "€"
                vaseBestand = words[i + 4].second;
                QCOMPARE(words[i + 3].first, QString("4"));
                QCOMPARE(words[i + 4].first, QString("1"));
            }
        }
        QVERIFY(menge > 0 && bestand > 0 && vaseMenge > 0);
        QVERIFY2(qAbs(menge - vaseMenge) < 3, qPrintable(QString::number(menge - vaseMenge)));
        QVERIFY2(
            qAbs(bestand - vaseBestand) < 3, qPrintable(QString::number(bestand - vaseBestand)));
    }

    void payoutSentenceKeepsTypedValues()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        AuszahlungsVertrag v = auszahlungsVertrag();
        v.name = QStringLiteral("Kunz & <Söhne> $(SummeOffen) €");
        v.artikel = { abrechnung("Kiste <50 cm & mehr", 1234.5, 0, 1, 1, 0, 1) };
        ReportPrinter printer;
        QVERIFY(printer.printAuszahlung(v, false, false));
        const QString text = printedTexts(wd).value(0);
        // The bold sentence sometimes extracts with a blank after "$".
        const QRegularExpression satz(
            QRegularExpression::escape(
                "Der offene Betrag in Höhe von 1234.50 € wurde dem Kunden Kunz & <Söhne> $")
            + " ?" + QRegularExpression::escape("(SummeOffen) € ausgezahlt."));
        QVERIFY2(text.contains(satz), qPrintable(text));
        VERIFY_CONTAINS(text, "1 Kiste <50 cm & mehr 1.00 € 1 0 1234.50 €");
    }

    void payoutWithoutArticles()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        AuszahlungsVertrag v = auszahlungsVertrag();
        v.artikel.clear();
        ReportPrinter printer;
        QVERIFY(printer.printAuszahlung(v, true, false));
        const QString text = printedTexts(wd).value(0);
        VERIFY_CONTAINS(text,
            "Der offene Betrag in Höhe von 0.00 € wurde dem Kunden Meier, Anna "
            "ausgezahlt.");
        VERIFY_CONTAINS(text, "Bereits ausgezahlt: 0.00 €");
        VERIFY_CONTAINS(text, "Offener Betrag: 0.00 €");
    }

    void expiredContractEndDocument()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        AbgelaufenerVertrag v;
        v.id = 23;
        v.kunde = 8;
        v.name = QStringLiteral("Schulz, Karl");
        v.telefon = QStringLiteral("0999");
        v.datum = QDateTime(QDate(2021, 3, 1), QTime(9, 0));
        v.ende = v.datum.addDays(90);
        v.offen = 99;
        v.artikel = { abrechnung("Regal", 12.5, 0, 4, 1, 0, 1),
            abrechnung("Stuhl", 7.25, 10, 2, 5, 1, 2), abrechnung("Teller", 0, 0, 0.5, 3, 0, 0) };
        ReportPrinter printer;
        QVERIFY(printer.printSelbstBeenden(v));
        QCOMPARE(dialogLog(), QStringList());
        const QString text = printedTexts(wd).value(0);
        VERIFY_CONTAINS(text, "Beenden - Kommissionsvertrag Nr: 23");
        VERIFY_CONTAINS(text, "Schulz, Karl Kundennr.: 8");
        VERIFY_CONTAINS(text, "Vertragsdatum: 01.03.2021");
        VERIFY_CONTAINS(text,
            "Der Kunde Schulz, Karl hat seinen Vertrag nicht abgeholt. Alle "
            "Ansprüche wurden verloren. Der Vertrag endet hiermit.");
        // Paid and open amounts in short form, the paid one without a euro sign.
        VERIFY_CONTAINS(text, "1 Regal 4.00 € 1 0 0 12.5 €");
        VERIFY_CONTAINS(text, "2 Stuhl 2.00 € 5 2 10 7.25 €");
        VERIFY_CONTAINS(text, "3 Teller 0.50 € 3 3 0 0 €");
        VERIFY_CONTAINS(text, "Bereits ausgezahlt: 10.00 €");
        VERIFY_CONTAINS(text, "Offener Betrag: 19.75 €");
        VERIFY_LACKS(text, "Der offene Betrag");
        VERIFY_LACKS(text, "$(");
    }

    void listOfExpiredContracts()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        AbgelaufenerVertrag a;
        a.id = 5;
        a.kunde = 7;
        a.name = QStringLiteral("Meier, Anna");
        a.telefon = QStringLiteral("0171 2345");
        a.ende = QDateTime(QDate(2021, 5, 30), QTime(10, 15));
        a.offen = 1234.5;
        AbgelaufenerVertrag b;
        b.id = 9;
        b.kunde = 8;
        b.name = QStringLiteral("<i>Schulz</i>, Karl");
        b.ende = QDateTime(QDate(2021, 6, 2), QTime(8, 5, 9));
        ReportPrinter printer;
        QVERIFY(printer.printOffeneVertraege({ a, b }));
        QVERIFY(printer.printOffeneVertraege({}));
        QCOMPARE(dialogLog(), QStringList());
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 2);
        const QString stand = "Stand: " + today() + ' ';
        VERIFY_CONTAINS(texts.at(0), stand);
        VERIFY_CONTAINS(texts.at(0),
            "5 Meier, Anna 7 0171 2345 30.05.2021 10:15:00 1234.50 € "
            "9 <i>Schulz</i>, Karl 8 02.06.2021 08:05:09 0.00 €");
        VERIFY_CONTAINS(texts.at(1), "Abgelaufene Verträge");
        VERIFY_CONTAINS(texts.at(1), stand);
        VERIFY_CONTAINS(texts.at(1), "Musterhausen, den " + today());
        VERIFY_CONTAINS(texts.at(1), "Vertragsende Offen");
        VERIFY_LACKS(texts.at(1), "€");
        VERIFY_LACKS(texts.at(1), "$(");
    }

    void statistics_data()
    {
        QTest::addColumn<InventurStatistik>("statistik");
        QTest::addColumn<QStringList>("lines");

        InventurStatistik s;
        s.von = QDateTime(QDate(2026, 1, 1), QTime(0, 0));
        s.bis = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
        s.kunden = 3;
        s.vertraege = 4;
        s.artikelmenge = 12;
        s.verkauftZurueck = 5;
        s.einkauf = 40;
        s.verkauftVk = 20;
        s.standgebuehr = 5;
        s.ankaufAuszahlung = 40;
        s.umsatz = -12.3;
        s.ankauf = 777;
        s.offenerAnkaufVk = 1234.5;
        s.offeneAuszahlungen = 7.25;
        QTest::newRow("figures") << s
                                 << QStringList { "Zeitraum: 01.01.2026 00:00:00 bis 08.12.2026 "
                                                  "14:05:09",
                                        "Kunden 3", "Verträge 4", "Artikelmenge 12",
                                        "Verkauft + Zurück 5", "Einkauf 40.00 €",
                                        "Verkauft Verkaufspreis 20.00 €",
                                        "Einnahme Standgebühr 5.00 €",
                                        "Ankauf + Auszahlung 40.00 €", "Kasse -15.00 €",
                                        "Umsatz -12.30 €", "Offener Ankauf Verkaufspreis 1234.50 €",
                                        "Offene Auszahlungen 7.25 €" };
        QTest::newRow("all zero") << InventurStatistik()
                                  << QStringList { "Kunden 0", "Verträge 0", "Einkauf 0.00 €",
                                         "Kasse 0.00 €", "Offene Auszahlungen 0.00 €" };
    }
    void statistics()
    {
        QFETCH(InventurStatistik, statistik);
        QFETCH(QStringList, lines);
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        ReportPrinter printer;
        QVERIFY(printer.printStatistik(statistik));
        QCOMPARE(dialogLog(), QStringList());
        const QString text = printedTexts(wd).value(0);
        VERIFY_CONTAINS(text, "Musterhausen, den " + today());
        for (const QString &line : lines)
            VERIFY_CONTAINS(text, line);
        VERIFY_LACKS(text, "777");
        VERIFY_LACKS(text, "$(");
    }

    void stockList()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        TestWorkdir::setSetting("PrintFormat", "false");
        InventurListe liste;
        liste.inventurDatum = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
        liste.artikel.insert(101, inventurArtikel(12, 90, "Vase", 3, 2.5, 6.99));
        liste.artikel.insert(102, inventurArtikel(12, 90, "Buch", -1, 1, 2));
        liste.artikel.insert(201, inventurArtikel(15, -1, "Radio", 2, 5, 10));
        liste.artikel.insert(103, inventurArtikel(12, 90, "Tasse", 1, 1, 3));
        liste.artikelIds = QStringList { "101", "102", "201", "103" };
        ReportPrinter printer;
        QVERIFY(printer.printInventur(liste));
        QCOMPARE(dialogLog(), QStringList { "Warning|Warnung|Bitte A4 Papier einlegen." });
        const QStringList files = wd.printedFiles();
        QCOMPARE(files.size(), 1);
        const QSizeF size = pdfPageSizeMm(wd.printDir() + '/' + files.at(0));
        QVERIFY(qAbs(size.width() - 210) < 1 && qAbs(size.height() - 297) < 1);

        const QString text = printedTexts(wd).value(0);
        VERIFY_CONTAINS(text, "Bestand am 08.12.2026 14:05:09");
        VERIFY_CONTAINS(text, "Musterhausen, den " + today());
        // Contract cells open a run of the same contract; numbers count within the run.
        VERIFY_CONTAINS(text,
            "Summe 12 1 Vase 3 2.50 € 6.99 € 7.50 € 20.97 € "
            "2 Buch -1 1.00 € 2.00 € -1.00 € -2.00 € "
            "Ank. 15 1 Radio 2 5.00 € 10.00 € 10.00 € 20.00 € "
            "12 1 Tasse 1 1.00 € 3.00 € 1.00 € 3.00 €");
        VERIFY_CONTAINS(text, "Verträge 3 Artikel 4 Stück 5 Summe EK 17.50 € Summe VK 41.97 €");
        VERIFY_LACKS(text, "$(");
    }

    // A list that runs over several pages shows its column headings on every page it fills.
    void longListsRepeatTheirHeadings_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("heading");
        QTest::newRow("contract and copy") << "vertrag"
                                           << "je Stück";
        QTest::newRow("payout") << "auszahlung"
                                << "Ausgezahlt";
        QTest::newRow("expired contracts") << "offeneVertraege"
                                           << "Vertragsende";
        QTest::newRow("stock list") << "inventur"
                                    << "EK Summe";
    }
    void longListsRepeatTheirHeadings()
    {
        QFETCH(QString, document);
        QFETCH(QString, heading);
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        ReportPrinter printer;
        const int rows = 80;
        if (document == "vertrag") {
            Vertragsdaten v;
            v.vertragNr = 42;
            v.laufzeit = 90;
            for (int i = 0; i < rows; ++i) {
                Vertragsartikel a;
                a.bezeichnung = QStringLiteral("Teil %1").arg(i);
                a.menge = 1;
                v.artikel << a;
            }
            QVERIFY(printer.printVertrag(v, false));
        } else if (document == "auszahlung") {
            AuszahlungsVertrag v = auszahlungsVertrag();
            v.artikel.clear();
            for (int i = 0; i < rows; ++i)
                v.artikel << abrechnung(QStringLiteral("Teil %1").arg(i), 1, 1, 1, 1, 0, 1);
            QVERIFY(printer.printAuszahlung(v, true, false));
        } else if (document == "offeneVertraege") {
            QList<AbgelaufenerVertrag> liste;
            for (int i = 0; i < rows; ++i) {
                AbgelaufenerVertrag v;
                v.id = i + 1;
                v.name = QStringLiteral("Teil %1").arg(i);
                liste << v;
            }
            QVERIFY(printer.printOffeneVertraege(liste));
        } else {
            InventurListe liste;
            for (int i = 0; i < rows; ++i) {
                liste.artikel.insert(
                    i, inventurArtikel(i / 3, 90, QStringLiteral("Teil %1").arg(i), 1, 1, 2));
                liste.artikelIds << QString::number(i);
            }
            QVERIFY(printer.printInventur(liste));
        }
        const QStringList files = wd.printedFiles();
        QVERIFY(!files.isEmpty());
        for (const QString &file : files) {
            const QString pdf = wd.printDir() + '/' + file;
            const int pages = pdfPageCount(pdf);
            QVERIFY2(pages > 1, qPrintable(file));
            const QStringList pageTexts = printedPages(pdf);
            QCOMPARE(pageTexts.size(), pages);
            for (const QString &text : pageTexts) {
                if (text.contains(QLatin1String("Teil ")))
                    VERIFY_CONTAINS(text, heading);
            }
        }
    }

    // Lists of many pages: every row once and in order, the headings on every page with
    // rows, the sums after the last row. Some names wrap, so that rows also meet page ends with two
    // lines.
    void longListsPrintEveryRowOnce_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("sums");
        QTest::newRow("stock list") << "inventur" << 450 << "EK Summe VK Summe"
                                    << "Verträge 150 Artikel 450 Stück 900";
        QTest::newRow("expired contracts")
            << "offeneVertraege" << 300 << "Vertragsende Offen" << QString();
    }
    void longListsPrintEveryRowOnce()
    {
        QFETCH(QString, document);
        QFETCH(int, rows);
        QFETCH(QString, heading);
        QFETCH(QString, sums);
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        // The number last: a row cut by a page end also leaves its first line, clipped, in
        // the text of the page before.
        auto name = [](int i) {
            return (i % 7 == 3 ? QStringLiteral("Beschreibung, die in ihrer Spalte über mehrere "
                                                "Zeilen umbrechen muss, ")
                               : QString())
                + QStringLiteral("Posten%1").arg(i, 4, 10, QLatin1Char('0'));
        };
        ReportPrinter printer;
        if (document == "inventur") {
            InventurListe liste;
            for (int i = 0; i < rows; ++i) {
                liste.artikel.insert(1000 + i, inventurArtikel(100 + i / 3, 90, name(i), 2, 1, 2));
                liste.artikelIds << QString::number(1000 + i);
            }
            QVERIFY(printer.printInventur(liste));
        } else {
            QList<AbgelaufenerVertrag> liste;
            for (int i = 0; i < rows; ++i) {
                AbgelaufenerVertrag v;
                v.id = i + 1;
                v.kunde = 7;
                v.name = name(i);
                v.ende = QDateTime(QDate(2021, 5, 30), QTime(10, 15));
                liste << v;
            }
            QVERIFY(printer.printOffeneVertraege(liste));
        }
        const QString pdf = wd.printDir() + '/' + wd.printedFiles().value(0);
        const QStringList pages = printedPages(pdf);
        QVERIFY2(pages.size() > 5, qPrintable(QString::number(pages.size())));
        QCOMPARE(pages.size(), pdfPageCount(pdf));

        QList<int> printed;
        static const QRegularExpression posten(QStringLiteral("Posten(\\d{4})"));
        for (int p = 0; p < pages.size(); ++p) {
            const QString &text = pages.at(p);
            if (!sums.isEmpty()) {
                if (p == pages.size() - 1)
                    VERIFY_CONTAINS(text, sums);
                else
                    VERIFY_LACKS(text, sums);
            }
            const qsizetype before = printed.size();
            for (auto it = posten.globalMatch(text); it.hasNext();)
                printed << it.next().captured(1).toInt();
            // The sums may stand on a page of their own.
            if (printed.size() > before)
                VERIFY_CONTAINS(text, heading);
        }
        QList<int> expected(rows);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(printed, expected);
    }

    // A long list that cannot be written whole: one box with the system's reason, nothing
    // half-written, the earlier job untouched, not printed.
    void failedLongListIsReportedOnce()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        QDir().mkpath(wd.printDir());
        const QString earlier = QDir(wd.printDir()).filePath("0001-Buero-dokument.pdf");
        {
            QFile file(earlier);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("earlier");
        }
        InventurListe liste;
        for (int i = 0; i < 400; ++i) {
            liste.artikel.insert(
                i, inventurArtikel(i / 4, 90, QStringLiteral("Teil %1").arg(i), 1, 1, 2));
            liste.artikelIds << QString::number(i);
        }
        ReportPrinter printer;
        bool printed = true;
        {
            FileSizeLimit limit(16 * 1024);
            printed = printer.printInventur(liste);
        }
        QVERIFY(!printed);
        QCOMPARE(
            QDir(wd.printDir()).entryList(QDir::Files), QStringList("0001-Buero-dokument.pdf"));
        QFile file(earlier);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("earlier"));
        // The job's number goes on from the jobs before it in this run.
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(0), QString("Warning|Warnung|Bitte A4 Papier einlegen."));
        const QRegularExpression box("^Critical\\|Fehler\\|Der Druck auf Buero ist "
                                     "fehlgeschlagen!\nDie Datei "
            + QRegularExpression::escape(wd.printDir())
            + "/\\d{4}-Buero-dokument\\.pdf konnte nicht geschrieben werden:\n"
            + QRegularExpression::escape(QString::fromLocal8Bit(strerror(EFBIG))) + "$");
        QVERIFY2(box.match(log.at(1)).hasMatch(), qPrintable(log.at(1)));
    }

    void emptyStockList()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        ReportPrinter printer;
        QVERIFY(printer.printInventur(InventurListe()));
        QCOMPARE(dialogLog(), QStringList { "Warning|Warnung|Bitte A4 Papier einlegen." });
        const QString text = printedTexts(wd).value(0);
        VERIFY_CONTAINS(text,
            "Summe Verträge 0 Artikel 0 Stück 0 Summe EK 0.00 € Summe VK "
            "0.00 €");
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"

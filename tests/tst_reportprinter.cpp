#include "support/printhelpers.h"

#include "app/titleprefix.h"
#include "printing/records/abgelaufen.h"
#include "printing/records/auszahlung.h"
#include "printing/records/inventur.h"
#include "printing/records/rueckgabe.h"
#include "printing/records/vertrag.h"
#include "printing/reportprinter.h"
#include "printing/templatekeys.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

Vertragsartikel artikel(const QString &bezeichnung, int menge, double ek, double vk)
{
    Vertragsartikel a;
    a.bezeichnung = bezeichnung;
    a.menge = menge;
    a.einkaufsPreis = ek;
    a.verkaufsPreis = vk;
    return a;
}

// Commission contract 42 of customer 7, dated 15.01.2021, 90 days, no fee.
Vertragsdaten kommission()
{
    Vertragsdaten v;
    v.name = QStringLiteral("Meier, Anna (0171 2345)");
    v.datum = QDateTime(QDate(2021, 1, 15), QTime(10, 30));
    v.vertragNr = 42;
    v.kundeNr = 7;
    v.laufzeit = 90;
    v.standgebuehr = 0.0;
    v.artikel << artikel(QStringLiteral("Vase"), 3, 2.5, 6.0);
    return v;
}

Vertragsdaten barankauf()
{
    Vertragsdaten v = kommission();
    v.vertragNr = 43;
    v.laufzeit = -1;
    v.standgebuehr = -25.0;
    return v;
}

RueckgabeBeleg rueckgabe()
{
    RueckgabeBeleg b;
    b.name = QStringLiteral("Meier, Anna");
    b.vertragDatum = QDateTime(QDate(2021, 2, 3), QTime(11, 0));
    b.bezeichnung = QStringLiteral("Stehlampe");
    b.artikelNr = 4;
    b.anzahl = 2;
    b.bestand = -1;
    b.vertragNr = 42;
    b.kundeNr = 7;
    return b;
}

// Runs one print operation by name with a small record.
bool printBy(const QString &operation)
{
    ReportPrinter printer;
    if (operation == QLatin1String("vertrag"))
        return printer.printVertrag(kommission(), false);
    if (operation == QLatin1String("rueckgabe"))
        return printer.printRueckgabe(rueckgabe());
    if (operation == QLatin1String("auszahlung"))
        return printer.printAuszahlung(AuszahlungsVertrag(), false, false);
    if (operation == QLatin1String("selbstBeenden"))
        return printer.printSelbstBeenden(AbgelaufenerVertrag());
    if (operation == QLatin1String("offeneVertraege"))
        return printer.printOffeneVertraege({});
    if (operation == QLatin1String("statistik"))
        return printer.printStatistik(InventurStatistik());
    if (operation == QLatin1String("inventur"))
        return printer.printInventur(InventurListe());
    qFatal("unknown operation");
    return false;
}

const char *const kOperations[][2] = {
    { "vertrag", "template_kommissionsvertrag.html" },
    { "rueckgabe", "template_rueckgabe.html" },
    { "auszahlung", "template_auszahlung.html" },
    { "selbstBeenden", "template_auszahlung.html" },
    { "offeneVertraege", "template_offeneVertraege.html" },
    { "statistik", "template_statistik.html" },
    { "inventur", "template_inventur.html" },
};

// True when a line of ink runs at least 40 mm to the right of the word's left edge, just
// above the word, on the word's page: a signature line over its caption.
bool lineAbove(const QString &pdf, int page, const QRectF &word)
{
    constexpr int dpi = 144;
    const double scale = dpi / 72.0;
    const QImage image = pdfPageImage(pdf, page, dpi);
    const int left = qRound(word.left() * scale);
    const int width = qRound(40 / 25.4 * dpi);
    for (int y = qRound((word.top() - 8) * scale); y < qRound(word.top() * scale); ++y) {
        if (y < 0 || y >= image.height() || left + width > image.width())
            continue;
        const uchar *line = image.constScanLine(y);
        int dark = 0;
        for (int x = left; x < left + width; ++x)
            dark += line[x] < 160 ? 1 : 0;
        if (dark >= width * 95 / 100)
            return true;
    }
    return false;
}

} // namespace

class TestReportPrinter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("VELARIX_TITLE_PREFIX", QStringLiteral("Trödelstube").toUtf8());
        qunsetenv("VELARIX_PRINTERS");
    }

    void constants()
    {
        const QStringList names = { "VertrNr", "VertrDatum", "KundenSumme", "VertragSumme",
            "ArtikelSumme", "VerkauftZurueck", "Gewinn", "Name", "SummeEk", "SummeVk",
            "ArtikelListe", "ArtikelListeKopie", "VertragsListe", "Standgebuehr", "VertrEndeDatum",
            "Datum", "ArtikelVertrag", "ArtikelNr", "ArtikelBz", "ArtikelMe", "ArtikelStkEk",
            "ArtikelEk", "ArtikelEkSumme", "ArtikelVk", "ArtikelVkSumme", "HalbeHoehe",
            "Beschreibung", "Stadt", "Kundennr", "ArtAnkauf", "ArtZurueck", "ArtVerkauft",
            "ArtBestand", "ArtGezahlt", "ArtOffen", "OffenerGewinn", "SummeOffen", "SummeAusg",
            "VonDatum", "BisDatum", "Auszahlung", "Kasse", "KundenName", "KundenTelefon", "header",
            "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag" };
        QStringList expected;
        for (const QString &name : names)
            expected << QStringLiteral("$(") + name + QLatin1Char(')');
        QCOMPARE(templateKeys.all().size(), 51);
        QCOMPARE(templateKeys.all(), expected);

        QCOMPARE(ROW_A.toLatin1(),
            QByteArray("<tr align=left style=\"font-size:10pt;\"><td> $(ArtikelNr) </td><td> "
                       "$(ArtikelBz) </td><td> $(ArtikelMe) </td><td align=right> "
                       "$(ArtikelStkEk) &euro; </td><td align=right> $(ArtikelEk) &euro; "
                       "</td></tr>"));
        QCOMPARE(ROW_B.toLatin1(),
            QByteArray("<tr align=left style=\"font-size:12pt;\"><td> $(ArtikelNr) </td><td> "
                       "$(ArtikelBz) </td><td> $(ArtikelMe) </td><td align=right> "
                       "$(ArtikelEk) &euro; </td><td align=right> $(ArtikelVk) &euro; "
                       "</td></tr>"));
        QCOMPARE(ROW_C.toLatin1(),
            QByteArray("<tr align=left style=\"font-size:12pt;\"><td> $(ArtikelNr) </td><td> "
                       "$(ArtikelBz) </td><td align=right> $(ArtikelEk) </td><td "
                       "align=middle> $(ArtikelMe) </td><td align=middle> $(ArtBestand) "
                       "</td><td align=right> $(ArtGezahlt) </td><td align=right> "
                       "$(ArtOffen) &euro; </td></tr>"));
        QCOMPARE(ROW_D.toLatin1(),
            QByteArray("<tr align=left><td> $(ArtAnkauf) </td><td> $(ArtikelVertrag) "
                       "</td><td> $(ArtikelNr) </td><td> $(ArtikelBz) </td><td> "
                       "$(ArtBestand) </td><td align=right> $(ArtikelEk) &euro; </td><td "
                       "align=right> $(ArtikelVk) &euro; </td><td align=right> "
                       "$(ArtikelEkSumme) &euro; </td><td align=right> $(ArtikelVkSumme) "
                       "&euro; </td></tr>"));
        QCOMPARE(ROW_E.toLatin1(),
            QByteArray("<tr align=left><td> $(VertrNr) </td><td> $(KundenName) </td><td> "
                       "$(Kundennr)</td><td> $(KundenTelefon)</td><td> $(VertrEndeDatum) "
                       "</td><td align=right> $(ArtOffen) &euro; </td></tr>"));
        QCOMPARE(auszahlungSatz,
            QStringLiteral("Der offene Betrag in Höhe von $(SummeOffen) &euro; wurde dem "
                           "Kunden $(Name) ausgezahlt."));
    }

    // Each template is plain ASCII and holds the keys its document fills.
    void templatesHoldTheirKeys_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("keys");
        const QStringList common = { "$(Datum)", "$(Beschreibung)", "$(Stadt)" };
        const QStringList vertrag = QStringList { "$(VertrNr)", "$(VertrDatum)", "$(Name)",
            "$(Kundennr)", "$(VertrEndeDatum)", "$(Standgebuehr)", "$(SummeEk)", "$(SummeVk)" }
            + common;
        QTest::newRow("vertrag") << "template_kommissionsvertrag.html"
                                 << vertrag
                + QStringList { "$(ArtikelListe)", "$(Montag)", "$(Dienstag)", "$(Mittwoch)",
                      "$(Donnerstag)", "$(Freitag)", "$(Samstag)" };
        QTest::newRow("kopie") << "template_kommissionsvertrag_kopie.html"
                               << vertrag + QStringList { "$(ArtikelListeKopie)" };
        QTest::newRow("auszahlung") << "template_auszahlung.html"
                                    << common
                + QStringList { "$(VertrNr)", "$(VertrDatum)", "$(header)", "$(Name)",
                      "$(VertrEndeDatum)", "$(SummeOffen)", "$(SummeAusg)", "$(ArtikelListe)",
                      "$(Kundennr)" };
        QTest::newRow("rueckgabe") << "template_rueckgabe.html"
                                   << common
                + QStringList { "$(VertrNr)", "$(VertrDatum)", "$(Name)", "$(ArtikelNr)",
                      "$(ArtikelBz)", "$(ArtZurueck)", "$(ArtBestand)", "$(Kundennr)" };
        QTest::newRow("offeneVertraege")
            << "template_offeneVertraege.html"
            << common + QStringList { "$(BisDatum)", "$(VertragsListe)" };
        QTest::newRow("statistik") << "template_statistik.html"
                                   << common
                + QStringList { "$(KundenSumme)", "$(VertragSumme)", "$(ArtikelSumme)",
                      "$(VerkauftZurueck)", "$(ArtikelEk)", "$(ArtikelVk)", "$(Standgebuehr)",
                      "$(Auszahlung)", "$(Kasse)", "$(Gewinn)", "$(OffenerGewinn)", "$(SummeOffen)",
                      "$(VonDatum)", "$(BisDatum)" };
        QTest::newRow("inventur") << "template_inventur.html"
                                  << common
                + QStringList { "$(BisDatum)", "$(VertragSumme)", "$(ArtikelSumme)",
                      "$(ArtBestand)", "$(SummeEk)", "$(SummeVk)", "$(ArtikelListe)" };
    }
    void templatesHoldTheirKeys()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, keys);
        QFile f(QStringLiteral(VELARIX_SOURCE_DIR "/Templates/") + file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        for (const char c : bytes)
            QVERIFY2(uchar(c) < 0x80, "templates are stored as ASCII with entities");
        for (const QString &key : keys)
            VERIFY_CONTAINS(QString::fromLatin1(bytes), key);
        // No key of this document may be left for the printout to show raw.
        const QString text = QString::fromLatin1(bytes);
        for (const QString &key : templateKeys.all()) {
            if (text.contains(key))
                QVERIFY2(keys.contains(key), qPrintable(key));
        }
    }

    void commissionContractGivesContractThenCopy()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        TestWorkdir::setSetting("Montag", "Mo 9-18 Uhr");
        TestWorkdir::setSetting("Samstag", "Sa geschlossen");
        ReportPrinter printer;
        QVERIFY(printer.printVertrag(kommission(), false));
        QCOMPARE(dialogLog(), QStringList());
        const QStringList files = wd.printedFiles();
        QCOMPARE(files.size(), 2);
        for (const QString &file : files)
            QVERIFY2(file.endsWith("-Buero-dokument.pdf"), qPrintable(file));
        const QStringList texts = printedTexts(wd);
        const QString &vertrag = texts.at(0);
        const QString &kopie = texts.at(1);

        VERIFY_CONTAINS(vertrag, "Kommissionsvertrag Nr: 42");
        VERIFY_LACKS(vertrag, "Kopie");
        VERIFY_CONTAINS(kopie, "Kopie - Kommissionsvertrag Nr: 42");
        for (const QString &text : texts) {
            VERIFY_CONTAINS(text, "Meier, Anna (0171 2345)");
            VERIFY_CONTAINS(text, "Kundennr.: 7");
            VERIFY_CONTAINS(text, "15.01.2021");
            VERIFY_CONTAINS(text, "Musterhausen, den " + today());
            VERIFY_CONTAINS(text, "Trödelstube Musterstraße 158 : 12345 Musterhausen");
            VERIFY_CONTAINS(text, "Der Vertrag endet am: 15.04.2021.");
            VERIFY_CONTAINS(text, "Eine Standgebühr in Höhe von 0.00 € wurde bezahlt.");
            VERIFY_CONTAINS(text, "7.50 €");
            VERIFY_CONTAINS(text, "18.00 €");
            VERIFY_LACKS(text, "$(");
        }
        // ROW_A: pieces, amount per piece, line amount; ROW_B: pieces, purchase and sale price.
        VERIFY_CONTAINS(vertrag, "1 Vase 3 2.50 € 7.50 €");
        VERIFY_CONTAINS(kopie, "1 Vase 3 2.50 € 6.00 €");
        // Opening hours only on the customer's contract.
        VERIFY_CONTAINS(vertrag, "Mo 9-18 Uhr");
        VERIFY_CONTAINS(vertrag, "Sa geschlossen");
        VERIFY_LACKS(kopie, "Mo 9-18 Uhr");
    }

    void contractEndAndArticleNumbers()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        Vertragsdaten v = kommission();
        v.ende = QDateTime(QDate(2021, 2, 1), QTime(9, 0));
        v.standgebuehr = 4.5;
        v.artikel = { artikel("Buch", 5, 1, 2), artikel("Radio", 1, 10, 25),
            artikel("Tasse", 2, 0.5, 1.5) };
        ReportPrinter printer;
        QVERIFY(printer.printVertrag(v, false));
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 2);
        for (const QString &text : texts) {
            // An explicit end wins over the term.
            VERIFY_CONTAINS(text, "Der Vertrag endet am: 01.02.2021.");
            VERIFY_CONTAINS(text, "Eine Standgebühr in Höhe von 4.50 € wurde bezahlt.");
        }
        // Lines are numbered, not pieces.
        VERIFY_CONTAINS(texts.at(0),
            "1 Buch 5 1.00 € 5.00 € 2 Radio 1 10.00 € 10.00 € 3 Tasse 2 "
            "0.50 € 1.00 €");
        VERIFY_CONTAINS(texts.at(1),
            "1 Buch 5 1.00 € 2.00 € 2 Radio 1 10.00 € 25.00 € 3 Tasse 2 "
            "0.50 € 1.50 €");
        VERIFY_CONTAINS(texts.at(1), "16.00 €");
        VERIFY_CONTAINS(texts.at(1), "38.00 €");
    }

    void cashPurchaseGivesPurchaseContractOnly()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        // The purchase needs only the copy's template.
        QVERIFY(QFile::remove(wd.path("Templates/template_kommissionsvertrag.html")));
        ReportPrinter printer;
        QVERIFY(printer.printVertrag(barankauf(), false));
        QCOMPARE(dialogLog(), QStringList());
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 1);
        VERIFY_CONTAINS(texts.at(0), "Kaufvertrag Nr: 43");
        VERIFY_CONTAINS(texts.at(0),
            "Der Einkaufspreis in Höhe von 25.00 € wurde ausgezahlt. "
            "Der Verkäufer bestätigt, dass die Ware unbestrittenes "
            "Eigentum ist.");
        // The sentence's line break holds in print.
        const QString raw = pdfText(wd.printDir() + QLatin1Char('/') + wd.printedFiles().at(0));
        const QRegularExpression ersteZeile(QStringLiteral("wurde ausgezahlt\\.[^\\n]*"));
        VERIFY_LACKS(ersteZeile.match(raw).captured(), "Verkäufer");
        VERIFY_LACKS(texts.at(0), "Kommissionsvertrag");
        VERIFY_LACKS(texts.at(0), "endet am");
        VERIFY_LACKS(texts.at(0), "$(");
    }

    void contractBeingDeletedIsMarked_data()
    {
        QTest::addColumn<bool>("barkauf");
        QTest::addColumn<QString>("title");
        QTest::newRow("commission") << false << "Kopie - Kommissionsvertrag Nr: 42";
        QTest::newRow("cash purchase") << true << "Kaufvertrag Nr: 43";
    }
    void contractBeingDeletedIsMarked()
    {
        QFETCH(bool, barkauf);
        QFETCH(QString, title);
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        ReportPrinter printer;
        QVERIFY(printer.printVertrag(barkauf ? barankauf() : kommission(), true));
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 1);
        VERIFY_CONTAINS(texts.at(0), title);
        VERIFY_CONTAINS(texts.at(0), "Der Vertrag wurde nicht abgeschlossen.");
        VERIFY_LACKS(texts.at(0), "endet am");
        VERIFY_LACKS(texts.at(0), "Standgebühr in Höhe");
        VERIFY_LACKS(texts.at(0), "ausgezahlt");
    }

    void pageFormatFollowsPrintFormat_data()
    {
        QTest::addColumn<QVariant>("printFormat"); // invalid: no row
        QTest::addColumn<bool>("a4");
        QTest::newRow("true") << QVariant("true") << true;
        QTest::newRow("True") << QVariant("True") << false;
        QTest::newRow("TRUE") << QVariant("TRUE") << false;
        QTest::newRow("1") << QVariant("1") << false;
        QTest::newRow("blank before") << QVariant(" true") << false;
        QTest::newRow("empty") << QVariant("") << false;
        QTest::newRow("missing") << QVariant() << false;
    }
    void pageFormatFollowsPrintFormat()
    {
        QFETCH(QVariant, printFormat);
        QFETCH(bool, a4);
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        if (printFormat.isValid())
            TestWorkdir::setSetting("PrintFormat", printFormat.toString());
        ReportPrinter printer;
        QVERIFY(printer.printVertrag(kommission(), false));
        QCOMPARE(dialogLog(), QStringList());
        const QStringList files = wd.printedFiles();
        QCOMPARE(files.size(), 2);
        for (const QString &file : files) {
            const QSizeF size = pdfPageSizeMm(wd.printDir() + QLatin1Char('/') + file);
            const QSizeF expected = a4 ? QSizeF(210, 297) : QSizeF(210, 148);
            QVERIFY2(qAbs(size.width() - expected.width()) < 1
                    && qAbs(size.height() - expected.height()) < 1,
                qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        }
    }

    // Whatever stops a document, it says why and prints nothing at all.
    void failuresShowTheirBoxAndPrintNothing_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("box");
        for (const auto &op : kOperations) {
            const QString name = QLatin1String(op[0]);
            QTest::addRow("%s, no printer row", op[0])
                << name << "no row"
                << "Critical|Fehler|Bitte einen Vertragsdrucker auswählen!";
            QTest::addRow("%s, empty printer", op[0])
                << name << "empty"
                << "Critical|Fehler|Bitte einen Vertragsdrucker auswählen!";
            QTest::addRow("%s, unknown printer", op[0])
                << name << "unknown"
                << "Critical|Fehler|Der Drucker Buero ist nicht verfügbar!";
            QTest::addRow("%s, missing template", op[0])
                << name << "template"
                << QStringLiteral("Critical|Fehler|Die Vorlage Templates/%1 fehlt!")
                       .arg(QLatin1String(op[1]));
        }
        QTest::newRow("copy template of a contract")
            << "vertrag"
            << "copy template"
            << "Critical|Fehler|Die Vorlage Templates/template_kommissionsvertrag_kopie.html "
               "fehlt!";
    }
    void failuresShowTheirBoxAndPrintNothing()
    {
        QFETCH(QString, operation);
        QFETCH(QString, failure);
        QFETCH(QString, box);
        TestWorkdir wd;
        TestWorkdir::setSetting("PrintFormat", "true");
        if (failure == "empty")
            TestWorkdir::setSetting("Vertragsdrucker", "");
        else if (failure != "no row")
            TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        if (failure == "unknown")
            qputenv("VELARIX_PRINTERS", "Laser;Etiketten");
        if (failure == "template")
            QFile::remove(wd.path("Templates/") + QLatin1String([&] {
                for (const auto &op : kOperations)
                    if (operation == QLatin1String(op[0]))
                        return op[1];
                return "";
            }()));
        if (failure == "copy template")
            QFile::remove(wd.path("Templates/template_kommissionsvertrag_kopie.html"));

        const bool printed = printBy(operation);
        qunsetenv("VELARIX_PRINTERS");
        QVERIFY(!printed);
        // The stock list asks for A4 paper only when it will print.
        QCOMPARE(dialogLog(), QStringList { box });
        QCOMPARE(wd.printedFiles(), QStringList());
    }

    void failedSettingsStatementsWarnFirst()
    {
        TestWorkdir wd;
        TestWorkdir::exec("DROP TABLE Systemdaten");
        ReportPrinter printer;
        QVERIFY(!printer.printRueckgabe(rueckgabe()));
        const QStringList log = dialogLog();
        // Beschreibung, Stadt and Vertragsdrucker each fail on their own.
        QCOMPARE(log.size(), 4);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(log.at(i).startsWith("Warning|SQL-Fehler|"), qPrintable(log.at(i)));
        QCOMPARE(log.at(3), QString("Critical|Fehler|Bitte einen Vertragsdrucker auswählen!"));
        QCOMPARE(wd.printedFiles(), QStringList());
    }

    void failedPrintJobIsReported()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        QFile blocker(wd.path("kein-ordner"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QByteArray printDir = qgetenv("VELARIX_PRINT_DIR");
        qputenv("VELARIX_PRINT_DIR", wd.path("kein-ordner/print").toLocal8Bit());
        ReportPrinter printer;
        const bool printed = printer.printRueckgabe(rueckgabe());
        qputenv("VELARIX_PRINT_DIR", printDir);
        QVERIFY(!printed);
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.at(0).startsWith("Critical|Fehler|Der Druck auf Buero ist fehlgeschlagen!\n"
                                      "Die Datei "
                     + wd.path("kein-ordner/print/")),
            qPrintable(log.at(0)));
    }

    // On a full disk nothing half-written is left and the user is told.
    void fullDiskPrintsNothing_data()
    {
        QTest::addColumn<bool>("label");
        QTest::newRow("contract") << false;
        QTest::newRow("label") << true;
    }
    void fullDiskPrintsNothing()
    {
        QFETCH(bool, label);
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        TestWorkdir::setSetting("Etikettendrucker", "Zebra");
        QDir().mkpath(wd.printDir());
        ReportPrinter printer;
        bool printed = true;
        {
            FileSizeLimit limit(2048);
            printed = label ? printer.printEtikett(QDate(2021, 6, 10), 42, 1, "Vase", 6)
                            : printer.printVertrag(kommission(), false);
        }
        QVERIFY(!printed);
        QCOMPARE(QDir(wd.printDir()).entryList(QDir::Files), QStringList());
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 1);
        const QString box = label ? "Critical|Fehler|Das Etikett konnte nicht gedruckt werden!\n"
                                  : "Critical|Fehler|Der Druck auf Buero ist fehlgeschlagen!\n";
        QVERIFY2(
            log.at(0).startsWith(box + "Die Datei " + wd.printDir() + "/"), qPrintable(log.at(0)));
        QVERIFY2(log.at(0).endsWith(":\n" + QString::fromLocal8Bit(strerror(EFBIG))),
            qPrintable(log.at(0)));
    }

    // Job files are numbered on after the highest in the folder, however many digits it has,
    // and never replace a file that is there.
    void jobNumbersGoOnPastTheFolderHighest()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        QDir().mkpath(wd.printDir());
        const QStringList earlier
            = { "0007-Buero-dokument.pdf", "9999-Buero-dokument.pdf", "10000-Buero-dokument.pdf" };
        for (const QString &name : earlier) {
            QFile file(QDir(wd.printDir()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("earlier");
        }
        ReportPrinter printer;
        QVERIFY(printer.printRueckgabe(rueckgabe()));
        QVERIFY(printer.printRueckgabe(rueckgabe()));
        QStringList added = QDir(wd.printDir()).entryList(QDir::Files);
        for (const QString &name : earlier) {
            QFile file(QDir(wd.printDir()).filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("earlier"));
            added.removeOne(name);
        }
        QCOMPARE(added.size(), 2);
        const qint64 first = added.at(0).section('-', 0, 0).toLongLong();
        const qint64 second = added.at(1).section('-', 0, 0).toLongLong();
        QVERIFY2(qMin(first, second) > 10000 && first != second, qPrintable(added.join(' ')));
    }

    // Without a town the date stands alone in the header.
    void withoutATownTheDateStandsAlone_data()
    {
        QTest::addColumn<QString>("operation");
        for (const auto &op : kOperations)
            QTest::newRow(op[0]) << QString::fromLatin1(op[0]);
    }
    void withoutATownTheDateStandsAlone()
    {
        QFETCH(QString, operation);
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        TestWorkdir::setSetting("Stadt", "");
        QVERIFY(printBy(operation));
        for (const QString &text : printedTexts(wd)) {
            VERIFY_CONTAINS(text, today());
            VERIFY_LACKS(text, ", den");
            VERIFY_LACKS(text, "$(");
        }
    }

    void returnReceiptShowsItsValues()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        TestWorkdir::setSetting("Stadt", "Neustadt");
        ReportPrinter printer;
        QVERIFY(printer.printRueckgabe(rueckgabe()));
        QCOMPARE(dialogLog(), QStringList());
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 1);
        const QString &text = texts.at(0);
        VERIFY_CONTAINS(text, "Trödelstube Musterstraße 158 : 12345 Musterhausen");
        VERIFY_CONTAINS(text, "Neustadt, den " + today());
        VERIFY_CONTAINS(text, "Meier, Anna");
        VERIFY_CONTAINS(text, "Kundennr.: 7");
        VERIFY_CONTAINS(text, "Kommissionsvertrag Nr: 42");
        VERIFY_CONTAINS(text, "Vertragsdatum: 03.02.2021");
        // Position, name, pieces given back, stock left (negative as passed).
        VERIFY_CONTAINS(text, "4 Stehlampe 2 -1");
        VERIFY_LACKS(text, "$(");
        VERIFY_LACKS(text, "11:00");
    }

    // Typed values print as typed; the program's own sentences still expand.
    void recordValuesPrintAsTyped()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        Vertragsdaten v = kommission();
        v.name = QStringLiteral("<b>Kunz</b> & Söhne $(Datum)");
        // A NUL would end the document there; control characters are dropped.
        v.artikel = { artikel(QStringLiteral("Spiegel") + QChar(0) + QStringLiteral("oval\x07\x1b"),
                          1, 1, 2),
            artikel(QStringLiteral("Kiste <50 cm & mehr"), 1, 1, 2),
            artikel(QStringLiteral("Tisch $(Stadt)"), 1, 1, 2),
            artikel(QStringLiteral("Lampe € Ω"), 1, 1, 2) };
        ReportPrinter printer;
        QVERIFY(printer.printVertrag(v, false));
        RueckgabeBeleg b = rueckgabe();
        b.name = QStringLiteral("O'Neil \"Jim\" €");
        b.bezeichnung = QStringLiteral("Regal $(Kundennr) </td>");
        QVERIFY(printer.printRueckgabe(b));
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 3);
        for (const QString &text : texts.mid(0, 2)) {
            VERIFY_CONTAINS(text, "<b>Kunz</b> & Söhne $(Datum)");
            VERIFY_CONTAINS(text, "1 Spiegeloval 1 1.00 €");
            VERIFY_CONTAINS(text, "Kiste <50 cm & mehr");
            VERIFY_CONTAINS(text, "Tisch $(Stadt)");
            VERIFY_CONTAINS(text, "Lampe € Ω");
            VERIFY_CONTAINS(text, "Der Vertrag endet am: 15.04.2021.");
        }
        VERIFY_CONTAINS(texts.at(2), "O'Neil \"Jim\" €");
        VERIFY_CONTAINS(texts.at(2), "Regal $(Kundennr) </td>");
    }

    void headerAndSettingsAreReadAtEveryPrint()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        ReportPrinter printer;
        QCOMPARE(printer.beschreibung(),
            titlePrefix() + QStringLiteral(" Musterstraße 158 : 12345 Musterhausen"));
        QVERIFY(printer.printRueckgabe(rueckgabe()));
        TestWorkdir::removeSetting("Beschreibung");
        TestWorkdir::setSetting("Stadt", "Altstadt");
        QCOMPARE(printer.beschreibung(), titlePrefix() + QLatin1Char(' '));
        // An edited template counts from the next print on; keys match exactly, case included.
        QFile vorlage(wd.path("Templates/template_rueckgabe.html"));
        QVERIFY(vorlage.open(QIODevice::ReadOnly));
        QByteArray html = vorlage.readAll();
        vorlage.close();
        html.replace("</body>", "<p>Neu: $(datum) $(HalbeHoehe) $(Stadt)</p></body>");
        QVERIFY(vorlage.open(QIODevice::WriteOnly | QIODevice::Truncate));
        vorlage.write(html);
        vorlage.close();
        QVERIFY(printer.printRueckgabe(rueckgabe()));
        const QStringList texts = printedTexts(wd);
        QCOMPARE(texts.size(), 2);
        VERIFY_CONTAINS(texts.at(0), "Musterhausen, den");
        VERIFY_LACKS(texts.at(0), "Neu:");
        VERIFY_LACKS(texts.at(1), "Musterstraße");
        VERIFY_CONTAINS(texts.at(1), "Altstadt, den");
        VERIFY_CONTAINS(texts.at(1), "Neu: $(datum) $(HalbeHoehe) Altstadt");
        QCOMPARE(dialogLog(), QStringList());
    }
    // However long the article list, each signature line stays on the page of its caption:
    // a line at the foot of one page and its caption on the next cannot be signed.
    void signatureLinesStayWithTheirCaptions()
    {
        TestWorkdir wd;
        TestWorkdir::setSetting("Vertragsdrucker", "Buero");
        int longest = 0;
        for (int n = 1; n <= 12; ++n) {
            Vertragsdaten v = kommission();
            v.artikel.clear();
            for (int i = 1; i <= n; ++i)
                v.artikel << artikel(QStringLiteral("Artikel %1").arg(i), 1, 2, 5);
            ReportPrinter printer;
            QVERIFY(printer.printVertrag(v, false));
            const QStringList files = wd.printedFiles();
            QCOMPARE(files.size(), 2 * n);
            for (const QString &file : files.mid(2 * (n - 1))) {
                const QString pdf = QDir(wd.printDir()).filePath(file);
                const int pages = pdfPageCount(pdf);
                longest = qMax(longest, pages);
                int captions = 0;
                for (int page = 1; page <= pages; ++page) {
                    for (const PdfWord &word : pdfWords(pdf, page)) {
                        if (word.text != QLatin1String("Unterschrift"))
                            continue;
                        ++captions;
                        QVERIFY2(lineAbove(pdf, page, word.box),
                            qPrintable(QStringLiteral("%1 articles, %2 page %3")
                                           .arg(n)
                                           .arg(file)
                                           .arg(page)));
                    }
                }
                QCOMPARE(captions, 2);
            }
        }
        // On the way the list grew past the first page.
        QVERIFY(longest > 1);
    }
};

QTEST_MAIN(TestReportPrinter)
#include "tst_reportprinter.moc"

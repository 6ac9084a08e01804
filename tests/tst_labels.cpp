#include "printing/artikelbarcode.h"
#include "printing/etikett.h"
#include "printing/records/vertrag.h"
#include "support/barcodereader.h"
#include "support/testsupport.h"

#include <QLocale>
#include <QtTest>

namespace {

// The printed lines, trimmed, without empty ones.
QStringList textLines(const QString &pdf)
{
    QStringList lines;
    for (const QString &line : pdfText(pdf).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

QStringList dialogKinds()
{
    QStringList lines = dialogLog();
    for (QString &line : lines) {
        if (line.startsWith(QLatin1String("Warning|SQL-Fehler|")))
            line = QStringLiteral("Warning|SQL-Fehler|");
        // A file that could not be written is named with the system's reason.
        const int file = line.indexOf(QLatin1String("\nDie Datei "));
        if (file >= 0)
            line.truncate(file + 11);
    }
    return lines;
}

} // namespace

class TestLabels : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void barcodeTable_data()
    {
        QTest::addColumn<qint64>("vertrag");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("code");
        QTest::addColumn<qint64>("value");
        QTest::newRow("1234/5") << Q_INT64_C(1234) << 5 << "7CHZV" << Q_INT64_C(12340507);
        QTest::newRow("7/1") << Q_INT64_C(7) << 1 << "1I3G" << Q_INT64_C(70108);
        QTest::newRow("57/3") << Q_INT64_C(57) << 3 << "C81T" << Q_INT64_C(570305);
        QTest::newRow("123/4") << Q_INT64_C(123) << 4 << "QDDY" << Q_INT64_C(1230406);
        QTest::newRow("check number 10") << Q_INT64_C(1) << 9 << "8F2" << Q_INT64_C(10910);
        // Beyond the 32-bit range of a signed int.
        QTest::newRow("214748/99") << Q_INT64_C(214748) << 99 << "ZIK5TE" << Q_INT64_C(2147489906);
        QTest::newRow("99999999/42")
            << Q_INT64_C(99999999) << 42 << "CRE66DSX" << Q_INT64_C(999999994209);
        QTest::newRow("contract 2147483648")
            << Q_INT64_C(2147483648) << 1 << "7M1EJ6CMF" << Q_INT64_C(21474836480103);
    }
    void barcodeTable()
    {
        QFETCH(qint64, vertrag);
        QFETCH(int, position);
        QFETCH(QString, code);
        QFETCH(qint64, value);
        QCOMPARE(ArtikelBarcode::codeValue(vertrag, position), value);
        QCOMPARE(ArtikelBarcode::encode(vertrag, position), code);
        qint64 vertragNr = -1;
        int artikelNr = -1;
        QVERIFY(ArtikelBarcode::decode(code, &vertragNr, &artikelNr));
        QCOMPARE(vertragNr, vertrag);
        QCOMPARE(artikelNr, position);
        // An int contract number takes only what fits.
        int kurz = -1;
        QCOMPARE(ArtikelBarcode::decode(code, &kurz, &artikelNr), vertrag <= INT_MAX);
    }

    void decodeRefuses_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("sound");
        QTest::newRow("wrong check number") << "7CHZW" << false; // 12340508
        QTest::newRow("check number 10 changed") << QString::number(10909, 36) << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blanks only") << "  " << false;
        QTest::newRow("sign") << "+7CHZV" << false;
        QTest::newRow("inner blank") << "7CH ZV" << false;
        QTest::newRow("not base 36") << "7CH-ZV" << false;
        QTest::newRow("with asterisks") << "*7CHZV*" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("article 0") << QString::number(123400 * 100 + 123400 % 11, 36) << false;
        QTest::newRow("too long") << "ZZZZZZZZZZZZZZZZ" << false;
        QTest::newRow("scanner line end") << "7CHZV\r\n" << true;
        QTest::newRow("small letters") << "7chzv" << true;
    }
    void decodeRefuses()
    {
        QFETCH(QString, code);
        QFETCH(bool, sound);
        int vertragNr = -1, artikelNr = -1;
        QCOMPARE(ArtikelBarcode::decode(code, &vertragNr, &artikelNr), sound);
        QCOMPARE(vertragNr, sound ? 1234 : -1);
        QCOMPARE(artikelNr, sound ? 5 : -1);
    }

    void labelPage_data()
    {
        QTest::addColumn<QString>("labelSize"); // "-" for no row
        QTest::addColumn<QDate>("datum");
        QTest::addColumn<double>("heightMm");
        QTest::addColumn<QString>("zeile");
        QTest::newRow("size 0") << "0" << QDate(2021, 6, 10) << 20.0 << "23 1234/5";
        QTest::newRow("size 2") << "2" << QDate(2021, 6, 10) << 30.0 << "23 1234/5";
        QTest::newRow("no row") << "-" << QDate(2021, 6, 10) << 20.0 << "23 1234/5";
        QTest::newRow("not a number") << "groß" << QDate(2021, 6, 10) << 20.0 << "23 1234/5";
        QTest::newRow("smaller") << "-2" << QDate(2021, 6, 10) << 10.0 << "23 1234/5";
        QTest::newRow("no height") << "-4" << QDate(2021, 6, 10) << 20.0 << "23 1234/5";
        QTest::newRow("invalid date") << "0" << QDate() << 20.0 << "0 1234/5";
        QTest::newRow("week 53 of the year before")
            << "0" << QDate(2021, 1, 2) << 20.0 << "53 1234/5";
    }
    void labelPage()
    {
        QFETCH(QString, labelSize);
        QFETCH(QDate, datum);
        QFETCH(double, heightMm);
        QFETCH(QString, zeile);
        TestWorkdir work;
        TestWorkdir::setSetting("Etikettendrucker", "Zebra GK420");
        if (labelSize != QLatin1String("-"))
            TestWorkdir::setSetting("LabelSize", labelSize);

        QVERIFY(Labels::printEtikett(nullptr, datum, 1234, 5, QStringLiteral("Lampe"), 12.5));
        QCOMPARE(dialogLog(), QStringList());
        const QStringList files = work.printedFiles();
        QCOMPARE(files.size(), 1);
        QVERIFY(files[0].endsWith(QLatin1String("-Zebra_GK420-etikett.pdf")));
        const QString pdf = work.path("print/") + files[0];
        QCOMPARE(pdfPageCount(pdf), 1);
        const QSizeF size = pdfPageSizeMm(pdf);
        QVERIFY2(qAbs(size.width() - 999) < 0.5 && qAbs(size.height() - heightMm) < 0.5,
            qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));

        QCOMPARE(textLines(pdf), (QStringList { "12.50 €", "7CHZV", zeile, "Lampe" }));
    }

    // The text lies inside the page and is big enough to read; a bigger size gives bigger type.
    void labelFitsAndIsLegible_data()
    {
        QTest::addColumn<QString>("labelSize");
        QTest::addColumn<double>("minWordHeightPt");
        QTest::newRow("size 0") << "0" << 7.0;
        QTest::newRow("size 2") << "2" << 10.5;
    }
    void labelFitsAndIsLegible()
    {
        QFETCH(QString, labelSize);
        QFETCH(double, minWordHeightPt);
        TestWorkdir work;
        TestWorkdir::setSetting("Etikettendrucker", "Zebra");
        TestWorkdir::setSetting("LabelSize", labelSize);
        const QString name = QStringLiteral("Wg").repeated(50); // tall and deep letters, 100 long
        QVERIFY(Labels::printEtikett(nullptr, QDate(2021, 6, 10), 214748, 99, name, 1234.5));
        QSizeF page;
        const QList<PdfWord> words
            = pdfWords(work.path("print/") + work.printedFiles().value(0), 1, &page);
        QCOMPARE(words.size(), 6); // price, euro sign, code, week, contract/article, name
        const QRectF pageRect(QPointF(0, 0), page);
        for (const PdfWord &word : words) {
            QVERIFY2(pageRect.contains(word.box), qPrintable(word.text));
            QVERIFY2(word.box.height() >= minWordHeightPt, qPrintable(word.text));
        }
        QVERIFY(words.last().text == name);
    }

    void barsDecodeToCode_data()
    {
        QTest::addColumn<int>("vertrag");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("labelSize");
        QTest::newRow("1234/5") << 1234 << 5 << "0";
        QTest::newRow("214748/99 on size 2") << 214748 << 99 << "2";
        QTest::newRow("7/1 on a small label") << 7 << 1 << "-3";
    }
    void barsDecodeToCode()
    {
        QFETCH(int, vertrag);
        QFETCH(int, position);
        QFETCH(QString, labelSize);
        TestWorkdir work;
        TestWorkdir::setSetting("Etikettendrucker", "Zebra");
        TestWorkdir::setSetting("LabelSize", labelSize);
        QVERIFY(Labels::printEtikett(
            nullptr, QDate(2021, 6, 10), vertrag, position, QStringLiteral("Lampe"), 12.5));
        const QString pdf = work.path("print/") + work.printedFiles().value(0);
        QCOMPARE(readBars(pdf), ArtikelBarcode::encode(vertrag, position));
    }

    void nameIsCutAndKeptAsTyped()
    {
        TestWorkdir work;
        TestWorkdir::setSetting("Etikettendrucker", "Zebra");
        const QString name = QStringLiteral("Ω€") + QStringLiteral("x").repeated(98)
            + QStringLiteral("ENDE") + QStringLiteral("y").repeated(46);
        QVERIFY(Labels::printEtikett(nullptr, QDate(2021, 6, 10), 7, 1, name, 0.5));
        const QString text = pdfText(work.path("print/") + work.printedFiles().value(0));
        QVERIFY2(text.contains(name.left(100) + QLatin1Char('\n')), qPrintable(text));
        QVERIFY(!text.contains(QLatin1String("ENDE")));
        QVERIFY(text.contains(QStringLiteral("0.50 €")));
    }

    // When a label cannot be printed, a contract stops at once and reports it once.
    void labelNotPrinted_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("no row") << "none"
                                << QStringList { "Critical|Fehler|Bitte einen Etikettendrucker "
                                                 "auswählen!" };
        QTest::newRow("empty: labels off") << "empty" << QStringList();
        QTest::newRow("failed query") << "broken"
                                      << QStringList { "Warning|SQL-Fehler|",
                                             "Critical|Fehler|Bitte einen "
                                             "Etikettendrucker auswählen!" };
        QTest::newRow("job cannot start")
            << "no job"
            << QStringList { "Critical|Fehler|Das Etikett konnte nicht gedruckt werden!\n"
                             "Die Datei " };
        QTest::newRow("not installed")
            << "missing"
            << QStringList { "Critical|Fehler|Der Drucker Zebra ist nicht verfügbar!" };
    }
    void labelNotPrinted()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, log);
        TestWorkdir work;
        if (setup == QLatin1String("empty"))
            TestWorkdir::setSetting("Etikettendrucker", "");
        if (setup == QLatin1String("broken"))
            TestWorkdir::exec("DROP TABLE Systemdaten;");
        if (setup == QLatin1String("missing")) {
            TestWorkdir::setSetting("Etikettendrucker", "Zebra");
            qputenv("VELARIX_PRINTERS", "Brother;HP");
        }
        if (setup == QLatin1String("no job")) {
            TestWorkdir::setSetting("Etikettendrucker", "Zebra");
            QFile blocker(work.path("blocker"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            qputenv("VELARIX_PRINT_DIR", work.path("blocker/print").toLocal8Bit());
        }

        QVERIFY(!Labels::printEtikett(nullptr, QDate(2021, 6, 10), 7, 1, "Lampe", 1));
        QCOMPARE(dialogKinds(), log);
        Dialogs::takeRecords();

        Vertragsdaten vertrag;
        vertrag.vertragNr = 7;
        vertrag.datum = QDateTime(QDate(2021, 6, 10), QTime(10, 0));
        Vertragsartikel artikel;
        artikel.bezeichnung = QStringLiteral("Lampe");
        artikel.menge = 3;
        vertrag.artikel << artikel << artikel;
        Labels::printEtiketten(nullptr, vertrag);
        qunsetenv("VELARIX_PRINTERS");
        QCOMPARE(dialogKinds(), log);
        QCOMPARE(work.printedFiles(), QStringList());
    }

    void etikettenOfAContract()
    {
        TestWorkdir work;
        TestWorkdir::setSetting("Etikettendrucker", "Zebra");
        Vertragsdaten vertrag;
        vertrag.vertragNr = 57;
        vertrag.datum = QDateTime(QDate(2021, 6, 10), QTime(23, 59));
        const QList<QPair<QString, int>> articles
            = { { "Tisch", 2 }, { "Stuhl", 0 }, { "Lampe", 1 }, { "Vase", -1 }, { "Buch", 1 } };
        for (const auto &a : articles) {
            Vertragsartikel artikel;
            artikel.bezeichnung = a.first;
            artikel.menge = a.second;
            artikel.verkaufsPreis = 10 + a.second;
            vertrag.artikel << artikel;
        }
        Labels::printEtiketten(nullptr, vertrag);
        QCOMPARE(dialogLog(), QStringList());
        const QStringList files = work.printedFiles();
        QCOMPARE(files.size(), 4);
        const QStringList expected = { "12.00 €|C7W7|23 57/1|Tisch", "12.00 €|C7W7|23 57/1|Tisch",
            "11.00 €|C81T|23 57/3|Lampe", "11.00 €|C87F|23 57/5|Buch" };
        for (int i = 0; i < files.size(); ++i) {
            QCOMPARE(textLines(work.path("print/") + files[i]).join('|'), expected[i]);
        }
    }
};

QTEST_MAIN(TestLabels)
#include "tst_labels.moc"

#include "intake/anlieferung.h"
#include "payout/auszahlung.h"
#include "printing/artikelbarcode.h"
#include "services/services.h"
#include "support/barcodereader.h"
#include "support/pagehelpers.h"
#include "support/printhelpers.h"
#include "support/shopfixture.h"
#include "support/statisticsdriver.h"
#include "support/testsupport.h"

#include "app/textcodec.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QtTest>

using namespace pages;

namespace {

// The new contract, its customer and its article, next to the shop fixture's.
constexpr int kVertrag = 104;
constexpr int kKunde = 3;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The new article's contract and customer as older data or another program may have stored
// them: the texts unchanged, line breaks included.
void storeContract(const ShopFixture &shop, const QString &text)
{
    QSqlQuery query;
    query.prepare("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                  "VALUES (?, ?, 'Anna', '', '', '', '')");
    query.addBindValue(kKunde);
    query.addBindValue(text);
    QVERIFY(query.exec());
    query.prepare("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                  "VALUES (?, ?, ?, 1, 90)");
    query.addBindValue(kVertrag);
    query.addBindValue(kKunde);
    query.addBindValue(shop.stamp(0, QTime(0, 0)));
    QVERIFY(query.exec());
    query.prepare("INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
                  "EinkaufsMenge, EAN, ISBN, Images, Kategorie, Beschreibung) "
                  "VALUES (?, ?, 10, 21, 2, ?, ?, '', 0, ?)");
    query.addBindValue(kVertrag);
    for (int i = 0; i < 4; ++i)
        query.addBindValue(text);
    QVERIFY(query.exec());
}

// The text as the PDF's text layer gives it back: a character beyond the 16-bit range is
// drawn, but pdftotext reads nothing for it from the PDFs that Qt writes.
QString readable(const QString &text)
{
    QString result;
    for (const char32_t c : text.toUcs4()) {
        if (!QChar::requiresSurrogates(c))
            result += QChar(c);
    }
    return collapsed(result);
}

// True when the words of the pieces stand in the printed text in this order. A long value
// wraps, even inside a word, and where its cell runs on to the next page the other cells
// and the table's headings come between its lines.
bool inOrder(const QString &printed, const QStringList &pieces, QString *missing)
{
    QString text = printed;
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    qsizetype at = 0;
    for (const QString &piece : pieces) {
        for (const QString &word : readable(piece).split(' ', Qt::SkipEmptyParts)) {
            at = text.indexOf(word, at);
            if (at < 0) {
                *missing = word;
                return false;
            }
            at += word.size();
        }
    }
    return true;
}

// A CSV file's lines, decoded; fails when a line break stands inside a line or the last
// line has no CR LF.
QStringList csvLines(const QByteArray &bytes)
{
    QStringList lines = fromCp1252(bytes).split("\r\n");
    if (lines.last() != QString())
        return { "no CR LF at the end" };
    lines.removeLast();
    for (const QString &line : lines)
        if (line.contains('\r') || line.contains('\n'))
            return { "line break inside: " + line };
    return lines;
}

} // namespace

class TestHostileTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Each text goes in as a customer's name and as an article's texts (name, EAN, ISBN and
    // description), and comes out of the contract and its copy, the labels, the payout
    // document, the contract's files for the till and the web shop, and the stock's shop file.
    void hostileTextsComeOutWhole_data()
    {
        QTest::addColumn<QString>("text"); // as pasted on the intake page, or as stored
        QTest::addColumn<bool>("stored"); // a row of older data: the page cleans line breaks
        QTest::addColumn<QString>("printed"); // in the documents
        QTest::addColumn<QString>("label"); // the name on the label
        QTest::addColumn<QString>("csv"); // in the 8-bit files, decoded

        const QString markup = "<b>fett</b> <table><tr><td>x</td></tr></table> &euro; &amp; <!--";
        QTest::newRow("markup")
            << markup << false << markup << markup
            << "<b>fett</b> <table><tr><td>x</td></tr></table> &euro  &amp  <!--";
        const QString keys = "$(Datum) $(Name) $(Stadt) $(ArtikelListe) $(header) $ 5 $$(";
        QTest::newRow("placeholders") << keys << false << keys << keys << keys;
        const QString quotes = "O Neil \"Kunz\" \u201aeins\u2018 \u201ezwei\u201c `drei`";
        QTest::newRow("quotes") << "O'Neil \"Kunz\" \u201aeins\u2018 \u201ezwei\u201c `drei`"
                                << false << quotes << quotes << quotes;
        const QString semicolons = "Tisch;rund;;gro\u00df;";
        QTest::newRow("semicolons")
            << semicolons << false << semicolons << semicolons << "Tisch rund  gro\u00df ";
        const QString lines = "Zeile 1 Zeile 2 Zeile 3";
        QTest::newRow("pasted line breaks")
            << "Zeile 1\nZeile 2\r\n\tZeile 3\r" << false << lines << lines << lines;
        const QString storedLines = "Zeile 1 Zeile 2 Zeile 3 Ende";
        QTest::newRow("stored line breaks") << "Zeile 1\nZeile 2\r\nZeile 3\rEnde" << true
                                            << storedLines << storedLines << storedLines;
        const QString formula = "=SUMME(A1:A9)+HYPERLINK(\"x\";\"y\")";
        QTest::newRow("leading equals")
            << formula << false << formula << formula << "=SUMME(A1:A9)+HYPERLINK(\"x\" \"y\")";
        const QString beyond
            = "\u0141\u00f3d\u017a \u03a9mega \u0416\u0443\u043a \u2603 \U0001F600 \u20ac \u0160";
        QTest::newRow("beyond Windows-1252")
            << beyond << false << beyond << beyond << "?\u00f3d? ?mega ??? ? ? \u20ac \u0160";

        // 2,000 characters; the label shows the first 100, and its hundredth is a smiley.
        QString lang
            = "=Anfang <b>fett</b> $(Datum) &amp; \"zitiert\";y \u0141\u00f3d\u017a \u2603 ";
        lang += QString(99 - lang.size(), 'x') + "\U0001F600";
        const QString label = lang;
        for (int i = 1; lang.size() < 2000; ++i)
            lang += QStringLiteral(" Wort%1;&lt;i&gt;").arg(i);
        lang.truncate(2000);
        QString langCsv = lang;
        langCsv.replace(';', ' ').replace("\U0001F600", "?");
        for (const char *c : { "\u0141", "\u017a", "\u2603" })
            langCsv.replace(QString::fromUtf8(c), "?");
        QTest::newRow("2,000 characters") << lang << false << lang << label << langCsv;
    }
    void hostileTextsComeOutWhole()
    {
        QFETCH(QString, text);
        QFETCH(bool, stored);
        QFETCH(QString, printed);
        QFETCH(QString, label);
        QFETCH(QString, csv);

        TestWorkdir wd;
        ShopFixture shop;
        TestWorkdir::setPrinters();
        QDir().mkpath(wd.path("export"));
        TestWorkdir::setSetting("AutoExportPath", wd.path("export"));

        // In: pasted on the intake page, which prints the contract and the labels and writes
        // the till's file; or stored as older data.
        if (stored) {
            storeContract(shop, text);
        } else {
            Anlieferung page;
            QVERIFY(enter(page));
            paste(edit(page, "lineEditNA"), text);
            type(edit(page, "lineEditVNA"), "Anna");
            paste(edit(page, "lineEditBZ"), text);
            paste(edit(page, "lineEditEAN"), text);
            paste(edit(page, "lineEditISBN"), text);
            paste(child<QTextEdit>(page, "textEditBeschreibung"), text);
            type(spin(page, "spinBoxME"), "2");
            type(money(page, "doubleSpinBoxEk"), "10,00");
            click(button(page, "pushButtonNeuArt"));
            click(button(page, "pushButtonVertrAbsch"));
            QCOMPARE(dialogLog(), QStringList());
        }
        // One piece sold (the till is not the point here), so that there is a payout.
        TestWorkdir::exec(
            QStringLiteral("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                           "VerkaufsMenge, Artikel) VALUES ('%1', 10, 21, 1, "
                           "(SELECT ID FROM Artikel WHERE Vertrag = %2))")
                .arg(shop.stamp(0, QTime(0, 0, 1)))
                .arg(kVertrag));

        // Out: the services page reprints the contract and a label and exports both
        // layouts, the payout page pays the piece, the statistics page exports the stock.
        {
            Services page;
            QVERIFY(enter(page));
            spin(page, "spinBox_vertr")->setFocus();
            type(spin(page, "spinBox_vertr"), QString::number(kVertrag));
            click(button(page, "pushButton_print"));
            click(button(page, "pushButtonEtikett"));
            Dialogs::setNextAnswer(
                QStringList { wd.path("export/kasse.csv"), "Kassenexport (*.csv)" });
            click(button(page, "pushButtonExport"));
            Dialogs::setNextAnswer(QStringList { wd.path("export/shop.csv"), "CSV (*.csv)" });
            click(button(page, "pushButtonExport"));
        }
        {
            Auszahlung page;
            QVERIFY(enter(page));
            type(edit(page, "lineEditKNR"), QString::number(kKunde));
            QTableWidget *contracts = table(page, "tableWidget");
            const auto row = contracts->findItems(QString::number(kVertrag), Qt::MatchExactly);
            QVERIFY(!row.isEmpty());
            QVERIFY(clickCheckBox(contracts, row.first()->row(), 5)); // "Auszahlen"
            click(button(page, "pushButtonPrint"));
        }
        {
            StatisticsPage p;
            const QDateTime now = QDateTime::currentDateTime();
            p.calculate(now.addDays(-1), now.addSecs(60));
            Dialogs::setNextAnswer(wd.path("export/bestand.csv"));
            p.click("pushButtonExport");
        }
        QCOMPARE(dialogLog(), QStringList(3, "SaveFile|Export Datei wählen|"));

        // Documents show the texts as typed: markup as text, no placeholder filled from them,
        // the rest of the document after them. Labels show the name's first 100 characters
        // and their bars still read.
        const QString name = printed + ", Anna";
        int documents = 0, labels = 0;
        for (const QString &file : wd.printedFiles()) {
            const QString pdf = QDir(wd.printDir()).filePath(file);
            const QString shown = collapsed(pdfTextInOrder(pdf));
            if (file.endsWith("-etikett.pdf")) {
                ++labels;
                QVERIFY2(shown.endsWith(" 104/1 " + readable(label)), qPrintable(shown));
                QCOMPARE(readBars(pdf), ArtikelBarcode::encode(kVertrag, 1));
                continue;
            }
            ++documents;
            const QStringList pieces = shown.contains("Auszahlung - Kommissionsvertrag")
                ? QStringList { name, "dem Kunden " + name + " ausgezahlt.", printed,
                      "Unterschrift" }
                : QStringList { name, printed, "Unterschrift" };
            QString missing;
            QVERIFY2(inOrder(shown, pieces, &missing),
                qPrintable(file + ": no \"" + missing + "\" in: " + shown));
        }
        QCOMPARE(documents, stored ? 3 : 5);
        QCOMPARE(labels, stored ? 1 : 3);

        // The files keep every record on its line with all its columns, ours and the
        // fixture's, and hold the texts after their own rule: ";" a blank, Windows-1252, a
        // leading "=" kept (the till and the web shop read data, not formulas).
        const QDir folder(wd.path("export"));
        const QStringList files = folder.entryList(QDir::Files);
        QCOMPARE(files.size(), stored ? 3 : 4);
        for (const QString &file : files) {
            const QStringList lines = csvLines(readFile(folder.filePath(file)));
            const bool kasse = lines.value(0).startsWith("Kurzbeschreibung;");
            int ours = 0;
            for (int i = 0; i < lines.size(); ++i) {
                const QStringList fields = lines.at(i).split(';');
                QVERIFY2(fields.size() == (kasse ? 13 : 19), qPrintable(file + ": " + lines.at(i)));
                if (i == 0 || !fields.at(kasse ? 5 : 10).endsWith("104/1"))
                    continue;
                ++ours;
                QCOMPARE(fields.at(kasse ? 0 : 1), csv);
                QCOMPARE(fields.at(kasse ? 11 : 17), csv);
                if (!kasse) {
                    QCOMPARE(fields.at(8), csv); // EAN
                    QCOMPARE(fields.at(9), csv); // ISBN
                }
            }
            QCOMPARE(ours, 1);
            // The stock also holds the fixture's four articles in stock.
            QCOMPARE(lines.size(), file == "bestand.csv" ? 6 : 2);
        }
    }
};

QTEST_MAIN(TestHostileTexts)
#include "tst_hostiletexts.moc"

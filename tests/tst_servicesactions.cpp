#include "printing/csvexport.h"
#include "support/pictures.h"
#include "support/printhelpers.h"
#include "support/servicesdriver.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QSqlQuery>
#include <QTextEdit>
#include <QtTest>

using pages::child;

namespace {

QVariant stored(const QString &column, int artikelId)
{
    return TestWorkdir::scalar(
        QString("SELECT %1 FROM Artikel WHERE ID = %2").arg(column).arg(artikelId));
}

// Every row that belongs to a contract: its own, its articles', their sales' and returns'.
int rowsOf(int vertrag)
{
    const QString articles = QString("(SELECT ID FROM Artikel WHERE Vertrag = %1)").arg(vertrag);
    return TestWorkdir::scalar(
        QString("SELECT (SELECT COUNT(*) FROM Vertrag WHERE ID = %1) "
                "+ (SELECT COUNT(*) FROM Artikel WHERE Vertrag = %1) "
                "+ (SELECT COUNT(*) FROM Verkauf WHERE Artikel IN %2) "
                "+ (SELECT COUNT(*) FROM Zurueckgegeben WHERE Artikel IN %2)")
            .arg(vertrag)
            .arg(articles))
        .toInt();
}

int allRows()
{
    return TestWorkdir::scalar("SELECT (SELECT COUNT(*) FROM Vertrag) + (SELECT COUNT(*) FROM "
                               "Artikel) + (SELECT COUNT(*) FROM Verkauf) + (SELECT COUNT(*) "
                               "FROM Zurueckgegeben) + (SELECT COUNT(*) FROM Kunde)")
        .toInt();
}

// Any change of that table fails with the message "gesperrt".
void lock(const char *table, const char *event)
{
    TestWorkdir::exec(QString("CREATE TRIGGER sperre_%1_%2 BEFORE %2 ON %1 BEGIN SELECT "
                              "RAISE(ABORT, 'gesperrt'); END")
                          .arg(table, event));
}

} // namespace

class TestServicesActions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Each text (and the category) typed over the lamp, the third article of the running
    // contract, and taken over with its button.
    void changes_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("name") << "lineEdit_bz"
                              << "  Tischlampe   O'Neill  "
                              << "pushButton_bz"
                              << "Bezeichnung" << QVariant("Tischlampe O Neill")
                              << "Bezeichnung ändern erfolgreich.";
        QTest::newRow("description of three lines")
            << "textEditBeschreibung"
            << "Höhe 40 cm\nMessing,\n  poliert"
            << "pushButtonBeschreibung"
            << "Beschreibung" << QVariant("Höhe 40 cm Messing, poliert")
            << "Beschreibung ändern erfolgreich.";
        QTest::newRow("EAN") << "lineEditEAN"
                             << " 4012345678901 "
                             << "pushButtonEAN"
                             << "EAN" << QVariant("4012345678901") << "EAN ändern erfolgreich.";
        QTest::newRow("ISBN") << "lineEditISBN"
                              << "978-3-16-148410-0"
                              << "pushButtonISBN"
                              << "ISBN" << QVariant("978-3-16-148410-0")
                              << "ISBN ändern erfolgreich.";
        QTest::newRow("category") << "spinBoxKategorie"
                                  << "5"
                                  << "pushButtonKategorie"
                                  << "Kategorie" << QVariant(5) << "Kategorie ändern erfolgreich.";
        QTest::newRow("pictures, as chosen")
            << "lineEditImages"
            << "/bilder/O'Neill  Lampe.png,/bilder/b.png"
            << "pushButtonImages"
            << "Images" << QVariant("/bilder/O'Neill  Lampe.png,/bilder/b.png")
            << "Bilder ändern erfolgreich.";
    }
    void changes()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QString, message);
        ServiceDesk desk;
        const int lampe = ShopFixture::lampe.id;
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        ServiceDesk::typeInto(child<QWidget>(desk.page, qPrintable(field)), typed);
        desk.click(qPrintable(button));
        QCOMPARE(dialogLog(), QStringList { "Information|Information|" + message });
        QCOMPARE(stored(column, lampe).toString(), value.toString());
        // Only the lamp: its neighbours in the contract keep theirs.
        QCOMPARE(TestWorkdir::scalar(QString("SELECT COUNT(*) FROM Artikel WHERE %1 = '%2'")
                                         .arg(column, value.toString().replace("'", "''")))
                     .toInt(),
            1);

        // A change that cannot be stored says so, and nothing else.
        Dialogs::takeRecords();
        lock("Artikel", "UPDATE");
        desk.click(qPrintable(button));
        QCOMPARE(dialogLog().size(), 1);
        QVERIFY2(dialogLog().first().startsWith("Warning|SQL-Fehler|gesperrt"),
            qPrintable(dialogLog().first()));
    }

    // New pictures are shown at once; the other changes leave the fields as typed.
    void pictureChangeReloadsTheView()
    {
        ServiceDesk desk;
        QVERIFY(!writePicture(desk.dir, "rot.png", Qt::red).isEmpty());
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        auto *picture = child<QLabel>(desk.page, "labelImage");
        QVERIFY(picture->pixmap().isNull());
        ServiceDesk::typeInto(desk.edit("lineEditImages"), desk.dir.path("rot.png"));
        desk.click("pushButtonImages");
        QVERIFY(!picture->pixmap().isNull());

        ServiceDesk::typeInto(desk.edit("lineEdit_bz"), "  Lampe  ");
        desk.click("pushButton_bz");
        QCOMPARE(desk.text("lineEdit_bz"), QString("  Lampe  "));
    }

    // The cash purchase's cookbook: 3 pieces bought at 2.00 €, selling at 6.00 €.
    void prices_data()
    {
        QTest::addColumn<QString>("ek");
        QTest::addColumn<QString>("vk");
        QTest::addColumn<bool>("labelPrinter"); // false: no Etikettendrucker row
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("labels");
        const QString labels = "Information|Information|Preis ändern erfolgreich.\nEtiketten "
                               "werden ausgedruckt.";
        const QString reprint
            = "Warning|Warnung|Preis ändern erfolgreich.\nBitte Vertrag erneut ausdrucken.";
        QTest::newRow("sale price") << "2,00"
                                    << "7,50" << true << QStringList { labels } << 3;
        QTest::newRow("both prices") << "2,50"
                                     << "7,50" << true << QStringList { reprint } << 0;
        QTest::newRow("purchase price") << "2,50"
                                        << "6,00" << true << QStringList { reprint } << 0;
        QTest::newRow("nothing changed") << "2,00"
                                         << "6,00" << true << QStringList() << 0;
        QTest::newRow("sale price, not stored")
            << "2,00"
            << "7,50" << true << QStringList { "Warning|SQL-Fehler|gesperrt" } << 0;
        QTest::newRow("sale price, no label printer row")
            << "2,00"
            << "7,50" << false
            << QStringList { labels, "Critical|Fehler|Bitte einen Etikettendrucker auswählen!" }
            << 0;
    }
    void prices()
    {
        QFETCH(QString, ek);
        QFETCH(QString, vk);
        QFETCH(bool, labelPrinter);
        QFETCH(QStringList, log);
        QFETCH(int, labels);
        ServiceDesk desk;
        TestWorkdir::setPrinters();
        if (!labelPrinter)
            TestWorkdir::removeSetting("Etikettendrucker");
        const bool locked = log.value(0).startsWith("Warning|SQL-Fehler");
        if (locked)
            lock("Artikel", "UPDATE");
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragAnkauf, ShopFixture::kochbuch.nr);
        ServiceDesk::typeInto(pages::money(desk.page, "doubleSpinBoxEk"), ek);
        ServiceDesk::typeInto(pages::money(desk.page, "doubleSpinBoxVk"), vk);
        desk.click("pushButtonChangePrice");
        QStringList shown = dialogLog();
        if (locked && !shown.isEmpty())
            shown.first().truncate(log.first().size()); // the driver's text after "gesperrt"
        QCOMPARE(shown, log);
        const int id = ShopFixture::kochbuch.id;
        QCOMPARE(stored("EinkaufsPreis", id).toDouble(), QLocale().toDouble(ek));
        QCOMPARE(stored("VerkaufsPreis", id).toDouble(),
            locked ? ShopFixture::kochbuch.verkaufsPreis : QLocale().toDouble(vk));
        const QStringList printed = printedTexts(desk.dir);
        QCOMPARE(printed.size(), labels);
        for (const QString &label : printed) {
            VERIFY_CONTAINS(label, "7.50 €");
            VERIFY_CONTAINS(label, "Kochbuch");
        }
    }

    void quantityChange()
    {
        ServiceDesk desk;
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        ServiceDesk::typeInto(desk.spin("spinBox_lm"), "4");
        desk.click("pushButtonChangeStock");
        QCOMPARE(dialogLog(),
            QStringList { "Warning|Warnung|Menge ändern erfolgreich.\nBitte Vertrag erneut "
                          "ausdrucken." });
        QCOMPARE(stored("EinkaufsMenge", ShopFixture::lampe.id).toInt(), 4);
        QCOMPARE(desk.text("lineEdit_bs"), QString("4 Stk."));
        QCOMPARE(desk.spin("spinBox_given_back")->maximum(), 4);

        // The same quantity again: stored, no message.
        Dialogs::takeRecords();
        desk.click("pushButtonChangeStock");
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(stored("EinkaufsMenge", ShopFixture::lampe.id).toInt(), 4);
    }

    // A coat of 5 pieces, 1 sold, as the fourth article of the running contract.
    void giveBack()
    {
        ServiceDesk desk;
        TestWorkdir::setPrinters();
        TestWorkdir::exec(
            "INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, "
            "VerkaufsPreis, EinkaufsMenge) VALUES (20, 102, 'Herrenmantel', 10, 25, 5)");
        TestWorkdir::exec(
            "INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
            "VerkaufsMenge, Artikel) VALUES ('2024-01-01 10:00:00.000', 10, 25, 1, 20)");
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, 4);
        QCOMPARE(desk.spin("spinBox_given_back")->maximum(), 4);
        ServiceDesk::typeInto(desk.spin("spinBox_given_back"), "2");
        desk.click("pushButton_given_back");

        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Zurueckgegeben WHERE Artikel = 20 "
                                     "AND Anzahl = 2")
                     .toInt(),
            1);
        const QStringList printed = printedTexts(desk.dir);
        QCOMPARE(printed.size(), 1);
        VERIFY_CONTAINS(printed.at(0), "Kunde: Muster, Max Kundennr.: 1");
        VERIFY_CONTAINS(printed.at(0),
            "Kommissionsvertrag Nr: 102 Vertragsdatum: "
                + desk.shop.today().addDays(-10).toString("dd.MM.yyyy"));
        VERIFY_CONTAINS(printed.at(0), "4 Herrenmantel 2 2");
        QCOMPARE(desk.spin("spinBox_given_back")->value(), 0);
        QCOMPARE(desk.text("lineEdit_bs"), QString("2 Stk."));
        QCOMPARE(desk.spin("spinBox_given_back")->maximum(), 2);

        // The till sells one more meanwhile: 2 are asked back, 1 is left.
        ServiceDesk::typeInto(desk.spin("spinBox_given_back"), "2");
        TestWorkdir::exec(
            "INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
            "VerkaufsMenge, Artikel) VALUES ('2024-01-02 10:00:00.000', 10, 25, 1, 20)");
        desk.click("pushButton_given_back");
        QCOMPARE(dialogLog(), QStringList { "Warning|Warnung|Nicht genug Bestand!" });
        QCOMPARE(TestWorkdir::scalar("SELECT SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel = 20")
                     .toInt(),
            2);
        QCOMPARE(desk.dir.printedFiles().size(), 1);

        // A return that cannot be stored prints no receipt.
        Dialogs::takeRecords();
        ServiceDesk::typeInto(desk.spin("spinBox_given_back"), "1");
        lock("Zurueckgegeben", "INSERT");
        desk.click("pushButton_given_back");
        QCOMPARE(dialogLog().size(), 1);
        QVERIFY(dialogLog().first().startsWith("Warning|SQL-Fehler|gesperrt"));
        QCOMPARE(desk.dir.printedFiles().size(), 1);
    }

    void giveBackWithoutCount()
    {
        ServiceDesk desk;
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        desk.click("pushButton_given_back");
        QCOMPARE(dialogLog(), QStringList { "Warning|Warnung|Bitte Anzahl eingeben!" });
        QCOMPARE(QApplication::focusWidget(), desk.spin("spinBox_given_back"));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Zurueckgegeben").toInt(), 2);
    }

    // The slots check what their buttons' states already keep out: no contract, no article.
    void refusals_data()
    {
        QTest::addColumn<int>("vertrag"); // 100: a number without a contract row
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("log");
        const QString noArticle = "Warning|Warnung|Bitte Artikel auswählen!";
        const QString noContract = "Warning|Warnung|Bitte Vertrag auswählen!";
        for (const char *slot : { "changePrice", "changeStock", "changeBezeichnung", "changeEAN",
                 "changeISBN", "changeImages", "changeKategorie", "changeBeschreibung" })
            QTest::addRow("%s, contract 0", slot) << 0 << 0 << slot << noArticle;
        QTest::newRow("giveBack, contract 0") << 0 << 0 << "giveBack" << noContract;
        QTest::newRow("printVertr, contract 0") << 0 << 0 << "printVertr" << noContract;
        QTest::newRow("printVertr, deleted contract") << 100 << 0 << "printVertr" << noContract;
        QTest::newRow("printEtikett, contract 0") << 0 << 0 << "printEtikett" << noArticle;
        QTest::newRow("printEtikett, no article") << 102 << 0 << "printEtikett" << noArticle;
        QTest::newRow("printEtikett, position 100") << 102 << 100 << "printEtikett" << noArticle;
        QTest::newRow("changePrice, no article") << 102 << 0 << "changePrice" << QString();
    }
    void refusals()
    {
        QFETCH(int, vertrag);
        QFETCH(int, position);
        QFETCH(QString, slot);
        QFETCH(QString, log);
        ServiceDesk desk;
        TestWorkdir::setPrinters();
        // A contract of 100 articles for the label code that no longer fits.
        TestWorkdir::exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                          "WHERE i < 97) INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, "
                          "VerkaufsPreis, EinkaufsMenge) SELECT 102, 'Knopf ' || i, 0.1, 0.3, 1 "
                          "FROM n");
        QVERIFY(desk.enter());
        const int before = allRows();
        desk.choose(vertrag, position);
        QCOMPARE(desk.spin("spinBox_art")->value(), position);
        Dialogs::takeRecords();
        QVERIFY(QMetaObject::invokeMethod(&desk.page, qPrintable(slot)));
        QCOMPARE(dialogLog(), log.isEmpty() ? QStringList() : QStringList { log });
        if (vertrag == 0 && slot != "printEtikett")
            QCOMPARE(QApplication::focusWidget(), desk.spin("spinBox_vertr"));
        QCOMPARE(allRows(), before);
        QCOMPARE(desk.dir.printedFiles(), QStringList());
    }

    void reprint()
    {
        ServiceDesk desk;
        TestWorkdir::setPrinters();
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend);
        desk.click("pushButton_print");
        QCOMPARE(dialogLog(), QStringList());
        const QStringList printed = printedTexts(desk.dir);
        QCOMPARE(printed.size(), 2);
        VERIFY_CONTAINS(printed.at(0), "Kommissionsvertrag Nr: 102");
        VERIFY_CONTAINS(printed.at(0), "Muster, Max (0171 1234567)");
        VERIFY_CONTAINS(printed.at(0), desk.shop.today().addDays(-10).toString("dd.MM.yyyy"));
        VERIFY_CONTAINS(printed.at(1), "Kopie - Kommissionsvertrag Nr: 102");
        // Delivered quantities, in the order stored, whatever has been sold since.
        VERIFY_CONTAINS(printed.at(0),
            "1 Damenjacke Wolle 5 4.50 € 22.50 € 2 Kinderstiefel 28 1 2.00 € 2.00 € 3 "
            "Tischlampe Messing 2 10.00 € 20.00 €");
        VERIFY_CONTAINS(printed.at(1), "1 Damenjacke Wolle 5 4.50 € 9.90 €");
    }

    // A label from its button: the stored name and price, not what was typed over them.
    void label()
    {
        ServiceDesk desk;
        TestWorkdir::setPrinters();
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        ServiceDesk::typeInto(desk.edit("lineEdit_bz"), "Getippt");
        desk.click("pushButtonEtikett");
        QCOMPARE(dialogLog(), QStringList());
        const QStringList printed = printedTexts(desk.dir);
        QCOMPARE(printed.size(), 1);
        VERIFY_CONTAINS(printed.at(0), "Tischlampe Messing");
        VERIFY_CONTAINS(printed.at(0), "25.00 €");
        // The week of the contract's date, the contract and the position.
        VERIFY_CONTAINS(
            printed.at(0), QString("%1 102/3").arg(desk.shop.today().addDays(-10).weekNumber()));
        QCOMPARE(desk.text("lineEdit_bz"), QString("Tischlampe Messing"));
    }

    void deletion_data()
    {
        QTest::addColumn<int>("vertrag"); // 104: one without articles
        QTest::addColumn<QVariantList>("answers");
        QTest::addColumn<bool>("documentPrinter");
        QTest::addColumn<QString>("lock"); // a table whose deletes fail
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("printed");
        QTest::addColumn<bool>("deleted");
        const QString password = "Text|Passwort|Bitte geben Sie das Passwort ein, um fortzufahren:";
        const QString question = "Question|Warnung|Ein gelöschter Vertrag kann nicht "
                                 "wiederhergestellt werden.\nWollen Sie fortfahren?";
        const QVariant yes = int(QMessageBox::Yes);
        QTest::newRow("wrong password") << 103 << QVariantList { "falsch" } << true << QString()
                                        << QStringList { password } << 0 << false;
        QTest::newRow("password cancelled") << 103 << QVariantList { QVariant() } << true
                                            << QString() << QStringList { password } << 0 << false;
        QTest::newRow("No") << 103 << QVariantList { "geheim", int(QMessageBox::No) } << true
                            << QString() << QStringList { password, question } << 0 << false;
        QTest::newRow("a paid-out sale")
            << 102 << QVariantList { "geheim", yes } << true << QString()
            << QStringList { password, question,
                   "Critical|Fehler|Vertrag enthält bereits ausgezahlte Verkäufe, löschen nicht "
                   "möglich!" }
            << 0 << false;
        QTest::newRow("no document printer")
            << 103 << QVariantList { "geheim", yes } << false << QString()
            << QStringList { password, question,
                   "Critical|Fehler|Bitte einen Vertragsdrucker auswählen!" }
            << 0 << false;
        QTest::newRow("a delete that fails")
            << 103 << QVariantList { "geheim", yes } << true << "Artikel"
            << QStringList { password, question } << 1 << false;
        QTest::newRow("Yes") << 103 << QVariantList { "geheim", yes } << true << QString()
                             << QStringList { password, question } << 1 << true;
        QTest::newRow("Yes, no articles")
            << 104 << QVariantList { "geheim", yes } << true << QString()
            << QStringList { password, question } << 1 << true;
    }
    void deletion()
    {
        QFETCH(int, vertrag);
        QFETCH(QVariantList, answers);
        QFETCH(bool, documentPrinter);
        QFETCH(QString, lock);
        QFETCH(QStringList, log);
        QFETCH(int, printed);
        QFETCH(bool, deleted);
        ServiceDesk desk;
        TestWorkdir::setPrinters();
        if (!documentPrinter)
            TestWorkdir::removeSetting("Vertragsdrucker");
        TestWorkdir::setSetting("Passwort", "geheim");
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (104, 2, '2024-01-10 09:30:00.000', 5, 90)");
        if (!lock.isEmpty())
            ::lock(qPrintable(lock), "DELETE");
        QVERIFY(desk.enter());
        desk.choose(vertrag);
        const int own = rowsOf(vertrag);
        const int others = allRows() - own;
        QVERIFY(own > 0);
        for (const QVariant &answer : answers)
            Dialogs::setNextAnswer(answer);
        desk.click("pushButtonDelete");

        QStringList shown = dialogLog();
        if (!lock.isEmpty()) {
            QCOMPARE(shown.size(), 3);
            QVERIFY(shown.takeLast().startsWith("Warning|SQL-Fehler|gesperrt"));
        }
        QCOMPARE(shown, log);
        QCOMPARE(rowsOf(vertrag), deleted ? 0 : own);
        QCOMPARE(allRows(), others + (deleted ? 0 : own)); // the customer stays
        const QStringList texts = printedTexts(desk.dir);
        QCOMPARE(texts.size(), printed);
        if (printed) {
            VERIFY_CONTAINS(texts.at(0), QString("Nr: %1").arg(vertrag));
            VERIFY_CONTAINS(texts.at(0), "Der Vertrag wurde nicht abgeschlossen.");
        }
        if (deleted) {
            QCOMPARE(desk.spin("spinBox_vertr")->value(), 0);
            QCOMPARE(desk.label("labelVertr"),
                QString("Letzter Vertrag: %1").arg(vertrag == 104 ? 103 : 104));
        }
    }

    void exportThroughTheSaveDialog()
    {
        ServiceDesk desk;
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend);
        const QString path = desk.dir.path("vertrag.csv");
        Dialogs::setNextAnswer(QStringList { path, "Kassenexport (*.csv)" });
        desk.click("pushButtonExport");
        QCOMPARE(dialogLog(), QStringList { "SaveFile|Export Datei wählen|" });
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QCOMPARE(written, kassenExportCsv(ShopFixture::vertragLaufend));
        QVERIFY(written.contains("Damenjacke Wolle"));
    }
};

QTEST_MAIN(TestServicesActions)
#include "tst_servicesactions.moc"

#include "support/intakedriver.h"
#include "support/testsupport.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/paths.h"

#include <QFile>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace intake;

// Reaches the question that the two conclusions ask first.
class PendingProbe : public Anlieferung
{
public:
    using Anlieferung::checkPendingArticle;
};

static void addCustomers()
{
    TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) VALUES "
                      "(1, 'Meyer', 'Hans', '0401', '20095', 'Hamburg', 'Weg 1'),"
                      "(2, 'Meyermann', 'Anna', '0402', '20099', 'Hamburg', 'Allee 2'),"
                      "(3, 'Schulz', '', '', '12345', 'Berlin', 'Ring 3'),"
                      "(4, 'Van  Dyke', 'Otto', '0404', '50667', 'Köln', 'Dom 4'),"
                      "(5, 'Schulz', 'Karl', '', '12345', 'Berlin', 'Ring 5')");
}

class TestIntake : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // ---- page entry and categories -------------------------------------------------

    void pageEntryStartsNewContract_data()
    {
        QTest::addColumn<int>("highestContract");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("articleNumber");
        QTest::newRow("no contract yet") << 0 << "Vertrag: 1"
                                         << "1 / 1";
        QTest::newRow("highest 41") << 41 << "Vertrag: 42"
                                    << "42 / 1";
    }
    void pageEntryStartsNewContract()
    {
        QFETCH(int, highestContract);
        QFETCH(QString, label);
        QFETCH(QString, articleNumber);
        TestWorkdir dir;
        addCustomers();
        if (highestContract)
            TestWorkdir::exec(QString("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, "
                                      "Laufzeit) VALUES (%1, 1, '2024-01-02 10:00:00.000', 1, 90)")
                                  .arg(highestContract));
        Anlieferung page;
        QVERIFY(enter(page));

        // Leave a contract half done: a chosen customer, one article, a typed fee.
        QTest::keyClicks(edit(page, "lineEditKNR"), "1");
        addArticle(page, "Lampe", 1, "10,00");
        click(button(page, "pushButtonStand"));
        type(money(page, "doubleSpinBoxStand"), "7");
        type(edit(page, "lineEditEAN"), "4006381333931");
        page.refreshPage();

        QCOMPARE(child<QLabel>(page, "labelVertr")->text(), label);
        QCOMPARE(edit(page, "lineEditAN")->text(), articleNumber);
        QCOMPARE(edit(page, "lineEditDA")->text(), today());
        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString());
        QCOMPARE(edit(page, "lineEditKNR")->text(), QString());
        QCOMPARE(edit(page, "lineEditEAN")->text(), QString());
        QCOMPARE(customerFieldTexts(page), QStringList(6, QString()));
        QVERIFY(customerFieldsEnabled(page));
        QCOMPARE(child<QListWidget>(page, "listWidget")->count(), 0);
        QVERIFY(child<QListWidget>(page, "listWidget")->isEnabled());
        for (const char *name :
            { "pushButtonDelLast", "pushButtonVertrAbsch", "pushButton_einkauf" })
            QVERIFY2(!button(page, name)->isEnabled(), name);
        QVERIFY(button(page, "pushButtonNeuArt")->isEnabled());
        QVERIFY(!money(page, "doubleSpinBoxStand")->isEnabled());
        QCOMPARE(money(page, "doubleSpinBoxStand")->value(), 0.0);
        QCOMPARE(money(page, "doubleSpinBoxEk")->value(), 0.0);
        QCOMPARE(money(page, "doubleSpinBoxVk")->value(), 0.0);
        QCOMPARE(spin(page, "spinBoxME")->value(), 0);
        QCOMPARE(QApplication::focusWidget(), edit(page, "lineEditSearch"));
        QCOMPARE(dialogLog(), QStringList());
    }

    void pageEntryWithoutContractTable()
    {
        TestWorkdir dir;
        Anlieferung page;
        QVERIFY(enter(page));
        TestWorkdir::exec("DROP TABLE Vertrag");
        page.refreshPage();
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.first().startsWith("Warning|SQL-Fehler|no such table: Vertrag"),
            qPrintable(log.first()));
        // The rest of the entry still runs; the number stays the last one read.
        QCOMPARE(child<QLabel>(page, "labelVertr")->text(), QString("Vertrag: 1"));
        QCOMPARE(edit(page, "lineEditAN")->text(), QString("1 / 1"));
        QCOMPARE(edit(page, "lineEditDA")->text(), today());
        QVERIFY(!button(page, "pushButtonVertrAbsch")->isEnabled());
    }

    void categoriesFromFile_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<int>("maximum");
        QTest::newRow("windows-1252, CRLF")
            << QByteArray("M\xf6"
                          "bel;12\r\n")
            << QStringList { "Möbel (12)" } << QList<int> { 12 } << 12;
        QTest::newRow("blank before the separator")
            << QByteArray("Spiele ; 7\n") << QStringList { "Spiele  (7)" } << QList<int> { 7 } << 7;
        QTest::newRow("number that is no number")
            << QByteArray("B\xfc"
                          "cher;abc\n")
            << QStringList { "Bücher (abc)" } << QList<int> { 0 } << 0;
        QTest::newRow("extra fields") << QByteArray("Lampen;4;x\r\n")
                                      << QStringList { "Lampen (4)" } << QList<int> { 4 } << 4;
        QTest::newRow("no separator: the whole line as read")
            << QByteArray("Vasen\n\nGlas;2\n") << QStringList { "Vasen\n ()", "\n ()", "Glas (2)" }
            << QList<int> { 0, 0, 2 } << 2;
        QTest::newRow("only negative numbers")
            << QByteArray("Alt;-3\nAlter;-1") << QStringList { "Alt (-3)", "Alter (-1)" }
            << QList<int> { -3, -1 } << 0;
        QTest::newRow("same number twice")
            << QByteArray("Glas;3\nGeschirr;3\n") << QStringList { "Glas (3)", "Geschirr (3)" }
            << QList<int> { 3, 3 } << 3;
        QTest::newRow("missing file") << QByteArray() << QStringList() << QList<int>() << 0;
    }
    void categoriesFromFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, numbers);
        QFETCH(int, maximum);
        TestWorkdir dir;
        QFile::remove(dir.path("kategorien.txt"));
        if (!file.isNull()) {
            QFile out(dir.path("kategorien.txt"));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        Anlieferung page;
        auto *combo = child<QComboBox>(page, "comboBoxKategorie");
        QStringList shownTexts;
        QList<int> shownNumbers;
        for (int i = 0; i < combo->count(); ++i) {
            shownTexts << combo->itemText(i);
            shownNumbers << combo->itemData(i).toInt();
        }
        QCOMPARE(shownTexts, QStringList { "keine Angabe (0)" } + texts);
        QCOMPARE(shownNumbers, QList<int> { 0 } + numbers);
        QCOMPARE(spin(page, "spinBoxKategorie")->maximum(), maximum);
    }

    void categoryNumberAndNameFollowEachOther()
    {
        TestWorkdir dir;
        QFile out(dir.path("kategorien.txt"));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write("Glas;2\nBilder;5\nRahmen;5\n");
        out.close();
        Anlieferung page;
        QVERIFY(enter(page));
        auto *number = spin(page, "spinBoxKategorie");
        auto *combo = child<QComboBox>(page, "comboBoxKategorie");

        type(number, "5");
        QCOMPARE(combo->currentText(), QString("Bilder (5)"));
        combo->setCurrentIndex(3); // "Rahmen (5)": the number is already 5
        QCOMPARE(number->value(), 5);
        QCOMPARE(combo->currentText(), QString("Rahmen (5)"));
        combo->setCurrentIndex(1);
        QCOMPARE(number->value(), 2);
        type(number, "4"); // no category carries 4
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(number->value(), 4);
        type(number, "0");
        QCOMPARE(combo->currentText(), QString("keine Angabe (0)"));
    }

    // ---- customers -------------------------------------------------------------------

    void customerSearch_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("fields"); // typed into Name ... Straße, in this order
        QTest::addColumn<QList<int>>("listed");
        // Cache order is by Name, Vorname.
        QTest::newRow("everybody") << "" << QStringList() << QList<int> { 1, 2, 3, 5, 4 };
        QTest::newRow("case-insensitive") << "meyer" << QStringList() << QList<int> { 1, 2 };
        QTest::newRow("blanks do not count")
            << "  MEYER   hans " << QStringList() << QList<int> { 1 };
        QTest::newRow("order matters") << "hans meyer" << QStringList() << QList<int>();
        QTest::newRow("stored double blank") << "van dyke" << QStringList() << QList<int> { 4 };
        QTest::newRow("non-ASCII case") << "KÖLN" << QStringList() << QList<int> { 4 };
        QTest::newRow("name field") << "" << QStringList { "Mey" } << QList<int> { 1, 2 };
        QTest::newRow("first name narrows")
            << "" << QStringList { "Meyer", "Hans" } << QList<int> { 1 };
        QTest::newRow("incomplete name stops narrowing")
            << "" << QStringList { "Mey", "H" } << QList<int>();
        QTest::newRow("empty fields drop out")
            << "" << QStringList { "Schulz", "", "", "12345" } << QList<int> { 3 };
    }
    void customerSearch()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, fields);
        QFETCH(QList<int>, listed);
        TestWorkdir dir;
        addCustomers();
        Anlieferung page;
        QVERIFY(enter(page));
        QCOMPARE(listedIds(page), QList<int>());

        if (fields.isEmpty()) {
            QTest::keyClicks(edit(page, "lineEditSearch"), "x");
            type(edit(page, "lineEditSearch"), search);
        }
        for (int i = 0; i < fields.size(); ++i)
            QTest::keyClicks(edit(page, kCustomerFields[i]), fields.at(i));
        QCOMPARE(listedIds(page), listed);
    }

    void listShowsStoredText()
    {
        TestWorkdir dir;
        addCustomers();
        Anlieferung page;
        QVERIFY(enter(page));
        QTest::keyClicks(edit(page, "lineEditSearch"), "ring 3");
        auto *list = child<QListWidget>(page, "listWidget");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString("3 Schulz   12345 Berlin Ring 3"));
    }

    // A customer stored while the page is shown is found after the next entry, which
    // leaves the fields and the list empty.
    void entryReloadsWhatTheSearchSees()
    {
        TestWorkdir dir;
        addCustomers();
        Anlieferung page;
        QVERIFY(enter(page));
        QTest::keyClicks(edit(page, "lineEditNA"), "Zander");
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname) VALUES (6, 'Zander', 'Ute')");
        QTest::keyClicks(edit(page, "lineEditVNA"), "Ute");
        QCOMPARE(listedIds(page), QList<int>());

        page.refreshPage();
        QCOMPARE(customerFieldTexts(page), QStringList(6, QString()));
        QCOMPARE(listedIds(page), QList<int>());
        QTest::keyClicks(edit(page, "lineEditNA"), "Zander");
        QCOMPARE(listedIds(page), QList<int> { 6 });
    }

    // Whoever changed the customers, the next entry shows them as stored: this connection
    // (as the customer page does), another one, or a database file put in place while the
    // connection was closed (as a restore does).
    void entryShowsEveryChange_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QStringList>("listed");
        const QString meyer = "1 Meyer Hans 0401 20095 Hamburg Weg 1";
        const QString meyermann = "2 Meyermann Anna 0402 20099 Hamburg Allee 2";
        QTest::newRow("inserted through another connection")
            << "other"
            << "INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
               "VALUES (6, 'Abel', 'Eva', '', '20097', 'Hamburg', 'Markt 6')"
            << QStringList({ "6 Abel Eva  20097 Hamburg Markt 6", meyer, meyermann });
        QTest::newRow("changed through another connection")
            << "other"
            << "UPDATE Kunde SET Strasse = 'Weg 11' WHERE ID = 1"
            << QStringList({ "1 Meyer Hans 0401 20095 Hamburg Weg 11", meyermann });
        QTest::newRow("renamed here")
            << "here"
            << "UPDATE Kunde SET Name = 'Meier' WHERE ID = 2"
            << QStringList({ "2 Meier Anna 0402 20099 Hamburg Allee 2", meyer });
        QTest::newRow("deleted here")
            << "here"
            << "DELETE FROM Kunde WHERE ID = 1" << QStringList({ meyermann });
        QTest::newRow("database swapped while closed")
            << "swapped"
            << "DELETE FROM Kunde WHERE ID = 2" << QStringList({ meyer });
    }
    void entryShowsEveryChange()
    {
        QFETCH(QString, where);
        QFETCH(QString, statement);
        QFETCH(QStringList, listed);
        TestWorkdir dir;
        addCustomers();
        Anlieferung page;
        QVERIFY(enter(page));
        type(edit(page, "lineEditSearch"), "hamburg");
        QCOMPARE(listedIds(page), QList<int>({ 1, 2 }));

        if (where == "here") {
            TestWorkdir::exec(statement);
        } else if (where == "other") {
            ScopedConnection other("other");
            QVERIFY(QSqlQuery(other.db()).exec(statement));
        } else {
            const QString copy = dir.path("copy.sqlite");
            QVERIFY(QFile::copy(dir.path("db.sqlite"), copy));
            {
                ScopedConnection other("other", copy);
                QVERIFY(QSqlQuery(other.db()).exec(statement));
            }
            QSqlDatabase::database().close();
            QVERIFY(QFile::remove(dir.path("db.sqlite")));
            QVERIFY(QFile::rename(copy, dir.path("db.sqlite")));
            QVERIFY(openDatabase().isOpen());
        }
        page.refreshPage();
        type(edit(page, "lineEditSearch"), "hamburg");
        QCOMPARE(listedTexts(page), listed);
        QCOMPARE(dialogLog(), QStringList());
    }

    // Every item is as wide as the text that needs the most room, wherever that text stands
    // in the list, so no text is cut off: the list scrolls to its end.
    void longCustomerTextShowsWhole_data()
    {
        QTest::addColumn<QString>("strasse");
        QTest::newRow("Latin-1") << QString("Groß-Schmölner Landstraße, Hinterhaus, "
                                            "dritter Hof links, bei Wöhlkens klingeln");
        QTest::newRow("beyond Latin-1")
            << QString("Ulica Łódzka 5 / Οδός Ερμού 12 / Улица Пушкина 7 / 東京都港区");
    }
    void longCustomerTextShowsWhole()
    {
        QFETCH(QString, strasse);
        TestWorkdir dir;
        addCustomers();
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                          "VALUES (6, 'Müller-Wilhelmsen', 'Wilhelmine', '040 1234567', '20095', "
                          "'Hamburg', '"
            + strasse + "')");
        Anlieferung page;
        page.resize(500, 600);
        QVERIFY(enter(page));
        QTest::keyClicks(edit(page, "lineEditSearch"), "0");
        auto *list = child<QListWidget>(page, "listWidget");
        const QList<int> ids = listedIds(*list);
        QCOMPARE(ids, QList<int>({ 1, 2, 6, 4 })); // not the first nor the last
        const QListWidgetItem *item = list->item(ids.indexOf(6));
        QVERIFY(item->text().endsWith(strasse));

        // The room Qt gives this text in a list of its own.
        QListWidget alone;
        alone.setFont(list->font());
        alone.addItem(item->text());
        QVERIFY(list->visualItemRect(item).width() >= alone.sizeHintForColumn(0));
        QVERIFY(list->visualItemRect(item).width() > list->viewport()->width());
    }

    void chosenCustomerLocksFields()
    {
        TestWorkdir dir;
        addCustomers();
        Anlieferung page;
        QVERIFY(enter(page));
        auto *list = child<QListWidget>(page, "listWidget");
        QTest::keyClicks(edit(page, "lineEditSearch"), "anna");
        QCOMPARE(list->count(), 1);
        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());

        QCOMPARE(edit(page, "lineEditKNR")->text(), QString("2"));
        QCOMPARE(customerFieldTexts(page),
            (QStringList { "Meyermann", "Anna", "0402", "20099", "Hamburg", "Allee 2" }));
        QVERIFY(!edit(page, "lineEditNA")->isEnabled());
        QVERIFY(!edit(page, "lineEditSTR")->isEnabled());
        QVERIFY(!list->isEnabled());
        QCOMPARE(listedIds(page), QList<int> { 2 });

        // Typing the number of another customer replaces the data.
        type(edit(page, "lineEditKNR"), "1");
        QCOMPARE(customerFieldTexts(page),
            (QStringList { "Meyer", "Hans", "0401", "20095", "Hamburg", "Weg 1" }));

        QTest::keyClick(edit(page, "lineEditKNR"), Qt::Key_Backspace);
        QCOMPARE(edit(page, "lineEditKNR")->text(), QString());
        QCOMPARE(customerFieldTexts(page), QStringList(6, QString()));
        QVERIFY(customerFieldsEnabled(page));
        QVERIFY(list->isEnabled());
        QCOMPARE(listedIds(page), (QList<int> { 1, 2, 3, 5, 4 }));
        QCOMPARE(dialogLog(), QStringList());
    }

    // A number without a customer must not leave someone else's data in the fields.
    void numberWithoutCustomerClearsFields_data()
    {
        QTest::addColumn<QStringList>("typedFields");
        QTest::addColumn<QString>("firstNumber");
        QTest::addColumn<QString>("number");
        QTest::newRow("typed customer, number 0")
            << QStringList { "Neu", "Kunde", "0170" } << QString() << "0";
        QTest::newRow("chosen customer, then a deleted one")
            << QStringList() << QString("1") << "2";
    }
    void numberWithoutCustomerClearsFields()
    {
        QFETCH(QStringList, typedFields);
        QFETCH(QString, firstNumber);
        QFETCH(QString, number);
        TestWorkdir dir;
        addCustomers();
        Anlieferung page;
        QVERIFY(enter(page));
        TestWorkdir::exec("DELETE FROM Kunde WHERE ID = 2");
        for (int i = 0; i < typedFields.size(); ++i)
            QTest::keyClicks(edit(page, kCustomerFields[i]), typedFields.at(i));
        if (!firstNumber.isEmpty()) {
            QTest::keyClicks(edit(page, "lineEditKNR"), firstNumber);
            QCOMPARE(edit(page, "lineEditNA")->text(), QString("Meyer"));
        }
        type(edit(page, "lineEditKNR"), number);
        QCOMPARE(edit(page, "lineEditKNR")->text(), number);
        QCOMPARE(customerFieldTexts(page), QStringList(6, QString()));
        QVERIFY(!edit(page, "lineEditNA")->isEnabled());
        QCOMPARE(dialogLog(), QStringList());
    }

    void customerNumberTakesDigitsUpToHighest_data()
    {
        QTest::addColumn<bool>("customers");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("highest") << true << "15"
                                 << "15";
        QTest::newRow("above the highest") << true << "16"
                                           << "1";
        QTest::newRow("letters") << true << "a7b"
                                 << "7";
        QTest::newRow("sign") << true << "-3+"
                              << "3";
        QTest::newRow("group separator") << true << "1.000"
                                         << "10";
        QTest::newRow("no customers: only 0") << false << "05"
                                              << "0";
    }
    void customerNumberTakesDigitsUpToHighest()
    {
        QFETCH(bool, customers);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        TestWorkdir dir;
        if (customers)
            TestWorkdir::exec("INSERT INTO Kunde (ID, Name) VALUES (15, 'Zander')");
        Anlieferung page;
        QVERIFY(enter(page));
        QTest::keyClicks(edit(page, "lineEditKNR"), keys);
        QCOMPARE(edit(page, "lineEditKNR")->text(), shown);
    }

    // ---- prices ----------------------------------------------------------------------

    void salePriceProposal_data()
    {
        QTest::addColumn<QStringList>("rules"); // statements run before; empty: default rules
        QTest::addColumn<QString>("ek");
        QTest::addColumn<double>("vk");
        const QStringList defaults;
        QTest::newRow("0.01 rounds to 0") << defaults << "0,01" << 0.0;
        QTest::newRow("0.50 half up") << defaults << "0,50" << 1.3;
        QTest::newRow("1.00") << defaults << "1,00" << 2.5;
        QTest::newRow("1.50") << defaults << "1,50" << 3.3;
        QTest::newRow("5.00 on the threshold") << defaults << "5,00" << 11.0;
        QTest::newRow("5.01 above it") << defaults << "5,01" << 10.5;
        QTest::newRow("100.00") << defaults << "100" << 140.0;
        QTest::newRow("120.00 adds") << defaults << "120" << 190.0;
        QTest::newRow("field maximum") << defaults << "1000000" << 1000000.0;
        QTest::newRow("no rule: unchanged")
            << QStringList { "DELETE FROM Verkaufspreis" } << "1,25" << 1.25;
        QTest::newRow("unknown operator: rounded only")
            << QStringList { "DELETE FROM Verkaufspreis",
                   "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) "
                   "VALUES (0, '-', 3)" }
            << "1,25" << 1.3;
        QTest::newRow("value not a number")
            << QStringList { "UPDATE Verkaufspreis SET Wert = 'abc' WHERE Einkaufspreis = 1" }
            << "2" << 0.0;
    }
    void salePriceProposal()
    {
        QFETCH(QStringList, rules);
        QFETCH(QString, ek);
        QFETCH(double, vk);
        TestWorkdir dir;
        for (const QString &statement : rules)
            TestWorkdir::exec(statement);
        Anlieferung page;
        QVERIFY(enter(page));
        type(money(page, "doubleSpinBoxEk"), ek);
        QCOMPARE(money(page, "doubleSpinBoxVk")->value(), vk);
        QCOMPARE(dialogLog(), QStringList());
    }

    void standFee_data()
    {
        QTest::addColumn<QStringList>("articles"); // "price*quantity"
        QTest::addColumn<QStringList>("settings"); // statements run before
        QTest::addColumn<double>("fee");
        QTest::newRow("5 % of 50.00") << QStringList { "10*3", "20*1" } << QStringList() << 2.5;
        QTest::newRow("capped by default") << QStringList { "300*1" } << QStringList() << 10.0;
        QTest::newRow("half up") << QStringList { "25*1" } << QStringList() << 1.3;
        QTest::newRow("below half") << QStringList { "24*1" } << QStringList() << 1.2;
        QTest::newRow("other percentage and cap")
            << QStringList { "12,5*2" }
            << QStringList { "UPDATE Systemdaten SET Wert = '10' WHERE Name = 'Standgebuehr'",
                   "UPDATE Systemdaten SET Wert = '2' WHERE Name = "
                   "'MaxStandgebuehr'" }
            << 2.0;
        QTest::newRow("no cap setting: no cap")
            << QStringList { "300*1" }
            << QStringList { "DELETE FROM Systemdaten WHERE Name = 'MaxStandgebuehr'" } << 15.0;
        QTest::newRow("no percentage setting")
            << QStringList { "300*1" }
            << QStringList { "DELETE FROM Systemdaten WHERE Name = 'Standgebuehr'" } << 0.0;
    }
    void standFee()
    {
        QFETCH(QStringList, articles);
        QFETCH(QStringList, settings);
        QFETCH(double, fee);
        TestWorkdir dir;
        for (const QString &statement : settings)
            TestWorkdir::exec(statement);
        Anlieferung page;
        QVERIFY(enter(page));
        for (const QString &a : articles) {
            const QStringList parts = a.split('*');
            addArticle(page, "Ware", parts.at(1).toInt(), parts.at(0));
        }
        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString::number(articles.size()));
        QCOMPARE(money(page, "doubleSpinBoxStand")->value(), fee);
        QVERIFY(!money(page, "doubleSpinBoxStand")->isEnabled());
        QCOMPARE(dialogLog(), QStringList());
    }

    void typedFeeLastsUntilTheArticlesChange()
    {
        TestWorkdir dir;
        Anlieferung page;
        QVERIFY(enter(page));
        auto *fee = money(page, "doubleSpinBoxStand");
        addArticle(page, "Stuhl", 2, "10");
        QCOMPARE(fee->value(), 1.0);

        click(button(page, "pushButtonStand"));
        QVERIFY(fee->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(fee));
        QTest::keyClicks(fee, "3,5"); // the whole value is selected
        QCOMPARE(fee->value(), 3.5);
        type(edit(page, "lineEditEAN"), "123"); // other fields leave it alone
        QCOMPARE(fee->value(), 3.5);

        addArticle(page, "Tisch", 1, "40");
        QCOMPARE(fee->value(), 3.0);
        click(button(page, "pushButtonDelLast"));
        QCOMPARE(fee->value(), 1.0);
        click(button(page, "pushButtonDelLast"));
        QCOMPARE(fee->value(), 0.0);
    }

    // ---- articles --------------------------------------------------------------------

    void incompleteArticleRefused_data()
    {
        QTest::addColumn<QString>("bezeichnung");
        QTest::addColumn<int>("menge");
        QTest::addColumn<QString>("ek");
        QTest::addColumn<QString>("vk"); // null: the proposal
        QTest::addColumn<bool>("accepted");
        QTest::newRow("no description") << "" << 1 << "5" << QString() << false;
        QTest::newRow("quantity 0") << "Vase" << 0 << "5" << QString() << false;
        QTest::newRow("purchase price 0") << "Vase" << 1 << "0" << QString() << false;
        QTest::newRow("sale price 0 is fine") << "Vase" << 1 << "5"
                                              << "0" << true;
        QTest::newRow("blanks only pass") << "   " << 1 << "5" << QString() << true;
    }
    void incompleteArticleRefused()
    {
        QFETCH(QString, bezeichnung);
        QFETCH(int, menge);
        QFETCH(QString, ek);
        QFETCH(QString, vk);
        QFETCH(bool, accepted);
        TestWorkdir dir;
        Anlieferung page;
        QVERIFY(enter(page));
        addArticle(page, bezeichnung, menge, ek, vk);
        if (accepted) {
            QCOMPARE(dialogLog(), QStringList());
            QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString("1"));
            QCOMPARE(edit(page, "lineEditAN")->text(), QString("1 / 2"));
            QCOMPARE(edit(page, "lineEditBZ")->text(), QString());
            QVERIFY(button(page, "pushButtonVertrAbsch")->isEnabled());
        } else {
            QCOMPARE(dialogLog(), QStringList { "Warning|Warnung|Bitte alle Felder ausfüllen!" });
            QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString());
            QCOMPARE(edit(page, "lineEditAN")->text(), QString("1 / 1"));
            QCOMPARE(edit(page, "lineEditBZ")->text(), bezeichnung);
            QCOMPARE(spin(page, "spinBoxME")->value(), menge);
            QVERIFY(!button(page, "pushButtonVertrAbsch")->isEnabled());
        }
        QCOMPARE(QApplication::focusWidget(), edit(page, "lineEditBZ"));
    }

    // The counter works from the keyboard: Return on a focused button presses it.
    void returnPressesFocusedButton()
    {
        TestWorkdir dir;
        Anlieferung page;
        QVERIFY(enter(page));
        type(edit(page, "lineEditBZ"), "Vase");
        type(spin(page, "spinBoxME"), "1");
        type(money(page, "doubleSpinBoxEk"), "4");
        button(page, "pushButtonNeuArt")->setFocus();
        QTest::keyClick(button(page, "pushButtonNeuArt"), Qt::Key_Return);
        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString("1"));
        QCOMPARE(QApplication::focusWidget(), edit(page, "lineEditBZ"));
        button(page, "pushButtonDelLast")->setFocus();
        QTest::keyClick(button(page, "pushButtonDelLast"), Qt::Key_Enter);
        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString("0"));
        QCOMPARE(edit(page, "lineEditBZ")->text(), QString("Vase"));
    }

    void ninetyNineArticlesLockEntry()
    {
        TestWorkdir dir;
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (56, 1, '2024-01-02 10:00:00.000', 1, 90)");
        Anlieferung page;
        QVERIFY(enter(page));
        for (int i = 1; i < 99; ++i)
            addArticle(page, QString("Buch %1").arg(i), 1, "1");
        QCOMPARE(edit(page, "lineEditAN")->text(), QString("57 / 99"));
        // The 99th with a price typed by hand.
        addArticle(page, "Buch 99", 3, "2", "7,77");
        QCOMPARE(dialogLog(), QStringList());

        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString("99"));
        QCOMPARE(edit(page, "lineEditAN")->text(), QString("57 / 100"));
        const char *const entry[]
            = { "pushButtonNeuArt", "lineEditBZ", "doubleSpinBoxEk", "spinBoxME", "pushButtonVk" };
        for (const char *name : entry)
            QVERIFY2(!child<QWidget>(page, name)->isEnabled(), name);
        QVERIFY(!money(page, "doubleSpinBoxVk")->isEnabled());
        QVERIFY(!button(page, "pushButtonVk")->isChecked());
        for (const char *name :
            { "pushButtonDelLast", "pushButtonVertrAbsch", "pushButton_einkauf" })
            QVERIFY2(button(page, name)->isEnabled(), name);

        // Taking the 99th back opens entry again, with its own price.
        click(button(page, "pushButtonDelLast"));
        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString("98"));
        QCOMPARE(edit(page, "lineEditAN")->text(), QString("57 / 99"));
        QCOMPARE(edit(page, "lineEditBZ")->text(), QString("Buch 99"));
        QCOMPARE(spin(page, "spinBoxME")->value(), 3);
        QCOMPARE(money(page, "doubleSpinBoxEk")->value(), 2.0);
        QVERIFY(button(page, "pushButtonVk")->isChecked());
        QCOMPARE(money(page, "doubleSpinBoxVk")->value(), 7.77);
        QVERIFY(button(page, "pushButtonNeuArt")->isEnabled());
        QVERIFY(edit(page, "lineEditBZ")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), edit(page, "lineEditBZ"));
        click(button(page, "pushButtonNeuArt"));
        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString("99"));
        QCOMPARE(dialogLog(), QStringList());
    }

    void takeBackSalePrice_data()
    {
        QTest::addColumn<QString>("vk"); // null: the proposal
        QTest::addColumn<QString>("between"); // statement run before taking back
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<double>("shown");
        QTest::newRow("proposal") << QString() << QString() << false << 21.0;
        QTest::newRow("typed by hand") << "25" << QString() << true << 25.0;
        QTest::newRow("typed, equal to the proposal") << "21" << QString() << false << 21.0;
        QTest::newRow("rules changed since")
            << QString() << "UPDATE Verkaufspreis SET Wert = 3 WHERE Einkaufspreis = 5" << true
            << 21.0;
    }
    void takeBackSalePrice()
    {
        QFETCH(QString, vk);
        QFETCH(QString, between);
        QFETCH(bool, unlocked);
        QFETCH(double, shown);
        TestWorkdir dir;
        Anlieferung page;
        QVERIFY(enter(page));
        addArticle(page, "Lampe", 2, "10", vk);
        if (!between.isEmpty())
            TestWorkdir::exec(between);
        click(button(page, "pushButtonDelLast"));
        QCOMPARE(money(page, "doubleSpinBoxEk")->value(), 10.0);
        QCOMPARE(money(page, "doubleSpinBoxVk")->value(), shown);
        QCOMPARE(button(page, "pushButtonVk")->isChecked(), unlocked);
        QCOMPARE(money(page, "doubleSpinBoxVk")->isEnabled(), unlocked);
        QCOMPARE(money(page, "doubleSpinBoxEk")->isEnabled(), !unlocked);
    }

    void takeBackOnlyArticle()
    {
        TestWorkdir dir;
        QFile out(dir.path("kategorien.txt"));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write("Glas;2\n");
        out.close();
        Anlieferung page;
        QVERIFY(enter(page));
        type(edit(page, "lineEditBZ"), "  Tisch ' alt  ");
        type(edit(page, "lineEditEAN"), " 4006381333931 ");
        type(edit(page, "lineEditISBN"), "978'3");
        type(spin(page, "spinBoxKategorie"), "2");
        auto *text = child<QTextEdit>(page, "textEditBeschreibung");
        QTest::keyClicks(text, "Eiche");
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, "massiv");
        type(spin(page, "spinBoxME"), "1");
        type(money(page, "doubleSpinBoxEk"), "30");
        click(button(page, "pushButtonNeuArt"));
        QCOMPARE(child<QComboBox>(page, "comboBoxKategorie")->currentIndex(), 0);

        click(button(page, "pushButtonDelLast"));
        // The texts come back as the contract keeps them: simplified, no apostrophe.
        QCOMPARE(edit(page, "lineEditBZ")->text(), QString("Tisch   alt"));
        QCOMPARE(edit(page, "lineEditEAN")->text(), QString("4006381333931"));
        QCOMPARE(edit(page, "lineEditISBN")->text(), QString("978 3"));
        QCOMPARE(text->toPlainText(), QString("Eiche massiv"));
        QCOMPARE(spin(page, "spinBoxKategorie")->value(), 2);
        QCOMPARE(child<QComboBox>(page, "comboBoxKategorie")->currentText(), QString("Glas (2)"));
        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString("0"));
        QCOMPARE(edit(page, "lineEditAN")->text(), QString("1 / 1"));
        for (const char *name :
            { "pushButtonDelLast", "pushButtonVertrAbsch", "pushButton_einkauf" })
            QVERIFY2(!button(page, name)->isEnabled(), name);
        QCOMPARE(money(page, "doubleSpinBoxStand")->value(), 0.0);

        // Nothing left to take back.
        click(button(page, "pushButtonDelLast"));
        QCOMPARE(edit(page, "lineEditBZ")->text(), QString("Tisch   alt"));
        QCOMPARE(dialogLog(), QStringList());
    }

    void priceButtonSwitchesBetweenPrices()
    {
        TestWorkdir dir;
        Anlieferung page;
        QVERIFY(enter(page));
        auto *ek = money(page, "doubleSpinBoxEk");
        auto *vk = money(page, "doubleSpinBoxVk");
        type(ek, "4");
        ek->setFocus();
        click(button(page, "pushButtonVk"));
        QVERIFY(!ek->isEnabled());
        QVERIFY(vk->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(vk));
        QTest::keyClicks(vk, "9"); // the whole price is selected
        QCOMPARE(vk->value(), 9.0);
        click(button(page, "pushButtonVk"));
        QVERIFY(ek->isEnabled());
        QVERIFY(!vk->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(ek));
        QTest::keyClicks(ek, "6");
        QCOMPARE(ek->value(), 6.0);
        QCOMPARE(vk->value(), 12.6);
    }

    // ---- the question before concluding -------------------------------------------

    void pendingArticle_data()
    {
        QTest::addColumn<bool>("listed"); // one article confirmed before
        QTest::addColumn<QString>("typed"); // what is in the fields
        QTest::addColumn<bool>("name");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QStringList>("log");
        const QString ask = "Question|Warnung|Wollen Sie den eingegebenen Artikel hinzufügen?";
        const QString fill = "Warning|Warnung|Bitte alle Felder ausfüllen";
        const QString none = "Warning|Warnung|Bitte mindestens einen Artikel hinzufügen!";
        const int yes = QMessageBox::Yes, no = QMessageBox::No;
        QTest::newRow("nothing at all")
            << false << "" << true << yes << false << QStringList { none };
        QTest::newRow("only EAN, price, pictures: no question")
            << true << "other" << true << yes << true << QStringList();
        QTest::newRow("no, list empty")
            << false << "article" << true << no << false << QStringList { ask, none };
        QTest::newRow("no, one listed")
            << true << "article" << true << no << true << QStringList { ask };
        QTest::newRow("yes, no customer name")
            << true << "article" << false << yes << false << QStringList { ask, fill };
        QTest::newRow("yes, quantity only")
            << false << "quantity" << true << yes << false << QStringList { ask, fill };
        QTest::newRow("yes, complete")
            << false << "article" << true << yes << true << QStringList { ask };
    }
    void pendingArticle()
    {
        QFETCH(bool, listed);
        QFETCH(QString, typed);
        QFETCH(bool, name);
        QFETCH(int, answer);
        QFETCH(bool, goesOn);
        QFETCH(QStringList, log);
        TestWorkdir dir;
        PendingProbe page;
        QVERIFY(enter(page));
        if (listed)
            addArticle(page, "Kommode", 1, "50");
        const double fee = money(page, "doubleSpinBoxStand")->value();
        if (name)
            QTest::keyClicks(edit(page, "lineEditNA"), "Meyer");
        if (typed == "article") {
            type(edit(page, "lineEditBZ"), "Spiegel");
            type(spin(page, "spinBoxME"), "1");
            type(money(page, "doubleSpinBoxEk"), "80");
        } else if (typed == "quantity") {
            type(spin(page, "spinBoxME"), "2");
        } else if (typed == "other") {
            type(edit(page, "lineEditEAN"), "123");
            type(edit(page, "lineEditImages"), "/bilder/a.png");
            click(button(page, "pushButtonVk"));
            type(money(page, "doubleSpinBoxVk"), "5");
        }
        Dialogs::setNextAnswer(answer);
        edit(page, "lineEditEAN")->setFocus();

        QCOMPARE(page.checkPendingArticle(), goesOn);
        QCOMPARE(dialogLog(), log);
        if (!goesOn)
            QCOMPARE(QApplication::focusWidget(), edit(page, "lineEditBZ"));
        // An article added here changes neither the fee nor the count shown.
        QCOMPARE(money(page, "doubleSpinBoxStand")->value(), fee);
        QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), listed ? QString("1") : QString());
        Dialogs::clearAnswers();
    }

    // ---- pictures --------------------------------------------------------------------

    void pictureChoice_data()
    {
        QTest::addColumn<QVariant>("answer"); // invalid: cancelled
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("log");
        const QString before = "/alt/bild.png";
        const QString chosen = "Bilder des Artikels";
        QTest::newRow("two pictures")
            << QVariant(QStringList { "/home/u/Bilder/a.jpg", "/home/u/Bilder/b.png" })
            << "/home/u/Bilder/a.jpg,/home/u/Bilder/b.png" << QStringList();
        QTest::newRow("path kept as chosen")
            << QVariant(QStringList { "/home/u/O'Neil  Fotos/ a.jpg" })
            << "/home/u/O'Neil  Fotos/ a.jpg" << QStringList();
        QTest::newRow("cancelled") << QVariant() << before << QStringList();
        QTest::newRow("comma refused")
            << QVariant(QStringList { "/home/u/Tisch,braun.jpg" }) << before
            << QStringList { "Warning|Warnung|Bilder mit einem Komma im Dateinamen können "
                             "nicht übernommen werden:\n/home/u/Tisch,braun.jpg" };
        QTest::newRow("comma refused, others taken")
            << QVariant(QStringList { "/home/u/a.jpg", "/home/u/1,2.jpg", "/home/u/b.jpg" })
            << "/home/u/a.jpg,/home/u/b.jpg"
            << QStringList { "Warning|Warnung|Bilder mit einem Komma im Dateinamen können "
                             "nicht übernommen werden:\n/home/u/1,2.jpg" };
    }
    void pictureChoice()
    {
        QFETCH(QVariant, answer);
        QFETCH(QString, shown);
        QFETCH(QStringList, log);
        TestWorkdir dir;
        Anlieferung page;
        QVERIFY(enter(page));
        type(edit(page, "lineEditImages"), "/alt/bild.png");
        Dialogs::setNextAnswer(answer);
        click(child<QToolButton>(page, "toolButtonImages"));

        QCOMPARE(Dialogs::records().value(0).kind, Dialogs::Kind::OpenFiles);
        QCOMPARE(Dialogs::records().value(0).title, QString("Wähle Bilder des Artikels"));
        if (log.isEmpty()) { // after a refusal the last call is its warning
            QCOMPARE(Dialogs::lastCall().value("dir").toString(), picturesFolder());
            QCOMPARE(Dialogs::lastCall().value("filter").toString(),
                QString("Bilder (*.png *.jpg *.jpeg *.bmp);; Alles (*.*)"));
        }
        QCOMPARE(dialogLog().mid(1), log);
        QCOMPARE(edit(page, "lineEditImages")->text(), shown);

        // The article keeps the paths unchanged.
        addArticle(page, "Bild", 1, "3");
        QCOMPARE(edit(page, "lineEditImages")->text(), QString());
        click(button(page, "pushButtonDelLast"));
        QCOMPARE(edit(page, "lineEditImages")->text(), shown);
    }
};

QTEST_MAIN(TestIntake)
#include "tst_intake.moc"

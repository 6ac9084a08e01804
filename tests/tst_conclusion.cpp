#include "support/intakedriver.h"
#include "support/printhelpers.h"
#include "support/testsupport.h"

#include "app/database.h"
#include "printing/artikelbarcode.h"
#include "shell/velarix.h"

#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QtTest>

using namespace intake;

namespace {

// Both printers set, so that a conclusion prints its documents and labels as PDF files.
void typeCustomer(Anlieferung &page, const QString &name, const QString &vorname,
    const QString &telefon = QString())
{
    type(edit(page, "lineEditNA"), name);
    type(edit(page, "lineEditVNA"), vorname);
    if (!telefon.isEmpty())
        type(edit(page, "lineEditTEL"), telefon);
}

QStringList kinds(const QStringList &files)
{
    QStringList result;
    for (const QString &file : files)
        result << file.section('-', -1).section('.', 0, 0);
    return result;
}

} // namespace

class TestConclusion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // The whole road through the main window: menu, intake, conclusion, back to the menu.
    void commissionContractIsStoredPrintedAndExported()
    {
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        QDir().mkpath(dir.path("export"));
        TestWorkdir::setSetting("AutoExportPath", dir.path("export"));
        qputenv("VELARIX_SHUTDOWN_CMD", "true");
        qputenv("VELARIX_CAMERA_CMD", "true");

        Velarix window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_1);
        auto *stack = window.findChild<QStackedWidget *>("stackedWidget");
        QCOMPARE(stack->currentWidget()->objectName(), QString("swArrive"));
        auto &page = *qobject_cast<Anlieferung *>(stack->currentWidget());

        typeCustomer(page, "O'Neil", "Anna", "0421 55");
        addArticle(page, "Kommode", 2, "10,00");
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
        click(button(page, "pushButtonVertrAbsch"));
        const QDateTime after = QDateTime::currentDateTime().addMSecs(1);

        QVERIFY2(dialogLog().isEmpty(), qPrintable(dialogLog().join('\n')));
        QCOMPARE(TestWorkdir::scalar("SELECT Name || '|' || Vorname FROM Kunde").toString(),
            QString("O Neil|Anna"));
        QSqlQuery vertrag("SELECT ID, Kunde, DateTime, Standgebuehr, Laufzeit, Vertragsende "
                          "FROM Vertrag");
        QVERIFY(vertrag.next());
        QCOMPARE(vertrag.value(1).toInt(), TestWorkdir::scalar("SELECT ID FROM Kunde").toInt());
        const QDateTime stored
            = QDateTime::fromString(vertrag.value(2).toString(), kTimestampFormat);
        QVERIFY(stored >= before && stored <= after);
        QCOMPARE(vertrag.value(3).toDouble(), 1.0);
        QCOMPARE(vertrag.value(4).toInt(), 90);
        QVERIFY(vertrag.isNull(5));
        QSqlQuery artikel("SELECT Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
                          "EinkaufsMenge FROM Artikel");
        QVERIFY(artikel.next());
        QCOMPARE(artikel.value(0).toInt(), vertrag.value(0).toInt());
        QCOMPARE(artikel.value(1).toString(), QString("Kommode"));
        QCOMPARE(artikel.value(2).toDouble(), 10.0);
        QCOMPARE(artikel.value(3).toDouble(), 21.0);
        QCOMPARE(artikel.value(4).toInt(), 2);

        const QStringList printed = dir.printedFiles();
        QCOMPARE(kinds(printed), QStringList({ "dokument", "dokument", "etikett", "etikett" }));
        const QStringList texts = printedTexts(dir);
        VERIFY_CONTAINS(texts.at(0), "Kommissionsvertrag Nr: 1");
        VERIFY_CONTAINS(texts.at(0), "O Neil, Anna (0421 55)");
        VERIFY_CONTAINS(texts.at(0), stored.toString("dd.MM.yyyy"));
        VERIFY_CONTAINS(texts.at(1), "Kopie - Kommissionsvertrag Nr: 1");
        VERIFY_CONTAINS(texts.at(3), "1/1");

        const QStringList exported = QDir(dir.path("export")).entryList(QDir::Files);
        QCOMPARE(exported.size(), 1);
        QVERIFY(exported.at(0).endsWith("_1.csv"));

        QCOMPARE(stack->currentWidget()->objectName(), QString("swMenu"));
        QCOMPARE(window.findChild<QWidget *>("swMenu")->findChild<QLabel *>("labelVertr")->text(),
            QString("Letzter Vertrag: 1"));
    }

    void cashPurchaseStoresMinusTotalAndExportsNothing()
    {
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        QDir().mkpath(dir.path("export"));
        TestWorkdir::setSetting("AutoExportPath", dir.path("export"));
        Anlieferung page;
        QVERIFY(enter(page));
        QSignalSpy menu(&page, &Anlieferung::openMenu);
        typeCustomer(page, "Meier", "Anna");
        addArticle(page, "Teller", 3, "2,50");
        addArticle(page, "Vase", 1, "10,00");
        click(button(page, "pushButton_einkauf"));

        QVERIFY2(dialogLog().isEmpty(), qPrintable(dialogLog().join('\n')));
        QCOMPARE(TestWorkdir::scalar("SELECT Standgebuehr FROM Vertrag").toDouble(), -17.5);
        QCOMPARE(TestWorkdir::scalar("SELECT Laufzeit FROM Vertrag").toInt(), -1);
        QCOMPARE(TestWorkdir::rowCount("Artikel"), 2);
        const QStringList printed = dir.printedFiles();
        QCOMPARE(kinds(printed),
            QStringList({ "dokument", "etikett", "etikett", "etikett", "etikett" }));
        const QString document = printedTexts(dir).at(0);
        VERIFY_CONTAINS(document, "Kaufvertrag Nr: 1");
        VERIFY_CONTAINS(document, "17.50");
        QVERIFY(QDir(dir.path("export")).isEmpty());
        QCOMPARE(menu.count(), 1);
    }

    void amountsAreStoredAtFullPrecision()
    {
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        Anlieferung page;
        QVERIFY(enter(page));
        typeCustomer(page, "Meier", "Anna");
        addArticle(page, "Klavier", 1, "12345,67", "23456,78");
        click(button(page, "pushButton_einkauf"));
        QCOMPARE(TestWorkdir::scalar("SELECT Standgebuehr FROM Vertrag").toDouble(), -12345.67);
        QCOMPARE(TestWorkdir::scalar("SELECT EinkaufsPreis FROM Artikel").toDouble(), 12345.67);
        QCOMPARE(TestWorkdir::scalar("SELECT VerkaufsPreis FROM Artikel").toDouble(), 23456.78);
    }

    void refusalsStoreNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("vorname");
        QTest::addColumn<bool>("withArticle");
        QTest::addColumn<QString>("message");
        QTest::newRow("no article")
            << "Meier"
            << "Anna" << false << "Warning|Warnung|Bitte mindestens einen Artikel hinzufügen!";
        QTest::newRow("blank name")
            << "   "
            << "Anna" << true << "Warning|Warnung|Bitte geben Sie Name und Vorname ein.";
        QTest::newRow("name only an apostrophe")
            << "'"
            << "Anna" << true << "Warning|Warnung|Bitte geben Sie Name und Vorname ein.";
        QTest::newRow("no first name")
            << "Meier"
            << "" << true << "Warning|Warnung|Bitte geben Sie Name und Vorname ein.";
    }
    void refusalsStoreNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, vorname);
        QFETCH(bool, withArticle);
        QFETCH(QString, message);
        for (const char *button : { "pushButtonVertrAbsch", "pushButton_einkauf" }) {
            TestWorkdir dir;
            TestWorkdir::setPrinters();
            Anlieferung page;
            QVERIFY(enter(page));
            QSignalSpy menu(&page, &Anlieferung::openMenu);
            typeCustomer(page, name, vorname);
            if (withArticle)
                addArticle(page, "Stuhl", 1, "5");
            else
                intake::button(page, button)->setEnabled(true); // only reachable by the keyboard
            click(intake::button(page, button));
            QCOMPARE(dialogLog(), QStringList(message));
            QCOMPARE(TestWorkdir::rowCount("Kunde") + TestWorkdir::rowCount("Vertrag")
                    + TestWorkdir::rowCount("Artikel"),
                0);
            QVERIFY(dir.printedFiles().isEmpty());
            QCOMPARE(menu.count(), 0);
            QCOMPARE(edit(page, "lineEditNA")->text(), name);
        }
    }

    // The same customer in other letter case is asked about; SQLite folds ASCII letters
    // only, so an umlaut in other case is another customer.
    void duplicateCustomerIsReusedOnlyAfterAsking_data()
    {
        QTest::addColumn<QString>("storedName");
        QTest::addColumn<QString>("typedName");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("customers");
        QTest::addColumn<int>("contracts");
        const QString ask = "Question|Warnung|Der eingegebene Kunde existiert bereits,\n"
                            "soll mit dem angelegten Kunden fortgesetzt werden?";
        const QString refuse = "Critical|Fehler|Kunden können nicht doppelt angelegt werden!\n"
                               "Bitte ändern Sie die Kundendaten.";
        QTest::newRow("no") << "Meier"
                            << "Meier" << int(QMessageBox::No) << QStringList({ ask, refuse }) << 1
                            << 0;
        QTest::newRow("yes, other case")
            << "meier"
            << "MEIER" << int(QMessageBox::Yes) << QStringList({ ask }) << 1 << 1;
        QTest::newRow("umlaut, ASCII letters in other case")
            << "Müller"
            << "müLLER" << int(QMessageBox::Yes) << QStringList({ ask }) << 1 << 1;
        QTest::newRow("umlaut in other case")
            << "müller"
            << "MÜLLER" << int(QMessageBox::Yes) << QStringList() << 2 << 1;
        QTest::newRow("percent is a letter")
            << "Meier"
            << "Me%er" << int(QMessageBox::Yes) << QStringList() << 2 << 1;
        QTest::newRow("underscore is a letter")
            << "Meier"
            << "Me_er" << int(QMessageBox::Yes) << QStringList() << 2 << 1;
    }
    void duplicateCustomerIsReusedOnlyAfterAsking()
    {
        QFETCH(QString, storedName);
        QFETCH(QString, typedName);
        QFETCH(int, answer);
        QFETCH(QStringList, messages);
        QFETCH(int, customers);
        QFETCH(int, contracts);
        for (const char *button : { "pushButtonVertrAbsch", "pushButton_einkauf" }) {
            TestWorkdir dir;
            TestWorkdir::setPrinters();
            TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                              "VALUES (7, '"
                + storedName + "', 'Anna', '', '', '', '')");
            Anlieferung page;
            QVERIFY(enter(page));
            typeCustomer(page, typedName, "anna");
            addArticle(page, "Stuhl", 1, "5");
            Dialogs::setNextAnswer(answer);
            click(intake::button(page, button));
            QCOMPARE(dialogLog(), messages);
            QCOMPARE(TestWorkdir::rowCount("Kunde"), customers);
            QCOMPARE(TestWorkdir::rowCount("Vertrag"), contracts);
            if (contracts && customers == 1)
                QCOMPARE(TestWorkdir::scalar("SELECT Kunde FROM Vertrag").toInt(), 7);
            if (!contracts) {
                QCOMPARE(edit(page, "lineEditNA")->text(), typedName);
                QVERIFY(dir.printedFiles().isEmpty());
            }
        }
    }

    void customerChosenByNumber()
    {
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                          "VALUES (3, 'Meier', 'Anna', '', '', '', ''), "
                          "(4, 'Meier', 'Anna', '', '', '', '')");
        Anlieferung page;
        QVERIFY(enter(page));
        type(edit(page, "lineEditKNR"), "4");
        QCOMPARE(edit(page, "lineEditNA")->text(), QString("Meier"));
        addArticle(page, "Stuhl", 1, "5");
        click(button(page, "pushButtonVertrAbsch"));
        QVERIFY2(dialogLog().isEmpty(), qPrintable(dialogLog().join('\n')));
        QCOMPARE(TestWorkdir::rowCount("Kunde"), 2);
        QCOMPARE(TestWorkdir::scalar("SELECT Kunde FROM Vertrag").toInt(), 4);
    }

    // Customer number 0 is a customer like any other, not "new customer".
    void customerNumberZeroIsReused_data()
    {
        QTest::addColumn<bool>("byNumber");
        QTest::newRow("chosen by number") << true;
        QTest::newRow("typed, reused after asking") << false;
    }
    void customerNumberZeroIsReused()
    {
        QFETCH(bool, byNumber);
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                          "VALUES (0, 'Meier', 'Anna', '', '', '', '')");
        Anlieferung page;
        QVERIFY(enter(page));
        if (byNumber)
            type(edit(page, "lineEditKNR"), "0");
        else
            typeCustomer(page, "Meier", "Anna");
        QCOMPARE(edit(page, "lineEditNA")->text(), QString("Meier"));
        addArticle(page, "Stuhl", 1, "5");
        Dialogs::setNextAnswer(QMessageBox::Yes);
        click(button(page, "pushButtonVertrAbsch"));
        QCOMPARE(TestWorkdir::rowCount("Kunde"), 1);
        QCOMPARE(TestWorkdir::rowCount("Vertrag"), 1);
        QCOMPARE(TestWorkdir::scalar("SELECT Kunde FROM Vertrag").toInt(), 0);
    }

    void customerDeletedMeanwhileStopsBeforeWriting()
    {
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                          "VALUES (4, 'Meier', 'Anna', '', '', '', '')");
        Anlieferung page;
        QVERIFY(enter(page));
        type(edit(page, "lineEditKNR"), "4");
        addArticle(page, "Stuhl", 1, "5");
        TestWorkdir::exec("DELETE FROM Kunde");
        click(button(page, "pushButton_einkauf"));
        QCOMPARE(dialogLog(),
            QStringList("Warning|Warnung|Der Kunde Nr. 4 ist nicht mehr gespeichert.\n"
                        "Bitte wählen Sie den Kunden neu aus."));
        QCOMPARE(TestWorkdir::rowCount("Kunde") + TestWorkdir::rowCount("Vertrag")
                + TestWorkdir::rowCount("Artikel"),
            0);
    }

    // The next entry lists a customer the conclusion stored in its name order; one that
    // another connection stored meanwhile shows as well.
    void newCustomerIsListedAtTheNextEntry_data()
    {
        QTest::addColumn<bool>("storedElsewhere");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("nothing else changed")
            << false
            << QStringList(
                   { "1 Abel Jan   Kiel ", "3 Meier Anna   Kiel ", "2 Zander Ute   Kiel " });
        QTest::newRow("another connection stored one meanwhile")
            << true
            << QStringList({ "1 Abel Jan   Kiel ", "3 Kranz Eva   Kiel ", "4 Meier Anna   Kiel ",
                   "2 Zander Ute   Kiel " });
    }
    void newCustomerIsListedAtTheNextEntry()
    {
        QFETCH(bool, storedElsewhere);
        QFETCH(QStringList, listed);
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                          "VALUES (1, 'Abel', 'Jan', '', '', 'Kiel', ''), "
                          "(2, 'Zander', 'Ute', '', '', 'Kiel', '')");
        Anlieferung page;
        QVERIFY(enter(page));
        type(edit(page, "lineEditSearch"), "kiel");
        QCOMPARE(listedIds(page), QList<int>({ 1, 2 }));
        if (storedElsewhere) {
            ScopedConnection other("other");
            QVERIFY(QSqlQuery(other.db())
                        .exec("INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                              "VALUES (3, 'Kranz', 'Eva', '', '', 'Kiel', '')"));
        }
        typeCustomer(page, "Meier", "Anna");
        type(edit(page, "lineEditORT"), "Kiel");
        addArticle(page, "Stuhl", 1, "5");
        click(button(page, "pushButtonVertrAbsch"));
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(TestWorkdir::rowCount("Kunde"), listed.size());

        page.refreshPage();
        type(edit(page, "lineEditSearch"), "kiel");
        QCOMPARE(listedTexts(page), listed);
    }

    // A statement that fails half-way leaves nothing behind and keeps what was entered.
    void failedStatementLeavesNothingBehind()
    {
        for (const char *button : { "pushButtonVertrAbsch", "pushButton_einkauf" }) {
            TestWorkdir dir;
            TestWorkdir::setPrinters();
            TestWorkdir::exec("CREATE TRIGGER second_article BEFORE INSERT ON Artikel WHEN "
                              "(SELECT COUNT(*) FROM Artikel WHERE Vertrag = NEW.Vertrag) >= 1 "
                              "BEGIN SELECT RAISE(ABORT, 'Platte voll'); END");
            Anlieferung page;
            QVERIFY(enter(page));
            QSignalSpy menu(&page, &Anlieferung::openMenu);
            typeCustomer(page, "Neu", "Kunde");
            addArticle(page, "Tisch", 1, "20");
            addArticle(page, "Stuhl", 4, "5");
            click(intake::button(page, button));
            QCOMPARE(dialogLog().size(), 1);
            QVERIFY(dialogLog().at(0).startsWith("Warning|SQL-Fehler|Platte voll"));
            QCOMPARE(TestWorkdir::rowCount("Kunde") + TestWorkdir::rowCount("Vertrag")
                    + TestWorkdir::rowCount("Artikel"),
                0);
            QVERIFY(dir.printedFiles().isEmpty());
            QCOMPARE(menu.count(), 0);
            QCOMPARE(edit(page, "lineEditNA")->text(), QString("Neu"));
            QCOMPARE(edit(page, "lineEditArtAnzahl")->text(), QString("2"));

            // Once the cause is gone, the same input concludes in full.
            Dialogs::takeRecords();
            TestWorkdir::exec("DROP TRIGGER second_article");
            click(intake::button(page, button));
            QCOMPARE(TestWorkdir::rowCount("Kunde"), 1);
            QCOMPARE(TestWorkdir::rowCount("Artikel"), 2);
            QCOMPARE(menu.count(), 1);
        }
    }

    void pendingArticleIsStoredOnceAfterAStop()
    {
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        Anlieferung page;
        QVERIFY(enter(page));
        typeCustomer(page, "Meier", "");
        addArticle(page, "Tisch", 1, "20");
        // A second article typed but not confirmed.
        type(edit(page, "lineEditBZ"), "Lampe");
        type(spin(page, "spinBoxME"), "2");
        type(money(page, "doubleSpinBoxEk"), "3");
        Dialogs::setNextAnswer(QMessageBox::Yes);
        click(button(page, "pushButtonVertrAbsch"));
        QCOMPARE(
            dialogLog().last(), QString("Warning|Warnung|Bitte geben Sie Name und Vorname ein."));
        QCOMPARE(TestWorkdir::rowCount("Artikel"), 0);

        type(edit(page, "lineEditVNA"), "Anna");
        Dialogs::setNextAnswer(QMessageBox::Yes);
        click(button(page, "pushButtonVertrAbsch"));
        QSqlQuery rows("SELECT Bezeichnung, EinkaufsMenge FROM Artikel ORDER BY ID");
        QStringList stored;
        while (rows.next())
            stored << rows.value(0).toString() + " x" + rows.value(1).toString();
        QCOMPARE(stored, QStringList({ "Tisch x1", "Lampe x2" }));
    }

    // Paper trouble must not cost the contract: it is stored and can be printed again.
    void contractIsKeptWhenNothingCanBePrinted()
    {
        TestWorkdir dir;
        Anlieferung page;
        QVERIFY(enter(page));
        QSignalSpy menu(&page, &Anlieferung::openMenu);
        typeCustomer(page, "Meier", "Anna");
        addArticle(page, "Tisch", 1, "20");
        click(button(page, "pushButtonVertrAbsch"));
        QCOMPARE(dialogLog(),
            QStringList({ "Critical|Fehler|Bitte einen Vertragsdrucker auswählen!",
                "Critical|Fehler|Bitte einen Etikettendrucker auswählen!" }));
        QVERIFY(dir.printedFiles().isEmpty());
        QCOMPARE(TestWorkdir::rowCount("Vertrag"), 1);
        QCOMPARE(TestWorkdir::rowCount("Artikel"), 1);
        QCOMPARE(menu.count(), 1);
    }

    // The stored number, not the one the page showed, goes on labels and into the records.
    void contractNumberIsTheStoredOne()
    {
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde) VALUES (41, 1)");
        Anlieferung page;
        QVERIFY(enter(page));
        // The page shows 42; meanwhile another contract takes 45.
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde) VALUES (45, 1)");
        typeCustomer(page, "Meier", "Anna");
        addArticle(page, "Tisch", 1, "20");
        click(button(page, "pushButton_einkauf"));
        QCOMPARE(TestWorkdir::scalar("SELECT MAX(Vertrag) FROM Artikel").toInt(), 46);
        const QStringList texts = printedTexts(dir);
        VERIFY_CONTAINS(texts.at(0), "Kaufvertrag Nr: 46");
        VERIFY_CONTAINS(texts.at(1), "46/1");
    }

    // A term that cannot be read (the database locked by another program) must not give a
    // contract of 0 days: the conclusion stops as after a failed write.
    void failedReadStopsTheConclusion()
    {
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        Anlieferung page;
        QVERIFY(enter(page));
        QSignalSpy menu(&page, &Anlieferung::openMenu);
        typeCustomer(page, "Meier", "Anna");
        addArticle(page, "Tisch", 1, "20");
        TestWorkdir::exec("PRAGMA busy_timeout = 0"); // fail at once rather than wait
        {
            ScopedConnection other("other", dir.path("db.sqlite"));
            QSqlQuery lock(other.db());
            QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
            click(button(page, "pushButtonVertrAbsch"));
            QVERIFY(lock.exec("ROLLBACK"));
        }

        QCOMPARE(dialogLog().size(), 1);
        QVERIFY2(dialogLog().at(0).startsWith(
                     "Warning|SQL-Fehler|" + kLockedText + "\n\ndatabase is locked"),
            qPrintable(dialogLog().at(0)));
        QCOMPARE(TestWorkdir::rowCount("Kunde") + TestWorkdir::rowCount("Vertrag")
                + TestWorkdir::rowCount("Artikel"),
            0);
        QVERIFY(dir.printedFiles().isEmpty());
        QCOMPARE(menu.count(), 0);
        QCOMPARE(edit(page, "lineEditNA")->text(), QString("Meier"));

        Dialogs::takeRecords();
        click(button(page, "pushButtonVertrAbsch"));
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(TestWorkdir::scalar("SELECT Laufzeit FROM Vertrag").toInt(), 90);
    }

    // Paper carries the new numbers, so it comes out only once they are stored: a commit that
    // fails (another program reading the file) prints nothing, and the contract is committed
    // before its first page. The commission contract shows the menu before it prints, the
    // cash purchase after.
    void printedOnlyAfterTheCommit_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("printed"); // documents and labels
        QTest::addColumn<int>("printedAtMenu");
        QTest::newRow("commission contract") << "pushButtonVertrAbsch" << 4 << 0;
        QTest::newRow("cash purchase") << "pushButton_einkauf" << 3 << 3;
    }
    void printedOnlyAfterTheCommit()
    {
        QFETCH(QString, button);
        QFETCH(int, printed);
        QFETCH(int, printedAtMenu);
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        Anlieferung page;
        QVERIFY(enter(page));
        ScopedConnection other("other", dir.path("db.sqlite"));
        QList<int> atMenu; // PDFs out and contracts committed when the menu is asked for
        connect(&page, &Anlieferung::openMenu, [&] {
            QSqlQuery count(other.db());
            const bool read = count.exec("SELECT COUNT(*) FROM Vertrag") && count.next();
            atMenu << int(dir.printedFiles().size()) << (read ? count.value(0).toInt() : -1);
        });
        typeCustomer(page, "Meier", "Anna");
        addArticle(page, "Tisch", 2, "20");
        TestWorkdir::exec("PRAGMA busy_timeout = 0"); // fail at once rather than wait
        {
            QSqlQuery reader(other.db());
            QVERIFY(reader.exec("BEGIN") && reader.exec("SELECT COUNT(*) FROM Vertrag"));
            click(intake::button(page, qPrintable(button)));
            reader.finish();
            QVERIFY(reader.exec("COMMIT"));
        }
        QCOMPARE(dialogLog().size(), 1);
        QVERIFY2(dialogLog().at(0).startsWith(
                     "Warning|SQL-Fehler|" + kLockedText + "\n\ndatabase is locked"),
            qPrintable(dialogLog().at(0)));
        QCOMPARE(dir.printedFiles(), QStringList());
        QCOMPARE(TestWorkdir::rowCount("Kunde") + TestWorkdir::rowCount("Vertrag")
                + TestWorkdir::rowCount("Artikel"),
            0);
        QCOMPARE(atMenu, QList<int>());

        Dialogs::takeRecords();
        click(intake::button(page, qPrintable(button)));
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(atMenu, QList<int>({ printedAtMenu, 1 }));
        QCOMPARE(dir.printedFiles().size(), printed);
    }

    // The number the page shows is the one stored, printed, coded on the label and exported,
    // also after the newest contract was deleted and beyond 32 bits.
    void shownNumberIsTheStoredOne_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<qint64>("number");
        QTest::newRow("newest deleted") << "INSERT INTO Vertrag (Kunde) VALUES (1), (1), (1); "
                                           "DELETE FROM Vertrag WHERE ID = 3"
                                        << Q_INT64_C(4);
        QTest::newRow("beyond 32 bits")
            << "INSERT INTO Vertrag (ID, Kunde) VALUES (2147483647, 1)" << Q_INT64_C(2147483648);
    }
    void shownNumberIsTheStoredOne()
    {
        QFETCH(QString, before);
        QFETCH(qint64, number);
        TestWorkdir dir;
        TestWorkdir::setPrinters();
        QDir().mkpath(dir.path("export"));
        TestWorkdir::setSetting("AutoExportPath", dir.path("export"));
        for (const QString &statement : before.split("; "))
            TestWorkdir::exec(statement);
        const QString nr = QString::number(number);
        Anlieferung page;
        QVERIFY(enter(page));
        QCOMPARE(child<QLabel>(page, "labelVertr")->text(), "Vertrag: " + nr);
        QCOMPARE(edit(page, "lineEditAN")->text(), nr + " / 1");

        typeCustomer(page, "Meier", "Anna");
        addArticle(page, "Tisch", 1, "20");
        click(button(page, "pushButtonVertrAbsch"));
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(TestWorkdir::scalar("SELECT MAX(ID) FROM Vertrag").toLongLong(), number);
        QCOMPARE(TestWorkdir::scalar("SELECT Vertrag FROM Artikel").toLongLong(), number);
        const QStringList texts = printedTexts(dir);
        QCOMPARE(texts.size(), 3);
        VERIFY_CONTAINS(texts.at(0), "Kommissionsvertrag Nr: " + nr);
        VERIFY_CONTAINS(texts.at(2), nr + "/1");
        const QString code = ArtikelBarcode::encode(number, 1);
        VERIFY_CONTAINS(texts.at(2), code);
        qint64 decoded = 0;
        int position = 0;
        QVERIFY(ArtikelBarcode::decode(code, &decoded, &position));
        QCOMPARE(decoded, number);
        QCOMPARE(
            QDir(dir.path("export")).entryList(QDir::Files).value(0).section('_', -1), nr + ".csv");
    }
};

QTEST_MAIN(TestConclusion)
#include "tst_conclusion.moc"

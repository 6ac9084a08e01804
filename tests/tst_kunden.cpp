#include "support/pagehelpers.h"
#include "support/shopfixture.h"
#include "support/windowdriver.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

const char *const kFields[] = { "lineEdit_Name", "lineEdit_Vorname", "lineEdit_Telefon",
    "lineEdit_PLZ", "lineEdit_Ort", "lineEdit_Str" };

// The customer page, entered from the menu with its key as the staff do.
struct Page : Shell
{
    bool enter()
    {
        if (!window && !start())
            return false;
        key("Esc");
        key("5");
        return expectPage("swKunden");
    }
    QSpinBox *number() const { return field<QSpinBox>("swKunden", "spinBox_KundeNr"); }
    QLineEdit *edit(const char *name) const { return field<QLineEdit>("swKunden", name); }
    QPushButton *button(const char *name) const { return field<QPushButton>("swKunden", name); }
    QStringList fields() const
    {
        QStringList texts;
        for (const char *name : kFields)
            texts << edit(name)->text();
        return texts;
    }
    void type(QWidget *widget, const QString &text)
    {
        widget->setFocus();
        pages::type(widget, text);
    }
    void show(int customer) { type(number(), QString::number(customer)); }
    void press(const char *name) { pages::click(button(name)); }
};

// The shop's two customers with contracts (1 and 2), and two without: 3 is a gap.
void addCustomers()
{
    const ShopFixture shop;
    TestWorkdir::exec("INSERT INTO Kunde VALUES (4, 'Berg', 'Bernd', NULL, '', 'Fürth', '')");
    TestWorkdir::exec(
        "INSERT INTO Kunde VALUES (5, 'Dorn', 'Dora', '0911 4', '90403', 'Nürnberg', 'Weg 4')");
}

QString customer(int id)
{
    return TestWorkdir::scalar(QString("SELECT Name || '|' || Vorname || '|' || "
                                       "ifnull(Telefon, 'NULL') || '|' || PLZ || '|' || Ort || "
                                       "'|' || Strasse FROM Kunde WHERE ID = %1")
                                   .arg(id))
        .toString();
}

const QStringList kMissing = { "Kunde existiert nicht.", "", "", "", "", "" };

} // namespace

class TestKunden : public QObject
{
    Q_OBJECT

private slots:
    void emptyTable()
    {
        Page p;
        QVERIFY(p.enter());
        QCOMPARE(p.number()->minimum(), 1);
        QCOMPARE(p.number()->maximum(), 1);
        QCOMPARE(p.number()->value(), 1);
        QCOMPARE(p.fields(), kMissing);
        QVERIFY(!p.button("pushButton")->isEnabled());
        QVERIFY(p.button("pushButton_remove")->isEnabled());
        QCOMPARE(dialogLog(), QStringList());
    }

    void browsingByNumber()
    {
        Page p;
        addCustomers();
        QVERIFY(p.enter());
        QCOMPARE(p.number()->maximum(), 5);
        QCOMPARE(p.fields(),
            QStringList(
                { "Muster", "Max", "0171 1234567", "12345", "Musterhausen", "Hauptstraße 1" }));
        // Ready to be typed over.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(p.number()));
        QCOMPARE(p.number()->findChild<QLineEdit *>()->selectedText(), QString("1"));

        QTest::keyClick(p.number(), Qt::Key_3); // a gap in the numbers
        QCOMPARE(p.fields(), kMissing);
        QVERIFY(!p.button("pushButton")->isEnabled());
        p.show(4);
        QCOMPARE(p.fields(), QStringList({ "Berg", "Bernd", "", "", "Fürth", "" }));
        QVERIFY(p.button("pushButton")->isEnabled());
        p.show(5);
        QCOMPARE(p.fields().first(), QString("Dorn"));

        // Every entry starts again at customer 1 and sees customers added meanwhile.
        TestWorkdir::exec("INSERT INTO Kunde (ID, Name) VALUES (9, 'Neu')");
        QVERIFY(p.enter());
        QCOMPARE(p.number()->value(), 1);
        QCOMPARE(p.number()->maximum(), 9);
        QCOMPARE(p.fields().first(), QString("Muster"));
        QCOMPARE(dialogLog(), QStringList());
    }

    void edit_data()
    {
        QTest::addColumn<QVariant>("answer"); // invalid: Return, the default button
        QTest::addColumn<bool>("stored");
        QTest::newRow("Return") << QVariant() << false;
        QTest::newRow("No") << QVariant(int(QMessageBox::No)) << false;
        QTest::newRow("Yes") << QVariant(int(QMessageBox::Yes)) << true;
    }
    void edit()
    {
        QFETCH(QVariant, answer);
        QFETCH(bool, stored);
        Page p;
        addCustomers();
        QVERIFY(p.enter());
        p.show(4);
        const QStringList typed = { "  Berg-Mayer   von  Ohm ", "O'Neil", "d' Artagnan", "",
            "Erlangen", "Am Bach '3'" };
        for (int i = 0; i < 6; ++i)
            p.type(p.edit(kFields[i]), typed[i]);
        if (answer.isValid())
            Dialogs::setNextAnswer(answer);
        // Tab to the button and Return, as at the counter.
        p.button("pushButton")->setFocus();
        QTest::keyClick(p.button("pushButton"), Qt::Key_Return);

        QStringList log = { "Question|Warnung|Ein geänderter Kunde kann nicht wiederhergestellt "
                            "werden.\nWollen Sie fortfahren?" };
        if (!stored) // the question was the last box
            QCOMPARE(Dialogs::lastCall().value("defaultButton").toInt(), int(QMessageBox::No));
        else
            log << "Warning|Erfolgreich|Kundendaten wurden erfolgreich geändert.";
        QCOMPARE(dialogLog(), log);
        QCOMPARE(customer(4),
            stored ? QString("Berg-Mayer von Ohm|O Neil|d  Artagnan||Erlangen|Am Bach  3 ")
                   : QString("Berg|Bernd|NULL||Fürth|"));
        QCOMPARE(customer(5), QString("Dorn|Dora|0911 4|90403|Nürnberg|Weg 4"));
        // The fields keep what was typed until the number is shown again.
        QCOMPARE(p.fields(), typed);
        p.show(5);
        p.show(4);
        QCOMPARE(p.fields().first(), QString(stored ? "Berg-Mayer von Ohm" : "Berg"));
    }

    void remove_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("number");
        QTest::addColumn<QVariant>("answer"); // invalid: unscripted
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("left"); // customer numbers afterwards
        QTest::addColumn<int>("maximum");
        const QString ask = "Question|Warnung|Wollen Sie den Kunden wirklich löschen?";
        const QVariant yes = int(QMessageBox::Yes), no = int(QMessageBox::No);
        const QStringList refused(
            "Critical|Fehler|Kunde kann nicht gelöscht werden,\nweil Verträge bestehen!");
        QTest::newRow("the highest, Yes")
            << "" << 5 << yes
            << QStringList({ ask, "Information|Information|Kunde wurde erfolgreich gelöscht." })
            << "1,2,4" << 4;
        QTest::newRow("No") << "" << 4 << no << QStringList(ask) << "1,2,4,5" << 5;
        QTest::newRow("running and ended contracts")
            << "" << ShopFixture::kundeMuster << yes << refused << "1,2,4,5" << 5;
        QTest::newRow("cash purchase")
            << "" << ShopFixture::kundeBeispiel << yes << refused << "1,2,4,5" << 5;
        QTest::newRow("no customer of that number")
            << "" << 3 << yes << QStringList("Information|Information|Kunde existiert nicht.")
            << "1,2,4,5" << 5;
        QTest::newRow("contract check fails")
            << "ALTER TABLE Vertrag RENAME TO Vertraege" << 4 << yes
            << QStringList("Warning|SQL-Fehler|") << "1,2,4,5" << 5;
    }
    void remove()
    {
        QFETCH(QString, setup);
        QFETCH(int, number);
        QFETCH(QVariant, answer);
        QFETCH(QStringList, log);
        QFETCH(QString, left);
        QFETCH(int, maximum);
        Page p;
        addCustomers();
        QVERIFY(p.enter());
        if (!setup.isEmpty())
            TestWorkdir::exec(setup);
        p.show(number);
        const QStringList shown = p.fields();
        if (answer.isValid())
            Dialogs::setNextAnswer(answer);
        p.press("pushButton_remove");

        QStringList actual = dialogLog();
        if (log.value(0).startsWith("Warning|SQL-Fehler|")) // the driver's own text follows
            actual[0] = actual[0].section('|', 0, 1) + '|';
        QCOMPARE(actual, log);
        if (log.last().startsWith("Question|"))
            QCOMPARE(Dialogs::lastCall().value("defaultButton").toInt(), int(QMessageBox::No));
        QCOMPARE(
            TestWorkdir::scalar("SELECT group_concat(ID) FROM (SELECT ID FROM Kunde ORDER BY ID)"),
            QVariant(left));
        QCOMPARE(p.number()->maximum(), maximum);
        // Refreshed after a deletion was tried, unchanged otherwise.
        const bool refreshed = log.last().startsWith("Information|");
        QCOMPARE(p.number()->value(), refreshed ? 1 : number);
        if (!refreshed)
            QCOMPARE(p.fields(), shown);
    }

    // The intake and payout pages keep their customers between entries: what this page
    // changed or deleted shows there at the next entry all the same, in each page's order.
    void changesShowOnTheSearchPages()
    {
        Page p;
        addCustomers();
        QVERIFY(p.start());
        const auto listed = [&p](Qt::Key key, const char *pageName) {
            if (!p.WindowDriver::enter(key, pageName))
                return QStringList();
            auto *search = p.field<QLineEdit>(pageName, "lineEditSearch");
            search->setFocus();
            pages::type(search, "r"); // in every customer's text
            return pages::listedTexts(*p.field<QListWidget>(pageName, "listWidget"));
        };
        const QString muster = "1 Muster Max 0171 1234567 12345 Musterhausen Hauptstraße 1";
        const QString beispiel = "2 Beispiel Erika 030 987654 10115 Berlin Lindenweg 7";
        const QString dorn = "5 Dorn Dora 0911 4 90403 Nürnberg Weg 4";
        QCOMPARE(listed(Qt::Key_1, "swArrive"),
            QStringList({ beispiel, "4 Berg Bernd   Fürth ", dorn, muster }));
        QCOMPARE(listed(Qt::Key_4, "swSellout"),
            QStringList({ muster, beispiel, "4 Berg Bernd   Fürth ", dorn }));

        QVERIFY(p.enter());
        p.show(4);
        p.type(p.edit("lineEdit_Name"), "Zierer");
        Dialogs::setNextAnswer(int(QMessageBox::Yes));
        p.press("pushButton");
        p.show(5);
        Dialogs::setNextAnswer(int(QMessageBox::Yes));
        p.press("pushButton_remove");
        QCOMPARE(dialogLog(),
            QStringList({ "Question|Warnung|Ein geänderter Kunde kann nicht wiederhergestellt "
                          "werden.\nWollen Sie fortfahren?",
                "Warning|Erfolgreich|Kundendaten wurden erfolgreich geändert.",
                "Question|Warnung|Wollen Sie den Kunden wirklich löschen?",
                "Information|Information|Kunde wurde erfolgreich gelöscht." }));

        QCOMPARE(listed(Qt::Key_1, "swArrive"),
            QStringList({ beispiel, muster, "4 Zierer Bernd   Fürth " }));
        QCOMPARE(listed(Qt::Key_4, "swSellout"),
            QStringList({ muster, beispiel, "4 Zierer Bernd   Fürth " }));
    }
};

QTEST_MAIN(TestKunden)
#include "tst_kunden.moc"

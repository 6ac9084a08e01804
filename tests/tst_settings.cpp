#include "support/pagehelpers.h"
#include "support/testsupport.h"
#include "support/windowdriver.h"

#include "admin/einstellungen.h"
#include "app/menulabel.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLocale>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>
#include <memory>

using namespace pages;

namespace {

const QString kPrinters = QStringLiteral("Laser;Etiketten 62mm;Büro");

// Name -> Wert of every Systemdaten row, and the row count, to compare whole tables.
QMap<QString, QString> settingsTable(int *rows = nullptr)
{
    QMap<QString, QString> table;
    QSqlQuery query(QStringLiteral("SELECT Name, Wert FROM Systemdaten ORDER BY ID"));
    int count = 0;
    while (query.next()) {
        table.insert(query.value(0).toString(), query.value(1).toString());
        ++count;
    }
    if (rows)
        *rows = count;
    return table;
}

// The rules as stored, "threshold|operator|value" in threshold order.
QStringList storedRules()
{
    QStringList rules;
    QSqlQuery query(QStringLiteral(
        "SELECT Einkaufspreis, Operator, Wert FROM Verkaufspreis ORDER BY Einkaufspreis, ID"));
    while (query.next())
        rules << QString::number(query.value(0).toDouble()) + "|" + query.value(1).toString() + "|"
                + QString::number(query.value(2).toDouble());
    return rules;
}

void storeRules(const QStringList &rules)
{
    TestWorkdir::exec("DELETE FROM Verkaufspreis");
    for (const QString &rule : rules) {
        const QStringList parts = rule.split('|');
        QSqlQuery query;
        query.prepare("INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (?, ?, ?)");
        query.addBindValue(parts[0].toDouble());
        query.addBindValue(parts[1]);
        query.addBindValue(parts[2].toDouble());
        QVERIFY(query.exec());
    }
}

// The page on its own, shown and active, entered as the menu enters it.
struct SettingsPage
{
    TestWorkdir dir;
    Einstellungen page;
    QSignalSpy menu { &page, &Einstellungen::openMenu };

    bool enter() { return pages::enter(page); }
    template <class T = QWidget> T *w(const char *name) { return child<T>(page, name); }
    QTableWidget *table() { return w<QTableWidget>("tableWidget"); }
    void save() { click(w<QPushButton>("pushButton_save")); }

    // Clicks the cell, opens its editor with F2, replaces the text and confirms with Enter.
    void typeCell(int row, int column, const QString &text)
    {
        QTableWidget *t = table();
        QTableWidgetItem *item = t->item(row, column);
        t->scrollToItem(item);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(item).center());
        QTest::keyClick(t->viewport(), Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY2(editor, "no cell editor");
        type(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The table takes the editor's text in a queued call.
        QTRY_VERIFY(QApplication::focusWidget() != editor);
    }
    QStringList row(int r)
    {
        QStringList cells;
        for (int c = 1; c < 5; ++c)
            cells << table()->item(r, c)->text();
        return cells;
    }
    QString range(int r) { return table()->item(r, 4)->text(); }
    // The rules as the table shows them, in the form of storedRules().
    QStringList shownRules()
    {
        QStringList rules;
        for (int r = 0; r < table()->rowCount(); ++r)
            rules << QString::number(table()->item(r, 1)->text().toDouble()) + "|"
                    + table()->item(r, 2)->text() + "|"
                    + QString::number(table()->item(r, 3)->text().toDouble());
        return rules;
    }
    QStringList boxEntries(const char *name)
    {
        QStringList entries;
        auto *box = w<QComboBox>(name);
        for (int i = 0; i < box->count(); ++i)
            entries << box->itemText(i) + "=" + box->itemData(i).toString();
        return entries;
    }
};

const QStringList kDefaultRules = { "0|*|2.5", "1|*|2.2", "5|*|2.1", "20|*|2", "30|*|1.8",
    "50|*|1.6", "80|*|1.4", "100|+|70", "150|+|80", "200|+|100" };

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        qputenv("VELARIX_TITLE_PREFIX", "Second-Hand Kaufhaus");
    }
    void init() { qputenv("VELARIX_PRINTERS", kPrinters.toUtf8()); }

    // ---- page entry -----------------------------------------------------------------

    // The fresh schema holds keys 1 to 15 and BackupDate: the rest are added once.
    void firstEntryAddsTheMissingRowsOnce()
    {
        SettingsPage s;
        const int before = TestWorkdir::scalar("SELECT MAX(ID) FROM Systemdaten").toInt();
        QVERIFY(s.enter());
        QSqlQuery added(
            QStringLiteral("SELECT Name, Wert FROM Systemdaten WHERE ID > %1 ORDER BY ID")
                .arg(before));
        QStringList rows;
        while (added.next())
            rows << added.value(0).toString() + "=" + added.value(1).toString();
        QCOMPARE(rows,
            QStringList({ "Vertragsdrucker=", "Etikettendrucker=", "UploadPath=",
                "PrintFormat=false", "LabelSize=0", "AutoExportPath=" }));
        QCOMPARE(dialogLog(), QStringList());
        // The fresh database's Saturday is kept as it is stored.
        QCOMPARE(s.w<QLineEdit>("lineEdit_Sa")->text(), QString("10 - 12 Uhr"));
        QCOMPARE(QApplication::focusWidget(), s.w("spinBoxVerkauf"));

        int rows1 = 0, rows2 = 0;
        settingsTable(&rows1);
        s.page.refreshPage();
        settingsTable(&rows2);
        QCOMPARE(rows2, rows1);
    }

    void missingRow_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QVariant>("inserted"); // invalid: nothing is inserted
        QTest::addColumn<QString>("shown");
        const QVariant none;
        QTest::newRow("Samstag") << "Samstag"
                                 << "lineEdit_Sa" << QVariant("10 - 13 Uhr") << "10 - 13 Uhr";
        QTest::newRow("Mittwoch") << "Mittwoch"
                                  << "lineEdit_Mi" << QVariant("09 - 13 Uhr") << "09 - 13 Uhr";
        QTest::newRow("Freitag") << "Freitag"
                                 << "lineEdit_Fr" << QVariant("09 - 13 u. 14 - 17 Uhr")
                                 << "09 - 13 u. 14 - 17 Uhr";
        QTest::newRow("AnzahlVerkauf") << "AnzahlVerkauf"
                                       << "spinBoxVerkauf" << QVariant("7") << "7 Tage";
        QTest::newRow("PfadBackup") << "PfadBackup"
                                    << "lineEdit" << QVariant("e:") << "e:";
        // No fallback: the field keeps what the previous visit showed.
        QTest::newRow("Laufzeit") << "Laufzeit"
                                  << "spinBox_laufz" << none << "45 Tage";
        QTest::newRow("Stadt") << "Stadt"
                               << "lineEdit_stadt" << none << "Altdorf";
    }
    void missingRow()
    {
        QFETCH(QString, key);
        QFETCH(QString, widget);
        QFETCH(QVariant, inserted);
        QFETCH(QString, shown);
        SettingsPage s;
        TestWorkdir::setSetting("Laufzeit", "45");
        TestWorkdir::setSetting("Stadt", "Altdorf");
        TestWorkdir::setSetting("AnzahlVerkauf", "30");
        if (inserted.isValid())
            TestWorkdir::setSetting(key, "anders");
        QVERIFY(s.enter());
        TestWorkdir::removeSetting(key);
        Dialogs::takeRecords();
        s.page.refreshPage();
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Systemdaten WHERE Name = '" + key + "'")
                     .toInt(),
            inserted.isValid() ? 1 : 0);
        if (inserted.isValid())
            QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = '" + key + "'"),
                inserted);
        QWidget *field = s.w(qPrintable(widget));
        if (auto *spin = qobject_cast<QSpinBox *>(field))
            QCOMPARE(spin->text(), shown);
        else
            QCOMPARE(qobject_cast<QLineEdit *>(field)->text(), shown);
    }

    // Stored texts that the widgets cannot show as they are.
    void storedTextsAsTheWidgetsShowThem()
    {
        SettingsPage s;
        TestWorkdir::setSetting("Laufzeit", "120");
        TestWorkdir::setSetting("Standgebuehr", "fünf");
        TestWorkdir::setSetting("MaxStandgebuehr", "-3");
        TestWorkdir::setSetting("PrintFormat", "True");
        TestWorkdir::setSetting("Passwort", " Geheim ");
        QVERIFY(s.enter());
        QCOMPARE(s.w<QSpinBox>("spinBox_laufz")->value(), 99);
        QCOMPARE(s.w<QSpinBox>("spinBox_standg")->value(), 0);
        QCOMPARE(s.w<QSpinBox>("spinBox_max_standg")->value(), 0);
        QVERIFY(!s.w<QCheckBox>("checkBoxPrintFormat")->isChecked());
        QCOMPARE(s.w<QLineEdit>("lineEdit_pw")->text(), QString(" Geheim "));
        QCOMPARE(s.w<QLineEdit>("lineEdit_pw")->echoMode(), QLineEdit::Normal);
        QCOMPARE(s.w<QLabel>("label_Beschreibung")->text(), QString("Second-Hand Kaufhaus "));
        // What is shown is what a save writes back.
        s.save();
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'Laufzeit'"),
            QVariant("99"));
        QCOMPARE(TestWorkdir::scalar("SELECT Wert FROM Systemdaten WHERE Name = 'PrintFormat'"),
            QVariant("false"));
    }

    void printerBoxes()
    {
        SettingsPage s;
        TestWorkdir::setSetting("Vertragsdrucker", "Büro");
        TestWorkdir::setSetting("Etikettendrucker", "");
        for (int i = 0; i < 3; ++i)
            QVERIFY(s.enter());
        QCOMPARE(s.boxEntries("comboBoxVertrag"),
            QStringList({ "Laser=Laser", "Etiketten 62mm=Etiketten 62mm", "Büro=Büro" }));
        QCOMPARE(s.boxEntries("comboBoxEtikett"),
            QStringList({ "Etiketten nicht drucken=", "Laser=Laser",
                "Etiketten 62mm=Etiketten 62mm", "Büro=Büro" }));
        QCOMPARE(s.w<QComboBox>("comboBoxVertrag")->currentText(), QString("Büro"));
        QCOMPARE(s.w<QComboBox>("comboBoxEtikett")->currentIndex(), 0);

        // A printer that is gone stays chosen until someone picks another.
        TestWorkdir::setSetting("Etikettendrucker", "Zebra alt");
        s.page.refreshPage();
        auto *labels = s.w<QComboBox>("comboBoxEtikett");
        QCOMPARE(labels->count(), 5);
        QCOMPARE(labels->currentData().toString(), QString("Zebra alt"));
        QVERIFY(labels->currentText().startsWith("Zebra alt"));
        s.save();
        QCOMPARE(settingsTable().value("Etikettendrucker"), QString("Zebra alt"));
        QCOMPARE(settingsTable().value("Vertragsdrucker"), QString("Büro"));
        QCOMPARE(dialogLog(), QStringList());

        // Without printers: only the choice not to print labels, and nothing to store.
        qputenv("VELARIX_PRINTERS", "");
        TestWorkdir::setSetting("Etikettendrucker", "");
        s.page.refreshPage();
        QCOMPARE(s.boxEntries("comboBoxVertrag"), QStringList({ "Büro (nicht installiert)=Büro" }));
        QCOMPARE(s.boxEntries("comboBoxEtikett"), QStringList({ "Etiketten nicht drucken=" }));
    }

    // Where nothing is set the table holds the empty text, never NULL: the fallback rows of a
    // first entry, and what a save without any installed printer stores.
    void unsetValuesAreEmptyTexts()
    {
        qputenv("VELARIX_PRINTERS", "");
        SettingsPage s;
        const auto nullValues = [] {
            QStringList names;
            QSqlQuery query(QStringLiteral("SELECT Name FROM Systemdaten WHERE Wert IS NULL"));
            while (query.next())
                names << query.value(0).toString();
            return names;
        };
        QVERIFY(s.enter());
        QCOMPARE(nullValues(), QStringList());
        s.save();
        QCOMPARE(nullValues(), QStringList());
        QCOMPARE(settingsTable().value("Vertragsdrucker"), QString(""));
    }

    // ---- saving -----------------------------------------------------------------------

    void saveRoundTrip()
    {
        SettingsPage s;
        TestWorkdir::setSetting("Laufzeit", "30");
        TestWorkdir::setSetting("Standgebuehr", "3");
        TestWorkdir::setSetting("MaxStandgebuehr", "8");
        QVERIFY(s.enter());
        int rowsBefore = 0;
        const QString backupDate = settingsTable(&rowsBefore).value("BackupDate");

        const QMap<QString, QPair<const char *, QString>> typed = {
            { "AnzahlVerkauf", { "spinBoxVerkauf", "14" } },
            { "Laufzeit", { "spinBox_laufz", "90" } },
            { "Standgebuehr", { "spinBox_standg", "5" } },
            { "MaxStandgebuehr", { "spinBox_max_standg", "10" } },
            { "LabelSize", { "spinBoxLabelSize", "2" } },
            { "Passwort", { "lineEdit_pw", "Geheim 1" } },
            { "MasterPasswort", { "lineEdit_mpw", "Chef" } },
            { "Beschreibung", { "lineEdit_beschr", "Müller's Laden, Tel. 0401" } },
            { "Stadt", { "lineEdit_stadt", " Neustadt " } },
            { "PfadBackup", { "lineEdit", "/media/usb" } },
            { "Montag", { "lineEdit_Mo", "geschlossen" } },
            { "Dienstag", { "lineEdit_Di", "8 - 18 Uhr" } },
            { "Mittwoch", { "lineEdit_Mi", "9 - 12 Uhr" } },
            { "Donnerstag", { "lineEdit_Do", "9 - 20 Uhr" } },
            { "Freitag", { "lineEdit_Fr", "9 - 16 Uhr" } },
            { "Samstag", { "lineEdit_Sa", "10 - 14 Uhr" } },
            { "UploadPath", { "lineEdit_upload", "shop.example.org" } },
            { "AutoExportPath", { "lineEditExportPath", "/srv/kasse" } },
        };
        for (auto it = typed.begin(); it != typed.end(); ++it)
            type(s.w(it.value().first), it.value().second);
        QTest::keyClick(s.w("comboBoxVertrag"), Qt::Key_End);
        QTest::keyClick(s.w("comboBoxEtikett"), Qt::Key_Down);
        QTest::keyClick(s.w("checkBoxPrintFormat"), Qt::Key_Space);
        s.save();

        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(s.menu.count(), 1);
        int rowsAfter = 0;
        const QMap<QString, QString> stored = settingsTable(&rowsAfter);
        QCOMPARE(rowsAfter, rowsBefore);
        for (auto it = typed.begin(); it != typed.end(); ++it)
            QCOMPARE(stored.value(it.key()),
                it.key() == "Beschreibung" ? QString("Müller s Laden, Tel. 0401")
                                           : it.value().second);
        QCOMPARE(stored.value("Vertragsdrucker"), QString("Büro"));
        QCOMPARE(stored.value("Etikettendrucker"), QString("Laser"));
        QCOMPARE(stored.value("PrintFormat"), QString("true"));
        QCOMPARE(stored.value("BackupDate"), backupDate);

        // The next visit shows what was saved; unticking and "no labels" store "false" and "".
        s.page.refreshPage();
        QCOMPARE(s.w<QLineEdit>("lineEdit_stadt")->text(), QString(" Neustadt "));
        QCOMPARE(s.w<QComboBox>("comboBoxEtikett")->currentText(), QString("Laser"));
        QVERIFY(s.w<QCheckBox>("checkBoxPrintFormat")->isChecked());
        QTest::keyClick(s.w("checkBoxPrintFormat"), Qt::Key_Space);
        QTest::keyClick(s.w("comboBoxEtikett"), Qt::Key_Home);
        s.save();
        QCOMPARE(settingsTable().value("PrintFormat"), QString("false"));
        QCOMPARE(settingsTable().value("Etikettendrucker"), QString(""));
    }

    // A "'" in a text that is stored unaltered refuses that one value; the rest is saved.
    void apostropheRefused_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString passwordText = "Das %1 enthält das Zeichen ('),\nund ist damit ungültig!\n"
                                     "Das alte Passwort wird weiterverwendet.\n";
        QTest::newRow("Passwort") << "Passwort"
                                  << "lineEdit_pw"
                                  << "x', Name = 'y" << passwordText.arg("Passwort");
        QTest::newRow("MasterPasswort") << "MasterPasswort"
                                        << "lineEdit_mpw"
                                        << "Chef's" << passwordText.arg("MasterPasswort");
        QTest::newRow("Samstag")
            << "Samstag"
            << "lineEdit_Sa"
            << "10 - 13 Uhr 'Sa'"
            << "Öffnungszeiten Samstag enthält das Zeichen ('),\nund ist damit "
               "ungültig!\nDer alte Wert wird weiterverwendet.\n";
        QTest::newRow("UploadPath") << "UploadPath"
                                    << "lineEdit_upload"
                                    << "shop'; DROP TABLE Kunde; --"
                                    << "Upload Server enthält das Zeichen ('),\nund ist damit "
                                       "ungültig!\nDer alte Wert wird weiterverwendet.\n";
    }
    void apostropheRefused()
    {
        QFETCH(QString, key);
        QFETCH(QString, widget);
        QFETCH(QString, value);
        QFETCH(QString, message);
        SettingsPage s;
        TestWorkdir::setSetting("Passwort", "alt");
        TestWorkdir::setSetting("MasterPasswort", "Chef");
        TestWorkdir::setSetting("UploadPath", "server.alt");
        TestWorkdir::setSetting("Vertragsdrucker", "Laser");
        QVERIFY(s.enter());
        QMap<QString, QString> expected = settingsTable();

        // Every other key gets a new value and is saved as usual.
        const QList<QPair<const char *, const char *>> others
            = { { "Passwort", "lineEdit_pw" }, { "MasterPasswort", "lineEdit_mpw" },
                  { "Samstag", "lineEdit_Sa" }, { "UploadPath", "lineEdit_upload" },
                  { "Stadt", "lineEdit_stadt" }, { "AutoExportPath", "lineEditExportPath" } };
        for (const auto &other : others) {
            if (key == other.first)
                continue;
            const QString text = QString("neu ") + other.first;
            type(s.w(other.second), text);
            expected[other.first] = text;
        }
        type(s.w(qPrintable(widget)), value);
        s.typeCell(0, 3, "3");
        s.save();

        QCOMPARE(dialogLog(), QStringList("Warning|SQL-Fehler|" + message));
        QCOMPARE(settingsTable(), expected);
        QCOMPARE(storedRules().value(0), QString("0|*|3"));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Kunde"), QVariant(0));
        QCOMPARE(s.menu.count(), 1);
        // The refused text stays in its field until the next entry.
        QCOMPARE(s.w<QLineEdit>(qPrintable(widget))->text(), value);
    }

    // A statement the database refuses shows its error and the rest is still saved.
    void failedUpdateGoesOn()
    {
        SettingsPage s;
        QVERIFY(s.enter());
        TestWorkdir::exec("CREATE TRIGGER no_password BEFORE UPDATE ON Systemdaten "
                          "WHEN NEW.Name IN ('Passwort', 'Montag') "
                          "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
        type(s.w("lineEdit_pw"), "neu");
        type(s.w("lineEdit_Mo"), "zu");
        type(s.w("lineEdit_Di"), "offen");
        s.save();
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 2);
        QVERIFY(
            log[0].startsWith("Warning|SQL-Fehler|Das Passwort enthält das Zeichen ('),\nund "
                              "ist damit ungültig!\nDas alte Passwort wird weiterverwendet.\n"));
        QVERIFY(log[0].contains("gesperrt"));
        QVERIFY(log[1].startsWith("Warning|SQL-Fehler|"));
        QVERIFY(log[1].contains("gesperrt"));
        QCOMPARE(settingsTable().value("Passwort"), QString(""));
        QCOMPARE(settingsTable().value("Dienstag"), QString("offen"));
        QCOMPARE(s.menu.count(), 1);
    }

    // ---- leaving ------------------------------------------------------------------------

    void leaving_data()
    {
        QTest::addColumn<QString>("how"); // Esc, caption or button
        QTest::addColumn<int>("answer"); // the answer to the question, if one is asked
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("saves");
        QTest::newRow("Esc, Yes") << "Esc" << int(QMessageBox::Yes) << true << true;
        QTest::newRow("Esc, No") << "Esc" << int(QMessageBox::No) << true << false;
        QTest::newRow("caption, Yes") << "caption" << int(QMessageBox::Yes) << true << true;
        QTest::newRow("caption, No") << "caption" << int(QMessageBox::No) << true << false;
        QTest::newRow("Speichern") << "button" << 0 << false << true;
    }
    void leaving()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(bool, asks);
        QFETCH(bool, saves);
        Shell s;
        QVERIFY(s.start());
        auto *page = s.page<Einstellungen>("swSettings");
        QSignalSpy menu(page, &Einstellungen::openMenu);
        Dialogs::setNextAnswer(QString()); // the empty master password
        s.key("0");
        QCOMPARE(s.page(), QString("swSettings"));
        QCOMPARE(dialogLog().size(), 1);
        Dialogs::takeRecords();
        const QStringList rulesBefore = storedRules();
        TestWorkdir::exec("UPDATE Verkaufspreis SET Einkaufspreis = 3 WHERE Einkaufspreis = 5");

        type(child<QLineEdit>(*page, "lineEdit_stadt"), "Neustadt");
        if (asks)
            Dialogs::setNextAnswer(answer);
        if (how == "Esc")
            s.key("Esc");
        else if (how == "caption")
            QTest::mouseClick(child<MenuLabel>(*page, "label_16"), Qt::LeftButton);
        else
            click(child<QPushButton>(*page, "pushButton_save"));

        QCOMPARE(menu.count(), 1);
        QCOMPARE(s.page(), QString("swMenu"));
        QCOMPARE(dialogLog(),
            asks ? QStringList(
                "Question|Speichern|Haben Sie Änderungen vorgenommen und wollen Sie speichern?")
                 : QStringList());
        QCOMPARE(settingsTable().value("Stadt"), QString(saves ? "Neustadt" : "Musterhausen"));
        // Saving writes the rules as shown, which overrides the change made meanwhile.
        QCOMPARE(storedRules() == rulesBefore, saves);

        // Once saved or answered, leaving again asks nothing.
        Dialogs::takeRecords();
        QMetaObject::invokeMethod(page, "openMenuSlot");
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(menu.count(), 2);
    }

    void entryOnAFreshDatabaseAsksOnlyForThePassword()
    {
        Shell s(false);
        QVERIFY(s.start());
        Dialogs::setNextAnswer(QString());
        s.key("0");
        QCOMPARE(dialogLog(),
            QStringList(
                "Text|MasterPasswort|Bitte geben Sie das MasterPasswort ein, um fortzufahren:"));
        QCOMPARE(s.page(), QString("swSettings"));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Systemdaten"), QVariant(22));
    }

    void folderChoice_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QVariant>("answer"); // invalid: cancelled
        QTest::addColumn<QString>("result");
        QTest::newRow("backup, chosen")
            << "toolButton"
            << "lineEdit"
            << "PfadBackup"
            << "Pfad wählen" << QVariant("/media/stick") << "/media/stick";
        QTest::newRow("backup, cancelled") << "toolButton"
                                           << "lineEdit"
                                           << "PfadBackup"
                                           << "Pfad wählen" << QVariant() << "/alt";
        QTest::newRow("export, chosen")
            << "toolButtonExportPath"
            << "lineEditExportPath"
            << "AutoExportPath"
            << "Exportpfad wählen" << QVariant("/srv/kasse") << "/srv/kasse";
        QTest::newRow("export, cancelled") << "toolButtonExportPath"
                                           << "lineEditExportPath"
                                           << "AutoExportPath"
                                           << "Exportpfad wählen" << QVariant() << "/alt";
    }
    void folderChoice()
    {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(QString, key);
        QFETCH(QString, title);
        QFETCH(QVariant, answer);
        QFETCH(QString, result);
        SettingsPage s;
        TestWorkdir::setSetting(key, "/alt");
        QVERIFY(s.enter());
        Dialogs::setNextAnswer(answer);
        click(s.w<QToolButton>(qPrintable(button)));
        QCOMPARE(dialogLog(), QStringList("Directory|" + title + "|"));
        QCOMPARE(Dialogs::lastCall().value("dir").toString(), QString("/alt"));
        QCOMPARE(s.w<QLineEdit>(qPrintable(field))->text(), result);
        QCOMPARE(settingsTable().value(key), QString("/alt")); // stored only by saving
        s.save();
        QCOMPARE(settingsTable().value(key), result);
    }

    // ---- price rules ------------------------------------------------------------------

    void defaultRules()
    {
        SettingsPage s;
        QVERIFY(s.enter());
        QTableWidget *t = s.table();
        QCOMPARE(pages::headerTexts(t),
            QStringList({ "", "Einkaufspreis in €", "Operator (+ / *)", "Wert (Summand / Faktor)",
                "Verkaufspreis" }));
        QCOMPARE(t->horizontalHeader()->sectionResizeMode(2), QHeaderView::Stretch);
        const QList<QStringList> expected = {
            { "0.00", "*", "2.50", "0.00 € -2.50 €" },
            { "1.00", "*", "2.20", "2.20 € -11.00 €" },
            { "5.00", "*", "2.10", "10.50 € -42.00 €" },
            { "20.00", "*", "2.00", "40.00 € -60.00 €" },
            { "30.00", "*", "1.80", "54.00 € -90.00 €" },
            { "50.00", "*", "1.60", "80.00 € -128.00 €" },
            { "80.00", "*", "1.40", "112.00 € -140.00 €" },
            { "100.00", "+", "70.00", "170.00 € -220.00 €" },
            { "150.00", "+", "80.00", "230.00 € -280.00 €" },
            { "200.00", "+", "100.00", "300.00 € -..." },
        };
        QCOMPARE(t->rowCount(), expected.size());
        for (int r = 0; r < t->rowCount(); ++r) {
            QCOMPARE(s.row(r), expected[r]);
            QCOMPARE(t->item(r, 0)->text(), QString("ab"));
            QCOMPARE(t->item(r, 0)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
            QCOMPARE(t->item(r, 2)->font().pointSize(), 14);
            for (int c = 0; c < 5; ++c)
                QCOMPARE(bool(t->item(r, c)->flags() & Qt::ItemIsEditable), c >= 1 && c <= 3);
        }
        // Saving an unchanged table rewrites the same rules.
        const int highestId = TestWorkdir::scalar("SELECT MAX(ID) FROM Verkaufspreis").toInt();
        s.save();
        QCOMPARE(storedRules(), kDefaultRules);
        QCOMPARE(TestWorkdir::scalar("SELECT MIN(ID) FROM Verkaufspreis").toInt(), highestId + 1);
        QCOMPARE(dialogLog(), QStringList());
    }

    // Stored thresholds are shown rising strictly, and saved as shown.
    void storedRulesAreNormalised()
    {
        SettingsPage s;
        storeRules({ "5|*|2.5", "20|*|2", "20|*|2", "20|*|2" });
        QVERIFY(s.enter());
        QCOMPARE(s.row(0), QStringList({ "0.00", "*", "2.50", "0.00 € -50.00 €" }));
        QCOMPARE(s.row(1), QStringList({ "20.00", "*", "2.00", "40.00 € -42.00 €" }));
        QCOMPARE(s.row(2), QStringList({ "21.00", "*", "2.00", "42.00 € -44.00 €" }));
        QCOMPARE(s.row(3), QStringList({ "22.00", "*", "2.00", "44.00 € -..." }));
        s.save();
        QCOMPARE(storedRules(), QStringList({ "0|*|2.5", "20|*|2", "21|*|2", "22|*|2" }));
    }

    void ruleEdit_data()
    {
        QTest::addColumn<QStringList>("rules"); // empty: the ten default rules
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("rangeAbove"); // empty for the first row
        QTest::addColumn<QString>("range");
        const QStringList defaults;
        QTest::newRow("first threshold") << defaults << 0 << 1 << "7"
                                         << "0.00" << QString() << "0.00 € -2.50 €";
        QTest::newRow("threshold above the next") << defaults << 2 << 1 << "25"
                                                  << "2.00"
                                                  << "2.20 € -4.40 €"
                                                  << "4.20 € -42.00 €";
        QTest::newRow("threshold with comma") << defaults << 2 << 1 << "3,5"
                                              << "3.50"
                                              << "2.20 € -7.70 €"
                                              << "7.40 € -42.00 €";
        QTest::newRow("last threshold equal to the one above") << defaults << 9 << 1 << "150"
                                                               << "151.00"
                                                               << "230.00 € -231.00 €"
                                                               << "251.00 € -...";
        QTest::newRow("threshold letters") << defaults << 4 << 1 << "abc"
                                           << "21.00"
                                           << "40.00 € -42.00 €"
                                           << "37.80 € -90.00 €";
        QTest::newRow("no room between the neighbours")
            << QStringList({ "0|*|2", "20|*|2", "20.5|*|2", "21|*|2" }) << 2 << 1 << "30"
            << "20.50"
            << "40.00 € -41.00 €"
            << "41.00 € -42.00 €";
        QTest::newRow("minus as operator") << defaults << 7 << 2 << "-"
                                           << "*"
                                           << "112.00 € -140.00 €"
                                           << "7000.00 € -10500.00 €";
        QTest::newRow("plus as operator") << defaults << 0 << 2 << "+"
                                          << "+" << QString() << "2.50 € -3.50 €";
        QTest::newRow("value with comma") << defaults << 1 << 3 << "2,25"
                                          << "2.25"
                                          << "0.00 € -2.50 €"
                                          << "2.30 € -11.30 €";
        QTest::newRow("value with point") << defaults << 1 << 3 << "2.25"
                                          << "2.25"
                                          << "0.00 € -2.50 €"
                                          << "2.30 € -11.30 €";
        QTest::newRow("value letters") << defaults << 3 << 3 << "zwei"
                                       << "0.00"
                                       << "10.50 € -42.00 €"
                                       << "0.00 € -0.00 €";
    }
    void ruleEdit()
    {
        QFETCH(QStringList, rules);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, cell);
        QFETCH(QString, rangeAbove);
        QFETCH(QString, range);
        SettingsPage s;
        if (!rules.isEmpty())
            storeRules(rules);
        QVERIFY(s.enter());
        const int rows = s.table()->rowCount();
        s.typeCell(row, column, typed);
        QCOMPARE(s.table()->item(row, column)->text(), cell);
        QCOMPARE(s.range(row), range);
        if (row > 0)
            QCOMPARE(s.range(row - 1), rangeAbove);
        QCOMPARE(s.table()->rowCount(), rows);
        QCOMPARE(dialogLog(), QStringList());
        // What the table shows is what is stored.
        const QStringList shown = s.shownRules();
        s.save();
        QCOMPARE(storedRules(), shown);
    }

    // A rule that proposes a selling price below 0 anywhere in its range is refused: the box
    // names its row, nothing is stored and the page stays, so the rule can be mended.
    void negativePricesRefused_data()
    {
        QTest::addColumn<QStringList>("rules"); // empty: the ten default rules
        QTest::addColumn<QStringList>("edits"); // "row|column|typed"
        QTest::addColumn<QString>("refusal"); // empty: saved
        const QStringList defaults;
        const QStringList threeRules = { "0|*|2.5", "10|+|5", "20|*|2" };
        QTest::newRow("negative factor")
            << defaults << QStringList("1|3|-2,00")
            << "Zeile 2 ergibt negative Verkaufspreise (-2.00 € --10.00 €)";
        QTest::newRow("summand below the threshold")
            << threeRules << QStringList("1|3|-12")
            << "Zeile 2 ergibt negative Verkaufspreise (-2.00 € -8.00 €)";
        QTest::newRow("first rule starts at 0, falls below it")
            << defaults << QStringList("0|3|-1")
            << "Zeile 1 ergibt negative Verkaufspreise (0.00 € --1.00 €)";
        QTest::newRow("last rule, open upwards")
            << defaults << QStringList({ "9|3|-100", "9|2|*" })
            << "Zeile 10 ergibt negative Verkaufspreise (-20000.00 € -...)";
        // Its start is 0: only its open end tells.
        QTest::newRow("only rule, open upwards from 0")
            << QStringList("0|*|2.5") << QStringList("0|3|-1")
            << "Zeile 1 ergibt negative Verkaufspreise (0.00 € -...)";
        QTest::newRow("stored negative rule, another row edited")
            << QStringList({ "0|*|2.5", "10|+|-15", "20|*|2" }) << QStringList("0|3|3")
            << "Zeile 2 ergibt negative Verkaufspreise (-5.00 € -5.00 €)";
        QTest::newRow("summand down to 0") << threeRules << QStringList("1|3|-10") << QString();
        QTest::newRow("factor 0") << defaults << QStringList("3|3|0") << QString();
    }
    void negativePricesRefused()
    {
        QFETCH(QStringList, rules);
        QFETCH(QStringList, edits);
        QFETCH(QString, refusal);
        SettingsPage s;
        if (!rules.isEmpty())
            storeRules(rules);
        QVERIFY(s.enter());
        const QStringList before = storedRules();
        const QMap<QString, QString> settings = settingsTable();
        for (const QString &edit : edits) {
            const QStringList e = edit.split('|');
            s.typeCell(e[0].toInt(), e[1].toInt(), e[2]);
        }
        type(s.w("lineEdit_stadt"), "Neustadt");
        s.save();
        if (refusal.isEmpty()) {
            QCOMPARE(dialogLog(), QStringList());
            QCOMPARE(storedRules(), s.shownRules());
            QCOMPARE(settingsTable().value("Stadt"), QString("Neustadt"));
            QCOMPARE(s.menu.count(), 1);
            return;
        }
        QCOMPARE(dialogLog(),
            QStringList(
                "Warning|Fehler|Die Preisregel in " + refusal + ".\nEs wurde nichts gespeichert."));
        QCOMPARE(storedRules(), before);
        QCOMPARE(settingsTable(), settings);
        QCOMPARE(s.menu.count(), 0);
        // Mended, the next save stores it all.
        const int refusedRow = refusal.section(' ', 1, 1).toInt() - 1;
        s.typeCell(refusedRow, 3, "1");
        Dialogs::takeRecords();
        s.save();
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(settingsTable().value("Stadt"), QString("Neustadt"));
        QCOMPARE(s.menu.count(), 1);
    }

    // Rules from an invalid operator on are not shown, and saving keeps them as stored.
    void invalidStoredOperator()
    {
        SettingsPage s;
        const QStringList rules = { "0|*|2.5", "10|+|5", "20|x|3", "30|*|2" };
        storeRules(rules);
        QVERIFY(s.enter());
        QCOMPARE(dialogLog(), QStringList("Warning|Fehler|Operator x ist ungültig!"));
        QCOMPARE(s.table()->rowCount(), 2);
        QCOMPARE(s.range(1), QString("15.00 € -..."));
        QVERIFY(QApplication::focusWidget() != s.w("spinBoxVerkauf"));
        s.typeCell(1, 3, "6");
        Dialogs::takeRecords();
        s.save();
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(storedRules(), QStringList({ "0|*|2.5", "10|+|6", "20|x|3", "30|*|2" }));
    }

    // The rules are replaced together or not at all.
    void failedRuleSaveKeepsTheRules()
    {
        SettingsPage s;
        QVERIFY(s.enter());
        TestWorkdir::exec("CREATE TRIGGER no_big_factor BEFORE INSERT ON Verkaufspreis "
                          "WHEN NEW.Wert = 9 BEGIN SELECT RAISE(ABORT, 'zu hoch'); END");
        s.typeCell(4, 3, "9");
        type(s.w("lineEdit_stadt"), "Neustadt");
        s.save();
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].startsWith("Warning|SQL-Fehler|"));
        QVERIFY(log[0].contains("zu hoch"));
        QCOMPARE(storedRules(), kDefaultRules);
        QCOMPARE(settingsTable().value("Stadt"), QString("Neustadt"));
        QCOMPARE(s.menu.count(), 1);
    }

    // Rules that could not be read are not replaced by an empty table.
    void unreadableRulesAreLeftAlone()
    {
        SettingsPage s;
        TestWorkdir::exec("ALTER TABLE Verkaufspreis RENAME TO Preise");
        QVERIFY(s.enter());
        QCOMPARE(dialogLog().size(), 1);
        QVERIFY(dialogLog().at(0).startsWith("Warning|SQL-Fehler|"));
        QCOMPARE(s.table()->rowCount(), 0);
        QCOMPARE(s.table()->horizontalHeaderItem(1)->text(), QString("Einkaufspreis in €"));
        TestWorkdir::exec("ALTER TABLE Preise RENAME TO Verkaufspreis");
        Dialogs::takeRecords();
        s.save();
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(storedRules(), kDefaultRules);
    }

    void noRules()
    {
        SettingsPage s;
        storeRules({});
        QVERIFY(s.enter());
        QCOMPARE(s.table()->rowCount(), 0);
        s.save();
        QCOMPARE(storedRules(), QStringList());
        QCOMPARE(dialogLog(), QStringList());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"

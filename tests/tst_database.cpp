#include "app/database.h"
#include "support/testsupport.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

class TestDatabase : public QObject
{
    Q_OBJECT

    static QStringList columns(const QString &table)
    {
        QStringList names;
        QSqlQuery query;
        query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
        while (query.next())
            names << query.value(1).toString();
        return names;
    }

    static QStringList indexes()
    {
        QStringList names;
        QSqlQuery query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' "
                                       "AND name LIKE 'idx_%' ORDER BY name"));
        while (query.next())
            names << query.value(0).toString();
        return names;
    }

private slots:
    void scriptsSplitIntoTheirParts()
    {
        QCOMPARE(resetScriptDaten.split(';', Qt::KeepEmptyParts).size(), 11);
        QCOMPARE(resetScriptDaten.split(';', Qt::KeepEmptyParts).last(), QString());
        QCOMPARE(resetScriptSystem.split(';', Qt::KeepEmptyParts).size(), 31);
        QCOMPARE(resetScriptSystem.split(';', Qt::KeepEmptyParts).last(), QStringLiteral(" "));
    }

    void freshFolderGetsFullSchema()
    {
        TestWorkdir dir;
        QStringList tables;
        QSqlQuery query(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name <> 'sqlite_sequence' "
            "ORDER BY name"));
        while (query.next())
            tables << query.value(0).toString();
        QCOMPARE(tables,
            QStringList({ "Artikel", "Kunde", "Systemdaten", "Verkauf", "Verkaufspreis", "Vertrag",
                "Zurueckgegeben" }));
        QCOMPARE(columns("Artikel"),
            QStringList({ "ID", "Vertrag", "Bezeichnung", "EinkaufsPreis", "VerkaufsPreis",
                "EinkaufsMenge", "EAN", "ISBN", "Images", "Kategorie", "Beschreibung" }));
        QCOMPARE(columns("Vertrag"),
            QStringList({ "ID", "Kunde", "DateTime", "Standgebuehr", "Laufzeit", "Vertragsende" }));
        QCOMPARE(columns("Verkauf"),
            QStringList({ "DateTime", "EinkaufsPreis", "VerkaufsPreis", "VerkaufsMenge", "Artikel",
                "Auszahldatum" }));

        QCOMPARE(indexes(),
            QStringList({ "idx_Artikel_Vertrag", "idx_Kunde_Name", "idx_Kunde_Name_NoCase",
                "idx_Verkauf_Artikel_Menge", "idx_Verkauf_Ausgezahlt", "idx_Verkauf_Summen",
                "idx_Verkauf_Unbezahlt", "idx_Vertrag_DateTime", "idx_Vertrag_Kunde",
                "idx_Vertrag_Laufzeit", "idx_Vertrag_Vertragsende",
                "idx_Zurueckgegeben_Bestand" }));
    }

    void defaultSettingsAndPriceRules()
    {
        TestWorkdir dir;
        QStringList settings;
        QSqlQuery query(QStringLiteral("SELECT Name, Wert FROM Systemdaten ORDER BY ID"));
        while (query.next())
            settings << query.value(0).toString() + "=" + query.value(1).toString();
        QCOMPARE(settings,
            QStringList({ "Stadt=Musterhausen", "Laufzeit=90", "Passwort=", "MasterPasswort=",
                "MaxStandgebuehr=10", "Standgebuehr=5", "BackupDate=", "AnzahlVerkauf=7",
                "Beschreibung=Musterstraße 158 : 12345 Musterhausen",
                "PfadBackup=e:", "Montag=09 - 13 u. 14 - 17 Uhr", "Dienstag=09 - 13 u. 14 - 17 Uhr",
                "Mittwoch=09 - 13 Uhr", "Donnerstag=09 - 13 u. 14 - 17 Uhr",
                "Freitag=09 - 13 u. 14 - 17 Uhr", "Samstag=10 - 12 Uhr" }));

        QStringList rules;
        query.exec(QStringLiteral("SELECT Einkaufspreis, Operator, Wert FROM Verkaufspreis "
                                  "ORDER BY ID"));
        while (query.next())
            rules << QStringLiteral("%1%2%3").arg(
                query.value(0).toString(), query.value(1).toString(), query.value(2).toString());
        QCOMPARE(rules,
            QStringList({ "0*2.5", "1*2.2", "5*2.1", "20*2", "30*1.8", "50*1.6", "80*1.4", "100+70",
                "150+80", "200+100" }));
    }

    void upgradeAddsMissingArticleColumns()
    {
        TestWorkdir dir(false);
        TestWorkdir::exec("CREATE TABLE Artikel (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "Vertrag INTEGER, Bezeichnung TEXT, EinkaufsPreis REAL, "
                          "VerkaufsPreis REAL, EinkaufsMenge INTEGER)");
        TestWorkdir::exec("INSERT INTO Artikel (Vertrag, Bezeichnung) VALUES (1, 'Stuhl')");
        upgradeSchema();
        QCOMPARE(columns("Artikel").size(), 11);
        QSqlQuery query(QStringLiteral("SELECT EAN, ISBN, Images, Kategorie, Beschreibung "
                                       "FROM Artikel"));
        QVERIFY(query.next());
        for (int i = 0; i < 5; ++i)
            QCOMPARE(query.value(i).toString(), QString());
        QCOMPARE(query.value(3).toInt(), 0);
    }

    void upgradeOfResetTablesAddsOnlyDescription()
    {
        TestWorkdir dir(false);
        runDbScript(resetScriptDaten);
        QCOMPARE(columns("Artikel").size(), 10);
        QVERIFY(!columns("Artikel").contains("Beschreibung"));
        upgradeSchema();
        QCOMPARE(columns("Artikel").size(), 11);
        QCOMPARE(columns("Artikel").last(), QStringLiteral("Beschreibung"));
        upgradeSchema(); // a second run changes nothing
        QCOMPARE(columns("Artikel").size(), 11);
    }

    // A database of the earlier version, with all its indexes, comes out with the present ones
    // alone: the replaced ones would otherwise be written on every sale for nothing.
    void upgradeReplacesEarlierIndexes()
    {
        TestWorkdir dir;
        for (const QString &name : indexes())
            TestWorkdir::exec("DROP INDEX " + name);
        static const char *const earlier[] = {
            "idx_Artikel_Vertrag ON Artikel(Vertrag)",
            "idx_Verkauf_Artikel ON Verkauf(Artikel)",
            "idx_Zurueckgegeben_Artikel ON Zurueckgegeben(Artikel)",
            "idx_Vertrag_Kunde ON Vertrag(Kunde)",
            "idx_Kunde_Name ON Kunde(Name, Vorname)",
            "idx_Kunde_Name_NoCase ON Kunde(Name COLLATE NOCASE, Vorname COLLATE NOCASE)",
            "idx_Vertrag_Laufzeit ON Vertrag(Laufzeit)",
            "idx_Verkauf_Artikel_Menge ON Verkauf(Artikel, VerkaufsMenge)",
            "idx_Verkauf_Abrechnung ON Verkauf(Artikel, Auszahldatum, EinkaufsPreis, "
            "VerkaufsMenge)",
            "idx_Vertrag_DateTime ON Vertrag(DateTime)",
            "idx_Vertrag_Vertragsende ON Vertrag(Vertragsende)",
            "idx_Verkauf_Auszahldatum ON Verkauf(Auszahldatum, EinkaufsPreis, VerkaufsMenge)",
            "idx_Verkauf_Bestand ON Verkauf(Artikel, DateTime, VerkaufsMenge)",
            "idx_Verkauf_Unbezahlt ON Verkauf(Artikel, DateTime, EinkaufsPreis, VerkaufsMenge, "
            "Auszahldatum) WHERE Auszahldatum IS NULL AND EinkaufsPreis <> 0",
            "idx_Zurueckgegeben_Bestand ON Zurueckgegeben(Artikel, DateTime, Anzahl)",
        };
        for (const char *index : earlier)
            TestWorkdir::exec(QStringLiteral("CREATE INDEX ") + QLatin1String(index));
        upgradeSchema();
        const QStringList present = indexes();
        QCOMPARE(present, indexNames());
        for (const char *gone : { "idx_Verkauf_Abrechnung", "idx_Verkauf_Auszahldatum",
                 "idx_Verkauf_Bestand", "idx_Verkauf_Artikel", "idx_Zurueckgegeben_Artikel" })
            QVERIFY2(!present.contains(QLatin1String(gone)), gone);
        for (const char *made : { "idx_Verkauf_Summen", "idx_Verkauf_Ausgezahlt" })
            QVERIFY2(present.contains(QLatin1String(made)), made);
        upgradeSchema(); // a second run changes nothing
        QCOMPARE(indexes(), present);
    }

    void resetOfDataTablesKeepsSettingsAndRestartsNumbering()
    {
        TestWorkdir dir;
        TestWorkdir::exec("INSERT INTO Vertrag (Kunde) VALUES (1)");
        TestWorkdir::exec("INSERT INTO Vertrag (Kunde) VALUES (1)");
        runDbScript(resetScriptDaten);
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Vertrag").toInt(), 0);
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Systemdaten").toInt(), 16);
        TestWorkdir::exec("INSERT INTO Vertrag (Kunde) VALUES (1)");
        QCOMPARE(TestWorkdir::scalar("SELECT MAX(ID) FROM Vertrag").toInt(), 1);
    }

    // A file from elsewhere, or cut off during its first start: the missing tables come,
    // the tables there are kept as they are, rows and columns included.
    void missingTablesAreAddedWithoutTouchingTheOthers()
    {
        TestWorkdir dir(false);
        TestWorkdir::exec("CREATE TABLE Kunde (ID INTEGER PRIMARY KEY, Name TEXT)");
        TestWorkdir::exec("INSERT INTO Kunde (Name) VALUES ('Meier')");
        TestWorkdir::exec("CREATE TABLE systemdaten (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "Name TEXT, Wert TEXT)");
        TestWorkdir::exec("INSERT INTO systemdaten (Name, Wert) VALUES ('Laufzeit', '30')");
        QVERIFY(ensureSchema());
        QCOMPARE(dialogLog(), QStringList());
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' "
                                     "AND name <> 'sqlite_sequence'")
                     .toInt(),
            7);
        QCOMPARE(columns("Kunde"), QStringList({ "ID", "Name" }));
        QCOMPARE(TestWorkdir::scalar("SELECT group_concat(Name) FROM Kunde").toString(),
            QStringLiteral("Meier"));
        QCOMPARE(TestWorkdir::scalar("SELECT group_concat(Name || '=' || Wert) FROM Systemdaten")
                     .toString(),
            QStringLiteral("Laufzeit=30"));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Verkaufspreis").toInt(), 10);
        QVERIFY(columns("Artikel").contains("Beschreibung"));
        QVERIFY(ensureSchema()); // complete now: nothing more to do
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Verkaufspreis").toInt(), 10);
    }

    // A full disk during the first start leaves no half schema: the next start makes it all.
    void firstStartCreatesAllTablesOrNone()
    {
        TestWorkdir dir(false);
        TestWorkdir::exec("PRAGMA max_page_count = 4"); // full after the first two tables
        QVERIFY(!ensureSchema());
        const QStringList log = dialogLog();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.at(0).startsWith("Warning|SQL-Fehler|database or disk is full"),
            qPrintable(log.at(0)));
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM sqlite_master").toInt(), 0);

        TestWorkdir::exec("PRAGMA max_page_count = 1000000");
        QVERIFY(ensureSchema());
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Systemdaten").toInt(), 16);
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Verkaufspreis").toInt(), 10);
    }

    void deletedContractNumbersAreNotGivenAgain()
    {
        TestWorkdir dir;
        for (int i = 1; i <= 57; ++i)
            TestWorkdir::exec("INSERT INTO Vertrag (Kunde) VALUES (1)");
        TestWorkdir::exec("DELETE FROM Vertrag WHERE ID = 57");
        QCOMPARE(TestWorkdir::scalar("SELECT MAX(ID) FROM Vertrag").toInt(), 56);
        TestWorkdir::exec("INSERT INTO Vertrag (Kunde) VALUES (1)");
        QCOMPARE(TestWorkdir::scalar("SELECT MAX(ID) FROM Vertrag").toInt(), 58);
    }

    void duplicateSaleKeyIsRefused()
    {
        TestWorkdir dir;
        TestWorkdir::exec("INSERT INTO Verkauf (DateTime, Artikel) VALUES "
                          "('2026-01-01 10:00:00.000', 1)");
        QSqlQuery query;
        QVERIFY(!query.exec("INSERT INTO Verkauf (DateTime, Artikel) VALUES "
                            "('2026-01-01 10:00:00.000', 2)"));
    }
};

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"

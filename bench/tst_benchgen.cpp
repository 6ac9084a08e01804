#include "bench/shopgen.h"

#include "app/database.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

// The benchmark database generator on a small scale: the numbers it promises, rows that refer
// to each other as the program's own would, and the same file for the same seed.
class TestBenchgen : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    ShopGenCounts m_counts;

    static QByteArray digest(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray();
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }

    static ShopGenOptions smallOptions(const QString &path, quint64 seed = 7)
    {
        ShopGenOptions options;
        options.seed = seed;
        options.path = path;
        options.scale = 0.01;
        options.now = QStringLiteral("2025-06-30 18:00:00");
        return options;
    }

    static qint64 count(const QString &statement)
    {
        QSqlQuery query;
        if (!query.exec(statement) || !query.next()) {
            QTest::qFail(qPrintable(statement), __FILE__, __LINE__);
            return -1;
        }
        return query.value(0).toLongLong();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("db.sqlite"));
        QString error;
        QVERIFY2(generateShopDatabase(smallOptions(m_path), &m_counts, &error), qPrintable(error));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(m_path);
        QVERIFY(db.open());
    }

    void cleanupTestCase()
    {
        QSqlDatabase::database().close();
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    }

    void rowCountsFollowTheScale()
    {
        const ShopGenCounts planned = plannedCounts(0.01);
        QCOMPARE(planned.customers, 200);
        QCOMPARE(planned.contracts, 1000);
        QCOMPARE(planned.articles, 5000);
        QCOMPARE(planned.sales, 10000);
        QCOMPARE(planned.returns, 500);
        QCOMPARE(count("SELECT COUNT(*) FROM Kunde"), planned.customers);
        QCOMPARE(count("SELECT COUNT(*) FROM Vertrag"), planned.contracts);
        QCOMPARE(count("SELECT COUNT(*) FROM Artikel"), planned.articles);
        QCOMPARE(count("SELECT COUNT(*) FROM Verkauf"), planned.sales);
        QCOMPARE(count("SELECT COUNT(*) FROM Zurueckgegeben"), planned.returns);
        QCOMPARE(m_counts.sales, planned.sales);
        QCOMPARE(m_counts.returns, planned.returns);
    }

    void schemaSettingsAndIndexesAsAFreshDatabase()
    {
        // The settings page's six further keys, printers chosen, today's backup.
        QCOMPARE(count("SELECT COUNT(*) FROM Systemdaten"), 22);
        QCOMPARE(count("SELECT COUNT(*) FROM Systemdaten WHERE Name = 'BackupDate' AND Wert = "
                       "'30.06.2025'"),
            1);
        QCOMPARE(count("SELECT COUNT(*) FROM Systemdaten WHERE Name IN ('Vertragsdrucker', "
                       "'Etikettendrucker') AND Wert <> ''"),
            2);
        QCOMPARE(count("SELECT COUNT(*) FROM Systemdaten WHERE Wert IS NULL"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Verkaufspreis"), 10);
        QCOMPARE(count("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name LIKE "
                       "'idx_%'"),
            qint64(indexNames().size()));
        QCOMPARE(count("SELECT COUNT(*) FROM pragma_table_info('Artikel') WHERE name = "
                       "'Beschreibung'"),
            1);
        // The next ids continue after the generated rows.
        QCOMPARE(count("SELECT seq FROM sqlite_sequence WHERE name = 'Vertrag'"), 1000);
    }

    void referencesAreConsistent()
    {
        QCOMPARE(count("SELECT COUNT(*) FROM Artikel A LEFT JOIN Vertrag V ON A.Vertrag = V.ID "
                       "WHERE V.ID IS NULL"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Vertrag V LEFT JOIN Kunde K ON V.Kunde = K.ID "
                       "WHERE K.ID IS NULL"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Verkauf S LEFT JOIN Artikel A ON S.Artikel = A.ID "
                       "WHERE A.ID IS NULL AND S.Artikel <> -1"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Zurueckgegeben R LEFT JOIN Artikel A "
                       "ON R.Artikel = A.ID WHERE A.ID IS NULL"),
            0);
        QVERIFY(count("SELECT COUNT(*) FROM Verkauf WHERE Artikel = -1") > 0);
        // Every contract has 1 to 20 articles.
        QCOMPARE(count("SELECT COUNT(*) FROM Vertrag V WHERE (SELECT COUNT(*) FROM Artikel A "
                       "WHERE A.Vertrag = V.ID) NOT BETWEEN 1 AND 20"),
            0);
    }

    void neverMorePiecesSoldThanDelivered()
    {
        QCOMPARE(
            count("SELECT COUNT(*) FROM Artikel A WHERE A.EinkaufsMenge < "
                  "(SELECT IFNULL(SUM(VerkaufsMenge), 0) FROM Verkauf WHERE Artikel = A.ID) "
                  "+ (SELECT IFNULL(SUM(Anzahl), 0) FROM Zurueckgegeben WHERE Artikel = A.ID)"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Verkauf WHERE VerkaufsMenge < 1"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Zurueckgegeben WHERE Anzahl < 1"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Artikel WHERE EinkaufsMenge < 1"), 0);
    }

    void timesFollowTheStoryOfEachContract()
    {
        // Ten years up to the given day, in the stored form.
        QCOMPARE(count("SELECT COUNT(*) FROM Verkauf WHERE DateTime < '2015-06-' OR DateTime > "
                       "'2025-06-30 18:00:00.000' OR length(DateTime) <> 23"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Verkauf S JOIN Artikel A ON S.Artikel = A.ID "
                       "JOIN Vertrag V ON A.Vertrag = V.ID WHERE S.DateTime <= V.DateTime"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Zurueckgegeben R JOIN Artikel A ON R.Artikel = A.ID "
                       "JOIN Vertrag V ON A.Vertrag = V.ID WHERE R.DateTime <= V.DateTime"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Verkauf WHERE Auszahldatum IS NOT NULL AND "
                       "Auszahldatum <= DateTime"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Vertrag WHERE Vertragsende NOT IN ('', '-1') AND "
                       "Vertragsende <= DateTime"),
            0);
        // Sales spread over the years, most of them paid out.
        QCOMPARE(count("SELECT COUNT(DISTINCT substr(DateTime, 1, 4)) FROM Verkauf"), 11);
        const qint64 paid = count("SELECT COUNT(*) FROM Verkauf WHERE Auszahldatum IS NOT NULL");
        QVERIFY2(paid > 10000 / 2, qPrintable(QString::number(paid)));
    }

    void contractKindsAndStates()
    {
        const qint64 cash = count("SELECT COUNT(*) FROM Vertrag WHERE Laufzeit = -1");
        QVERIFY2(cash > 50 && cash < 150, qPrintable(QString::number(cash)));
        // A cash purchase stores minus what was paid, and owes nobody a share.
        QCOMPARE(count("SELECT COUNT(*) FROM Vertrag V WHERE Laufzeit = -1 AND abs(Standgebuehr "
                       "+ (SELECT SUM(EinkaufsPreis * EinkaufsMenge) FROM Artikel A "
                       "WHERE A.Vertrag = V.ID)) > 0.001"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Verkauf S JOIN Artikel A ON S.Artikel = A.ID "
                       "JOIN Vertrag V ON A.Vertrag = V.ID WHERE V.Laufzeit = -1 AND "
                       "(S.EinkaufsPreis <> 0 OR S.Auszahldatum IS NOT NULL)"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Vertrag WHERE Laufzeit <> -1 AND (Standgebuehr < 0 "
                       "OR Standgebuehr > 10)"),
            0);
        // Most commission contracts ended; some expired ones still run.
        const qint64 commission = 1000 - cash;
        const qint64 ended = count("SELECT COUNT(*) FROM Vertrag WHERE Laufzeit <> -1 AND "
                                   "Vertragsende NOT IN ('', '-1')");
        QVERIFY2(ended > commission / 2, qPrintable(QString::number(ended)));
        QVERIFY(count("SELECT COUNT(*) FROM Vertrag WHERE Laufzeit <> -1 AND (Vertragsende IS "
                      "NULL OR Vertragsende IN ('', '-1')) AND datetime(DateTime, '+' || "
                      "Laufzeit || ' days') <= '2025-06-30'")
            > 0);
        QVERIFY(count("SELECT COUNT(*) FROM Vertrag WHERE Vertragsende IS NULL AND "
                      "datetime(DateTime, '+' || Laufzeit || ' days') > '2025-06-30'")
            > 0);
    }

    void textsAreFilledAsThePagesStoreThem()
    {
        // Empty texts are '' as the program writes them, never NULL.
        QCOMPARE(count("SELECT COUNT(*) FROM Kunde WHERE Name IS NULL OR Vorname IS NULL OR "
                       "Telefon IS NULL OR PLZ IS NULL OR Ort IS NULL OR Strasse IS NULL"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Artikel WHERE Bezeichnung IS NULL OR EAN IS NULL "
                       "OR ISBN IS NULL OR Images IS NULL OR Beschreibung IS NULL OR "
                       "Kategorie IS NULL OR Bezeichnung = ''"),
            0);
        QCOMPARE(count("SELECT COUNT(*) FROM Kunde WHERE Name LIKE '%''%'"), 0);
        QVERIFY(count("SELECT COUNT(*) FROM Kunde WHERE Name GLOB '*[äöüß]*'") > 0);
    }

    void sameSeedGivesTheSameBytes()
    {
        const QString again = m_dir.filePath(QStringLiteral("again.sqlite"));
        const QString other = m_dir.filePath(QStringLiteral("other.sqlite"));
        QString error;
        // The default connection is ours here; the generator needs it.
        QSqlDatabase::database().close();
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
        QVERIFY2(generateShopDatabase(smallOptions(again), nullptr, &error), qPrintable(error));
        QVERIFY2(generateShopDatabase(smallOptions(other, 8), nullptr, &error), qPrintable(error));
        QCOMPARE(digest(again), digest(m_path));
        QVERIFY(digest(other) != digest(m_path));
        // Generating over an existing file replaces it.
        QVERIFY2(generateShopDatabase(smallOptions(other), nullptr, &error), qPrintable(error));
        QCOMPARE(digest(other), digest(m_path));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(m_path);
        QVERIFY(db.open());
    }

    void refusesBadOptions()
    {
        QSqlDatabase::database().close();
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
        const QString bad = m_dir.filePath(QStringLiteral("bad.sqlite"));
        ShopGenOptions options = smallOptions(bad);
        options.now = QStringLiteral("gestern");
        QString error;
        QVERIFY(!generateShopDatabase(options, nullptr, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(bad));
        options = smallOptions(bad);
        options.scale = 0;
        QVERIFY(!generateShopDatabase(options, nullptr, &error));
        QVERIFY(!QFile::exists(bad));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(m_path);
        QVERIFY(db.open());
    }
};

QTEST_GUILESS_MAIN(TestBenchgen)
#include "tst_benchgen.moc"

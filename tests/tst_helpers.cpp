#include "app/numbers.h"
#include "app/textcodec.h"

#include <QLocale>
#include <QtTest>

class TestHelpers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::AnyTerritory)); }

    void cp1252RoundTrip()
    {
        const QString text = QStringLiteral("Möbel € „Zitat“ – ß");
        const QByteArray bytes = toCp1252(text);
        QCOMPARE(bytes,
            QByteArray("M\xf6"
                       "bel \x80 \x84Zitat\x93 \x96 \xdf"));
        QCOMPARE(fromCp1252(bytes), text);
        QCOMPARE(toCp1252(QStringLiteral("Ω😀x")), QByteArray("??x"));
    }

    void readNumberGermanThenC_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("german") << "1,5" << 1.5;
        QTest::newRow("c") << "2.25" << 2.25;
        QTest::newRow("integer") << "90" << 90.0;
        QTest::newRow("garbage") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }
    void readNumberGermanThenC()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(readNumber(text), value);
    }

    void roundTenthHalvesUp_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        QTest::newRow("half") << 2.25 << 2.3;
        QTest::newRow("below") << 2.24 << 2.2;
        QTest::newRow("product") << 1.15 * 2.5 << 2.9;
        QTest::newRow("negative half") << -2.25 << -2.2;
        QTest::newRow("exact") << 7.0 << 7.0;
    }
    void roundTenthHalvesUp()
    {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QCOMPARE(roundTenth(value), rounded);
    }

    // Differences that are zero in cents but not in doubles never show a minus sign; real
    // negative amounts keep it.
    void moneyShowsNoNegativeZero_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("till: 0 + (0.1 + 0.7) - 0.8") << 0.0 + (0.1 + 0.7) - 0.8 << "0.00";
        QTest::newRow("turnover: 0.3 - 0.1 - 0.2") << 0.3 - 0.1 - 0.2 << "0.00";
        QTest::newRow("stock: -1 x 0.001") << -1 * 0.001 << "0.00";
        QTest::newRow("minus zero") << -0.0 << "0.00";
        QTest::newRow("below half a cent") << -0.0049 << "0.00";
        QTest::newRow("a cent short") << 0.1 + 0.7 - 0.81 << "-0.01";
        QTest::newRow("negative stock value") << -2.5 << "-2.50";
        QTest::newRow("plain") << 12.5 << "12.50";
    }
    void moneyShowsNoNegativeZero()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(moneyText(value), text);
        QCOMPARE(euroText(value), text + " €");
    }
};

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"

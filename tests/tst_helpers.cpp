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
};

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"

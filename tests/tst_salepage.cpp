#include "support/pictures.h"
#include "support/tilldriver.h"
#include "support/windowdriver.h"

#include <QApplication>
#include <QDialog>
#include <QtTest>

using namespace pages;
using Artikel = ShopFixture::Artikel;

namespace {

bool near(const QColor &a, const QColor &b)
{
    return a.isValid() && qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40
        && qAbs(a.blue() - b.blue()) < 40;
}

// The listed line of a fixture sale.
QString line(const ShopFixture::Sale &s)
{
    Artikel a { 0, 0, 0, "", 0, 0, 0, 0, 0, 0, "", "", "" };
    for (const Artikel &candidate : ShopFixture::artikel())
        if (candidate.id == s.artikel)
            a = candidate;
    return QStringList { s.dateTime, QString::number(a.vertrag), QString::number(a.nr),
        QString::fromUtf8(a.bezeichnung), QString::number(s.menge),
        QString::number(s.verkaufsPreis, 'f', 2) + " €" }
        .join('|');
}

} // namespace

class TestSalePage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // --- page entry ---------------------------------------------------------------------

    void entryState_data()
    {
        QTest::addColumn<QString>("printer"); // empty: no row
        QTest::addColumn<bool>("codeInput");
        QTest::newRow("label printer") << "Etiketten" << true;
        QTest::newRow("empty label printer") << "" << false;
    }
    void entryState()
    {
        QFETCH(QString, printer);
        QFETCH(bool, codeInput);
        Till t;
        TestWorkdir::setSetting("Etikettendrucker", printer);
        for (bool austragen : { false, true }) {
            QVERIFY(t.enter(austragen));
            QCOMPARE(t.label("labelVertr"), QString("Letzter Vertrag: 103"));
            QCOMPARE(t.vertrag()->maximum(), ShopFixture::vertragAnkauf);
            for (QSpinBox *box : { t.vertrag(), t.artikel(), t.anzahl() })
                QCOMPARE(box->text(), QString());
            QCOMPARE(t.preis()->text(), QString(" €")); // the suffix stays
            QCOMPARE(t.label("labelBestand"), QString());
            QCOMPARE(t.label("labelNeuBestand"), QString());
            QCOMPARE(t.label("labelBezeichnung"), QString());
            QVERIFY(child<QLabel>(t.page, "labelImage")->pixmap().isNull());
            QVERIFY(!button(t.page, "pushButtonNextImage")->isEnabled());
            QVERIFY(!button(t.page, "pushButtonImageDialog")->isEnabled());
            for (const char *name : { "lineEditBarcode", "labelBarcode", "labelBarcodeStatus" })
                QCOMPARE(child<QWidget>(t.page, name)->isVisible(), codeInput);
            QWidget *focus = QApplication::focusWidget();
            QWidget *expected = codeInput ? static_cast<QWidget *>(t.code()) : t.vertrag();
            QVERIFY(focus == expected || expected->isAncestorOf(focus));
        }
        QCOMPARE(dialogLog(), QStringList());
    }

    // A code typed while the label printer was set must not wait, hidden, for the next
    // booking once the printer is gone.
    void staleCodeGoesWithTheLabelPrinter()
    {
        Till t;
        TestWorkdir::setSetting("Etikettendrucker", "Etiketten");
        QVERIFY(t.enter());
        QTest::keyClicks(t.code(), "QDDY");
        TestWorkdir::setSetting("Etikettendrucker", "");
        QVERIFY(t.enter());
        QVERIFY(t.code()->isHidden());
        QCOMPARE(t.code()->text(), QString());
    }

    void freshDatabaseShowsNoBox()
    {
        Shell s;
        QVERIFY(s.start());
        for (const char *page : { "swSell", "swAustragen" }) {
            s.key(page == QLatin1String("swSell") ? "3" : "a");
            QVERIFY(s.expectPage(page));
            QCOMPARE(s.field<QLabel>(page, "labelVertr")->text(), QString("Letzter Vertrag: 0"));
            QCOMPARE(s.field<QTableWidget>(page, "tableWidgetVerkauf")->rowCount(), 0);
            QVERIFY(s.toMenu());
        }
        QCOMPARE(dialogLog(), QStringList());
    }

    // --- recent sales -------------------------------------------------------------------

    void recentSales_data()
    {
        QTest::addColumn<QString>("setting"); // null: no row
        QTest::addColumn<int>("days");
        QTest::newRow("7") << "7" << 7;
        QTest::newRow("2") << "2" << 2;
        QTest::newRow("missing") << QString() << 0;
        QTest::newRow("not a number") << "sieben" << 0;
    }
    void recentSales()
    {
        QFETCH(QString, setting);
        QFETCH(int, days);
        Till t;
        if (setting.isNull())
            TestWorkdir::removeSetting("AnzahlVerkauf");
        else
            TestWorkdir::setSetting("AnzahlVerkauf", setting);
        // Midnight starting the first listed day is just outside, a millisecond later inside.
        const QString midnight = t.shop.stamp(days, QTime(0, 0));
        const QString justAfter = t.shop.stamp(days, QTime(0, 0, 0, 1));
        for (const QString &stamp : { midnight, justAfter })
            TestWorkdir::exec("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                              "VerkaufsMenge, Artikel) VALUES ('"
                + stamp + "', 0, 12.345, 2, " + QString::number(ShopFixture::lampe.id) + ")");
        QVERIFY(t.enter());

        QStringList expected;
        for (const ShopFixture::Sale &s : t.shop.salesSince(days))
            expected << line(s);
        expected << line({ justAfter, ShopFixture::lampe.id, 2, 0, 12.345, QString() });
        std::sort(expected.begin(), expected.end(), std::greater<QString>());
        QCOMPARE(t.listed(), expected);
        QCOMPARE(dialogLog(), QStringList());
    }

    // The fixture's till sale without article, a time stamp stored in another form, and the
    // alignments of a row.
    void listedRows()
    {
        Till t;
        const QString otherForm = t.shop.stamp(0, QTime(8, 15)).left(19).replace(' ', 'T');
        TestWorkdir::exec("INSERT INTO Verkauf (DateTime, VerkaufsPreis, VerkaufsMenge, Artikel) "
                          "VALUES ('"
            + otherForm + "', 1, 1, -1)");
        QVERIFY(t.enter());
        const QStringList rows = t.listed();
        QCOMPARE(rows.value(0), t.shop.stamp(0, QTime(8, 15)) + "|0|0||1|1.00 €");
        const QString stamp = t.shop.stamp(2, QTime(9, 5));
        QVERIFY(rows.contains(stamp + "|0|0||1|3.50 €"));
        QTableWidget *table = t.list();
        const int row = rows.indexOf(stamp + "|0|0||1|3.50 €");
        for (int column : { 0, 1, 2, 4 })
            QCOMPARE(table->item(row, column)->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(table->item(row, 5)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    }

    // --- selection ----------------------------------------------------------------------

    void selection_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("vertrag");
        QTest::addColumn<int>("artikel");
        QTest::addColumn<int>("artikelMax");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stock"); // labelBestand, labelNeuBestand
        QTest::addColumn<QList<int>>("quantity"); // minimum, maximum, value
        QTest::addColumn<double>("price");
        const QString none;
        QTest::newRow("position 0") << none << 102 << 0 << 3 << ""
                                    << "0 0" << QList<int> { 0, 9999, 1 } << 0.0;
        // 5 delivered, 2 sold, 1 given back
        QTest::newRow("position 1") << none << 102 << 1 << 3 << "Damenjacke Wolle"
                                    << "2 1" << QList<int> { 0, 2, 1 } << 9.9;
        QTest::newRow("stock 0") << none << 102 << 2 << 3 << "Kinderstiefel 28"
                                 << "0 0" << QList<int> { 0, 0, 0 } << 5.0;
        QTest::newRow("position 3") << none << 102 << 3 << 3 << "Tischlampe Messing"
                                    << "2 1" << QList<int> { 0, 2, 1 } << 25.0;
        QTest::newRow("cash purchase") << none << 103 << 3 << 3 << "Jeans Gr. 38"
                                       << "2 1" << QList<int> { 0, 2, 1 } << 25.0;
        QTest::newRow("missing contract") << none << 50 << 5 << 9999999 << ""
                                          << "0 0" << QList<int> { 0, 9999, 1 } << 0.0;
        QTest::newRow("negative stock")
            << "INSERT INTO Verkauf (DateTime, VerkaufsMenge, Artikel) VALUES "
               "('2001-01-01 10:00:00.000', 5, 7)"
            << 102 << 3 << 3 << "Tischlampe Messing"
            << "-3 -3" << QList<int> { 0, 0, 0 } << 25.0;
    }
    void selection()
    {
        QFETCH(QString, setup);
        QFETCH(int, vertrag);
        QFETCH(int, artikel);
        QFETCH(int, artikelMax);
        QFETCH(QString, name);
        QFETCH(QString, stock);
        QFETCH(QList<int>, quantity);
        QFETCH(double, price);
        Till t;
        if (!setup.isEmpty())
            TestWorkdir::exec(setup);
        QVERIFY(t.enter());
        t.select(vertrag, artikel);
        QCOMPARE(t.artikel()->maximum(), artikelMax);
        QCOMPARE(t.label("labelBezeichnung"), name);
        QCOMPARE(t.label("labelBestand") + " " + t.label("labelNeuBestand"), stock);
        QCOMPARE((QList<int> { t.anzahl()->minimum(), t.anzahl()->maximum(), t.anzahl()->value() }),
            quantity);
        QCOMPARE(t.preis()->value(), price);

        // Another article afterwards gets the range of its own stock.
        t.select(102, 1);
        QCOMPARE((QList<int> { t.anzahl()->minimum(), t.anzahl()->maximum(), t.anzahl()->value() }),
            (QList<int> { 0, 2, 1 }));
        QCOMPARE(t.label("labelBestand") + " " + t.label("labelNeuBestand"), QString("2 1"));
        QCOMPARE(dialogLog(), QStringList());
    }

    // --- pictures -----------------------------------------------------------------------

    void pictures()
    {
        Till t;
        const QList<QColor> colours = { Qt::red, Qt::green, Qt::blue };
        QStringList paths;
        for (const char *name : { "a.jpg", "b.jpg", "c.jpg" }) {
            paths << writePicture(t.dir, name, colours.at(paths.size()), QSize(120, 90));
            QVERIFY(!paths.last().isEmpty());
        }
        QVERIFY(setImages(ShopFixture::lampe.id, paths.join(',')));
        QVERIFY(t.enter());
        auto *picture = child<QLabel>(t.page, "labelImage");

        t.select(102, 3);
        QVERIFY(button(t.page, "pushButtonNextImage")->isEnabled());
        QVERIFY(button(t.page, "pushButtonImageDialog")->isEnabled());
        for (int step : { 0, 1, 2, 0, 1 }) {
            QVERIFY2(
                near(shownColour(picture), colours.at(step)), qPrintable(QString::number(step)));
            click(button(t.page, "pushButtonNextImage"));
        }

        // The enlarged view opens on the picture shown (now c.jpg) and leaves it shown here.
        QColor inDialog;
        Dialogs::setExecHook([&](QDialog &dialog) {
            inDialog = shownColour(dialog.findChild<QLabel *>("labelImage"));
            return int(QDialog::Accepted);
        });
        click(button(t.page, "pushButtonImageDialog"));
        QCOMPARE(dialogLog(), QStringList("Dialog|Dialog|ImageDialog"));
        QVERIFY(near(inDialog, Qt::blue));
        QVERIFY(near(shownColour(picture), Qt::blue));

        // No article at a position: the pictures stay.
        pages::type(t.artikel(), "0");
        QVERIFY(near(shownColour(picture), Qt::blue));
        QVERIFY(button(t.page, "pushButtonNextImage")->isEnabled());

        // An article without pictures: one empty path, buttons on, nothing shown.
        pages::type(t.artikel(), "1");
        QVERIFY(picture->pixmap().isNull());
        QVERIFY(button(t.page, "pushButtonNextImage")->isEnabled());
        click(button(t.page, "pushButtonNextImage"));
        QVERIFY(picture->pixmap().isNull());

        // A new entry forgets them.
        QVERIFY(t.enter());
        QVERIFY(picture->pixmap().isNull());
        QVERIFY(!button(t.page, "pushButtonImageDialog")->isEnabled());
    }
};

QTEST_MAIN(TestSalePage)
#include "tst_salepage.moc"

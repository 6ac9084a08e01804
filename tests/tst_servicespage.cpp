#include "support/pictures.h"
#include "support/servicesdriver.h"
#include "support/windowdriver.h"

#include "app/paths.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QSqlQuery>
#include <QTextEdit>
#include <QtTest>

using pages::child;

class TestServicesPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // A contract of 10.01.2024 in each state the page tells apart.
    void contractStates_data()
    {
        QTest::addColumn<QVariant>("ende");
        QTest::addColumn<int>("laufzeit");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("givesBack");
        const QString term = "90 Tage (09.04.2024)";
        QTest::newRow("running") << QVariant() << 90 << "Laufzeit:" << term << true << true;
        QTest::newRow("end prepared")
            << QVariant("-1") << 90 << "Laufzeit:" << term << true << true;
        QTest::newRow("empty end") << QVariant("") << 90 << "Laufzeit:" << term << true << true;
        QTest::newRow("cash purchase") << QVariant() << -1 << "Vertragsart:"
                                       << "Ankauf" << true << false;
        QTest::newRow("cash purchase with an end")
            << QVariant("2024-02-01 12:00:00.000") << -1 << "Vertragsart:"
            << "Ankauf" << true << false;
        QTest::newRow("ended") << QVariant("2024-04-20 17:05:00.000") << 90 << "Vertragsende:"
                               << "20.04.2024" << false << false;
    }
    void contractStates()
    {
        QFETCH(QVariant, ende);
        QFETCH(int, laufzeit);
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        QFETCH(bool, editable);
        QFETCH(bool, givesBack);
        ServiceDesk desk;
        QSqlQuery query;
        query.prepare("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit, "
                      "Vertragsende) VALUES (201, 2, '2024-01-10 09:30:00.000', 5, ?, ?)");
        query.addBindValue(laufzeit);
        query.addBindValue(ende);
        QVERIFY(query.exec());
        QVERIFY(desk.enter());
        // From the edit states of an ended contract and a running one, so that both count.
        for (int before : { ShopFixture::vertragBeendet, ShopFixture::vertragLaufend }) {
            desk.choose(before);
            desk.choose(201);
            QCOMPARE(desk.text("lineEdit_datetime"), QString("10.01.2024"));
            QCOMPARE(desk.label("label_vertr_closed"), caption);
            QCOMPARE(desk.text("lineEdit_vertr_closed"), shown);
            QCOMPARE(enabledOf(desk.page, kEditWidgets), editable ? kEditWidgets : QStringList());
            QCOMPARE(
                enabledOf(desk.page, kReturnWidgets), givesBack ? kReturnWidgets : QStringList());
            QCOMPARE(enabledOf(desk.page, { "pushButton_print", "pushButtonDelete" }),
                QStringList({ "pushButton_print", "pushButtonDelete" }));
        }
        QCOMPARE(dialogLog(), QStringList());
    }

    // No action may start on a contract that is not there, whatever was shown before.
    void missingContractEnablesNothing_data()
    {
        QTest::addColumn<int>("vertrag");
        QTest::newRow("number without a contract") << 100;
        QTest::newRow("contract 0") << 0;
    }
    void missingContractEnablesNothing()
    {
        QFETCH(int, vertrag);
        ServiceDesk desk;
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend);
        desk.choose(vertrag);
        for (const char *field : { "lineEdit_datetime", "lineEdit_vertr_closed", "lineEdit_kunde",
                 "lineEdit_art_count", "lineEdit_bz", "lineEdit_bs" })
            QVERIFY2(desk.text(field).isEmpty(), field);
        QCOMPARE(desk.label("label_vertr_closed"), QString());
        QCOMPARE(enabledOf(desk.page,
                     kEditWidgets + kReturnWidgets
                         + QStringList { "pushButton_print", "pushButtonDelete",
                             "pushButtonNextImage", "pushButtonImageDialog" }),
            QStringList());
        QCOMPARE(desk.spin("spinBox_art")->maximum(), 0);
        QCOMPARE(dialogLog(), QStringList());
    }

    void pageEntry()
    {
        ServiceDesk desk;
        QVERIFY(desk.enter());
        QCOMPARE(desk.label("labelVertr"), QString("Letzter Vertrag: 103"));
        QCOMPARE(desk.spin("spinBox_vertr")->maximum(), 103);
        QCOMPARE(QApplication::focusWidget(), desk.spin("spinBox_vertr"));

        desk.choose(ShopFixture::vertragLaufend, 3);
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (104, 1, '2024-01-10 09:30:00.000', 5, 90)");
        desk.page.refreshPage();
        QCOMPARE(desk.spin("spinBox_vertr")->value(), 0);
        QCOMPARE(desk.spin("spinBox_art")->value(), 0);
        QCOMPARE(desk.label("labelVertr"), QString("Letzter Vertrag: 104"));
        for (const char *field : { "lineEdit_kunde", "lineEdit_art_count", "lineEdit_bz",
                 "lineEditImages", "lineEdit_vertr_closed" })
            QVERIFY2(desk.text(field).isEmpty(), field);
        QCOMPARE(child<QTextEdit>(desk.page, "textEditBeschreibung")->toPlainText(), QString());
        QCOMPARE(enabledOf(desk.page, kEditWidgets + kReturnWidgets), QStringList());
        QCOMPARE(dialogLog(), QStringList());
    }

    // The menu's key "2" on a new database: an empty contract table, no box.
    void enteredFromTheMenuOnAFreshDatabase()
    {
        Shell shell;
        QVERIFY(shell.start());
        QVERIFY(shell.enter(Qt::Key_2, "swService"));
        QCOMPARE(
            shell.field<QLabel>("swService", "labelVertr")->text(), QString("Letzter Vertrag: 0"));
        QCOMPARE(shell.field<QSpinBox>("swService", "spinBox_vertr")->maximum(), 0);
        QCOMPARE(dialogLog(), QStringList());
        QVERIFY(shell.toMenu());
    }

    void contractView()
    {
        ServiceDesk desk;
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                          "VALUES (104, 2, '2024-01-10 09:30:00.000', 5, 90)");
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend);
        QCOMPARE(desk.text("lineEdit_kunde"), QString("Muster, Max (1)"));
        QCOMPARE(desk.text("lineEdit_art_count"), QString("3"));
        QCOMPARE(desk.spin("spinBox_art")->maximum(), 3);
        QCOMPARE(desk.spin("spinBox_art")->value(), 1);
        QCOMPARE(desk.text("lineEdit_bz"), QString("Damenjacke Wolle"));

        // Without articles: no count of zero, no article.
        desk.choose(104);
        QCOMPARE(desk.text("lineEdit_kunde"), QString("Beispiel, Erika (2)"));
        QCOMPARE(desk.text("lineEdit_art_count"), QString());
        QCOMPARE(desk.spin("spinBox_art")->maximum(), 0);
        QCOMPARE(desk.spin("spinBox_art")->value(), 0);
        QCOMPARE(desk.text("lineEdit_bz"), QString());
        QCOMPARE(desk.spin("spinBox_lm")->value(), 0);
        QCOMPARE(dialogLog(), QStringList());
    }

    // Every article of the running contract and the cash purchase, stepped through with the
    // arrow key: positions in the order stored, stock, limits and texts of each.
    void articleView()
    {
        ServiceDesk desk;
        QVERIFY(desk.enter());
        for (int vertrag : { ShopFixture::vertragLaufend, ShopFixture::vertragAnkauf }) {
            desk.choose(vertrag);
            for (const ShopFixture::Artikel &a : ShopFixture::artikel()) {
                if (a.vertrag != vertrag)
                    continue;
                if (a.nr > 1)
                    QTest::keyClick(desk.spin("spinBox_art"), Qt::Key_Up);
                QCOMPARE(desk.spin("spinBox_art")->value(), a.nr);
                QCOMPARE(desk.text("lineEdit_bz"), QString::fromUtf8(a.bezeichnung));
                QCOMPARE(desk.text("lineEdit_bs"), QString("%1 Stk.").arg(a.bestand()));
                QCOMPARE(desk.spin("spinBox_lm")->value(), a.menge);
                QCOMPARE(desk.spin("spinBox_lm")->minimum(), qMax(1, a.verkauft + a.zurueck));
                QCOMPARE(desk.spin("spinBox_lm")->maximum(), 100000);
                QCOMPARE(desk.spin("spinBox_given_back")->maximum(), a.bestand());
                QCOMPARE(desk.spin("spinBox_given_back")->value(), 0);
                QCOMPARE(pages::money(desk.page, "doubleSpinBoxEk")->value(), a.einkaufsPreis);
                QCOMPARE(pages::money(desk.page, "doubleSpinBoxVk")->value(), a.verkaufsPreis);
                QCOMPARE(desk.text("lineEditEAN"), QString(a.ean));
                QCOMPARE(desk.text("lineEditISBN"), QString(a.isbn));
                QCOMPARE(desk.spin("spinBoxKategorie")->value(), a.kategorie);
                QCOMPARE(child<QTextEdit>(desk.page, "textEditBeschreibung")->toPlainText(),
                    QString::fromUtf8(a.beschreibung));
            }
        }
        // The jacket: 5 delivered, 2 sold, 1 given back.
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::jacke.nr);
        QCOMPARE(desk.text("lineEdit_bs"), QString("2 Stk."));
        QCOMPARE(desk.spin("spinBox_lm")->minimum(), 3);

        // Position 0 clears the view.
        QTest::keyClick(desk.spin("spinBox_art"), Qt::Key_Down);
        QCOMPARE(desk.spin("spinBox_art")->value(), 0);
        for (const char *field :
            { "lineEdit_bz", "lineEdit_bs", "lineEditEAN", "lineEditISBN", "lineEditImages" })
            QVERIFY2(desk.text(field).isEmpty(), field);
        QCOMPARE(desk.spin("spinBox_lm")->minimum(), 0);
        QCOMPARE(desk.spin("spinBox_lm")->value(), 0);
        QCOMPARE(desk.spin("spinBox_given_back")->maximum(), 0);
        QCOMPARE(pages::money(desk.page, "doubleSpinBoxVk")->value(), 0.0);
        QCOMPARE(desk.spin("spinBoxKategorie")->value(), 0);
        QVERIFY(!desk.page.findChild<QWidget *>("pushButtonNextImage")->isEnabled());
        QCOMPARE(dialogLog(), QStringList());
    }

    // More pieces gone than delivered (a journal booked twice): nothing to give back, and the
    // count cannot go below zero.
    void oversoldArticleGivesNothingBack()
    {
        ServiceDesk desk;
        TestWorkdir::exec("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                          "VerkaufsMenge, Artikel) VALUES ('2024-01-01 10:00:00.000', 0, 5, 2, 5)");
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::stiefel.nr);
        QCOMPARE(desk.text("lineEdit_bs"), QString("-2 Stk."));
        QCOMPARE(desk.spin("spinBox_given_back")->minimum(), 0);
        QCOMPARE(desk.spin("spinBox_given_back")->maximum(), 0);
    }

    // A description that looks like HTML is shown, and so kept, as stored.
    void descriptionShownAsStored()
    {
        ServiceDesk desk;
        TestWorkdir::exec("UPDATE Artikel SET Beschreibung = '<b>Eiche</b> & Buche' WHERE ID = 7");
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        QCOMPARE(child<QTextEdit>(desk.page, "textEditBeschreibung")->toPlainText(),
            QString("<b>Eiche</b> & Buche"));
    }

    void categories_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("maximum");
        QTest::newRow("3 and 12, 12 twice")
            << QByteArray("M\xf6"
                          "bel;3\r\nB\xfc"
                          "cher; 12\r\nRomane;12\r\n")
            << QStringList { "keine Angabe (0)", "Möbel (3)", "Bücher (12)", "Romane (12)" } << 12;
        QTest::newRow("no file") << QByteArray() << QStringList { "keine Angabe (0)" } << 0;
    }
    void categories()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, texts);
        QFETCH(int, maximum);
        TestWorkdir dir;
        QFile::remove(dir.path("kategorien.txt"));
        if (!file.isNull()) {
            QFile out(dir.path("kategorien.txt"));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        ShopFixture shop;
        Services page;
        auto *combo = child<QComboBox>(page, "comboBoxKategorie");
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        QCOMPARE(shown, texts);
        QSpinBox *number = pages::spin(page, "spinBoxKategorie");
        QCOMPARE(number->minimum(), 0);
        QCOMPARE(number->maximum(), maximum);
        if (maximum == 0)
            return;

        QVERIFY(pages::enter(page));
        ServiceDesk::typeInto(pages::spin(page, "spinBox_vertr"), "102");
        ServiceDesk::typeInto(number, "12");
        QCOMPARE(combo->currentIndex(), 2); // the first line of the two with 12
        ServiceDesk::typeInto(number, "5");
        QCOMPARE(combo->currentIndex(), -1);
        combo->setCurrentIndex(1);
        QCOMPARE(number->value(), 3);
        combo->setCurrentIndex(0);
        QCOMPARE(number->value(), 0);
    }

    // Three pictures cycle in the page; the dialog opens on the one shown; an empty list of
    // pictures shows nothing but keeps the buttons.
    void pictures()
    {
        ServiceDesk desk;
        const QString red = writePicture(desk.dir, "rot.png", Qt::red);
        const QString green = writePicture(desk.dir, "gruen.png", Qt::green);
        const QString blue = writePicture(desk.dir, "blau.png", Qt::blue);
        QVERIFY(setImages(ShopFixture::lampe.id, red + "," + green + "," + blue));
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        auto *picture = child<QLabel>(desk.page, "labelImage");
        QCOMPARE(shownColour(picture), QColor(Qt::red));
        const QList<QColor> next = { Qt::green, Qt::blue, Qt::red, Qt::green };
        for (const QColor &colour : next) {
            desk.click("pushButtonNextImage");
            QCOMPARE(shownColour(picture), colour);
        }

        QColor inDialog;
        Dialogs::setExecHook([&inDialog](QDialog &dialog) {
            inDialog = shownColour(dialog.findChild<QLabel *>("labelImage"));
            return int(QDialog::Accepted);
        });
        desk.click("pushButtonImageDialog");
        QCOMPARE(inDialog, QColor(Qt::green));
        QCOMPARE(dialogLog(), QStringList { "Dialog|Dialog|ImageDialog" });
        QCOMPARE(shownColour(picture), QColor(Qt::green)); // the page's picture stays

        // A missing file, then no pictures at all.
        QVERIFY(setImages(ShopFixture::lampe.id, desk.dir.path("fehlt.png") + "," + blue));
        desk.choose(ShopFixture::vertragLaufend, 1);
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        QCOMPARE(shownColour(picture), QColor());
        desk.click("pushButtonNextImage");
        QCOMPARE(shownColour(picture), QColor(Qt::blue));
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::jacke.nr);
        QCOMPARE(shownColour(picture), QColor());
        QCOMPARE(enabledOf(desk.page, { "pushButtonNextImage", "pushButtonImageDialog" }),
            QStringList({ "pushButtonNextImage", "pushButtonImageDialog" }));
    }

    // The paths chosen go into the field only; a cancelled choice keeps what was there.
    void choosingPictures()
    {
        ServiceDesk desk;
        QVERIFY(desk.enter());
        desk.choose(ShopFixture::vertragLaufend, ShopFixture::lampe.nr);
        Dialogs::setNextAnswer(QStringList { "/bilder/a.png", "/bilder/b c.jpg" });
        desk.click("toolButtonImages");
        QCOMPARE(desk.text("lineEditImages"), QString("/bilder/a.png,/bilder/b c.jpg"));
        const QVariantMap call = Dialogs::lastCall();
        QCOMPARE(call.value("dir").toString(), picturesFolder());
        QCOMPARE(call.value("filter").toString(),
            QString("Bilder (*.png *.jpg *.jpeg *.bmp);; Alles (*.*)"));
        QCOMPARE(dialogLog(), QStringList { "OpenFiles|Wähle Bilder des Artikels|" });

        desk.click("toolButtonImages"); // unscripted: cancelled
        QCOMPARE(desk.text("lineEditImages"), QString("/bilder/a.png,/bilder/b c.jpg"));
        QCOMPARE(
            TestWorkdir::scalar("SELECT Images FROM Artikel WHERE ID = 7").toString(), QString());
    }
};

QTEST_MAIN(TestServicesPage)
#include "tst_servicespage.moc"

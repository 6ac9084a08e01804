#include "payout/auszahlung.h"
#include "payout/detailauszahlung.h"
#include "support/formcheck.h"
#include "support/pagehelpers.h"
#include "support/testsupport.h"

#include "app/menulabel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QtTest>

using namespace pages;

class TestPayoutForm : public QObject
{
    Q_OBJECT
private slots:
    void page_data()
    {
        const unsigned off = FormCell::Disabled;
        addFormRows({
            { "label_15", "QLabel", "gridLayout", 0, 0, 1, 1, "Auszahlung", 18 },
            { "label_16", "MenuLabel", "gridLayout", 0, 1, 1, 1, "mit ESC zum Hauptmenü", 14, 0,
                Qt::AlignRight | Qt::AlignVCenter },
            { "gridLayout_3", "QGridLayout", "gridLayout", 2, 0, 1, 2 },
            { "tableWidget", "QTableWidget", "gridLayout", 3, 0, 1, 2 },
            { "gridLayout_2", "QGridLayout", "gridLayout", 4, 0, 1, 2 },
            { "label_8", "QLabel", "gridLayout_3", 0, 0, 1, 1, "Vertrags Nr.:", 16, 0,
                Qt::AlignLeft | Qt::AlignTop },
            { "lineEditVertrag", "QLineEdit", "gridLayout_3", 0, 1, 1, 1, "" },
            { "label_status", "QLabel", "gridLayout_3", 0, 2, 1, 3, "" },
            { "label_7", "QLabel", "gridLayout_3", 1, 0, 1, 1, "Suchen:", 16 },
            { "lineEditSearch", "QLineEdit", "gridLayout_3", 1, 1, 1, 1, "" },
            { "label_3", "QLabel", "gridLayout_3", 1, 2, 1, 1, "Kunden Nr.:", 16 },
            { "lineEditKNR", "QLineEdit", "gridLayout_3", 1, 3, 1, 1, "" },
            { "listWidget", "QListWidget", "gridLayout_3", 1, 4, 2, 2 },
            { "label_19", "QLabel", "gridLayout_3", 3, 0, 1, 1, "Name:", 16 },
            { "lineEditNA", "QLineEdit", "gridLayout_3", 3, 1, 1, 1, "", 0, off },
            { "label_2", "QLabel", "gridLayout_3", 3, 2, 1, 1, "Vorname:", 16 },
            { "lineEditVNA", "QLineEdit", "gridLayout_3", 3, 3, 1, 1, "", 0, off },
            { "label_4", "QLabel", "gridLayout_3", 3, 4, 1, 1, "Telefon:", 16 },
            { "lineEditTEL", "QLineEdit", "gridLayout_3", 3, 5, 1, 1, "", 0, off },
            { "label_5", "QLabel", "gridLayout_3", 4, 0, 1, 1, "PLZ:", 16 },
            { "lineEditPLZ", "QLineEdit", "gridLayout_3", 4, 1, 1, 1, "", 0, off },
            { "label", "QLabel", "gridLayout_3", 4, 2, 1, 1, "Ort:", 16 },
            { "lineEditORT", "QLineEdit", "gridLayout_3", 4, 3, 1, 1, "", 0, off },
            { "label_6", "QLabel", "gridLayout_3", 4, 4, 1, 1, "Straße/Nr:", 16 },
            { "lineEditSTR", "QLineEdit", "gridLayout_3", 4, 5, 1, 1, "", 0, off },
            { "pushButtonPrint", "QPushButton", "gridLayout_2", 0, 1, 1, 1, "Drucken", 12 },
            { "pushButtonDetail", "QPushButton", "gridLayout_2", 1, 1, 1, 1, "Verträge anzeigen",
                12 },
        });
    }
    void page()
    {
        QFETCH(FormCell, cell);
        TestWorkdir dir;
        Auszahlung page;
        QCOMPARE(formMismatches(page, { cell }), QString());
        if (auto *b = page.findChild<QPushButton *>(cell.name))
            QVERIFY(b->autoDefault());
        if (auto *line = page.findChild<QLineEdit *>(cell.name))
            QVERIFY(!line->isReadOnly());
    }

    void pageSettings()
    {
        TestWorkdir dir;
        Auszahlung page;
        QCOMPARE(page.objectName(), QString("Auszahlung"));
        QCOMPARE(page.windowTitle(), QString("Auszahlung"));
        QCOMPARE(page.size(), QSize(875, 663));
        QCOMPARE(child<QLabel>(page, "label_15")->frameShape(), QFrame::NoFrame);
        QCOMPARE(formSpacers(page),
            QStringList({ "gridLayout 1,0 1x2 20x15 Minimum/Fixed",
                "gridLayout_2 0,0 1x1 40x20 Expanding/Minimum" }));

        QTableWidget *t = table(page, "tableWidget");
        QCOMPARE(pages::headerTexts(t),
            QStringList(
                { "Vertragsnummer", "Ablaufdatum", "Ausgezahlter Betrag", "aktueller Bestand",
                    "Offener Betrag", "Auszahlen", "Beenden vorbereiten", "Vertrag Beenden" }));
        QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(t->selectionMode(), QAbstractItemView::NoSelection);
        QVERIFY(!t->tabKeyNavigation()); // Tab leaves the table; the arrows move inside
        QCOMPARE(t->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
        QVERIFY(t->verticalHeader()->isHidden());

        QCOMPARE(tabChain(page,
                     { "lineEditVertrag", "lineEditSearch", "lineEditKNR", "listWidget",
                         "lineEditNA", "lineEditVNA", "lineEditTEL", "lineEditPLZ", "lineEditORT",
                         "lineEditSTR", "tableWidget", "pushButtonPrint", "pushButtonDetail" }),
            QStringList({ "lineEditVertrag", "lineEditSearch", "lineEditKNR", "listWidget",
                "lineEditNA", "lineEditVNA", "lineEditTEL", "lineEditPLZ", "lineEditORT",
                "lineEditSTR", "tableWidget", "pushButtonPrint", "pushButtonDetail" }));

        QSignalSpy spy(&page, &Auszahlung::openMenu);
        QTest::mousePress(child<MenuLabel>(page, "label_16"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    // Other code reaches the page by these signatures.
    void signalsAndSlots()
    {
        QCOMPARE(ownMethods(Auszahlung::staticMetaObject),
            QStringList({ "openMenu()", "vertragChanged(QString)", "knrChanged(QString)",
                "searchKunde(QString)", "kChanged(QListWidgetItem*)", "printAuszahlungen()",
                "detailAuszahlung()", "openMenuSlot()" }));
    }

    void detailDialog()
    {
        DetailAuszahlung dialog;
        QCOMPARE(dialog.objectName(), QString("DetailAuszahlung"));
        QCOMPARE(dialog.windowTitle(), QString("MainWindow"));
        QCOMPARE(dialog.size(), QSize(973, 647));
        QCOMPARE(formMismatches(dialog,
                     {
                         { "menubar", "QMenuBar", "gridLayout", 0, 0, 1, 1 },
                         { "label_name", "ElidedLabel", "gridLayout", 1, 0, 1, 1, "" },
                         { "tableWidget", "QTableWidget", "gridLayout", 2, 0, 1, 1 },
                     }),
            QString());
        // The customer's name is shown as typed, never read as markup.
        QCOMPARE(child<QLabel>(dialog, "label_name")->textFormat(), Qt::PlainText);
        QVERIFY(child<QMenuBar>(dialog, "menubar")->actions().isEmpty());
        QCOMPARE(child<QStatusBar>(dialog, "statusbar")->geometry(), QRect(0, 0, 3, 18));
        QTableWidget *t = table(dialog, "tableWidget");
        QCOMPARE(pages::headerTexts(t),
            QStringList({ "VNr.", "ANr.", "Bezeichnung", "Ek Preis", "Vk Preis", "Ek Menge",
                "Verkauft", "Bestand", "Ausgez.", "Offener Betrag" }));
        QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(t->selectionMode(), QAbstractItemView::NoSelection);
        QVERIFY(!t->tabKeyNavigation()); // Tab leaves the table; the arrows move inside
        QVERIFY(t->verticalHeader()->isHidden());
        QCOMPARE(t->rowCount(), 0);
    }
};

QTEST_MAIN(TestPayoutForm)
#include "tst_payoutform.moc"

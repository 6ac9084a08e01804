#include "sales/verkauf.h"
#include "support/formcheck.h"
#include "support/pagehelpers.h"
#include "support/testsupport.h"

#include "app/menulabel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

using namespace pages;

class TestSaleForm : public QObject
{
    Q_OBJECT
private slots:
    void widgets_data()
    {
        addFormRows({
            { "label_15", "QLabel", "gridLayout", 0, 0, 1, 1, "Verkauf", 18 },
            { "label_16", "MenuLabel", "gridLayout", 0, 1, 1, 1, "mit ESC zum Hauptmenü", 14, 0,
                Qt::AlignRight | Qt::AlignTop },
            { "labelVertr", "QLabel", "gridLayout", 1, 0, 1, 1, "Letzter Vertrag: xx", 18 },
            { "widget", "QWidget", "gridLayout", 3, 0, 1, 2 },
            { "widget_2", "QWidget", "gridLayout", 4, 0, 1, 2 },
            // input panel
            { "toolButtonImport", "QToolButton", "gridLayout_2", 0, 0, 1, 1,
                "Aus Datei laden ..." },
            { "labelBarcode", "QLabel", "gridLayout_2", 1, 0, 1, 1, "Barcode:", 16 },
            { "lineEditBarcode", "QLineEdit", "gridLayout_2", 1, 1, 1, 1, "" },
            { "labelBarcodeStatus", "QLabel", "gridLayout_2", 1, 2, 1, 1, "" },
            { "frame_2", "QFrame", "gridLayout_2", 1, 3, 8, 1 },
            { "label", "QLabel", "gridLayout_2", 2, 0, 1, 1, "Vertragsnummer:", 16 },
            { "spinBoxVertrag", "QSpinBox", "gridLayout_2", 2, 1, 1, 1 },
            { "label_2", "QLabel", "gridLayout_2", 3, 0, 1, 1, "Artikelnummer:", 16 },
            { "spinBoxArtikel", "QSpinBox", "gridLayout_2", 3, 1, 1, 1 },
            { "label_5", "QLabel", "gridLayout_2", 4, 0, 1, 1, "Bezeichnung:", 16 },
            { "labelBezeichnung", "ElidedLabel", "gridLayout_2", 4, 1, 1, 2, "" },
            { "label_4", "QLabel", "gridLayout_2", 5, 0, 1, 1, "Bestand:", 16 },
            { "labelBestand", "QLabel", "gridLayout_2", 5, 1, 1, 1, "0" },
            { "label_6", "QLabel", "gridLayout_2", 6, 0, 1, 1, "Verkaufspreis:", 16 },
            { "doubleSpinBoxPreis", "QDoubleSpinBox", "gridLayout_2", 6, 1, 1, 1 },
            { "label_3", "QLabel", "gridLayout_2", 7, 0, 1, 1, "Anzahl verkauft:", 16 },
            { "spinBoxAnzahl", "QSpinBox", "gridLayout_2", 7, 1, 1, 1 },
            { "label_7", "QLabel", "gridLayout_2", 8, 0, 1, 1, "neuer Bestand:", 16 },
            { "labelNeuBestand", "QLabel", "gridLayout_2", 8, 1, 1, 1, "0" },
            { "pushButton", "QPushButton", "gridLayout_2", 8, 2, 1, 1, "Bestätigen", 12 },
            // picture frame
            { "labelImage", "QLabel", "gridLayout_4", 0, 0, 1, 2, "" },
            { "pushButtonNextImage", "QPushButton", "gridLayout_4", 1, 0, 1, 1, "nächste Bild", 0,
                FormCell::Disabled },
            { "pushButtonImageDialog", "QPushButton", "gridLayout_4", 1, 1, 1, 1, "Bilderdialog", 0,
                FormCell::Disabled },
            // list panel
            { "tableWidgetVerkauf", "QTableWidget", "gridLayout_3", 0, 0, 2, 1 },
            { "pushButtonLoeschen", "QPushButton", "gridLayout_3", 0, 1, 1, 1, "löschen", 12 },
        });
    }
    void widgets()
    {
        QFETCH(FormCell, cell);
        Verkauf page;
        QCOMPARE(page.objectName(), QString("Verkauf"));
        QCOMPARE(page.windowTitle(), QString("Form"));
        QCOMPARE(page.size(), QSize(1072, 559));
        QCOMPARE(formMismatches(page, { cell }), QString());
        const QMap<QString, QString> parents
            = { { "gridLayout", "Verkauf" }, { "gridLayout_2", "widget" },
                  { "gridLayout_3", "widget_2" }, { "gridLayout_4", "frame_2" } };
        QCOMPARE(child<QWidget>(page, cell.name)->parentWidget()->objectName(),
            parents.value(cell.grid));
    }

    void settings_data()
    {
        addPropertyColumns();
        for (const char *box : { "spinBoxVertrag", "spinBoxArtikel", "spinBoxAnzahl" })
            addPropertyRow(box, "minimum", 0);
        addPropertyRow("doubleSpinBoxPreis", "minimum", 0.0);
        addPropertyRow("doubleSpinBoxPreis", "maximum", 1e9);
        addPropertyRow("doubleSpinBoxPreis", "decimals", 2);
        addPropertyRow("doubleSpinBoxPreis", "suffix", QString(" €"));
        addPropertyRow("pushButton", "shortcut", QKeySequence(Qt::Key_Return));
        addPropertyRow("pushButton", "default", true);
        addPropertyRow("pushButton", "autoDefault", true);
        addPropertyRow("pushButtonLoeschen", "autoDefault", true);
        addPropertyRow("pushButtonLoeschen", "default", false);
        addPropertyRow("label_15", "frameShape", int(QFrame::NoFrame));
        addPropertyRow("label_15", "wordWrap", true);
        addPropertyRow("frame_2", "minimumSize", QSize(250, 250));
        addPropertyRow("frame_2", "frameShape", int(QFrame::StyledPanel));
        // A stored name is shown as typed, never read as markup.
        addPropertyRow("labelBezeichnung", "textFormat", int(Qt::PlainText));
        addPropertyRow("labelImage", "sizePolicy",
            QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding));
        addPropertyRow(
            "tableWidgetVerkauf", "editTriggers", int(QAbstractItemView::NoEditTriggers));
        addPropertyRow(
            "tableWidgetVerkauf", "selectionMode", int(QAbstractItemView::SingleSelection));
        addPropertyRow(
            "tableWidgetVerkauf", "selectionBehavior", int(QAbstractItemView::SelectRows));
        // Tab leaves the list along the tab order; the arrows move inside it.
        addPropertyRow("tableWidgetVerkauf", "tabKeyNavigation", false);
    }
    void settings()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        Verkauf page;
        QCOMPARE(propertyMismatch(page, name, property, value), QString());
    }

    void layout()
    {
        Verkauf page;
        QCOMPARE(page.layout()->objectName(), QString("gridLayout"));
        QCOMPARE(formSpacers(page),
            (QStringList { "gridLayout 2,0 1x1 20x15 Minimum/Fixed",
                "gridLayout_3 1,1 1x1 20x40 Minimum/Expanding" }));
        auto *table = child<QTableWidget>(page, "tableWidgetVerkauf");
        QCOMPARE(pages::headerTexts(table),
            (QStringList {
                "Datum", "Vertrag Nr.", "Artikel Nr.", "Bezeichnung", "Menge", "Verkaufspreis" }));
    }

    void tabOrder()
    {
        Verkauf page;
        const QStringList order = { "lineEditBarcode", "spinBoxVertrag", "spinBoxArtikel",
            "spinBoxAnzahl", "pushButton", "tableWidgetVerkauf", "pushButtonLoeschen" };
        QCOMPARE(tabChain(page, order), order);
    }

    // Other code reaches the page by these signatures (sell with its default arguments).
    void signalsAndSlots()
    {
        QCOMPARE(ownMethods(Verkauf::staticMetaObject),
            (QStringList { "openMenu()", "openMenuSlot()", "vertrChanged(int)", "artChanged(int)",
                "valueChanged(int)", "sell(QDateTime,int,double,bool*)",
                "sell(QDateTime,int,double)", "sell(QDateTime,int)", "sell(QDateTime)", "sell()",
                "loeschen()", "showImagesBig()", "showNextImage()", "importFromFile()" }));
    }

    void menuCaptionReturnsToMenu()
    {
        Verkauf page;
        QSignalSpy spy(&page, &Verkauf::openMenu);
        QTest::mousePress(child<MenuLabel>(page, "label_16"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestSaleForm)
#include "tst_saleform.moc"

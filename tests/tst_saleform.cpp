#include "sales/verkauf.h"
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

// The grid holding a widget, searched through the whole page.
static QGridLayout *gridHolding(QWidget &page, QObject *object, int *index)
{
    for (QGridLayout *grid : page.findChildren<QGridLayout *>()) {
        for (int i = 0; i < grid->count(); ++i) {
            if (grid->itemAt(i)->widget() == object) {
                *index = i;
                return grid;
            }
        }
    }
    return nullptr;
}

class TestSaleForm : public QObject
{
    Q_OBJECT
private slots:
    void widgets_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QList<int>>("cell"); // row, column, rows, columns
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pointSize"); // 0: the default font
        QTest::addColumn<bool>("enabled");
        struct Row
        {
            const char *name, *className, *grid;
            QList<int> cell;
            const char *text;
            int pointSize;
            bool enabled;
        };
        const QList<Row> rows = {
            { "label_15", "QLabel", "gridLayout", { 0, 0, 1, 1 }, "Verkauf", 18, true },
            { "label_16", "MenuLabel", "gridLayout", { 0, 1, 1, 1 }, "mit ESC zum Hauptmenü", 14,
                true },
            { "labelVertr", "QLabel", "gridLayout", { 1, 0, 1, 1 }, "Letzter Vertrag: xx", 18,
                true },
            { "widget", "QWidget", "gridLayout", { 3, 0, 1, 2 }, "", 0, true },
            { "widget_2", "QWidget", "gridLayout", { 4, 0, 1, 2 }, "", 0, true },
            // input panel
            { "toolButtonImport", "QToolButton", "gridLayout_2", { 0, 0, 1, 1 },
                "Aus Datei laden ...", 0, true },
            { "labelBarcode", "QLabel", "gridLayout_2", { 1, 0, 1, 1 }, "Barcode:", 16, true },
            { "lineEditBarcode", "QLineEdit", "gridLayout_2", { 1, 1, 1, 1 }, "", 0, true },
            { "labelBarcodeStatus", "QLabel", "gridLayout_2", { 1, 2, 1, 1 }, "", 0, true },
            { "frame_2", "QFrame", "gridLayout_2", { 1, 3, 8, 1 }, "", 0, true },
            { "label", "QLabel", "gridLayout_2", { 2, 0, 1, 1 }, "Vertragsnummer:", 16, true },
            { "spinBoxVertrag", "QSpinBox", "gridLayout_2", { 2, 1, 1, 1 }, "", 0, true },
            { "label_2", "QLabel", "gridLayout_2", { 3, 0, 1, 1 }, "Artikelnummer:", 16, true },
            { "spinBoxArtikel", "QSpinBox", "gridLayout_2", { 3, 1, 1, 1 }, "", 0, true },
            { "label_5", "QLabel", "gridLayout_2", { 4, 0, 1, 1 }, "Bezeichnung:", 16, true },
            { "labelBezeichnung", "QLabel", "gridLayout_2", { 4, 1, 1, 2 }, "", 0, true },
            { "label_4", "QLabel", "gridLayout_2", { 5, 0, 1, 1 }, "Bestand:", 16, true },
            { "labelBestand", "QLabel", "gridLayout_2", { 5, 1, 1, 1 }, "0", 0, true },
            { "label_6", "QLabel", "gridLayout_2", { 6, 0, 1, 1 }, "Verkaufspreis:", 16, true },
            { "doubleSpinBoxPreis", "QDoubleSpinBox", "gridLayout_2", { 6, 1, 1, 1 }, "", 0, true },
            { "label_3", "QLabel", "gridLayout_2", { 7, 0, 1, 1 }, "Anzahl verkauft:", 16, true },
            { "spinBoxAnzahl", "QSpinBox", "gridLayout_2", { 7, 1, 1, 1 }, "", 0, true },
            { "label_7", "QLabel", "gridLayout_2", { 8, 0, 1, 1 }, "neuer Bestand:", 16, true },
            { "labelNeuBestand", "QLabel", "gridLayout_2", { 8, 1, 1, 1 }, "0", 0, true },
            { "pushButton", "QPushButton", "gridLayout_2", { 8, 2, 1, 1 }, "Bestätigen", 12, true },
            // picture frame
            { "labelImage", "QLabel", "gridLayout_4", { 0, 0, 1, 2 }, "", 0, true },
            { "pushButtonNextImage", "QPushButton", "gridLayout_4", { 1, 0, 1, 1 }, "nächste Bild",
                0, false },
            { "pushButtonImageDialog", "QPushButton", "gridLayout_4", { 1, 1, 1, 1 },
                "Bilderdialog", 0, false },
            // list panel
            { "tableWidgetVerkauf", "QTableWidget", "gridLayout_3", { 0, 0, 2, 1 }, "", 0, true },
            { "pushButtonLoeschen", "QPushButton", "gridLayout_3", { 0, 1, 1, 1 }, "löschen", 12,
                true },
        };
        for (const Row &r : rows)
            QTest::newRow(r.name) << r.name << r.className << r.grid << r.cell
                                  << QString::fromUtf8(r.text) << r.pointSize << r.enabled;
    }
    void widgets()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, grid);
        QFETCH(QList<int>, cell);
        QFETCH(QString, text);
        QFETCH(int, pointSize);
        QFETCH(bool, enabled);
        Verkauf page;
        QCOMPARE(page.objectName(), QString("Verkauf"));
        QCOMPARE(page.windowTitle(), QString("Form"));
        QCOMPARE(page.size(), QSize(1072, 559));

        auto *widget = page.findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(QString(widget->metaObject()->className()), className);
        int index = -1;
        QGridLayout *holder = gridHolding(page, widget, &index);
        QVERIFY(holder);
        QCOMPARE(holder->objectName(), grid);
        int r, c, rs, cs;
        holder->getItemPosition(index, &r, &c, &rs, &cs);
        QCOMPARE((QList<int> { r, c, rs, cs }), cell);
        const QMap<QString, QString> parents
            = { { "gridLayout", "Verkauf" }, { "gridLayout_2", "widget" },
                  { "gridLayout_3", "widget_2" }, { "gridLayout_4", "frame_2" } };
        QCOMPARE(widget->parentWidget()->objectName(), parents.value(grid));
        if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget))
            QCOMPARE(widget->property("text").toString(), text);
        QCOMPARE(widget->isEnabled(), enabled);
        QCOMPARE(
            widget->font().pointSize(), pointSize ? pointSize : QApplication::font().pointSize());
    }

    void settings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("value");
        const auto row = [](const char *name, const char *property, const QVariant &value) {
            QTest::addRow("%s %s", name, property) << name << QByteArray(property) << value;
        };
        for (const char *box : { "spinBoxVertrag", "spinBoxArtikel", "spinBoxAnzahl" })
            row(box, "minimum", 0);
        row("doubleSpinBoxPreis", "minimum", 0.0);
        row("doubleSpinBoxPreis", "maximum", 1e9);
        row("doubleSpinBoxPreis", "decimals", 2);
        row("doubleSpinBoxPreis", "suffix", QString(" €"));
        row("pushButton", "shortcut", QKeySequence(Qt::Key_Return));
        row("pushButton", "default", true);
        row("pushButton", "autoDefault", true);
        row("pushButtonLoeschen", "autoDefault", true);
        row("pushButtonLoeschen", "default", false);
        row("label_15", "frameShape", int(QFrame::NoFrame));
        row("label_15", "wordWrap", true);
        row("label_16", "alignment", int(Qt::AlignRight | Qt::AlignTop));
        row("frame_2", "minimumSize", QSize(250, 250));
        row("frame_2", "frameShape", int(QFrame::StyledPanel));
        row("labelImage", "sizePolicy",
            QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding));
        row("tableWidgetVerkauf", "editTriggers", int(QAbstractItemView::NoEditTriggers));
        row("tableWidgetVerkauf", "selectionMode", int(QAbstractItemView::SingleSelection));
        row("tableWidgetVerkauf", "selectionBehavior", int(QAbstractItemView::SelectRows));
    }
    void settings()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        Verkauf page;
        QObject *object = page.findChild<QObject *>(name);
        QVERIFY(object);
        QVariant actual = object->property(property);
        QVERIFY2(actual.isValid(), property.constData());
        if (value.userType() == QMetaType::Int && actual.userType() != QMetaType::Int)
            actual = actual.toInt(); // enums and flags
        QCOMPARE(actual, value);
    }

    void layout()
    {
        Verkauf page;
        QCOMPARE(page.layout()->objectName(), QString("gridLayout"));
        auto *grid = static_cast<QGridLayout *>(page.layout());
        QLayoutItem *spacer = grid->itemAtPosition(2, 0);
        QVERIFY(spacer && spacer->spacerItem());
        QCOMPARE(spacer->spacerItem()->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        auto *panel = child<QWidget>(page, "widget_2")->layout();
        auto *listGrid = static_cast<QGridLayout *>(panel);
        QVERIFY(listGrid->itemAtPosition(1, 1)->spacerItem());

        auto *table = child<QTableWidget>(page, "tableWidgetVerkauf");
        QStringList headers;
        for (int c = 0; c < table->columnCount(); ++c)
            headers << table->horizontalHeaderItem(c)->text();
        QCOMPARE(headers,
            (QStringList {
                "Datum", "Vertrag Nr.", "Artikel Nr.", "Bezeichnung", "Menge", "Verkaufspreis" }));
    }

    void tabOrder()
    {
        Verkauf page;
        const QStringList order = { "lineEditBarcode", "spinBoxVertrag", "spinBoxArtikel",
            "spinBoxAnzahl", "pushButton", "tableWidgetVerkauf", "pushButtonLoeschen" };
        QStringList chain;
        QWidget *first = child<QWidget>(page, "lineEditBarcode");
        QWidget *w = first;
        do {
            if (order.contains(w->objectName()) && !chain.contains(w->objectName()))
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != first);
        QCOMPARE(chain, order);
    }

    // Other code reaches the page by these signatures (sell with its default arguments).
    void signalsAndSlots()
    {
        const QMetaObject *meta = &Verkauf::staticMetaObject;
        QStringList methods;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
            methods << meta->method(i).methodSignature();
        QCOMPARE(methods,
            (QStringList { "openMenu()", "openMenuSlot()", "vertrChanged(int)", "artChanged(int)",
                "valueChanged(int)", "sell(QDateTime,int,double,bool*)",
                "sell(QDateTime,int,double)", "sell(QDateTime,int)", "sell(QDateTime)", "sell()",
                "loeschen()", "showImagesBig()", "showNextImage()" }));
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

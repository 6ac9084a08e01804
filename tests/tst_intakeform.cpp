#include "support/formcheck.h"
#include "support/intakedriver.h"
#include "support/testsupport.h"

#include "app/menulabel.h"

#include <QFrame>
#include <QGridLayout>
#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

using namespace intake;

class TestIntakeForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void widgets_data()
    {
        addFormRows({
            { "label_15", "QLabel", "gridLayout", 0, 0, 1, 1, "Anlieferung und Ankauf", 18 },
            { "label_16", "MenuLabel", "gridLayout", 0, 2, 1, 1, "mit ESC zum Hauptmenü", 14 },
            { "labelVertr", "QLabel", "gridLayout", 1, 0, 1, 1, "Letzter Vertrag: xx", 18 },
            { "label_18", "QLabel", "gridLayout", 3, 0, 1, 1, "Vertragsdatum:", 16 },
            { "lineEditDA", "QLineEdit", "gridLayout", 3, 1, 1, 2, "", 0, FormCell::Disabled },
            { "gridLayout_3", "QGridLayout", "gridLayout", 4, 0, 1, 3 },
            { "gridLayout_6", "QGridLayout", "gridLayout", 5, 0, 1, 3 },
            { "widget", "QWidget", "gridLayout", 13, 0, 1, 3 },
            // customer block
            { "label_7", "QLabel", "gridLayout_3", 0, 0, 1, 1, "Suchen:", 16 },
            { "lineEditSearch", "QLineEdit", "gridLayout_3", 0, 1, 1, 1, "" },
            { "label_3", "QLabel", "gridLayout_3", 0, 2, 1, 1, "Kunden Nr.:", 16 },
            { "lineEditKNR", "QLineEdit", "gridLayout_3", 0, 3, 1, 1, "" },
            { "listWidget", "QListWidget", "gridLayout_3", 0, 4, 2, 2 },
            { "label_19", "QLabel", "gridLayout_3", 2, 0, 1, 1, "Name:", 16 },
            { "lineEditNA", "QLineEdit", "gridLayout_3", 2, 1, 1, 1, "" },
            { "label_2", "QLabel", "gridLayout_3", 2, 2, 1, 1, "Vorname:", 16 },
            { "lineEditVNA", "QLineEdit", "gridLayout_3", 2, 3, 1, 1, "" },
            { "label_4", "QLabel", "gridLayout_3", 2, 4, 1, 1, "Telefon:", 16 },
            { "lineEditTEL", "QLineEdit", "gridLayout_3", 2, 5, 1, 1, "" },
            { "label_5", "QLabel", "gridLayout_3", 7, 0, 1, 1, "PLZ:", 16 },
            { "lineEditPLZ", "QLineEdit", "gridLayout_3", 7, 1, 1, 1, "" },
            { "label", "QLabel", "gridLayout_3", 7, 2, 1, 1, "Ort:", 16 },
            { "lineEditORT", "QLineEdit", "gridLayout_3", 7, 3, 1, 1, "" },
            { "label_6", "QLabel", "gridLayout_3", 7, 4, 1, 1, "Straße/Nr:", 16 },
            { "lineEditSTR", "QLineEdit", "gridLayout_3", 7, 5, 1, 1, "" },
            // article block
            { "label_8", "QLabel", "gridLayout_6", 0, 0, 1, 1, "Artikel im Vertrag:", 16 },
            { "lineEditArtAnzahl", "QLineEdit", "gridLayout_6", 0, 1, 1, 1, "", 0,
                FormCell::Disabled },
            { "label_13", "QLabel", "gridLayout_6", 0, 2, 1, 1, "" },
            { "label_11", "QLabel", "gridLayout_6", 0, 3, 1, 1, "EAN:", 16 },
            { "lineEditEAN", "QLineEdit", "gridLayout_6", 0, 5, 1, 2, "" },
            { "label_20", "QLabel", "gridLayout_6", 1, 0, 1, 1, "Art. Nummer:", 16 },
            { "lineEditAN", "QLineEdit", "gridLayout_6", 1, 1, 1, 1, "", 0, FormCell::Disabled },
            { "label_10", "QLabel", "gridLayout_6", 1, 3, 1, 1, "ISBN:", 16 },
            { "lineEditISBN", "QLineEdit", "gridLayout_6", 1, 5, 1, 2, "" },
            { "label_21", "QLabel", "gridLayout_6", 2, 0, 1, 1, "Art. Bezeichnung:", 16 },
            { "lineEditBZ", "QLineEdit", "gridLayout_6", 2, 1, 1, 1, "" },
            { "label_12", "QLabel", "gridLayout_6", 2, 3, 1, 1, "Bilder:", 16 },
            { "lineEditImages", "QLineEdit", "gridLayout_6", 2, 5, 1, 1, "" },
            { "toolButtonImages", "QToolButton", "gridLayout_6", 2, 6, 1, 1, "...", 0 },
            { "label_22", "QLabel", "gridLayout_6", 3, 0, 1, 1, "Liefermenge:", 16 },
            { "spinBoxME", "QSpinBox", "gridLayout_6", 3, 1, 1, 1 },
            { "label_14", "QLabel", "gridLayout_6", 3, 3, 1, 1, "Kategorie:", 16 },
            { "frame", "QFrame", "gridLayout_6", 3, 5, 1, 2 },
            { "spinBoxKategorie", "QSpinBox", "gridLayout_7", 0, 0, 1, 1 },
            { "comboBoxKategorie", "ElidedComboBox", "gridLayout_7", 0, 1, 1, 1 },
            { "label_23", "QLabel", "gridLayout_6", 4, 0, 1, 1, "Einkaufspreis:", 16 },
            { "doubleSpinBoxEk", "QDoubleSpinBox", "gridLayout_6", 4, 1, 1, 1 },
            { "label_17", "QLabel", "gridLayout_6", 4, 3, 1, 1, "Beschreibung:", 16 },
            { "textEditBeschreibung", "QTextEdit", "gridLayout_6", 4, 5, 1, 2 },
            { "label_24", "QLabel", "gridLayout_6", 5, 0, 1, 1, "Verkaufspreis :", 16 },
            { "doubleSpinBoxVk", "QDoubleSpinBox", "gridLayout_6", 5, 1, 1, 1, nullptr, 0,
                FormCell::Disabled },
            { "label_9", "QLabel", "gridLayout_6", 6, 0, 1, 1, "Standgebühr:", 16 },
            { "doubleSpinBoxStand", "QDoubleSpinBox", "gridLayout_6", 6, 1, 1, 1, nullptr, 0,
                FormCell::Disabled },
            // button block
            { "gridLayout_2", "QGridLayout", "gridLayout_5", 1, 0, 5, 1 },
            { "gridLayout_4", "QGridLayout", "gridLayout_5", 1, 6, 5, 1 },
            { "pushButtonNeuArt", "QPushButton", "gridLayout_2", 0, 0, 1, 1, "Artikel bestätigen",
                12 },
            { "pushButtonVertrAbsch", "QPushButton", "gridLayout_2", 2, 0, 1, 1,
                "Kommission abschliessen", 12 },
            { "pushButtonVk", "QPushButton", "gridLayout_2", 3, 0, 1, 1, "Preis ändern", 12 },
            { "pushButtonDelLast", "QPushButton", "gridLayout_2", 5, 0, 1, 1,
                "Letzten Artikel ändern", 12 },
            { "pushButtonStand", "QPushButton", "gridLayout_4", 2, 0, 1, 1, "Standgebühr ändern",
                12 },
            { "pushButton_einkauf", "QPushButton", "gridLayout_4", 3, 0, 1, 1, "Wareneinkauf (Bar)",
                12 },
        });
    }
    void widgets()
    {
        QFETCH(FormCell, cell);
        TestWorkdir dir;
        Anlieferung page;
        QCOMPARE(page.objectName(), QString("Anlieferung"));
        QCOMPARE(page.windowTitle(), QString("Form"));
        QCOMPARE(formMismatches(page, { cell }), QString());

        auto *widget = page.findChild<QWidget *>(cell.name);
        if (!widget)
            return;
        const QString grid = cell.grid;
        const char *parentName = "Anlieferung";
        if (grid == "gridLayout_2" || grid == "gridLayout_4")
            parentName = "widget";
        else if (grid == "gridLayout_7")
            parentName = "frame";
        QCOMPARE(widget->parentWidget()->objectName(), QString(parentName));
        if (auto *b = qobject_cast<QPushButton *>(widget))
            QVERIFY(b->autoDefault());
    }

    void settings_data()
    {
        addPropertyColumns();
        for (const char *price : { "doubleSpinBoxEk", "doubleSpinBoxVk" }) {
            addPropertyRow(price, "minimum", 0.0);
            addPropertyRow(price, "maximum", 1000000.0);
            addPropertyRow(price, "decimals", 2);
            addPropertyRow(price, "singleStep", 0.1);
            addPropertyRow(price, "suffix", QString(" €"));
        }
        addPropertyRow("doubleSpinBoxEk", "value", 0.0);
        addPropertyRow("doubleSpinBoxVk", "readOnly", false);
        addPropertyRow("doubleSpinBoxStand", "minimum", 0.0);
        addPropertyRow("doubleSpinBoxStand", "maximum", 1000000000.0);
        addPropertyRow("doubleSpinBoxStand", "decimals", 2);
        addPropertyRow("doubleSpinBoxStand", "singleStep", 1.0);
        addPropertyRow("doubleSpinBoxStand", "prefix", QString());
        addPropertyRow("doubleSpinBoxStand", "suffix", QString(" €"));
        addPropertyRow("spinBoxME", "minimum", 0);
        addPropertyRow("spinBoxME", "maximum", 9999);
        addPropertyRow("spinBoxME", "value", 0);
        addPropertyRow("lineEditAN", "readOnly", false);
        addPropertyRow("pushButtonVk", "checkable", true);
        addPropertyRow("pushButtonVk", "checked", false);
        addPropertyRow("pushButtonNeuArt", "default", false);
        addPropertyRow("pushButtonVertrAbsch", "default", false);
        addPropertyRow("pushButtonVertrAbsch", "flat", false);
        addPropertyRow("label_8", "minimumWidth", 180);
        addPropertyRow("label_13", "minimumWidth", 20);
        addPropertyRow("label_11", "minimumWidth", 160);
        addPropertyRow("spinBoxKategorie", "minimumWidth", 60);
        addPropertyRow("label_15", "frameShape", int(QFrame::NoFrame));
        addPropertyRow("frame", "frameShape", int(QFrame::StyledPanel));
        addPropertyRow("frame", "frameShadow", int(QFrame::Raised));
        addPropertyRow("label_16", "alignment", int(Qt::AlignRight | Qt::AlignVCenter));
        addPropertyRow("label_17", "alignment", int(Qt::AlignLeft | Qt::AlignTop));
        addPropertyRow(
            "lineEditDA", "sizePolicy", QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed));
        addPropertyRow("listWidget", "sizePolicy",
            QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
        addPropertyRow(
            "spinBoxKategorie", "sizePolicy", QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed));
        addPropertyRow("comboBoxKategorie", "sizePolicy",
            QSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred));
        addPropertyRow("pushButtonNeuArt", "sizePolicy",
            QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed));
    }
    void settings()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        TestWorkdir dir;
        Anlieferung page;
        QCOMPARE(propertyMismatch(page, name, property, value), QString());
    }

    void spacersAndMargins()
    {
        TestWorkdir dir;
        Anlieferung page;
        const auto check = [&](const char *grid, int row, int column, QSize size,
                               QSizePolicy::Policy h, QSizePolicy::Policy v) {
            QSpacerItem *spacer = spacerAt(page.findChild<QGridLayout *>(grid), row, column);
            QVERIFY2(spacer, grid);
            QCOMPARE(spacer->sizeHint(), size);
            QCOMPARE(spacer->sizePolicy().horizontalPolicy(), h);
            QCOMPARE(spacer->sizePolicy().verticalPolicy(), v);
        };
        check("gridLayout", 2, 0, QSize(276, 15), QSizePolicy::Minimum, QSizePolicy::Fixed);
        check("gridLayout", 18, 0, QSize(276, 31), QSizePolicy::Minimum, QSizePolicy::Expanding);
        check("gridLayout_5", 1, 3, QSize(40, 20), QSizePolicy::Expanding, QSizePolicy::Minimum);
        check("gridLayout_4", 1, 0, QSize(20, 40), QSizePolicy::Minimum, QSizePolicy::Expanding);
        QCOMPARE(page.findChild<QGridLayout *>("gridLayout_7")->contentsMargins(), QMargins());
        QCOMPARE(page.layout()->objectName(), QString("gridLayout"));
        QCOMPARE(child<QWidget>(page, "widget")->layout()->objectName(), QString("gridLayout_5"));
        QCOMPARE(page.size(), QSize(807, 706));
    }

    // Tab runs through the enabled widgets in the form's order.
    void tabOrder()
    {
        TestWorkdir dir;
        Anlieferung page;
        const QStringList order = { "lineEditDA", "lineEditSearch", "lineEditKNR", "listWidget",
            "lineEditNA", "lineEditVNA", "lineEditTEL", "lineEditPLZ", "lineEditORT", "lineEditSTR",
            "lineEditArtAnzahl", "lineEditAN", "lineEditBZ", "spinBoxME", "doubleSpinBoxEk",
            "doubleSpinBoxVk", "doubleSpinBoxStand", "lineEditEAN", "lineEditISBN",
            "lineEditImages", "toolButtonImages", "spinBoxKategorie", "comboBoxKategorie",
            "pushButtonNeuArt", "pushButtonVertrAbsch", "pushButtonVk", "pushButtonDelLast",
            "pushButtonStand", "pushButton_einkauf" };
        QCOMPARE(tabChain(page, order), order);

        // With the keyboard, once the page is entered: disabled fields are passed over.
        QVERIFY(enter(page));
        button(page, "pushButtonDelLast")->setEnabled(true);
        QStringList tabbed;
        edit(page, "lineEditSearch")->setFocus();
        for (int i = 0; i < 40; ++i) {
            QWidget *focus = QApplication::focusWidget();
            while (focus && !order.contains(focus->objectName()))
                focus = focus->parentWidget();
            if (!focus)
                break;
            tabbed << focus->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(tabbed,
            (QStringList { "lineEditSearch", "lineEditKNR", "listWidget", "lineEditNA",
                "lineEditVNA", "lineEditTEL", "lineEditPLZ", "lineEditORT", "lineEditSTR",
                "lineEditBZ", "spinBoxME", "doubleSpinBoxEk", "lineEditEAN", "lineEditISBN",
                "lineEditImages", "toolButtonImages", "spinBoxKategorie", "comboBoxKategorie",
                "pushButtonNeuArt", "pushButtonVk", "pushButtonDelLast", "pushButtonStand" }));
        // The description is outside the order and keeps a typed Tab as text.
        auto *description = child<QTextEdit>(page, "textEditBeschreibung");
        QCOMPARE(QApplication::focusWidget(), description->viewport()->parentWidget());
        QTest::keyClick(description, Qt::Key_Tab);
        QCOMPARE(description->toPlainText(), QString("\t"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(description));
    }

    void menuCaptionReturnsToMenu_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
    }
    void menuCaptionReturnsToMenu()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        TestWorkdir dir;
        Anlieferung page;
        QSignalSpy spy(&page, &Anlieferung::openMenu);
        QTest::mousePress(child<MenuLabel>(page, "label_16"), mouseButton);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestIntakeForm)
#include "tst_intakeform.moc"

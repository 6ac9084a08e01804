#include "services/services.h"
#include "support/formcheck.h"
#include "support/pagehelpers.h"
#include "support/testsupport.h"

#include "app/menulabel.h"

#include <QFrame>
#include <QGridLayout>
#include <QSignalSpy>
#include <QtTest>

using namespace pages;

namespace {

const int kDisabled = FormCell::Disabled;

// The form's widgets in the order they are created, with their cells.
const QList<FormCell> kCells = {
    { "label_15", "QLabel", "gridLayout", 0, 0, 1, 3, "Drucken und Preisänderung", 18 },
    { "label_16", "MenuLabel", "gridLayout", 0, 3, 1, 2, "mit ESC zum Hauptmenü", 14 },
    { "labelVertr", "QLabel", "gridLayout", 1, 0, 1, 3, "Letzter Vertrag: xx", 18 },
    { "label", "QLabel", "gridLayout", 3, 1, 1, 1, "Vertrags Nr.:", 16 },
    { "spinBox_vertr", "QSpinBox", "gridLayout", 3, 2 },
    { "pushButton_print", "QPushButton", "gridLayout", 3, 3, 1, 1, "Vertrag drucken", 12,
        kDisabled },
    { "frame", "QFrame", "gridLayout", 4, 0, 5, 1 },
    { "labelImage", "QLabel", "gridLayout_4", 0, 0, 1, 2, "" },
    { "pushButtonNextImage", "QPushButton", "gridLayout_4", 1, 0, 1, 1, "nächste Bild", 12,
        kDisabled },
    { "pushButtonImageDialog", "QPushButton", "gridLayout_4", 1, 1, 1, 1, "Bilderdialog", 12,
        kDisabled },
    { "label_7", "QLabel", "gridLayout", 4, 1, 1, 1, "Kunden Name (Nr):", 16 },
    { "lineEdit_kunde", "QLineEdit", "gridLayout", 4, 2, 1, 1, "", 0, kDisabled },
    { "pushButtonDelete", "QPushButton", "gridLayout", 4, 3, 1, 1, "Vertrag nicht abgeschlossen",
        12, kDisabled },
    { "label_8", "QLabel", "gridLayout", 6, 1, 1, 1, "Datum:", 16 },
    { "lineEdit_datetime", "QLineEdit", "gridLayout", 6, 2, 1, 1, "", 0, kDisabled },
    { "label_12", "QLabel", "gridLayout", 7, 1, 1, 1, "Artikelanzahl:", 16 },
    { "lineEdit_art_count", "QLineEdit", "gridLayout", 7, 2, 1, 1, "", 0, kDisabled },
    { "label_vertr_closed", "QLabel", "gridLayout", 8, 1, 1, 1, "Vertrag abgelaufen:", 16 },
    { "lineEdit_vertr_closed", "QLineEdit", "gridLayout", 8, 2, 1, 1, "", 0, kDisabled },
    { "line", "QFrame", "gridLayout", 9, 0, 1, 5 },
    { "frame_2", "QFrame", "gridLayout", 10, 0, 1, 2 },
    { "label_2", "QLabel", "gridLayout_2", 0, 0, 1, 1, "Artikel Nr.:", 16 },
    { "spinBox_art", "QSpinBox", "gridLayout_2", 0, 1 },
    { "pushButtonEtikett", "QPushButton", "gridLayout_2", 0, 2, 1, 1, "Etikett drucken", 12,
        kDisabled },
    { "label_3", "QLabel", "gridLayout_2", 1, 0, 1, 1, "Bezeichnung:", 16 },
    { "lineEdit_bz", "QLineEdit", "gridLayout_2", 1, 1, 1, 1, "", 0, kDisabled },
    { "pushButton_bz", "QPushButton", "gridLayout_2", 1, 2, 1, 1, "Bezeichnung übernehmen", 12,
        kDisabled },
    { "label_4", "QLabel", "gridLayout_2", 2, 0, 1, 1, "Liefermenge:", 16 },
    { "spinBox_lm", "QSpinBox", "gridLayout_2", 2, 1, 1, 1, nullptr, 0, kDisabled },
    { "pushButtonChangeStock", "QPushButton", "gridLayout_2", 2, 2, 1, 1, "Menge übernehmen", 12,
        kDisabled },
    { "label_5", "QLabel", "gridLayout_2", 3, 0, 1, 1, "Bestand:", 16 },
    { "lineEdit_bs", "QLineEdit", "gridLayout_2", 3, 1, 1, 1, "", 0, kDisabled },
    { "label_6", "QLabel", "gridLayout_2", 4, 0, 1, 1, "Einkaufspreis:", 16 },
    { "doubleSpinBoxEk", "QDoubleSpinBox", "gridLayout_2", 4, 1, 1, 1, nullptr, 0, kDisabled },
    { "label_9", "QLabel", "gridLayout_2", 5, 0, 1, 1, "Verkaufspreis:", 16 },
    { "doubleSpinBoxVk", "QDoubleSpinBox", "gridLayout_2", 5, 1, 1, 1, nullptr, 0, kDisabled },
    { "pushButtonChangePrice", "QPushButton", "gridLayout_2", 4, 2, 2, 1, "Preise übernehmen", 12,
        kDisabled },
    { "frame_3", "QFrame", "gridLayout", 10, 2, 1, 3 },
    { "label_13", "QLabel", "gridLayout_3", 0, 0, 1, 1, "EAN:", 16 },
    { "lineEditEAN", "QLineEdit", "gridLayout_3", 0, 1, 1, 1, "", 0, kDisabled },
    { "pushButtonEAN", "QPushButton", "gridLayout_3", 0, 2, 1, 1, "EAN übernehmen", 12, kDisabled },
    { "label_14", "QLabel", "gridLayout_3", 1, 0, 1, 1, "ISBN:", 16 },
    { "lineEditISBN", "QLineEdit", "gridLayout_3", 1, 1, 1, 1, "", 0, kDisabled },
    { "pushButtonISBN", "QPushButton", "gridLayout_3", 1, 2, 1, 1, "ISBN übernehmen", 12,
        kDisabled },
    { "label_17", "QLabel", "gridLayout_3", 2, 0, 1, 1, "Bilder:", 16 },
    { "gridLayout_5", "QGridLayout", "gridLayout_3", 2, 1 },
    { "lineEditImages", "QLineEdit", "gridLayout_5", 0, 0, 1, 1, "", 0, kDisabled },
    { "toolButtonImages", "QToolButton", "gridLayout_5", 0, 1, 1, 1, "...", 0, kDisabled },
    { "pushButtonImages", "QPushButton", "gridLayout_3", 2, 2, 1, 1, "Bilder übernehmen", 12,
        kDisabled },
    { "label_18", "QLabel", "gridLayout_3", 3, 0, 1, 1, "Kategorie:", 16 },
    { "spinBoxKategorie", "QSpinBox", "gridLayout_3", 3, 1, 1, 1, nullptr, 0, kDisabled },
    { "pushButtonKategorie", "QPushButton", "gridLayout_3", 3, 2, 1, 1, "Kategorie übernehmen", 12,
        kDisabled },
    // Below its number, across the button's column: the sample categories need the room.
    { "comboBoxKategorie", "ElidedComboBox", "gridLayout_3", 4, 1, 1, 2, nullptr, 0, kDisabled },
    { "label_19", "QLabel", "gridLayout_3", 5, 0, 1, 1, "Beschreibung:", 16 },
    { "textEditBeschreibung", "QTextEdit", "gridLayout_3", 5, 1, 1, 1, nullptr, 0, kDisabled },
    { "pushButtonBeschreibung", "QPushButton", "gridLayout_3", 5, 2, 1, 1,
        "Beschreibung\nübernehmen", 12, kDisabled },
    { "gridLayout_7", "QGridLayout", "gridLayout", 11, 0, 1, 5 },
    { "label_10", "QLabel", "gridLayout_7", 0, 0, 1, 1, "Es wurden ", 14 },
    { "spinBox_given_back", "QSpinBox", "gridLayout_7", 0, 1, 1, 1, nullptr, 0, kDisabled },
    { "label_11", "QLabel", "gridLayout_7", 0, 2, 1, 1, " Stück zurückgegeben.", 14 },
    { "pushButton_given_back", "QPushButton", "gridLayout_7", 0, 3, 1, 1, "Rückgabe bestätigen", 12,
        kDisabled },
    { "pushButtonExport", "QPushButton", "gridLayout", 6, 3, 1, 1, "Exportieren", 12, kDisabled },
};

} // namespace

class TestServicesForm : public QObject
{
    Q_OBJECT
private slots:
    void widgets_data() { addFormRows(kCells); }
    void widgets()
    {
        QFETCH(FormCell, cell);
        Services page;
        QCOMPARE(formMismatches(page, { cell }), QString());
    }

    void form()
    {
        Services page;
        QCOMPARE(page.objectName(), QString("Services"));
        QCOMPARE(page.windowTitle(), QString("Form"));
        QCOMPARE(page.size(), QSize(1315, 597));
        QCOMPARE(page.layout()->objectName(), QString("gridLayout"));
        QCOMPARE(static_cast<QGridLayout *>(page.layout())->columnCount(), 5);
        const QMap<QString, QString> boxes = { { "frame", "gridLayout_4" },
            { "frame_2", "gridLayout_2" }, { "frame_3", "gridLayout_3" } };
        for (auto it = boxes.begin(); it != boxes.end(); ++it) {
            auto *frame = child<QFrame>(page, qPrintable(it.key()));
            QCOMPARE(frame->layout()->objectName(), it.value());
            QCOMPARE(frame->frameShape(), QFrame::StyledPanel);
        }
        // Created top-down in the order of the table.
        QStringList created;
        QStringList expected;
        for (const FormCell &c : kCells) {
            if (QString(c.className) != "QGridLayout")
                expected << c.name;
        }
        for (QWidget *w : page.findChildren<QWidget *>()) {
            if (expected.contains(w->objectName()))
                created << w->objectName();
        }
        QCOMPARE(created, expected);
        QCOMPARE(QApplication::font().family(), child<QLabel>(page, "label")->font().family());
    }

    void settings_data()
    {
        addPropertyColumns();
        addPropertyRow("spinBox_vertr", "minimum", 0);
        addPropertyRow("spinBox_art", "minimum", 0);
        addPropertyRow("spinBox_lm", "maximum", 100000);
        addPropertyRow("spinBox_lm", "suffix", QString(" Stk."));
        addPropertyRow("spinBox_given_back", "minimum", 0);
        addPropertyRow("spinBox_given_back", "maximum", 99999);
        for (const char *price : { "doubleSpinBoxEk", "doubleSpinBoxVk" }) {
            addPropertyRow(price, "maximum", 99999.0);
            addPropertyRow(price, "decimals", 2);
            addPropertyRow(price, "suffix", QString(" €"));
        }
        addPropertyRow("spinBoxKategorie", "minimum", 0);
        addPropertyRow("spinBoxKategorie", "minimumWidth", 60);
        addPropertyRow("pushButton_given_back", "minimumWidth", 211);
        for (const char *field : { "lineEdit_kunde", "lineEdit_datetime", "lineEdit_art_count",
                 "lineEdit_vertr_closed", "lineEdit_bs" })
            addPropertyRow(field, "readOnly", true);
        for (const char *field : { "lineEdit_bz", "lineEditEAN", "lineEditISBN", "lineEditImages" })
            addPropertyRow(field, "readOnly", false);
        for (const char *button : { "pushButton_print", "pushButtonDelete", "pushButtonChangePrice",
                 "pushButton_given_back" })
            addPropertyRow(button, "autoDefault", true);
        for (const char *button : { "pushButtonEtikett", "pushButton_bz", "pushButtonExport" })
            addPropertyRow(button, "autoDefault", false);
    }
    void settings()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        Services page;
        QCOMPARE(propertyMismatch(page, name, property, value), QString());
    }

    void tabOrder()
    {
        Services page;
        const QStringList order = { "spinBox_vertr", "pushButton_print", "lineEdit_kunde",
            "pushButtonDelete", "lineEdit_datetime", "pushButtonExport", "lineEdit_art_count",
            "lineEdit_vertr_closed", "spinBox_art", "pushButtonEtikett", "lineEdit_bz",
            "pushButton_bz", "spinBox_lm", "pushButtonChangeStock", "lineEdit_bs",
            "doubleSpinBoxEk", "doubleSpinBoxVk", "pushButtonChangePrice", "lineEditEAN",
            "pushButtonEAN", "lineEditISBN", "pushButtonISBN", "lineEditImages", "toolButtonImages",
            "pushButtonImages", "spinBoxKategorie", "comboBoxKategorie", "pushButtonKategorie",
            "spinBox_given_back", "pushButton_given_back" };
        QCOMPARE(tabChain(page, order), order);
    }

    // Other code reaches the page by these signatures (printVertr with its default argument).
    void signalsAndSlots()
    {
        QCOMPARE(ownMethods(Services::staticMetaObject),
            (QStringList { "openMenu()", "vertrChanged(int)", "artChanged(int)", "giveBack()",
                "printVertr(bool)", "printVertr()", "printEtikett()", "deleteArtikel()",
                "changePrice()", "changeStock()", "changeBezeichnung()", "openMenuSlot()",
                "choseImages()", "changeEAN()", "changeISBN()", "changeImages()",
                "changeKategorie()", "changeBeschreibung()", "showNextImage()", "showImagesBig()",
                "changeComboBox(int)", "comboBoxChanged(int)", "exportArt()", "recordImages()" }));
    }

    void menuCaptionReturnsToMenu()
    {
        Services page;
        QSignalSpy spy(&page, &Services::openMenu);
        QTest::mousePress(child<MenuLabel>(page, "label_16"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestServicesForm)
#include "tst_servicesform.moc"

#include "support/formcheck.h"
#include "support/testsupport.h"

#include "admin/einstellungen.h"
#include "app/menulabel.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

namespace {

// The form's widgets in creation order; each frame's grid is created just before its widgets.
const QList<FormCell> kCells = {
    { "frame_2", "QFrame", "gridLayout", 14, 0, 1, 4 },
    { "tableWidget", "QTableWidget", "gridLayout_3", 0, 0, 7, 1 },
    { "label_12", "QLabel", "gridLayout_3", 1, 1, 1, 1, "Mo.", 8 },
    { "label_13", "QLabel", "gridLayout_3", 2, 1, 1, 1, "Di.", 8 },
    { "label_14", "QLabel", "gridLayout_3", 3, 1, 1, 1, "Mi.", 8 },
    { "label_17", "QLabel", "gridLayout_3", 4, 1, 1, 1, "Do.", 8 },
    { "label_18", "QLabel", "gridLayout_3", 5, 1, 1, 1, "Fr.", 8 },
    { "label_19", "QLabel", "gridLayout_3", 6, 1, 1, 1, "Sa.", 8 },
    { "label_20", "QLabel", "gridLayout_3", 0, 1, 1, 2, "Öffnungszeiten:", 14 },
    { "lineEdit_Mo", "QLineEdit", "gridLayout_3", 1, 2, 1, 1, "", 7 },
    { "lineEdit_Di", "QLineEdit", "gridLayout_3", 2, 2, 1, 1, "", 7 },
    { "lineEdit_Mi", "QLineEdit", "gridLayout_3", 3, 2, 1, 1, "", 7 },
    { "lineEdit_Do", "QLineEdit", "gridLayout_3", 4, 2, 1, 1, "", 7 },
    { "lineEdit_Fr", "QLineEdit", "gridLayout_3", 5, 2, 1, 1, "", 7 },
    { "lineEdit_Sa", "QLineEdit", "gridLayout_3", 6, 2, 1, 1, "", 7 },
    { "frame", "QFrame", "gridLayout", 15, 1, 1, 3 },
    { "lineEdit_beschr", "QLineEdit", "gridLayout_2", 0, 1, 1, 1, "" },
    { "label_Beschreibung", "ElidedLabel", "gridLayout_2", 0, 0, 1, 1, "" },
    { "label_22", "QLabel", "gridLayout", 7, 0, 1, 1, "Vertrag Druckformat A4 (sonst A5):", 14 },
    { "label", "QLabel", "gridLayout", 3, 0, 1, 1, "Ablaufzeit für Verträge:", 14 },
    { "label_2", "QLabel", "gridLayout", 4, 0, 1, 1, "Standgebühr in %:", 14 },
    { "checkBoxPrintFormat", "QCheckBox", "gridLayout", 7, 1, 1, 2, "A4" },
    { "label_11", "QLabel", "gridLayout", 13, 0, 1, 1,
        "Pfad für Sicherungen (Auf USB-Stick!):", 14 },
    { "lineEdit", "QLineEdit", "gridLayout", 13, 1, 1, 1, "" },
    { "label_16", "MenuLabel", "gridLayout", 0, 3, 1, 1, "mit ESC zum Hauptmenü", 14 },
    { "label_3", "QLabel", "gridLayout", 5, 0, 1, 1, "Höchste Standgebühr in €:", 14 },
    { "lineEdit_pw", "QLineEdit", "gridLayout", 18, 1, 1, 3, "" },
    { "spinBox_laufz", "QSpinBox", "gridLayout", 3, 1, 1, 3 },
    { "label_4", "QLabel", "gridLayout", 18, 0, 1, 1, "Passwort:", 14 },
    { "lineEdit_mpw", "QLineEdit", "gridLayout", 17, 1, 1, 3, "" },
    { "lineEdit_stadt", "QLineEdit", "gridLayout", 19, 1, 1, 3, "" },
    { "label_10", "QLabel", "gridLayout", 8, 0, 1, 1, "Etikettendrucker:", 14 },
    { "pushButton_save", "QPushButton", "gridLayout", 22, 3, 1, 1, "Speichern", 12 },
    { "label_6", "QLabel", "gridLayout", 19, 0, 1, 1, "Stadt:", 14 },
    { "label_5", "QLabel", "gridLayout", 15, 0, 1, 1, "Gewerbe-Beschreibung (Adresse+Tel.):", 14 },
    { "spinBoxVerkauf", "QSpinBox", "gridLayout", 2, 1, 1, 3 },
    { "comboBoxEtikett", "ElidedComboBox", "gridLayout", 8, 1, 1, 3 },
    { "label_9", "QLabel", "gridLayout", 6, 0, 1, 1, "Vertragsdrucker:", 14 },
    { "comboBoxVertrag", "ElidedComboBox", "gridLayout", 6, 1, 1, 3 },
    { "label_8", "QLabel", "gridLayout", 2, 0, 1, 1, "Zeitraum für angezeigte Verkäufe:", 14 },
    { "spinBox_standg", "QSpinBox", "gridLayout", 4, 1, 1, 3 },
    { "label_7", "QLabel", "gridLayout", 17, 0, 1, 1, "Master Passwort:", 14 },
    { "spinBox_max_standg", "QSpinBox", "gridLayout", 5, 1, 1, 3 },
    { "label_15", "QLabel", "gridLayout", 0, 0, 1, 1, "Einstellungen", 18 },
    { "lineEdit_upload", "QLineEdit", "gridLayout", 20, 1, 1, 3, "" },
    { "label_23", "QLabel", "gridLayout", 11, 0, 1, 1, "Etiketten Größe (normal 0):", 14 },
    { "label_21", "QLabel", "gridLayout", 20, 0, 1, 1, "Upload Server:", 14 },
    { "spinBoxLabelSize", "QSpinBox", "gridLayout", 11, 1, 1, 3 },
    { "label_24", "QLabel", "gridLayout", 12, 0, 1, 1,
        "Automatisch Exportordner (leer = inaktiv):", 14 },
    { "lineEditExportPath", "QLineEdit", "gridLayout", 12, 1, 1, 1, "" },
    { "toolButton", "QToolButton", "gridLayout", 13, 3, 1, 1, "Pfad wählen" },
    { "toolButtonExportPath", "QToolButton", "gridLayout", 12, 3, 1, 1, "Pfad wählen" },
};

} // namespace

class TestSettingsForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void widgets_data() { addFormRows(kCells); }
    void widgets()
    {
        QFETCH(FormCell, cell);
        Einstellungen page;
        QCOMPARE(formMismatches(page, { cell }), QString());
        int index = -1;
        QGridLayout *grid = gridHolding(page, page.findChild<QObject *>(cell.name), &index);
        QCOMPARE(grid->itemAt(index)->alignment(), Qt::Alignment());
    }

    // Children come in the form's order: the page's members follow it.
    void creationOrder()
    {
        Einstellungen page;
        const QList<QPair<const char *, const char *>> holders
            = { { "Einstellungen", "gridLayout" }, { "frame_2", "gridLayout_3" },
                  { "frame", "gridLayout_2" } };
        for (const auto &holder : holders) {
            QObject *parent = QString(holder.first) == "Einstellungen"
                ? static_cast<QObject *>(&page)
                : page.findChild<QObject *>(holder.first);
            QStringList expected { holder.second }, actual;
            for (const FormCell &cell : kCells)
                if (QString(cell.grid) == holder.second)
                    expected << cell.name;
            for (QObject *child : parent->children())
                if (!child->objectName().isEmpty() && !child->objectName().startsWith("qt_"))
                    actual << child->objectName();
            QCOMPARE(actual, expected);
        }
    }

    void properties_data()
    {
        addPropertyColumns();
        const QList<QPair<const char *, const char *>> spins = { { "spinBox_laufz", " Tage" },
            { "spinBoxVerkauf", " Tage" }, { "spinBox_standg", " %" },
            { "spinBox_max_standg", " €" }, { "spinBoxLabelSize", "" } };
        for (const auto &spin : spins) {
            addPropertyRow(spin.first, "minimum", 0);
            addPropertyRow(spin.first, "maximum", 99);
            addPropertyRow(spin.first, "singleStep", 1);
            addPropertyRow(spin.first, "value", 0);
            addPropertyRow(spin.first, "suffix", QString::fromUtf8(spin.second));
            addPropertyRow(spin.first, "prefix", QString());
        }
        for (const char *name : { "lineEdit_pw", "lineEdit_mpw" })
            addPropertyRow(name, "echoMode", int(QLineEdit::Normal));
        for (const char *day : { "lineEdit_Mo", "lineEdit_Di", "lineEdit_Mi", "lineEdit_Do",
                 "lineEdit_Fr", "lineEdit_Sa" })
            addPropertyRow(
                day, "sizePolicy", QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed));
        for (const char *frame : { "frame", "frame_2" }) {
            addPropertyRow(frame, "frameShape", int(QFrame::StyledPanel));
            addPropertyRow(frame, "frameShadow", int(QFrame::Raised));
        }
        addPropertyRow("label_15", "frameShape", int(QFrame::NoFrame));
        addPropertyRow("label_16", "alignment", int(Qt::AlignRight | Qt::AlignVCenter));
        addPropertyRow("pushButton_save", "autoDefault", true);
        addPropertyRow("checkBoxPrintFormat", "checked", false);
        addPropertyRow("lineEdit", "maxLength", 32767);
        addPropertyRow("lineEdit_upload", "readOnly", false);
    }
    void properties()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        Einstellungen page;
        QCOMPARE(propertyMismatch(page, name, property, value), QString());
    }

    void pageLayoutAndInitialState()
    {
        Einstellungen page;
        QCOMPARE(page.objectName(), QString("Einstellungen"));
        QCOMPARE(page.windowTitle(), QString("Form"));
        QCOMPARE(page.size(), QSize(1139, 816));
        QCOMPARE(page.layout()->objectName(), QString("gridLayout"));
        auto *inner = page.findChild<QGridLayout *>("gridLayout_2");
        QCOMPARE(inner->spacing(), 0);
        QCOMPARE(inner->contentsMargins(), QMargins());
        QCOMPARE(page.findChild<QGridLayout *>("gridLayout_3")->contentsMargins(), QMargins());

        QCOMPARE(formSpacers(page),
            QStringList({ "gridLayout 1,0 1x1 20x15 Minimum/Fixed",
                "gridLayout 21,3 1x1 20x40 Minimum/Expanding",
                "gridLayout 22,1 1x1 40x20 Expanding/Minimum" }));

        auto *table = page.findChild<QTableWidget *>("tableWidget");
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(table->columnCount(), 5);
        QVERIFY(!table->tabKeyNavigation()); // Tab leaves the table; the arrows move inside
        for (int c = 0; c < 5; ++c)
            QCOMPARE(table->horizontalHeaderItem(c)->text(), QString("Neue Spalte"));
        for (QComboBox *box : page.findChildren<QComboBox *>())
            QCOMPARE(box->count(), 0);
        for (QLineEdit *edit : page.findChildren<QLineEdit *>())
            if (!qobject_cast<QSpinBox *>(edit->parentWidget()))
                QCOMPARE(edit->text(), QString());
        QCOMPARE(page.findChild<QSpinBox *>("spinBox_laufz")->text(), QString("0 Tage"));
    }

    void tabOrder()
    {
        Einstellungen page;
        const QStringList order = { "spinBoxVerkauf", "spinBox_laufz", "spinBox_standg",
            "spinBox_max_standg", "comboBoxVertrag", "comboBoxEtikett", "lineEdit", "tableWidget",
            "lineEdit_Mo", "lineEdit_Di", "lineEdit_Mi", "lineEdit_Do", "lineEdit_Fr",
            "lineEdit_Sa", "lineEdit_beschr", "lineEdit_mpw", "lineEdit_pw", "lineEdit_stadt",
            "pushButton_save" };
        QCOMPARE(tabChain(page, order), order);
    }

    void menuCaptionLeaves()
    {
        TestWorkdir dir;
        Einstellungen page;
        QSignalSpy spy(&page, &Einstellungen::openMenu);
        Dialogs::setNextAnswer(QMessageBox::No);
        QTest::mousePress(page.findChild<MenuLabel *>("label_16"), Qt::RightButton);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestSettingsForm)
#include "tst_settingsform.moc"

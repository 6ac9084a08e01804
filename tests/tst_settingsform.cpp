#include "support/testsupport.h"

#include "admin/einstellungen.h"
#include "app/menulabel.h"

#include <QAbstractButton>
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

struct Item
{
    const char *name, *className, *parent;
    QList<int> cell; // row, column, rows, columns in the parent's grid
    const char *text;
    int pointSize; // 0: the page's font
};

// The form's items in creation order (spacers are checked apart).
const QList<Item> kItems = {
    { "gridLayout", "QGridLayout", "Einstellungen", {}, "", 0 },
    { "frame_2", "QFrame", "Einstellungen", { 14, 0, 1, 4 }, "", 0 },
    { "gridLayout_3", "QGridLayout", "frame_2", {}, "", 0 },
    { "tableWidget", "QTableWidget", "frame_2", { 0, 0, 7, 1 }, "", 0 },
    { "label_12", "QLabel", "frame_2", { 1, 1, 1, 1 }, "Mo.", 8 },
    { "label_13", "QLabel", "frame_2", { 2, 1, 1, 1 }, "Di.", 8 },
    { "label_14", "QLabel", "frame_2", { 3, 1, 1, 1 }, "Mi.", 8 },
    { "label_17", "QLabel", "frame_2", { 4, 1, 1, 1 }, "Do.", 8 },
    { "label_18", "QLabel", "frame_2", { 5, 1, 1, 1 }, "Fr.", 8 },
    { "label_19", "QLabel", "frame_2", { 6, 1, 1, 1 }, "Sa.", 8 },
    { "label_20", "QLabel", "frame_2", { 0, 1, 1, 2 }, "Öffnungszeiten:", 14 },
    { "lineEdit_Mo", "QLineEdit", "frame_2", { 1, 2, 1, 1 }, "", 7 },
    { "lineEdit_Di", "QLineEdit", "frame_2", { 2, 2, 1, 1 }, "", 7 },
    { "lineEdit_Mi", "QLineEdit", "frame_2", { 3, 2, 1, 1 }, "", 7 },
    { "lineEdit_Do", "QLineEdit", "frame_2", { 4, 2, 1, 1 }, "", 7 },
    { "lineEdit_Fr", "QLineEdit", "frame_2", { 5, 2, 1, 1 }, "", 7 },
    { "lineEdit_Sa", "QLineEdit", "frame_2", { 6, 2, 1, 1 }, "", 7 },
    { "frame", "QFrame", "Einstellungen", { 15, 1, 1, 3 }, "", 0 },
    { "gridLayout_2", "QGridLayout", "frame", {}, "", 0 },
    { "lineEdit_beschr", "QLineEdit", "frame", { 0, 1, 1, 1 }, "", 0 },
    { "label_Beschreibung", "QLabel", "frame", { 0, 0, 1, 1 }, "", 0 },
    { "label_22", "QLabel", "Einstellungen", { 7, 0, 1, 1 },
        "Vertrag Druckformat A4 (sonst A5):", 14 },
    { "label", "QLabel", "Einstellungen", { 3, 0, 1, 1 }, "Ablaufzeit für Verträge:", 14 },
    { "label_2", "QLabel", "Einstellungen", { 4, 0, 1, 1 }, "Standgebühr in %:", 14 },
    { "checkBoxPrintFormat", "QCheckBox", "Einstellungen", { 7, 1, 1, 2 }, "A4", 0 },
    { "label_11", "QLabel", "Einstellungen", { 13, 0, 1, 1 },
        "Pfad für Sicherungen (Auf USB-Stick!):", 14 },
    { "lineEdit", "QLineEdit", "Einstellungen", { 13, 1, 1, 1 }, "", 0 },
    { "label_16", "MenuLabel", "Einstellungen", { 0, 3, 1, 1 }, "mit ESC zum Hauptmenü", 14 },
    { "label_3", "QLabel", "Einstellungen", { 5, 0, 1, 1 }, "Höchste Standgebühr in €:", 14 },
    { "lineEdit_pw", "QLineEdit", "Einstellungen", { 18, 1, 1, 3 }, "", 0 },
    { "spinBox_laufz", "QSpinBox", "Einstellungen", { 3, 1, 1, 3 }, "", 0 },
    { "label_4", "QLabel", "Einstellungen", { 18, 0, 1, 1 }, "Passwort:", 14 },
    { "lineEdit_mpw", "QLineEdit", "Einstellungen", { 17, 1, 1, 3 }, "", 0 },
    { "lineEdit_stadt", "QLineEdit", "Einstellungen", { 19, 1, 1, 3 }, "", 0 },
    { "label_10", "QLabel", "Einstellungen", { 8, 0, 1, 1 }, "Etikettendrucker:", 14 },
    { "pushButton_save", "QPushButton", "Einstellungen", { 22, 3, 1, 1 }, "Speichern", 12 },
    { "label_6", "QLabel", "Einstellungen", { 19, 0, 1, 1 }, "Stadt:", 14 },
    { "label_5", "QLabel", "Einstellungen", { 15, 0, 1, 1 },
        "Gewerbe-Beschreibung (Adresse+Tel.):", 14 },
    { "spinBoxVerkauf", "QSpinBox", "Einstellungen", { 2, 1, 1, 3 }, "", 0 },
    { "comboBoxEtikett", "QComboBox", "Einstellungen", { 8, 1, 1, 3 }, "", 0 },
    { "label_9", "QLabel", "Einstellungen", { 6, 0, 1, 1 }, "Vertragsdrucker:", 14 },
    { "comboBoxVertrag", "QComboBox", "Einstellungen", { 6, 1, 1, 3 }, "", 0 },
    { "label_8", "QLabel", "Einstellungen", { 2, 0, 1, 1 },
        "Zeitraum für angezeigte Verkäufe:", 14 },
    { "spinBox_standg", "QSpinBox", "Einstellungen", { 4, 1, 1, 3 }, "", 0 },
    { "label_7", "QLabel", "Einstellungen", { 17, 0, 1, 1 }, "Master Passwort:", 14 },
    { "spinBox_max_standg", "QSpinBox", "Einstellungen", { 5, 1, 1, 3 }, "", 0 },
    { "label_15", "QLabel", "Einstellungen", { 0, 0, 1, 1 }, "Einstellungen", 18 },
    { "lineEdit_upload", "QLineEdit", "Einstellungen", { 20, 1, 1, 3 }, "", 0 },
    { "label_23", "QLabel", "Einstellungen", { 11, 0, 1, 1 }, "Etiketten Größe (normal 0):", 14 },
    { "label_21", "QLabel", "Einstellungen", { 20, 0, 1, 1 }, "Upload Server:", 14 },
    { "spinBoxLabelSize", "QSpinBox", "Einstellungen", { 11, 1, 1, 3 }, "", 0 },
    { "label_24", "QLabel", "Einstellungen", { 12, 0, 1, 1 },
        "Automatisch Exportordner (leer = inaktiv):", 14 },
    { "lineEditExportPath", "QLineEdit", "Einstellungen", { 12, 1, 1, 1 }, "", 0 },
    { "toolButton", "QToolButton", "Einstellungen", { 13, 3, 1, 1 }, "Pfad wählen", 0 },
    { "toolButtonExportPath", "QToolButton", "Einstellungen", { 12, 3, 1, 1 }, "Pfad wählen", 0 },
};

QGridLayout *gridOf(QWidget *parent)
{
    return qobject_cast<QGridLayout *>(parent->layout());
}

QSpacerItem *spacerAt(QGridLayout *grid, int row, int column)
{
    for (int i = 0; i < grid->count(); ++i) {
        int r, c, rs, cs;
        grid->getItemPosition(i, &r, &c, &rs, &cs);
        if (r == row && c == column && grid->itemAt(i)->spacerItem())
            return grid->itemAt(i)->spacerItem();
    }
    return nullptr;
}

} // namespace

class TestSettingsForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void items_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < kItems.size(); ++i)
            QTest::newRow(kItems[i].name) << i;
    }
    void items()
    {
        QFETCH(int, index);
        const Item &item = kItems[index];
        Einstellungen page;
        QObject *object = page.findChild<QObject *>(item.name);
        QVERIFY(object);
        QCOMPARE(QByteArray(object->metaObject()->className()), QByteArray(item.className));
        QCOMPARE(object->parent()->objectName(), QString(item.parent));

        auto *widget = qobject_cast<QWidget *>(object);
        if (!widget)
            return;
        QGridLayout *grid = gridOf(widget->parentWidget());
        const int at = grid->indexOf(widget);
        QVERIFY(at >= 0);
        int r, c, rs, cs;
        grid->getItemPosition(at, &r, &c, &rs, &cs);
        QCOMPARE((QList<int> { r, c, rs, cs }), item.cell);
        QCOMPARE(grid->itemAt(at)->alignment(), Qt::Alignment());
        if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget))
            QCOMPARE(widget->property("text").toString(), QString::fromUtf8(item.text));
        QCOMPARE(widget->font().pointSize(),
            item.pointSize ? item.pointSize : QApplication::font().pointSize());
        QVERIFY(widget->isEnabled());
    }

    // Children come in the form's order: the page's members follow it.
    void creationOrder()
    {
        Einstellungen page;
        for (const char *parent : { "Einstellungen", "frame_2", "frame" }) {
            QObject *holder = QString(parent) == "Einstellungen"
                ? static_cast<QObject *>(&page)
                : page.findChild<QObject *>(parent);
            QStringList expected, actual;
            for (const Item &item : kItems)
                if (QString(item.parent) == parent)
                    expected << item.name;
            for (QObject *child : holder->children())
                if (!child->objectName().isEmpty() && !child->objectName().startsWith("qt_"))
                    actual << child->objectName();
            QCOMPARE(actual, expected);
        }
    }

    void properties_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("value");
        const auto row = [](const char *name, const char *property, const QVariant &value) {
            QTest::addRow("%s %s", name, property) << name << QByteArray(property) << value;
        };
        const QList<QPair<const char *, const char *>> spins = { { "spinBox_laufz", " Tage" },
            { "spinBoxVerkauf", " Tage" }, { "spinBox_standg", " %" },
            { "spinBox_max_standg", " €" }, { "spinBoxLabelSize", "" } };
        for (const auto &spin : spins) {
            row(spin.first, "minimum", 0);
            row(spin.first, "maximum", 99);
            row(spin.first, "singleStep", 1);
            row(spin.first, "value", 0);
            row(spin.first, "suffix", QString::fromUtf8(spin.second));
            row(spin.first, "prefix", QString());
        }
        for (const char *name : { "lineEdit_pw", "lineEdit_mpw" })
            row(name, "echoMode", int(QLineEdit::Normal));
        for (const char *day : { "lineEdit_Mo", "lineEdit_Di", "lineEdit_Mi", "lineEdit_Do",
                 "lineEdit_Fr", "lineEdit_Sa" })
            row(day, "sizePolicy", QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed));
        for (const char *frame : { "frame", "frame_2" }) {
            row(frame, "frameShape", int(QFrame::StyledPanel));
            row(frame, "frameShadow", int(QFrame::Raised));
        }
        row("label_15", "frameShape", int(QFrame::NoFrame));
        row("label_16", "alignment", int(Qt::AlignRight | Qt::AlignVCenter));
        row("pushButton_save", "autoDefault", true);
        row("checkBoxPrintFormat", "checked", false);
        row("lineEdit", "maxLength", 32767);
        row("lineEdit_upload", "readOnly", false);
    }
    void properties()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        Einstellungen page;
        QObject *object = page.findChild<QObject *>(name);
        QVERIFY(object);
        QVariant actual = object->property(property);
        QVERIFY2(actual.isValid(), property.constData());
        if (value.userType() == QMetaType::Int && actual.userType() != QMetaType::Int)
            actual = actual.toInt(); // enums and flags
        QCOMPARE(actual, value);
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

        const auto spacer
            = [&](int row, int column, QSize size, QSizePolicy::Policy h, QSizePolicy::Policy v) {
                  QSpacerItem *s = spacerAt(gridOf(&page), row, column);
                  QVERIFY(s);
                  QCOMPARE(s->sizeHint(), size);
                  QCOMPARE(s->sizePolicy().horizontalPolicy(), h);
                  QCOMPARE(s->sizePolicy().verticalPolicy(), v);
              };
        spacer(22, 1, QSize(40, 20), QSizePolicy::Expanding, QSizePolicy::Minimum);
        spacer(1, 0, QSize(20, 15), QSizePolicy::Minimum, QSizePolicy::Fixed);
        spacer(21, 3, QSize(20, 40), QSizePolicy::Minimum, QSizePolicy::Expanding);

        auto *table = page.findChild<QTableWidget *>("tableWidget");
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(table->columnCount(), 5);
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
        QStringList chain;
        QWidget *start = page.findChild<QWidget *>("spinBoxVerkauf");
        QWidget *w = start;
        do {
            if (order.contains(w->objectName()) && !chain.contains(w->objectName()))
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != start);
        QCOMPARE(chain, order);
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

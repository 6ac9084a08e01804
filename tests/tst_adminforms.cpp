#include "support/formcheck.h"

#include "admin/backup.h"
#include "admin/kunden.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QtTest>
#include <memory>

namespace {

std::unique_ptr<QWidget> makePage(const QString &form)
{
    if (form == QLatin1String("Backup"))
        return std::make_unique<Backup>();
    return std::make_unique<Kunden>();
}

const Qt::Alignment kRightCentred = Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter;

} // namespace

class TestAdminForms : public QObject
{
    Q_OBJECT

private slots:
    void widgets_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<FormCell>("cell");
        const QList<FormCell> backup = {
            { "horizontalLayout", "QHBoxLayout", "gridLayout", 0, 1, 1, 4 },
            { "label_7", "QLabel", "gridLayout", 3, 1, 1, 1, "Verträge:", 16 },
            { "label_vertrage", "QLabel", "gridLayout", 3, 2, 1, 1, "0", 16 },
            { "label_9", "QLabel", "gridLayout", 4, 1, 1, 1, "Kunden:", 16 },
            { "label_kunden", "QLabel", "gridLayout", 4, 2, 1, 1, "0", 16 },
            { "label_8", "QLabel", "gridLayout", 5, 1, 1, 1, "Artikel:", 16 },
            { "label_artikel", "QLabel", "gridLayout", 5, 2, 1, 1, "0", 16 },
            { "pushButtonSichern", "QPushButton", "gridLayout", 8, 1, 1, 1, "Sichern", 12 },
            { "pushButtonWiederherstellen", "QPushButton", "gridLayout", 8, 4, 1, 1,
                "Wiederherstellen", 12 },
            { "pushButton", "QPushButton", "gridLayout", 10, 4, 1, 1, "Daten löschen", 7 },
            { "label", "QLabel", "gridLayout", 11, 3, 1, 2, "Einstellungen bleiben erhalten.", 7, 0,
                kRightCentred },
        };
        const QList<FormCell> kunden = {
            { "label_15", "QLabel", "gridLayout", 0, 0, 1, 1, "Kunden verwalten", 18 },
            { "label_16", "MenuLabel", "gridLayout", 0, 3, 1, 1, "mit ESC zum Hauptmenü", 14, 0,
                kRightCentred },
            { "label", "QLabel", "gridLayout", 2, 1, 1, 1, "Kunden Nr.:", 16 },
            { "spinBox_KundeNr", "QSpinBox", "gridLayout", 2, 2, 1, 1 },
            { "label_6", "QLabel", "gridLayout", 3, 1, 1, 1, "Name:", 16 },
            { "lineEdit_Name", "QLineEdit", "gridLayout", 3, 2, 1, 1, "" },
            { "label_2", "QLabel", "gridLayout", 4, 1, 1, 1, "Vorname:", 16 },
            { "lineEdit_Vorname", "QLineEdit", "gridLayout", 4, 2, 1, 1, "" },
            { "label_3", "QLabel", "gridLayout", 5, 1, 1, 1, "Telefon:", 16 },
            { "lineEdit_Telefon", "QLineEdit", "gridLayout", 5, 2, 1, 1, "" },
            { "label_4", "QLabel", "gridLayout", 6, 1, 1, 1, "PLZ:", 16 },
            { "lineEdit_PLZ", "QLineEdit", "gridLayout", 6, 2, 1, 1, "" },
            { "label_5", "QLabel", "gridLayout", 7, 1, 1, 1, "Ort:", 16 },
            { "lineEdit_Ort", "QLineEdit", "gridLayout", 7, 2, 1, 1, "" },
            { "label_7", "QLabel", "gridLayout", 8, 1, 1, 1, "Straße/Nr.:", 16 },
            { "lineEdit_Str", "QLineEdit", "gridLayout", 8, 2, 1, 1, "" },
            { "pushButton", "QPushButton", "gridLayout", 10, 2, 1, 1, "Übernehmen", 12 },
            { "pushButton_remove", "QPushButton", "gridLayout", 11, 2, 1, 1, "Kunde löschen", 12 },
        };
        for (const auto &[form, cells] : { std::pair { "Backup", backup }, { "Kunden", kunden } })
            for (const FormCell &cell : cells)
                QTest::addRow("%s %s", form, cell.name) << form << cell;
    }
    void widgets()
    {
        QFETCH(QString, form);
        QFETCH(FormCell, cell);
        const auto page = makePage(form);
        QCOMPARE(formMismatches(*page, { cell }), QString());
        if (auto *widget = page->findChild<QWidget *>(cell.name))
            QCOMPARE(widget->parentWidget(), page.get());
    }

    // The heading and the way back share a row of their own on the backup page.
    void backupHeading()
    {
        Backup page;
        auto *row = page.findChild<QHBoxLayout *>("horizontalLayout");
        QVERIFY(row);
        QCOMPARE(row->spacing(), 0);
        const struct
        {
            const char *name, *className, *text;
            int pointSize;
        } labels[] = { { "label_15", "QLabel", "Daten und Einstellungen sichern", 18 },
            { "label_16", "MenuLabel", "mit ESC zum Hauptmenü", 14 } };
        for (int i = 0; i < 2; ++i) {
            auto *label = qobject_cast<QLabel *>(row->itemAt(i)->widget());
            QVERIFY(label);
            QCOMPARE(label->objectName(), QString(labels[i].name));
            QCOMPARE(QString(label->metaObject()->className()), QString(labels[i].className));
            QCOMPARE(label->text(), QString::fromUtf8(labels[i].text));
            QCOMPARE(label->font().pointSize(), labels[i].pointSize);
        }
    }

    void settings_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("value");
        const auto row
            = [](const char *form, const char *name, const char *property, const QVariant &value) {
                  QTest::addRow("%s %s %s", form, name, property)
                      << form << name << QByteArray(property) << value;
              };
        row("Backup", "Backup", "windowTitle", QString("Form"));
        row("Backup", "Backup", "size", QSize(464, 446));
        row("Backup", "label_15", "frameShape", int(QFrame::NoFrame));
        row("Backup", "label_15", "wordWrap", true);
        row("Backup", "label_16", "alignment", int(kRightCentred));
        row("Backup", "label_16", "sizePolicy",
            QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred));
        for (const char *button : { "pushButtonSichern", "pushButtonWiederherstellen" }) {
            row("Backup", button, "minimumSize", QSize(100, 50));
            row("Backup", button, "autoDefault", true);
        }
        row("Backup", "pushButton", "autoDefault", false);
        row("Kunden", "Kunden", "windowTitle", QString("Form"));
        row("Kunden", "Kunden", "size", QSize(680, 568));
        row("Kunden", "label_15", "frameShape", int(QFrame::NoFrame));
        for (const char *field : { "spinBox_KundeNr", "lineEdit_Name", "lineEdit_Vorname",
                 "lineEdit_Telefon", "lineEdit_PLZ", "lineEdit_Ort", "lineEdit_Str" })
            row("Kunden", field, "sizePolicy",
                QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed));
        row("Kunden", "lineEdit_Name", "maxLength", 32767);
        row("Kunden", "spinBox_KundeNr", "maximum", 99);
        for (const char *button : { "pushButton", "pushButton_remove" }) {
            row("Kunden", button, "sizePolicy",
                QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed));
            row("Kunden", button, "autoDefault", true);
        }
    }
    void settings()
    {
        QFETCH(QString, form);
        QFETCH(QString, name);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        const auto page = makePage(form);
        QCOMPARE(propertyMismatch(*page, name, property, value), QString());
    }

    void layoutAndTabOrder_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("spacers");
        QTest::addColumn<QStringList>("tabOrder");
        QTest::newRow("Backup") << "Backup"
                                << QStringList({ "gridLayout 1,1 1x4 20x15 Minimum/Fixed",
                                       "gridLayout 10,2 1x2 40x20 Expanding/Minimum",
                                       "gridLayout 8,2 1x1 20x20 Minimum/Expanding" })
                                << QStringList({ "pushButtonSichern", "pushButtonWiederherstellen",
                                       "pushButton" });
        QTest::newRow("Kunden") << "Kunden"
                                << QStringList({ "gridLayout 1,1 1x1 20x15 Minimum/Fixed",
                                       "gridLayout 12,1 1x1 20x40 Minimum/Expanding",
                                       "gridLayout 2,0 1x1 100x20 Fixed/Minimum",
                                       "gridLayout 2,3 1x1 40x20 Expanding/Minimum" })
                                << QStringList(
                                       { "spinBox_KundeNr", "lineEdit_Name", "lineEdit_Vorname",
                                           "lineEdit_Telefon", "lineEdit_PLZ", "lineEdit_Ort",
                                           "lineEdit_Str", "pushButton", "pushButton_remove" });
    }
    void layoutAndTabOrder()
    {
        QFETCH(QString, form);
        QFETCH(QStringList, spacers);
        QFETCH(QStringList, tabOrder);
        const auto page = makePage(form);
        QCOMPARE(page->objectName(), form);
        QCOMPARE(page->layout()->objectName(), QString("gridLayout"));
        QCOMPARE(formSpacers(*page), spacers);
        QCOMPARE(tabChain(*page, tabOrder), tabOrder);
    }
};

QTEST_MAIN(TestAdminForms)
#include "tst_adminforms.moc"

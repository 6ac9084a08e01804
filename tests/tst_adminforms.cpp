#include "support/testsupport.h"

#include "admin/backup.h"
#include "admin/kunden.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

namespace {

std::unique_ptr<QWidget> makePage(const QString &form)
{
    if (form == "Backup")
        return std::make_unique<Backup>();
    return std::make_unique<Kunden>();
}

// Where a widget or layout sits: the layout holding it and its cell (row, column, spans), or
// its position in a box layout.
QString placeOf(QWidget &page, QObject *object)
{
    for (QLayout *layout : page.findChildren<QLayout *>()) {
        for (int i = 0; i < layout->count(); ++i) {
            QLayoutItem *item = layout->itemAt(i);
            if (item->widget() != object && item->layout() != object)
                continue;
            if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
                int r, c, rs, cs;
                grid->getItemPosition(i, &r, &c, &rs, &cs);
                return QString("%1 %2,%3 %4x%5")
                    .arg(grid->objectName())
                    .arg(r)
                    .arg(c)
                    .arg(rs)
                    .arg(cs);
            }
            return QString("%1 #%2").arg(layout->objectName()).arg(i);
        }
    }
    return QString();
}

// Every spacer of the form as "layout row,column spans: width x height, policies".
QStringList spacers(QWidget &page)
{
    QStringList found;
    for (QGridLayout *grid : page.findChildren<QGridLayout *>()) {
        for (int i = 0; i < grid->count(); ++i) {
            QSpacerItem *spacer = grid->itemAt(i)->spacerItem();
            if (!spacer)
                continue;
            int r, c, rs, cs;
            grid->getItemPosition(i, &r, &c, &rs, &cs);
            found << QString("%1,%2 %3x%4: %5x%6 %7 %8")
                         .arg(r)
                         .arg(c)
                         .arg(rs)
                         .arg(cs)
                         .arg(spacer->sizeHint().width())
                         .arg(spacer->sizeHint().height())
                         .arg(spacer->sizePolicy().horizontalPolicy())
                         .arg(spacer->sizePolicy().verticalPolicy());
        }
    }
    found.sort();
    return found;
}

QString spacer(
    int r, int c, int rs, int cs, int w, int h, QSizePolicy::Policy hp, QSizePolicy::Policy vp)
{
    return QString("%1,%2 %3x%4: %5x%6 %7 %8")
        .arg(r)
        .arg(c)
        .arg(rs)
        .arg(cs)
        .arg(w)
        .arg(h)
        .arg(hp)
        .arg(vp);
}

} // namespace

class TestAdminForms : public QObject
{
    Q_OBJECT

private slots:
    void widgets_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pointSize"); // 0: the default font
        struct Row
        {
            const char *name, *className, *place, *text;
            int pointSize;
        };
        const QList<Row> backup = {
            { "horizontalLayout", "QHBoxLayout", "gridLayout 0,1 1x4", "", 0 },
            { "label_15", "QLabel", "horizontalLayout #0", "Daten und Einstellungen sichern", 18 },
            { "label_16", "MenuLabel", "horizontalLayout #1", "mit ESC zum Hauptmenü", 14 },
            { "label_7", "QLabel", "gridLayout 3,1 1x1", "Verträge:", 16 },
            { "label_vertrage", "QLabel", "gridLayout 3,2 1x1", "0", 16 },
            { "label_9", "QLabel", "gridLayout 4,1 1x1", "Kunden:", 16 },
            { "label_kunden", "QLabel", "gridLayout 4,2 1x1", "0", 16 },
            { "label_8", "QLabel", "gridLayout 5,1 1x1", "Artikel:", 16 },
            { "label_artikel", "QLabel", "gridLayout 5,2 1x1", "0", 16 },
            { "pushButtonSichern", "QPushButton", "gridLayout 8,1 1x1", "Sichern", 12 },
            { "pushButtonWiederherstellen", "QPushButton", "gridLayout 8,4 1x1", "Wiederherstellen",
                12 },
            { "pushButton", "QPushButton", "gridLayout 10,4 1x1", "Daten löschen", 7 },
            { "label", "QLabel", "gridLayout 11,3 1x2", "Einstellungen bleiben erhalten.", 7 },
        };
        const QList<Row> kunden = {
            { "label_15", "QLabel", "gridLayout 0,0 1x1", "Kunden verwalten", 18 },
            { "label_16", "MenuLabel", "gridLayout 0,3 1x1", "mit ESC zum Hauptmenü", 14 },
            { "label", "QLabel", "gridLayout 2,1 1x1", "Kunden Nr.:", 16 },
            { "spinBox_KundeNr", "QSpinBox", "gridLayout 2,2 1x1", "", 0 },
            { "label_6", "QLabel", "gridLayout 3,1 1x1", "Name:", 16 },
            { "lineEdit_Name", "QLineEdit", "gridLayout 3,2 1x1", "", 0 },
            { "label_2", "QLabel", "gridLayout 4,1 1x1", "Vorname:", 16 },
            { "lineEdit_Vorname", "QLineEdit", "gridLayout 4,2 1x1", "", 0 },
            { "label_3", "QLabel", "gridLayout 5,1 1x1", "Telefon:", 16 },
            { "lineEdit_Telefon", "QLineEdit", "gridLayout 5,2 1x1", "", 0 },
            { "label_4", "QLabel", "gridLayout 6,1 1x1", "PLZ:", 16 },
            { "lineEdit_PLZ", "QLineEdit", "gridLayout 6,2 1x1", "", 0 },
            { "label_5", "QLabel", "gridLayout 7,1 1x1", "Ort:", 16 },
            { "lineEdit_Ort", "QLineEdit", "gridLayout 7,2 1x1", "", 0 },
            { "label_7", "QLabel", "gridLayout 8,1 1x1", "Straße/Nr.:", 16 },
            { "lineEdit_Str", "QLineEdit", "gridLayout 8,2 1x1", "", 0 },
            { "pushButton", "QPushButton", "gridLayout 10,2 1x1", "Übernehmen", 12 },
            { "pushButton_remove", "QPushButton", "gridLayout 11,2 1x1", "Kunde löschen", 12 },
        };
        for (const auto &[form, rows] : { std::pair { "Backup", backup }, { "Kunden", kunden } })
            for (const Row &r : rows)
                QTest::addRow("%s %s", form, r.name) << form << r.name << r.className << r.place
                                                     << QString::fromUtf8(r.text) << r.pointSize;
    }
    void widgets()
    {
        QFETCH(QString, form);
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, place);
        QFETCH(QString, text);
        QFETCH(int, pointSize);
        const auto page = makePage(form);
        QObject *object = page->findChild<QObject *>(name);
        QVERIFY2(object, qPrintable(name));
        QCOMPARE(QString(object->metaObject()->className()), className);
        QCOMPARE(placeOf(*page, object), place);
        auto *widget = qobject_cast<QWidget *>(object);
        if (!widget)
            return;
        QCOMPARE(widget->parentWidget(), page.get());
        QCOMPARE(widget->property("text").toString(), text);
        QCOMPARE(
            widget->font().pointSize(), pointSize ? pointSize : QApplication::font().pointSize());
        QVERIFY(!widget->font().bold());
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
        const int rightCentred = int(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
        row("Backup", "Backup", "windowTitle", QString("Form"));
        row("Backup", "Backup", "size", QSize(464, 446));
        row("Backup", "horizontalLayout", "spacing", 0);
        row("Backup", "label_15", "frameShape", int(QFrame::NoFrame));
        row("Backup", "label_15", "wordWrap", true);
        row("Backup", "label_16", "alignment", rightCentred);
        row("Backup", "label_16", "sizePolicy",
            QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred));
        row("Backup", "label", "alignment", rightCentred);
        for (const char *button : { "pushButtonSichern", "pushButtonWiederherstellen" }) {
            row("Backup", button, "minimumSize", QSize(100, 50));
            row("Backup", button, "autoDefault", true);
        }
        row("Backup", "pushButton", "autoDefault", false);
        row("Kunden", "Kunden", "windowTitle", QString("Form"));
        row("Kunden", "Kunden", "size", QSize(680, 568));
        row("Kunden", "label_15", "frameShape", int(QFrame::NoFrame));
        row("Kunden", "label_16", "alignment", rightCentred);
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
        QObject *object = name == form ? page.get() : page->findChild<QObject *>(name);
        QVERIFY(object);
        QVariant actual = object->property(property);
        QVERIFY2(actual.isValid(), property.constData());
        if (value.userType() == QMetaType::Int && actual.userType() != QMetaType::Int)
            actual = actual.toInt(); // enums and flags
        QCOMPARE(actual, value);
    }

    void layoutAndTabOrder_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("spacers");
        QTest::addColumn<QStringList>("tabOrder");
        const auto F = QSizePolicy::Fixed, M = QSizePolicy::Minimum, E = QSizePolicy::Expanding;
        QStringList backup = { spacer(1, 1, 1, 4, 20, 15, M, F), spacer(8, 2, 1, 1, 20, 20, M, E),
            spacer(10, 2, 1, 2, 40, 20, E, M) };
        backup.sort();
        QStringList kunden = { spacer(1, 1, 1, 1, 20, 15, M, F), spacer(2, 0, 1, 1, 100, 20, F, M),
            spacer(2, 3, 1, 1, 40, 20, E, M), spacer(12, 1, 1, 1, 20, 40, M, E) };
        kunden.sort();
        QTest::newRow("Backup") << "Backup" << backup
                                << QStringList({ "pushButtonSichern", "pushButtonWiederherstellen",
                                       "pushButton" });
        QTest::newRow("Kunden") << "Kunden" << kunden
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
        QCOMPARE(::spacers(*page), spacers);
        // The focus chain from the first stop, the form's widgets only.
        QStringList chain;
        QWidget *first = page->findChild<QWidget *>(tabOrder.first());
        QWidget *w = first;
        do {
            if (w->focusPolicy() & Qt::TabFocus && w->parentWidget() == page.get())
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != first);
        QCOMPARE(chain, tabOrder);
    }
};

QTEST_MAIN(TestAdminForms)
#include "tst_adminforms.moc"

#include "admin/einstellungen.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/numbers.h"
#include "app/pricerule.h"
#include "app/sql.h"
#include "app/textwidgets.h"
#include "app/titleprefix.h"
#include "printing/printoutput.h"
#include "ui_einstellungen.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <limits>
#include <optional>

namespace {

enum RuleColumn { ColAb, ColThreshold, ColOperator, ColValue, ColRange };

// One setting of Systemdaten as the page shows it. A missing row gets the fallback when
// there is one. Texts that go into the table unaltered refuse "'" and name the field so.
struct Setting
{
    const char *key;
    QWidget *widget;
    std::optional<QString> fallback;
    const char *refusal = nullptr; // the field's name in the refusal, for unaltered texts
};

const QString kApostrophe = QStringLiteral("'");
// The usual opening hours, and the longest.
const QString kTwoShifts = QStringLiteral("09 - 13 u. 14 - 17 Uhr");

// "lo € -hi €", or "lo € -..." for the last rule; nothing for an invalid operator.
std::optional<QString> rangeText(
    double threshold, const QString &op, double wert, std::optional<double> nextThreshold)
{
    const std::optional<double> lo = priceByRule(op, threshold, wert);
    if (!lo)
        return std::nullopt;
    QString text = moneyText(*lo) + QStringLiteral(" € -");
    if (!nextThreshold)
        return text + QStringLiteral("...");
    return text + moneyText(*priceByRule(op, *nextThreshold, wert)) + QStringLiteral(" €");
}

double cellNumber(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? readNumber(item->text()) : 0.0;
}

QString cellOperator(const QTableWidget *table, int row)
{
    const QTableWidgetItem *item = table->item(row, ColOperator);
    return item ? item->text() : QStringLiteral("*");
}

void warnInvalidOperator(QWidget *page, const QString &op)
{
    Dialogs::warning(
        page, QStringLiteral("Fehler"), QStringLiteral("Operator %1 ist ungültig!").arg(op));
}

void clearEditable(QTableWidgetItem *item)
{
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
}

// A null QString binds as NULL; an unset setting is stored as the empty text.
QString storedValue(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

Einstellungen::Einstellungen(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Einstellungen)
{
    ui->setupUi(this);
    connect(ui->pushButton_save, &QPushButton::clicked, this, &Einstellungen::save);
    connect(ui->label_16, &MenuLabel::clicked, this, &Einstellungen::openMenuSlot);
    connect(ui->tableWidget, &QTableWidget::itemChanged, this, &Einstellungen::itemChanged);
    connect(ui->toolButton, &QToolButton::clicked, this, &Einstellungen::changePath);
    connect(
        ui->toolButtonExportPath, &QToolButton::clicked, this, &Einstellungen::changeExportPath);
    for (QLineEdit *day : { ui->lineEdit_Mo, ui->lineEdit_Di, ui->lineEdit_Mi, ui->lineEdit_Do,
             ui->lineEdit_Fr, ui->lineEdit_Sa })
        widenForText(day, kTwoShifts);
}

Einstellungen::~Einstellungen()
{
    delete ui;
}

// The settings in load order.
static QList<Setting> catalogue(Ui_Einstellungen *ui)
{
    return {
        { "Laufzeit", ui->spinBox_laufz, std::nullopt },
        { "Standgebuehr", ui->spinBox_standg, std::nullopt },
        { "MaxStandgebuehr", ui->spinBox_max_standg, std::nullopt },
        { "Passwort", ui->lineEdit_pw, std::nullopt, "Passwort" },
        { "MasterPasswort", ui->lineEdit_mpw, std::nullopt, "MasterPasswort" },
        { "Beschreibung", ui->lineEdit_beschr, std::nullopt },
        { "Stadt", ui->lineEdit_stadt, std::nullopt },
        { "AnzahlVerkauf", ui->spinBoxVerkauf, QStringLiteral("7") },
        { "PfadBackup", ui->lineEdit, QStringLiteral("e:"), "Pfad für Sicherungen" },
        { "Montag", ui->lineEdit_Mo, kTwoShifts, "Öffnungszeiten Montag" },
        { "Dienstag", ui->lineEdit_Di, kTwoShifts, "Öffnungszeiten Dienstag" },
        { "Mittwoch", ui->lineEdit_Mi, QStringLiteral("09 - 13 Uhr"), "Öffnungszeiten Mittwoch" },
        { "Donnerstag", ui->lineEdit_Do, kTwoShifts, "Öffnungszeiten Donnerstag" },
        { "Freitag", ui->lineEdit_Fr, kTwoShifts, "Öffnungszeiten Freitag" },
        { "Samstag", ui->lineEdit_Sa, QStringLiteral("10 - 13 Uhr"), "Öffnungszeiten Samstag" },
        { "Vertragsdrucker", ui->comboBoxVertrag, QString(), "Vertragsdrucker" },
        { "Etikettendrucker", ui->comboBoxEtikett, QString(), "Etikettendrucker" },
        { "UploadPath", ui->lineEdit_upload, QString(), "Upload Server" },
        { "PrintFormat", ui->checkBoxPrintFormat, QStringLiteral("false") },
        { "LabelSize", ui->spinBoxLabelSize, QStringLiteral("0") },
        { "AutoExportPath", ui->lineEditExportPath, QString(), "Exportordner" },
    };
}

void Einstellungen::refreshPage()
{
    saved = false;
    ui->tableWidget->clear();
    ui->tableWidget->setRowCount(0);
    thresholds.clear();
    hiddenRules.clear();
    rulesShown = false;

    ui->comboBoxEtikett->clear();
    ui->comboBoxVertrag->clear();
    ui->comboBoxEtikett->addItem(QStringLiteral("Etiketten nicht drucken"), QString(""));
    for (const QString &printer : PrintOutput::installedPrinters()) {
        ui->comboBoxEtikett->addItem(printer, printer);
        ui->comboBoxVertrag->addItem(printer, printer);
    }

    loadSettings();
    if (loadRules())
        ui->spinBoxVerkauf->setFocus(Qt::OtherFocusReason);
}

// Puts a stored (or fallback) value into its widget. A printer name the system does not
// have is still listed, so that saving keeps it until someone picks another.
static void showValue(QWidget *widget, const QString &value, bool stored)
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
        spin->setValue(QVariant(value).toInt());
    } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        edit->setText(value);
    } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        check->setChecked(value == QLatin1String("true"));
    } else if (auto *box = qobject_cast<QComboBox *>(widget)) {
        if (!stored)
            return;
        int index = box->findData(value);
        if (index < 0 && !value.isEmpty()) {
            box->addItem(value + QStringLiteral(" (nicht installiert)"), value);
            index = box->count() - 1;
        }
        if (index >= 0)
            box->setCurrentIndex(index);
    }
}

void Einstellungen::loadSettings()
{
    for (const Setting &s : catalogue(ui)) {
        const QString key = QLatin1String(s.key);
        if (key == QLatin1String("Beschreibung"))
            ui->label_Beschreibung->setText(titlePrefix() + QLatin1Char(' '));
        bool found = false;
        const QString value = readSetting(key, this, &found);
        if (found) {
            showValue(s.widget, value, true);
        } else if (s.fallback) {
            QSqlQuery insert;
            insert.prepare(QStringLiteral("INSERT INTO Systemdaten (Name, Wert) VALUES (?, ?);"));
            insert.addBindValue(key);
            insert.addBindValue(storedValue(*s.fallback));
            execOrWarn(insert, this);
            showValue(s.widget, *s.fallback, false);
        }
    }
}

// Fills the rule table; false when a stored operator is invalid and the filling stopped.
bool Einstellungen::loadRules()
{
    QTableWidget *table = ui->tableWidget;
    table->setHorizontalHeaderLabels(
        { QString(), QStringLiteral("Einkaufspreis in €"), QStringLiteral("Operator (+ / *)"),
            QStringLiteral("Wert (Summand / Faktor)"), QStringLiteral("Verkaufspreis") });
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The columns share the table's width, but the price ranges show whole however large
    // the prices: at 1280 pixels a fifth of the width cuts "112.00 € -140.00 €". "ab" needs
    // only its own room and leaves the rest to the others.
    for (const int column : { 0, 4 })
        table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

    QSqlQuery query;
    rulesShown = execOrWarn(query,
        QStringLiteral("SELECT Einkaufspreis, Operator, Wert FROM Verkaufspreis "
                       "ORDER BY Einkaufspreis, ID;"),
        this);
    if (!rulesShown)
        return true;
    QFont operatorFont = QApplication::font();
    operatorFont.setPointSize(14);
    bool more = query.next();
    while (more) {
        const StoredRule rule { query.value(0), query.value(1), query.value(2) };
        const double threshold = storedNumber(rule.einkaufspreis);
        const QString op = rule.op.toString();
        const double wert = storedNumber(rule.wert);
        more = query.next();
        std::optional<double> next;
        if (more)
            next = storedNumber(query.value(0));
        const std::optional<QString> range = rangeText(threshold, op, wert, next);
        if (!range) {
            // Shown rules end here; the rest stay as they are stored.
            hiddenRules << rule;
            for (; more; more = query.next())
                hiddenRules << StoredRule { query.value(0), query.value(1), query.value(2) };
            warnInvalidOperator(this, op);
            return false;
        }

        const int row = table->rowCount();
        table->insertRow(row);
        thresholds << threshold;
        auto *ab = new QTableWidgetItem(QStringLiteral("ab"));
        table->setItem(row, ColAb, ab);
        clearEditable(ab);
        ab->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, ColThreshold, new QTableWidgetItem(moneyText(threshold)));
        auto *opItem = new QTableWidgetItem(op);
        table->setItem(row, ColOperator, opItem);
        opItem->setFont(operatorFont);
        table->setItem(row, ColValue, new QTableWidgetItem(moneyText(wert)));
        auto *rangeItem = new QTableWidgetItem(*range);
        table->setItem(row, ColRange, rangeItem);
        clearEditable(rangeItem);
    }
    return true;
}

// Every placed or edited cell comes through here, also while the table is filled, so the
// loaded rules get the same normalisation as typed ones. Setting a text that differs from
// the cell's runs this again for that cell; the second pass finds nothing to change.
void Einstellungen::itemChanged(QTableWidgetItem *item)
{
    if (!item || !item->tableWidget())
        return;
    QTableWidget *table = item->tableWidget();
    const int row = item->row();
    const bool last = row + 1 == table->rowCount();

    switch (item->column()) {
    case ColThreshold: {
        // Thresholds rise strictly: the first is 0, a later one lies between its neighbours.
        double value = readNumber(item->text());
        if (row == 0) {
            value = 0;
        } else {
            const double above = cellNumber(table, row - 1, ColThreshold);
            const double below = !last && table->item(row + 1, ColThreshold)
                ? cellNumber(table, row + 1, ColThreshold)
                : std::numeric_limits<double>::max();
            if (value <= above || value >= below) {
                value = above + 1;
                // No room for it: the cell keeps what it had.
                if (value >= below && row < thresholds.size())
                    value = thresholds.at(row);
            }
        }
        if (row < thresholds.size())
            thresholds[row] = value;
        item->setText(moneyText(value));
        break;
    }
    case ColOperator:
        if (item->text() != QLatin1String("*") && item->text() != QLatin1String("+"))
            item->setText(QStringLiteral("*"));
        break;
    case ColValue:
        item->setText(moneyText(readNumber(item->text())));
        break;
    default:
        break;
    }

    // A row's threshold ends the range of the row above, so both ranges change.
    if (!updateRange(row))
        return;
    if (row > 0)
        updateRange(row - 1);
}

// Writes the row's range text; false (after the message) for an invalid operator.
bool Einstellungen::updateRange(int row)
{
    QTableWidget *table = ui->tableWidget;
    std::optional<double> next;
    if (row + 1 < table->rowCount())
        next = cellNumber(table, row + 1, ColThreshold);
    const QString op = cellOperator(table, row);
    const std::optional<QString> range = rangeText(
        cellNumber(table, row, ColThreshold), op, cellNumber(table, row, ColValue), next);
    if (!range) {
        warnInvalidOperator(this, op);
        return false;
    }
    if (QTableWidgetItem *cell = table->item(row, ColRange))
        cell->setText(*range);
    return true;
}

// A rule whose sale prices fall below 0 somewhere in its range; the last rule's range has no
// upper end, so a negative factor there does too.
static bool proposesNegativePrices(
    const QString &op, double threshold, double wert, std::optional<double> nextThreshold)
{
    const std::optional<double> lo = priceByRule(op, threshold, wert);
    if (lo && *lo < 0)
        return true;
    if (!nextThreshold)
        return op == QLatin1String("*") && wert < 0;
    const std::optional<double> hi = priceByRule(op, *nextThreshold, wert);
    return hi && *hi < 0;
}

// Refused before anything is stored: the intake would propose negative selling prices.
bool Einstellungen::rulesAcceptable()
{
    const QTableWidget *table = ui->tableWidget;
    for (int row = 0; rulesShown && row < table->rowCount(); ++row) {
        std::optional<double> next;
        if (row + 1 < table->rowCount())
            next = cellNumber(table, row + 1, ColThreshold);
        if (!proposesNegativePrices(cellOperator(table, row), cellNumber(table, row, ColThreshold),
                cellNumber(table, row, ColValue), next))
            continue;
        const QTableWidgetItem *range = table->item(row, ColRange);
        Dialogs::warning(this, QStringLiteral("Fehler"),
            QStringLiteral("Die Preisregel in Zeile %1 ergibt negative Verkaufspreise (%2).\n"
                           "Es wurde nichts gespeichert.")
                .arg(row + 1)
                .arg(range ? range->text() : QString()));
        return false;
    }
    return true;
}

void Einstellungen::save()
{
    if (!rulesAcceptable())
        return;
    saveSettings();
    saveRules();
    saved = true;
    emit openMenu();
}

// The text a widget stores: spin boxes without their suffix, the printer's name.
static QString storedText(QWidget *widget)
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget))
        return QString::number(spin->value());
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->text();
    if (auto *check = qobject_cast<QCheckBox *>(widget))
        return check->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    if (auto *box = qobject_cast<QComboBox *>(widget))
        return box->currentData().toString();
    return QString();
}

static bool isPassword(const QString &key)
{
    return key == QLatin1String("Passwort") || key == QLatin1String("MasterPasswort");
}

// Why a value was not stored; the passwords say that the old one stays in force.
static QString refusalText(const QString &key, const char *field)
{
    if (isPassword(key))
        return QStringLiteral("Das %1 enthält das Zeichen ('),\nund ist damit ungültig!\nDas alte "
                              "Passwort wird weiterverwendet.\n")
            .arg(key);
    return QStringLiteral("%1 enthält das Zeichen ('),\nund ist damit ungültig!\nDer alte Wert "
                          "wird weiterverwendet.\n")
        .arg(QString::fromUtf8(field));
}

// One statement per setting, each standing on its own: what fails keeps its old value and
// the rest is still saved.
void Einstellungen::saveSettings()
{
    QList<Setting> settings = catalogue(ui);
    // The label printer is written before the document printer.
    settings.swapItemsAt(15, 16);
    QSqlQuery query;
    for (const Setting &s : qAsConst(settings)) {
        const QString key = QLatin1String(s.key);
        QString value = storedText(s.widget);
        if (!s.refusal) {
            value.replace(kApostrophe, QStringLiteral(" "));
        } else if (value.contains(kApostrophe)) {
            Dialogs::warning(this, QStringLiteral("SQL-Fehler"), refusalText(key, s.refusal));
            continue;
        }
        query.prepare(QStringLiteral("UPDATE Systemdaten SET Wert = ? WHERE Name = ?;"));
        query.addBindValue(storedValue(value));
        query.addBindValue(key);
        if (!query.exec())
            Dialogs::warning(this, QStringLiteral("SQL-Fehler"),
                (isPassword(key) ? refusalText(key, s.refusal) : QString())
                    + sqlErrorText(query.lastError()));
    }
}

// The rules are replaced all together or not at all; rules the page could not show are
// written back as they were stored.
void Einstellungen::saveRules()
{
    if (!rulesShown)
        return;
    Transaction transaction(this);
    if (!transaction.begin())
        return;
    QSqlQuery query;
    if (!execOrWarn(query, QStringLiteral("DELETE FROM Verkaufspreis;"), this))
        return;
    const QTableWidget *table = ui->tableWidget;
    QList<StoredRule> rules;
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto number = [&](int column) {
            const QTableWidgetItem *cell = table->item(row, column);
            QString text = cell ? cell->text() : QString();
            text.replace(QLatin1Char(','), QLatin1Char('.'));
            return moneyText(readNumber(text)).toDouble(); // as the table shows it
        };
        rules << StoredRule { number(ColThreshold), cellOperator(table, row), number(ColValue) };
    }
    rules << hiddenRules;
    for (const StoredRule &rule : qAsConst(rules)) {
        query.prepare(QStringLiteral(
            "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (?, ?, ?);"));
        query.addBindValue(rule.einkaufspreis);
        query.addBindValue(rule.op);
        query.addBindValue(rule.wert);
        if (!execOrWarn(query, this))
            return;
    }
    transaction.commit();
}

void Einstellungen::openMenuSlot()
{
    if (!saved
        && Dialogs::question(this, QStringLiteral("Speichern"),
               QStringLiteral("Haben Sie Änderungen vorgenommen und wollen Sie speichern?"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            == QMessageBox::Yes) {
        save(); // it leaves for the menu itself
        return;
    }
    saved = true;
    emit openMenu();
}

// A cancelled dialog leaves the field as it was.
static void chooseFolder(QWidget *page, const QString &title, QLineEdit *field)
{
    const QString folder = Dialogs::getExistingDirectory(page, title, field->text());
    if (!folder.isEmpty())
        field->setText(folder);
}

void Einstellungen::changePath()
{
    chooseFolder(this, QStringLiteral("Pfad wählen"), ui->lineEdit);
}

void Einstellungen::changeExportPath()
{
    chooseFolder(this, QStringLiteral("Exportpfad wählen"), ui->lineEditExportPath);
}

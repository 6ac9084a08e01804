#include "payout/abgelaufene.h"

#include "app/database.h"
#include "app/numbers.h"
#include "app/sql.h"
#include "app/tablecell.h"
#include "app/waitcursor.h"
#include "payout/abrechnung.h"
#include "printing/reportprinter.h"
#include "ui_abgelaufene.h"

#include <QDateTime>
#include <QHeaderView>
#include <QSqlQuery>
#include <QStringList>

namespace {

enum Column { ColVertrag, ColName, ColKunde, ColTelefon, ColAbgelaufen, ColOffen, ColBeenden };

// Running commission contracts ("" and a prepared end "-1" run too), with their customer.
// Which of them have expired is decided on the clock, to the millisecond. Read straight
// through the contracts in number order: through idx_Vertrag_Vertragsende each of the 17,000
// running ones would be a look-up of its own and the list sorted afterwards.
const QString kLaufende = QStringLiteral(R"(
SELECT V.ID, V.Kunde, V.DateTime, V.Laufzeit, K.Name, K.Vorname, K.Telefon
FROM Vertrag AS V NOT INDEXED LEFT JOIN Kunde AS K ON V.Kunde = K.ID
WHERE (V.Vertragsende IS NULL OR V.Vertragsende = '' OR V.Vertragsende = '-1')
  AND V.Laufzeit <> -1
ORDER BY V.ID)");

} // namespace

Abgelaufene::Abgelaufene(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Abgelaufene)
{
    ui->setupUi(this);
    // The contract number names a row; row numbers would take the room the names need.
    ui->tableWidget->verticalHeader()->hide();
    connect(ui->label_16, &MenuLabel::clicked, this, &Abgelaufene::openMenuSlot);
    connect(ui->pushButtonPrint, &QPushButton::clicked, this, &Abgelaufene::print);
    connect(ui->pushButton_beenden, &QPushButton::clicked, this, &Abgelaufene::selbstBeenden);
}

Abgelaufene::~Abgelaufene()
{
    delete ui;
}

void Abgelaufene::openMenuSlot()
{
    emit openMenu();
}

void Abgelaufene::refreshPage()
{
    QTableWidget *table = ui->tableWidget;
    table->setRowCount(0);
    vertraege.clear();
    termine.clear();

    // The contracts first, then the open amounts of the expired ones in one statement.
    QSqlQuery query;
    query.setForwardOnly(true);
    QList<qint64> nummern;
    const QDateTime now = QDateTime::currentDateTime();
    if (execOrWarn(query, kLaufende, this)) {
        while (query.next()) {
            Termin termin;
            const QVariant stored = query.value(2);
            if (!readTimestamp(stored.toString(), &termin.datum, &termin.zeit)) {
                const QDateTime other = stored.toDateTime();
                termin.datum = other.date();
                termin.zeit = other.time();
            }
            termin.ende = termin.datum.addDays(query.value(3).toInt());
            // Expired when the end is not after now, to the millisecond, on the clock as shown.
            if (termin.ende > now.date() || (termin.ende == now.date() && termin.zeit > now.time()))
                continue;
            AbgelaufenerVertrag v;
            v.id = query.value(0).toLongLong();
            v.kunde = query.value(1).toInt();
            v.name = query.value(4).toString() + QStringLiteral(", ") + query.value(5).toString();
            v.telefon = query.value(6).toString();
            vertraege.append(v);
            termine.append(termin);
            nummern.append(v.id);
        }
    }
    const QHash<qint64, double> offen = readOffen(nummern, this);

    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    table->setRowCount(vertraege.size());
    // The widest figures are found as the cells are made; the dates and telephone numbers
    // are looked through.
    ExtremeRows widest(table->columnCount());
    widest.add(ColBeenden, 0);
    fillCells(table, [&] {
        for (int row = 0; row < vertraege.size(); ++row) {
            AbgelaufenerVertrag &v = vertraege[row];
            const Termin &termin = termine.at(row);
            v.offen = offen.value(v.id);
            table->setItem(row, ColVertrag, new TableCell(QString::number(v.id), centred));
            table->setItem(row, ColName, new NameCell(v.name, centred));
            table->setItem(row, ColKunde, new TableCell(QString::number(v.kunde), centred));
            table->setItem(row, ColTelefon, new NameCell(v.telefon, centred));
            table->setItem(row, ColAbgelaufen,
                new TableCell(termin.ende.toString(QStringLiteral("dd.MM.yyyy "))
                        + termin.zeit.toString(QStringLiteral("hh:mm:ss")),
                    centred));
            table->setItem(row, ColOffen, new TableCell(euroText(v.offen), right));
            auto *box = new QTableWidgetItem;
            box->setCheckState(Qt::Unchecked);
            table->setItem(row, ColBeenden, box);
            widest.note(ColVertrag, v.id, row);
            widest.note(ColKunde, v.kunde, row);
            widest.note(ColOffen, v.offen, row);
        }
    });
    fitColumns(table, ColName, widest.rows());
    // In the list's 16 pt a number of twenty characters shows whole beside a name of 25 at
    // 1280 pixels; a longer entry (two numbers, a note) is cut and leaves the name its room.
    limitColumn(table, ColTelefon, QLatin1Char('+') + QString(19, QLatin1Char('0')));
}

AbgelaufenerVertrag Abgelaufene::vertrag(int row) const
{
    AbgelaufenerVertrag v = vertraege.at(row);
    const Termin &termin = termine.at(row);
    v.datum = QDateTime(termin.datum, termin.zeit);
    v.ende = QDateTime(termin.ende, termin.zeit);
    return v;
}

void Abgelaufene::print()
{
    const WaitCursor wait;
    QList<AbgelaufenerVertrag> liste;
    liste.reserve(vertraege.size());
    for (int row = 0; row < vertraege.size(); ++row)
        liste.append(vertrag(row));
    ReportPrinter printer;
    printer.parent = this;
    printer.printOffeneVertraege(liste);
}

void Abgelaufene::selbstBeenden()
{
    // Row i is contract i: the table can be neither edited nor sorted.
    QList<int> ticked;
    for (int row = 0; row < vertraege.size(); ++row) {
        const QTableWidgetItem *box = ui->tableWidget->item(row, ColBeenden);
        if (box && box->checkState() == Qt::Checked)
            ticked.append(row);
    }
    const WaitCursor wait;
    if (!ticked.isEmpty()) {
        // Each contract is ended with its document or not at all: without a printer, none.
        ReportPrinter printer;
        printer.parent = this;
        if (!printer.checkDocumentPrinter())
            return;
        for (const int row : qAsConst(ticked))
            beenden(vertrag(row), printer);
    }
    refreshPage();
}

bool Abgelaufene::beenden(AbgelaufenerVertrag vertrag, ReportPrinter &printer)
{
    Transaction transaction(this);
    if (!transaction.begin())
        return false;
    // The articles' figures as they stand, their purchase prices before they go.
    bool read = false;
    vertrag.artikel = readAbrechnung({ vertrag.id }, this, &read).value(vertrag.id);
    if (!read)
        return false;
    QStringList marks;
    QVariantList ids;
    for (const ArtikelAbrechnung &a : qAsConst(vertrag.artikel)) {
        vertrag.summeOffen += a.offen;
        vertrag.summeAusgezahlt += a.ausgezahlt;
        marks << QStringLiteral("?");
        ids << a.id;
    }
    const QString liste = marks.join(QLatin1Char(','));
    // The consignor's claim to what is sold and not yet paid out is forfeited: those sales
    // count as paid out now, with a share of 0. What was paid out before stays.
    QSqlQuery query;
    if (!execOrWarn(query,
            QStringLiteral("UPDATE Artikel SET EinkaufsPreis = 0 WHERE ID IN (%1)").arg(liste), ids,
            this)
        || !execOrWarn(query,
            QStringLiteral(
                "UPDATE Verkauf SET EinkaufsPreis = 0, Auszahldatum = ? "
                "WHERE Artikel IN (%1) AND (Auszahldatum IS NULL OR Auszahldatum = '-1')")
                .arg(liste),
            QVariantList { currentTimestamp() } + ids, this)
        || !execOrWarn(query, QStringLiteral("UPDATE Vertrag SET Vertragsende = ? WHERE ID = ?"),
            { currentTimestamp(), vertrag.id }, this))
        return false;
    if (!printer.printSelbstBeenden(vertrag))
        return false;
    return transaction.commit();
}

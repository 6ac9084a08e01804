#include "sales/ankauf.h"

#include "app/database.h"
#include "app/numbers.h"
#include "app/sql.h"
#include "app/tablecell.h"
#include "printing/records/inventur.h"
#include "ui_ankauf.h"

#include <QHash>
#include <QSqlQuery>

namespace {

// Every article of every cash purchase with its pieces sold, in contract and storage order:
// one statement, the positions counted while reading. Returns to the consignor do not count,
// a cash purchase has none.
const QString kCashPurchases = QStringLiteral(R"(
SELECT V.ID, V.DateTime, A.Bezeichnung, A.Einkaufsmenge, A.EinkaufsPreis, A.VerkaufsPreis,
       (SELECT SUM(VerkaufsMenge) FROM Verkauf WHERE Artikel = A.ID)
FROM Vertrag AS V JOIN Artikel AS A ON A.Vertrag = V.ID
WHERE V.Laufzeit = -1
ORDER BY V.ID, A.ID)");

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = {})
{
    return new TableCell(text, alignment);
}

} // namespace

Ankauf::Ankauf(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Ankauf)
{
    ui->setupUi(this);
    connect(ui->label_16, &MenuLabel::clicked, this, &Ankauf::openMenuSlot);
}

Ankauf::~Ankauf()
{
    delete ui;
}

void Ankauf::openMenuSlot()
{
    emit openMenu();
}

void Ankauf::refreshPage()
{
    QTableWidget *table = ui->tableWidget;
    table->setRowCount(0);

    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(kCashPurchases);
    if (!execOrWarn(query, this))
        return;

    // Each contract's listed articles, and its date and number for the first of them.
    struct Listed
    {
        QString datum;
        QString vertrag;
        InventurArtikel artikel;
    };
    QList<Listed> listed;
    qint64 vertrag = -1;
    int position = 0;
    QString datum; // the contract's, until its first listed article has it
    QString vertragText;
    while (query.next()) {
        if (query.value(0).toLongLong() != vertrag) {
            vertrag = query.value(0).toLongLong();
            vertragText = query.value(0).toString();
            QDate date;
            QTime time;
            datum = readTimestamp(query.value(1).toString(), &date, &time)
                ? date.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(' ')
                    + time.toString(QStringLiteral("hh:mm:ss"))
                : QString();
            position = 0;
        }
        ++position; // sold-out articles keep their number
        InventurArtikel a;
        a.artikelNr = position;
        a.menge = query.value(3).toInt();
        if (query.value(6).toInt() >= a.menge)
            continue;
        a.bezeichnung = query.value(2).toString();
        a.einkaufsPreis = query.value(4).toDouble();
        a.verkaufsPreis = query.value(5).toDouble();
        listed.append({ datum, vertragText, a });
        datum.clear();
        vertragText.clear();
    }

    // Numbers and prices repeat: one text each, shared by its cells.
    QHash<int, QString> numbers;
    QHash<double, QString> prices;
    const auto number = [&numbers](int value) -> const QString & {
        auto it = numbers.find(value);
        if (it == numbers.end())
            it = numbers.insert(value, QString::number(value));
        return *it;
    };
    const auto money = [&prices](double value) -> const QString & {
        auto it = prices.find(value);
        if (it == prices.end())
            it = prices.insert(value, euroText(value));
        return *it;
    };
    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment price = Qt::AlignRight | Qt::AlignVCenter;
    table->setRowCount(int(listed.size()));
    // The widest figures are found as the cells are made, not looked for among 30,000 rows.
    ExtremeRows widest(table->columnCount());
    fillCells(table, [&] {
        for (int row = 0; row < listed.size(); ++row) {
            const Listed &l = listed.at(row);
            table->setItem(row, 0, cell(l.datum));
            table->setItem(row, 1, cell(l.vertrag, centred));
            table->setItem(row, 2, cell(number(l.artikel.artikelNr), centred));
            table->setItem(row, 3, new NameCell(l.artikel.bezeichnung, centred));
            table->setItem(row, 4, cell(number(l.artikel.menge), centred));
            table->setItem(row, 5, cell(money(l.artikel.einkaufsPreis), price));
            table->setItem(row, 6, cell(money(l.artikel.verkaufsPreis), price));
            // Every date has one pattern, every contract number digits only: the longest text
            // is the widest.
            widest.note(0, l.datum.size(), row);
            widest.note(1, l.vertrag.size(), row);
            widest.note(2, l.artikel.artikelNr, row);
            widest.note(4, l.artikel.menge, row);
            widest.note(5, l.artikel.einkaufsPreis, row);
            widest.note(6, l.artikel.verkaufsPreis, row);
        }
    });
    fitColumns(table, 3, widest.rows());
}

#include "sales/ankauf.h"

#include "app/database.h"
#include "app/sql.h"
#include "app/tablecell.h"
#include "statistics/records.h"
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

    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment price = Qt::AlignRight | Qt::AlignVCenter;
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
            it = prices.insert(value, QString::number(value, 'f', 2) + QStringLiteral(" €"));
        return *it;
    };
    int row = 0;
    const auto addRow
        = [&](const QString &datum, const QString &vertrag, const InventurArtikel &a) {
              if (row == table->rowCount())
                  table->setRowCount(row + 1024);
              table->setItem(row, 0, cell(datum));
              table->setItem(row, 1, cell(vertrag, centred));
              table->setItem(row, 2, cell(number(a.artikelNr), centred));
              table->setItem(row, 3, cell(a.bezeichnung, centred));
              table->setItem(row, 4, cell(number(a.menge), centred));
              table->setItem(row, 5, cell(money(a.einkaufsPreis), price));
              table->setItem(row, 6, cell(money(a.verkaufsPreis), price));
              ++row;
          };

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
        addRow(datum, vertragText, a);
        datum.clear();
        vertragText.clear();
    }
    table->setRowCount(row);
    table->resizeColumnsToContents();
}

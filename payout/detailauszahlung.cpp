#include "payout/detailauszahlung.h"

#include "app/numbers.h"
#include "app/tablecell.h"
#include "ui_detailauszahlung.h"

DetailAuszahlung::DetailAuszahlung(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_DetailAuszahlung)
{
    ui->setupUi(this);
}

DetailAuszahlung::~DetailAuszahlung()
{
    delete ui;
}

void DetailAuszahlung::showDetails(const QList<AuszahlungsVertrag> &vertraege)
{
    QTableWidget *table = ui->tableWidget;
    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QFont bold = table->font();
    bold.setBold(true);
    constexpr int nameColumn = 2;
    const auto put = [table](int row, int column, const QString &text, Qt::Alignment alignment,
                         const QFont *font = nullptr) {
        auto *item
            = column == nameColumn ? new NameCell(text, alignment) : new TableCell(text, alignment);
        if (font)
            item->setFont(*font);
        table->setItem(row, column, item);
    };

    int row = table->rowCount();
    for (const AuszahlungsVertrag &v : vertraege) {
        int menge = 0, verkauft = 0, bestand = 0;
        double ausgezahlt = 0.0, offen = 0.0;
        int nummer = 1;
        for (const ArtikelAbrechnung &a : v.artikel) {
            ui->label_name->setText(QStringLiteral("Kunde: ") + v.name);
            const int stueck = a.einkaufsMenge - a.verkauft - a.zurueckgegeben;
            table->insertRow(row);
            if (nummer == 1)
                put(row, 0, QString::number(v.vertragNr), centred);
            put(row, 1, QString::number(nummer), centred);
            put(row, nameColumn, a.bezeichnung, centred);
            put(row, 3, euroText(a.einkaufsPreis), right);
            put(row, 4, euroText(a.verkaufsPreis), right);
            put(row, 5, QString::number(a.einkaufsMenge), right);
            put(row, 6, QString::number(a.verkauft), right);
            put(row, 7, QString::number(stueck), centred);
            put(row, 8, euroText(a.ausgezahlt), right);
            put(row, 9, euroText(a.offen), right);
            menge += a.einkaufsMenge;
            verkauft += a.verkauft;
            bestand += stueck;
            ausgezahlt += a.ausgezahlt;
            offen += a.offen;
            ++row;
            ++nummer;
        }
        table->insertRow(row);
        put(row, nameColumn, QStringLiteral("Summe:"), centred, &bold);
        put(row, 5, QString::number(menge), right, &bold);
        put(row, 6, QString::number(verkauft), right, &bold);
        put(row, 7, QString::number(bestand), centred, &bold);
        put(row, 8, euroText(ausgezahlt), right, &bold);
        put(row, 9, euroText(offen), right, &bold);
        ++row;
    }
    fitColumns(table, nameColumn);
}

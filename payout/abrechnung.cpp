#include "payout/abrechnung.h"

#include "app/sql.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

// The contract numbers come as one JSON array: one statement for any number of contracts.
// The sales are read from idx_Verkauf_Summen alone, which holds every column the sums need:
// the sales rows of an old contract lie scattered over ten years of the table.
const QString kAbrechnung = QStringLiteral(R"(
SELECT A.Vertrag, A.ID, A.Bezeichnung, A.EinkaufsMenge, A.EinkaufsPreis, A.VerkaufsPreis,
       SUM(CASE WHEN V.Auszahldatum IS NULL THEN V.EinkaufsPreis * V.VerkaufsMenge END),
       SUM(CASE WHEN V.Auszahldatum IS NOT NULL THEN V.EinkaufsPreis * V.VerkaufsMenge END),
       SUM(V.VerkaufsMenge),
       (SELECT SUM(Z.Anzahl) FROM Zurueckgegeben AS Z WHERE Z.Artikel = A.ID)
FROM Artikel AS A LEFT JOIN Verkauf AS V ON V.Artikel = A.ID
WHERE A.Vertrag IN (SELECT value FROM json_each(?))
GROUP BY A.Vertrag, A.ID
ORDER BY A.Vertrag, A.ID)");

// Only the unpaid sales, found in the same index by article and a NULL payout date.
const QString kOffen = QStringLiteral(R"(
SELECT A.Vertrag, SUM(V.EinkaufsPreis * V.VerkaufsMenge)
FROM Artikel AS A JOIN Verkauf AS V ON V.Artikel = A.ID AND V.Auszahldatum IS NULL
WHERE A.Vertrag IN (SELECT value FROM json_each(?))
GROUP BY A.Vertrag)");

QString jsonArray(const QList<qint64> &numbers)
{
    QStringList texts;
    texts.reserve(numbers.size());
    for (const qint64 nr : numbers)
        texts << QString::number(nr);
    return QLatin1Char('[') + texts.join(QLatin1Char(',')) + QLatin1Char(']');
}

} // namespace

QHash<qint64, QList<ArtikelAbrechnung>> readAbrechnung(
    const QList<qint64> &vertraege, QWidget *parent, bool *ok)
{
    if (ok)
        *ok = true;
    QHash<qint64, QList<ArtikelAbrechnung>> abrechnung;
    if (vertraege.isEmpty())
        return abrechnung;

    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(kAbrechnung);
    query.addBindValue(jsonArray(vertraege));
    if (!execOrWarn(query, parent)) {
        if (ok)
            *ok = false;
        return abrechnung;
    }
    QList<ArtikelAbrechnung> *artikel = nullptr;
    qint64 vertrag = 0;
    while (query.next()) {
        const qint64 nr = query.value(0).toLongLong();
        if (!artikel || nr != vertrag) {
            vertrag = nr;
            artikel = &abrechnung[nr];
        }
        ArtikelAbrechnung a;
        a.id = query.value(1).toLongLong();
        a.bezeichnung = query.value(2).toString();
        a.einkaufsMenge = query.value(3).toInt();
        a.einkaufsPreis = query.value(4).toDouble();
        a.verkaufsPreis = query.value(5).toDouble();
        // A sum over no rows is NULL, which reads as 0.
        a.offen = query.value(6).toDouble();
        a.ausgezahlt = query.value(7).toDouble();
        a.verkauft = query.value(8).toInt();
        a.zurueckgegeben = query.value(9).toInt();
        artikel->append(a);
    }
    return abrechnung;
}

QHash<qint64, double> readOffen(const QList<qint64> &vertraege, QWidget *parent, bool *ok)
{
    if (ok)
        *ok = true;
    QHash<qint64, double> offen;
    if (vertraege.isEmpty())
        return offen;
    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(kOffen);
    query.addBindValue(jsonArray(vertraege));
    if (!execOrWarn(query, parent)) {
        if (ok)
            *ok = false;
        return offen;
    }
    offen.reserve(vertraege.size());
    while (query.next())
        offen.insert(query.value(0).toLongLong(), query.value(1).toDouble());
    return offen;
}

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

// Runs the statement for the contracts, none for no contracts; false when it failed (shown).
// A query that did not run gives no rows.
bool run(QSqlQuery &query, const QString &statement, const QList<qint64> &vertraege,
    QWidget *parent, bool *ok)
{
    query.setForwardOnly(true);
    const bool ran
        = vertraege.isEmpty() || execOrWarn(query, statement, { jsonArray(vertraege) }, parent);
    if (ok)
        *ok = ran;
    return ran;
}

} // namespace

QHash<qint64, QList<ArtikelAbrechnung>> readAbrechnung(
    const QList<qint64> &vertraege, QWidget *parent, bool *ok)
{
    QHash<qint64, QList<ArtikelAbrechnung>> abrechnung;
    QSqlQuery query;
    run(query, kAbrechnung, vertraege, parent, ok);
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
    QHash<qint64, double> offen;
    QSqlQuery query;
    if (run(query, kOffen, vertraege, parent, ok))
        offen.reserve(vertraege.size());
    while (query.next())
        offen.insert(query.value(0).toLongLong(), query.value(1).toDouble());
    return offen;
}

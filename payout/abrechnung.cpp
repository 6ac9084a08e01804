#include "payout/abrechnung.h"

#include "app/sql.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

// The contract numbers come as one JSON array: one statement for any number of contracts.
// The sums of an article are looked up through its own index entries (idx_Verkauf_Abrechnung
// holds every column they read), so a contract costs the same in a ten-year shop as in a new
// one.
const QString kAbrechnung = QStringLiteral(R"(
SELECT A.Vertrag, A.ID, A.Bezeichnung, A.EinkaufsMenge, A.EinkaufsPreis, A.VerkaufsPreis,
       (SELECT SUM(V.EinkaufsPreis * V.VerkaufsMenge) FROM Verkauf AS V
        WHERE V.Artikel = A.ID AND V.Auszahldatum IS NULL),
       (SELECT SUM(V.EinkaufsPreis * V.VerkaufsMenge) FROM Verkauf AS V
        WHERE V.Artikel = A.ID AND V.Auszahldatum IS NOT NULL),
       (SELECT SUM(V.VerkaufsMenge) FROM Verkauf AS V WHERE V.Artikel = A.ID),
       (SELECT SUM(Z.Anzahl) FROM Zurueckgegeben AS Z WHERE Z.Artikel = A.ID)
FROM Artikel AS A
WHERE A.Vertrag IN (SELECT value FROM json_each(?))
ORDER BY A.Vertrag, A.ID)");

} // namespace

QHash<qint64, QList<ArtikelAbrechnung>> readAbrechnung(
    const QList<qint64> &vertraege, QWidget *parent, bool *ok)
{
    if (ok)
        *ok = true;
    QHash<qint64, QList<ArtikelAbrechnung>> abrechnung;
    if (vertraege.isEmpty())
        return abrechnung;

    QStringList numbers;
    numbers.reserve(vertraege.size());
    for (const qint64 nr : vertraege)
        numbers << QString::number(nr);

    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(kAbrechnung);
    query.addBindValue(QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']'));
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

#include "statistics/bestandsliste.h"

#include "app/sql.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

// The articles with their contracts. An empty text comes as NULL, which the driver hands over
// without converting it. "+DateTime" compares the stored text as text: without the "+" the
// column's numeric affinity has SQLite try to read the bound text as a number on every row.
const QString kSpalten = QStringLiteral(
    R"(SELECT V.ID, A.ID, A.Bezeichnung, A.EinkaufsMenge, A.EinkaufsPreis, A.VerkaufsPreis,
       V.Standgebuehr, V.Laufzeit, NULLIF(A.EAN, ''), NULLIF(A.ISBN, ''),
       NULLIF(A.Images, ''), A.Kategorie, NULLIF(A.Beschreibung, ''))");
// In stored order, read straight through the article table: a contract's articles are stored
// together, so they nearly always come grouped by contract without a sort.
const QString kArtikel = kSpalten
    + QStringLiteral(" FROM Artikel AS A CROSS JOIN Vertrag AS V ON V.ID = A.Vertrag "
                     "WHERE +V.DateTime < ?");
// Sorted, for a shop where an article was added to an older contract later.
const QString kArtikelSortiert = kSpalten
    + QStringLiteral(" FROM Vertrag AS V JOIN Artikel AS A ON V.ID = A.Vertrag "
                     "WHERE +V.DateTime < ? ORDER BY V.ID, A.ID");

// Summed for every article at once: only the listed ones are looked at.
const QString kVerkauft = QStringLiteral(
    "SELECT Artikel, sum(VerkaufsMenge) FROM Verkauf WHERE +DateTime < ? GROUP BY Artikel");
const QString kZurueck = QStringLiteral(
    "SELECT Artikel, sum(Anzahl) FROM Zurueckgegeben WHERE +DateTime < ? GROUP BY Artikel");

// Integers come from SQLite as 64-bit values; reading them as such skips a conversion.
int ganzzahl(const QVariant &value)
{
    return int(value.toLongLong());
}

QHash<qint64, int> summen(
    const QString &statement, const QString &stichtag, QWidget *parent, bool *ok)
{
    QHash<qint64, int> stueck;
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!execOrWarn(query, statement, { stichtag }, parent)) {
        *ok = false;
        return stueck;
    }
    while (query.next())
        stueck.insert(query.value(0).toLongLong(), ganzzahl(query.value(1)));
    return stueck;
}

// Takes the article rows into the list. The running count is the article's number in its
// contract only while the rows come grouped by contract and in stored order: at the first row
// that does not, this stops and returns false.
bool artikelLesen(QSqlQuery &query, const QHash<qint64, int> &verkauft,
    const QHash<qint64, int> &zurueck, InventurListe &liste, QHash<qint64, double> *ankaufPreise)
{
    int laufendeNr = 0;
    qint64 vorigerVertrag = 0;
    qint64 vorigeId = 0;
    while (query.next()) {
        const qint64 vertrag = query.value(0).toLongLong();
        const qint64 id = query.value(1).toLongLong();
        if (vertrag < vorigerVertrag || (vertrag == vorigerVertrag && id < vorigeId))
            return false;
        if (vertrag != vorigerVertrag)
            laufendeNr = 0;
        ++laufendeNr;
        vorigerVertrag = vertrag;
        vorigeId = id;

        int menge = ganzzahl(query.value(3));
        // Tested after each subtraction: 5 delivered, 2 sold and 3 returned goes; 2 delivered
        // and 3 sold stays at -1.
        const auto sold = verkauft.constFind(id);
        if (sold != verkauft.cend()) {
            menge -= *sold;
            if (menge == 0)
                continue;
        }
        const auto back = zurueck.constFind(id);
        if (back != zurueck.cend()) {
            menge -= *back;
            if (menge == 0)
                continue;
        }

        InventurArtikel a;
        a.vertrag = vertrag;
        a.artikelNr = laufendeNr;
        a.menge = menge;
        a.laufzeit = ganzzahl(query.value(7));
        a.kategorie = ganzzahl(query.value(11));
        a.bezeichnung = query.value(2).toString();
        a.ean = query.value(8).toString();
        a.isbn = query.value(9).toString();
        a.images = query.value(10).toString();
        a.beschreibung = query.value(12).toString();
        a.einkaufsPreis = query.value(4).toDouble();
        a.verkaufsPreis = query.value(5).toDouble();
        // A cash purchase stores minus the price paid as its fee.
        if (ankaufPreise && a.laufzeit == -1 && query.value(6).toDouble() <= 0)
            ankaufPreise->insert(id, a.verkaufsPreis);
        liste.artikelIds.append(QString::number(id));
        liste.artikel.insert(id, std::move(a));
    }
    return true;
}

} // namespace

InventurListe bestandsliste(
    const QDateTime &stichtag, QWidget *parent, QHash<qint64, double> *ankaufPreise, bool *ok)
{
    bool summenOk = true;
    InventurListe liste;
    liste.inventurDatum = stichtag;
    const QString t = stichtag.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));

    // The article statement runs first, so its failure is the first one reported; its rows
    // are read after the sums, and an article that comes to 0 is never stored at all.
    QSqlQuery query;
    query.setForwardOnly(true);
    const bool artikelOk = execOrWarn(query, kArtikel, { t }, parent);
    const QHash<qint64, int> verkauft = summen(kVerkauft, t, parent, &summenOk);
    const QHash<qint64, int> zurueck = summen(kZurueck, t, parent, &summenOk);
    if (ok)
        *ok = artikelOk && summenOk;
    if (!artikelOk)
        return liste;

    // Room for every article there is, so the table never grows while the rows come in.
    QSqlQuery anzahl;
    if (anzahl.exec(QStringLiteral("SELECT count(*) FROM Artikel")) && anzahl.next()) {
        const qsizetype artikel = qsizetype(anzahl.value(0).toLongLong());
        liste.artikel.reserve(artikel);
        liste.artikelIds.reserve(artikel);
    }
    anzahl.finish();

    if (artikelLesen(query, verkauft, zurueck, liste, ankaufPreise))
        return liste;
    liste.artikel.clear();
    liste.artikelIds.clear();
    if (ankaufPreise)
        ankaufPreise->clear();
    if (!execOrWarn(query, kArtikelSortiert, { t }, parent)) {
        if (ok)
            *ok = false;
        return liste;
    }
    artikelLesen(query, verkauft, zurueck, liste, ankaufPreise);
    return liste;
}

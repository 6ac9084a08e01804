#include "printing/csvexport.h"

#include "app/dialogs.h"
#include "app/paths.h"
#include "app/sql.h"
#include "printing/artikelbarcode.h"
#include "printing/csvwriter.h"

#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

const QString kKassenFilter = QStringLiteral("Kassenexport (*.csv)");
const QString kShopFilter = QStringLiteral("CSV (*.csv)");

struct ArtikelZeile
{
    int artikelNr = 0;
    QString bezeichnung;
    int bestand = 0;
    double verkaufsPreis = 0;
    QString ean;
    QString isbn;
    QStringList bilder; // always five
    QString beschreibung;
    int kategorie = 0;
};

QStringList fuenfBilder(const QVariant &images)
{
    QStringList teile = images.toString().split(QLatin1Char(','), Qt::KeepEmptyParts);
    QStringList bilder;
    for (int i = 0; i < 5; ++i)
        bilder << feld(teile.value(i));
    return bilder;
}

// The contract's articles in stored order with their stock (delivered minus sold and written
// off minus given back, whatever the date). One statement, so a long contract costs no more
// than one look-up per table through the article indexes. False when they could not be read
// (shown as "SQL-Fehler"): a file without them would tell the till there is nothing in stock.
bool artikelZeilen(qint64 vertragNr, QList<ArtikelZeile> &zeilen)
{
    zeilen.clear();
    QSqlQuery query;
    query.prepare(QStringLiteral(
        "SELECT A.ID, A.Bezeichnung, A.EinkaufsMenge, A.EinkaufsPreis, A.VerkaufsPreis, "
        "A.EAN, A.ISBN, A.Images, A.Kategorie, A.Beschreibung, "
        "(SELECT SUM(V.VerkaufsMenge) FROM Verkauf AS V WHERE V.Artikel = A.ID), "
        "(SELECT SUM(Z.Anzahl) FROM Zurueckgegeben AS Z WHERE Z.Artikel = A.ID) "
        "FROM Artikel AS A WHERE A.Vertrag = ? ORDER BY A.ID;"));
    query.addBindValue(vertragNr);
    if (!execOrWarn(query, nullptr))
        return false;
    int artikelNr = 0;
    while (query.next()) {
        ArtikelZeile zeile;
        zeile.artikelNr = ++artikelNr;
        zeile.bezeichnung = feld(query.value(1));
        zeile.bestand = query.value(2).toInt() - query.value(10).toInt() - query.value(11).toInt();
        zeile.verkaufsPreis = query.value(4).toDouble();
        zeile.ean = feld(query.value(5));
        zeile.isbn = feld(query.value(6));
        zeile.bilder = fuenfBilder(query.value(7));
        zeile.kategorie = query.value(8).toInt();
        zeile.beschreibung = feld(query.value(9));
        zeilen.append(zeile);
    }
    // A read that breaks off half-way (a locked database) ends the loop like the last row.
    if (query.lastError().isValid()) {
        showSqlError(query.lastError(), nullptr);
        return false;
    }
    return true;
}

} // namespace

QByteArray kassenExportCsv(qint64 vertragNr)
{
    QList<ArtikelZeile> zeilen;
    if (!artikelZeilen(vertragNr, zeilen))
        return QByteArray();
    QList<QStringList> records;
    for (const ArtikelZeile &a : qAsConst(zeilen)) {
        QStringList r;
        r << a.bezeichnung << QString::number(a.bestand) << csvPreis(a.verkaufsPreis)
          << QStringLiteral("gebraucht") << ArtikelBarcode::encode(vertragNr, a.artikelNr)
          << QStringLiteral("%1/%2").arg(vertragNr).arg(a.artikelNr) << a.bilder << a.beschreibung
          << QString::number(a.kategorie);
        records << r;
    }
    return csvText({ "Kurzbeschreibung", "Stück", "Preis", "Tags", "EAN", "Artikelnummer", "Bild1",
                       "Bild2", "Bild3", "Bild4", "Bild5", "Beschreibung", "Kategorie" },
        records);
}

QByteArray shopExportCsv(qint64 vertragNr)
{
    QList<ArtikelZeile> zeilen;
    if (!artikelZeilen(vertragNr, zeilen))
        return QByteArray();
    QList<QStringList> records;
    for (const ArtikelZeile &a : qAsConst(zeilen)) {
        QStringList r;
        r << QStringLiteral("shop") << a.bezeichnung << QString::number(a.bestand)
          << QStringLiteral("Überweisung/Paypal") << QString() << QString()
          << csvPreis(a.verkaufsPreis) << QStringLiteral("gebraucht") << a.ean << a.isbn
          << QStringLiteral("Vertr:%1/%2").arg(vertragNr).arg(a.artikelNr) << QString() << a.bilder
          << a.beschreibung << QString::number(a.kategorie);
        records << r;
    }
    return csvText(shopCsvHeader(), records);
}

bool exportVertrag(qint64 vertragNr, const QString &folder)
{
    const QString fileName
        = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss-zzz_"))
        + QString::number(vertragNr) + QStringLiteral(".csv");

    if (!folder.isEmpty()) {
        const QByteArray text = kassenExportCsv(vertragNr);
        return !text.isEmpty() && writeFile(joinPath(folder, fileName), text);
    }

    QString selectedFilter = kKassenFilter;
    const QString path = Dialogs::getSaveFileName(nullptr, QStringLiteral("Export Datei wählen"),
        joinPath(desktopFolder(), fileName), kKassenFilter + QStringLiteral(";;") + kShopFilter,
        &selectedFilter);
    if (path.isEmpty())
        return false;
    // A dialog that reports no filter leaves the preselected one.
    const bool shop = selectedFilter == kShopFilter;
    const QByteArray text = shop ? shopExportCsv(vertragNr) : kassenExportCsv(vertragNr);
    return !text.isEmpty() && writeFile(path, text);
}

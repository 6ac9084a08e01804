#include "printing/csvexport.h"

#include "app/dialogs.h"
#include "app/paths.h"
#include "app/sql.h"
#include "app/textcodec.h"
#include "printing/artikelbarcode.h"

#include <QDateTime>
#include <QList>
#include <QSaveFile>
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

// A text from the database never holds the field separator, and never a line break: the
// cash register and the shop read one record per line.
QString feld(const QVariant &value)
{
    QString text = value.toString();
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : text) {
        if (c == QLatin1Char(';') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text;
}

QStringList fuenfBilder(const QVariant &images)
{
    QStringList teile = images.toString().split(QLatin1Char(','), Qt::KeepEmptyParts);
    QStringList bilder;
    for (int i = 0; i < 5; ++i)
        bilder << feld(teile.value(i));
    return bilder;
}

QString preis(double value)
{
    return QString::number(value, 'g', 6);
}

// The contract's articles in stored order with their stock (delivered minus sold and written
// off minus given back, whatever the date). One statement, so a long contract costs no more
// than one look-up per table through the article indexes.
QList<ArtikelZeile> artikelZeilen(qint64 vertragNr)
{
    QList<ArtikelZeile> zeilen;
    QSqlQuery query;
    query.prepare(QStringLiteral(
        "SELECT A.ID, A.Bezeichnung, A.EinkaufsMenge, A.EinkaufsPreis, A.VerkaufsPreis, "
        "A.EAN, A.ISBN, A.Images, A.Kategorie, A.Beschreibung, "
        "(SELECT SUM(V.VerkaufsMenge) FROM Verkauf AS V WHERE V.Artikel = A.ID), "
        "(SELECT SUM(Z.Anzahl) FROM Zurueckgegeben AS Z WHERE Z.Artikel = A.ID) "
        "FROM Artikel AS A WHERE A.Vertrag = ? ORDER BY A.ID;"));
    query.addBindValue(vertragNr);
    if (!execOrWarn(query, nullptr))
        return zeilen;
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
    return zeilen;
}

QByteArray csvText(const QStringList &header, const QList<QStringList> &records)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = header.join(QLatin1Char(';')) + lineEnd;
    for (const QStringList &record : records)
        text += record.join(QLatin1Char(';')) + lineEnd;
    return toCp1252(text);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    // A replaced file is only ever swapped for a complete new one.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    const QString reason = file.errorString();
    file.cancelWriting();
    Dialogs::warning(nullptr, QStringLiteral("Fehler"),
        QStringLiteral("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(path, reason));
    return false;
}

} // namespace

QByteArray kassenExportCsv(qint64 vertragNr)
{
    QList<QStringList> records;
    for (const ArtikelZeile &a : artikelZeilen(vertragNr)) {
        QStringList r;
        r << a.bezeichnung << QString::number(a.bestand) << preis(a.verkaufsPreis)
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
    QList<QStringList> records;
    for (const ArtikelZeile &a : artikelZeilen(vertragNr)) {
        QStringList r;
        r << QStringLiteral("shop") << a.bezeichnung << QString::number(a.bestand)
          << QStringLiteral("Überweisung/Paypal") << QString() << QString()
          << preis(a.verkaufsPreis) << QStringLiteral("gebraucht") << a.ean << a.isbn
          << QStringLiteral("Vertr:%1/%2").arg(vertragNr).arg(a.artikelNr) << QString() << a.bilder
          << a.beschreibung << QString::number(a.kategorie);
        records << r;
    }
    return csvText({ "Verkaufsart", "Kurzbeschreibung", "Stück", "Zahlungsart", "Versandart",
                       "Versandkosten", "Preis", "Zustand", "EAN", "ISBN", "Lagerplatz", "Gewicht",
                       "Bild1", "Bild2", "Bild3", "Bild4", "Bild5", "Beschreibung", "Kategorie" },
        records);
}

bool exportVertrag(qint64 vertragNr, const QString &folder)
{
    const QString fileName
        = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss-zzz_"))
        + QString::number(vertragNr) + QStringLiteral(".csv");

    if (!folder.isEmpty())
        return writeFile(joinPath(folder, fileName), kassenExportCsv(vertragNr));

    QString selectedFilter = kKassenFilter;
    const QString path = Dialogs::getSaveFileName(nullptr, QStringLiteral("Export Datei wählen"),
        joinPath(desktopFolder(), fileName), kKassenFilter + QStringLiteral(";;") + kShopFilter,
        &selectedFilter);
    if (path.isEmpty())
        return false;
    // A dialog that reports no filter leaves the preselected one.
    const bool shop = selectedFilter == kShopFilter;
    return writeFile(path, shop ? shopExportCsv(vertragNr) : kassenExportCsv(vertragNr));
}

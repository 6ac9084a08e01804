#include "statistics/shopcsv.h"

#include "app/textcodec.h"
#include "printing/csvwriter.h"

#include <QDebug>
#include <QFile>
#include <QStringList>
#include <QVariant>

namespace {

const QByteArray kZeilenende = QByteArrayLiteral("\r\n");

// A picture column: the file's bytes in Base64, empty for an empty path, a missing, unreadable
// or empty file. Paths are stored joined with ",", so a path never holds one; a ";" in it is
// looked up as a blank, like the texts.
void bild(const QString &pfad, bool erstes, QByteArray &out)
{
    if (pfad.isEmpty())
        return;
    QFile datei(QString(pfad).replace(QLatin1Char(';'), QLatin1Char(' ')));
    if (!datei.open(QIODevice::ReadOnly))
        return;
    const QByteArray base64 = datei.readAll().toBase64();
    if (erstes)
        qDebug() << "Bild1 Base64:" << base64.size();
    out += base64;
}

} // namespace

void inventurShopCsv(const InventurListe &liste,
    const std::function<bool(const InventurArtikel &)> &filter, QByteArray &out)
{
    out += toCp1252(shopCsvHeader().join(QLatin1Char(';')));
    out += kZeilenende;
    for (const QString &idText : liste.artikelIds) {
        const InventurArtikel a = liste.artikel.value(idText.toLongLong());
        if (!filter(a))
            continue;
        const QString vorn = QStringLiteral("shop;") + feld(a.bezeichnung) + QLatin1Char(';')
            + QString::number(a.menge) + QStringLiteral(";Überweisung/Paypal;;;")
            + QString::number(a.verkaufsPreis, 'f', 2) + QStringLiteral(";gebraucht;") + feld(a.ean)
            + QLatin1Char(';') + feld(a.isbn) + QStringLiteral(";Vertr:")
            + QString::number(a.vertrag) + QLatin1Char('/') + QString::number(a.artikelNr)
            + QStringLiteral(";;");
        out += toCp1252(vorn);
        const QStringList pfade = a.images.split(QLatin1Char(','), Qt::KeepEmptyParts);
        for (int i = 0; i < 5; ++i) {
            bild(pfade.value(i), i == 0, out);
            out += ';';
        }
        out += toCp1252(feld(a.beschreibung) + QLatin1Char(';') + QString::number(a.kategorie));
        out += kZeilenende;
    }
}

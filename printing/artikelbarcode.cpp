#include "printing/artikelbarcode.h"

#include <limits>

namespace ArtikelBarcode {

qint64 codeValue(qint64 vertragNr, int artikelNr)
{
    const qint64 artNr = vertragNr * 100 + artikelNr;
    return artNr * 100 + artNr % 11;
}

QString encode(qint64 vertragNr, int artikelNr)
{
    return QString::number(codeValue(vertragNr, artikelNr), 36).toUpper();
}

bool decode(const QString &code, qint64 *vertragNr, int *artikelNr)
{
    const QString text = code.trimmed();
    if (text.isEmpty())
        return false;
    // toLongLong would also take a sign or inner blanks; a code has neither.
    for (const QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))))
            return false;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 36);
    if (!ok || value < 0)
        return false;
    const qint64 artNr = value / 100;
    if (artNr % 11 != value % 100)
        return false;
    const qint64 vertrag = artNr / 100;
    const int artikel = int(artNr % 100);
    if (vertrag < 1 || artikel < 1)
        return false;
    if (vertragNr)
        *vertragNr = vertrag;
    if (artikelNr)
        *artikelNr = artikel;
    return true;
}

bool decode(const QString &code, int *vertragNr, int *artikelNr)
{
    qint64 vertrag = 0;
    int artikel = 0;
    if (!decode(code, &vertrag, &artikel) || vertrag > std::numeric_limits<int>::max())
        return false;
    if (vertragNr)
        *vertragNr = int(vertrag);
    if (artikelNr)
        *artikelNr = artikel;
    return true;
}

} // namespace ArtikelBarcode

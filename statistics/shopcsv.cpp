#include "statistics/shopcsv.h"

#include "app/textcodec.h"
#include "printing/csvwriter.h"

#include <QDebug>
#include <QFile>
#include <QVariant>

#include <charconv>

// The file is written piece by piece into the caller's buffer: a stock of ten years is some
// 268,000 lines, and a text made of parts for each would cost more than the whole file.
namespace {

// A free text as one field ("feld"): ";" and line breaks become blanks.
void text(QByteArray &out, const QString &value)
{
    for (const QChar c : value) {
        if (c == QLatin1Char(';') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            appendCp1252(out, feld(value));
            return;
        }
    }
    appendCp1252(out, value);
}

void zahl(QByteArray &out, qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

// Two decimals, correctly rounded, with a point whatever the locale: 3 is 3.00.
void preis(QByteArray &out, double value)
{
    char buffer[400];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (result.ec == std::errc())
        out.append(buffer, result.ptr - buffer);
    else
        out += QByteArray::number(value, 'f', 2);
}

// Base64 (RFC 4648, padded, one line) of the bytes, written straight after out's end: a
// picture is read once and encoded once, without a copy of either.
void base64(QByteArray &out, const QByteArray &bytes)
{
    static const char kAlphabet[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    const qsizetype start = out.size();
    out.resize(start + (n + 2) / 3 * 4);
    char *p = out.data() + start;
    qsizetype i = 0;
    for (; i + 2 < n; i += 3) {
        const quint32 v = quint32(in[i]) << 16 | quint32(in[i + 1]) << 8 | in[i + 2];
        *p++ = kAlphabet[v >> 18];
        *p++ = kAlphabet[(v >> 12) & 63];
        *p++ = kAlphabet[(v >> 6) & 63];
        *p++ = kAlphabet[v & 63];
    }
    if (i < n) {
        const quint32 v = quint32(in[i]) << 16 | (i + 1 < n ? quint32(in[i + 1]) << 8 : 0);
        *p++ = kAlphabet[v >> 18];
        *p++ = kAlphabet[(v >> 12) & 63];
        *p++ = i + 1 < n ? kAlphabet[(v >> 6) & 63] : '=';
        *p++ = '=';
    }
}

// A picture column: the file's bytes in Base64, empty for an empty path, a missing, unreadable
// or empty file. Paths are stored joined with ",", so a path never holds one; a ";" in it is
// looked up as a blank, like the texts.
void bild(QByteArray &out, const QString &pfad, bool erstes)
{
    if (pfad.isEmpty())
        return;
    QFile datei(QString(pfad).replace(QLatin1Char(';'), QLatin1Char(' ')));
    if (!datei.open(QIODevice::ReadOnly))
        return;
    const qsizetype vorher = out.size();
    base64(out, datei.readAll());
    if (erstes)
        qDebug() << "Bild1 Base64:" << out.size() - vorher;
}

} // namespace

void inventurShopCsv(const InventurListe &liste,
    const std::function<bool(const InventurArtikel &)> &filter, QByteArray &out)
{
    out.reserve(out.size() + 200 + liste.artikelIds.size() * 120);
    appendCp1252(out, shopCsvHeader().join(QLatin1Char(';')));
    out += "\r\n";
    const QByteArray zahlungsart = toCp1252(QStringLiteral(";Überweisung/Paypal;;;"));
    for (const QString &idText : liste.artikelIds) {
        const auto found = liste.artikel.constFind(idText.toLongLong());
        const InventurArtikel &a = found != liste.artikel.cend() ? *found : InventurArtikel();
        if (!filter(a))
            continue;
        out += "shop;";
        text(out, a.bezeichnung);
        out += ';';
        zahl(out, a.menge);
        out += zahlungsart;
        preis(out, a.verkaufsPreis);
        out += ";gebraucht;";
        text(out, a.ean);
        out += ';';
        text(out, a.isbn);
        out += ";Vertr:";
        zahl(out, a.vertrag);
        out += '/';
        zahl(out, a.artikelNr);
        out += ";;";
        if (a.images.isEmpty()) {
            out += ";;;;;";
        } else {
            const QStringList pfade = a.images.split(QLatin1Char(','), Qt::KeepEmptyParts);
            for (int i = 0; i < 5; ++i) {
                bild(out, pfade.value(i), i == 0);
                out += ';';
            }
        }
        text(out, a.beschreibung);
        out += ';';
        zahl(out, a.kategorie);
        out += "\r\n";
    }
}

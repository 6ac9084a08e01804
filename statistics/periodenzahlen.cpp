#include "statistics/periodenzahlen.h"

#include "app/sql.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kZeitFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// The period's bounds go in as ende, anfang. Stamps carry milliseconds, so a stamp in the
// start second counts and one in the end second does not.
const QString kKunden = QStringLiteral(
    "SELECT count(DISTINCT K.ID) FROM Kunde AS K JOIN Vertrag AS V ON K.ID = V.Kunde "
    "WHERE V.DateTime < ? AND V.DateTime > ?");
const QString kVertraege
    = QStringLiteral("SELECT count(ID) FROM Vertrag WHERE DateTime < ? AND DateTime > ?");
const QString kArtikelmenge = QStringLiteral(
    "SELECT sum(A.EinkaufsMenge) FROM Artikel AS A JOIN Vertrag AS V ON A.Vertrag = V.ID "
    "WHERE V.DateTime < ? AND V.DateTime > ?");
const QString kGebuehren = QStringLiteral(
    "SELECT Standgebuehr, Laufzeit FROM Vertrag WHERE DateTime < ? AND DateTime > ?");
const QString kAuszahlungen
    = QStringLiteral("SELECT sum(VerkaufsMenge*EinkaufsPreis) FROM Verkauf "
                     "WHERE Auszahldatum < ? AND Auszahldatum > ? AND Auszahldatum IS NOT NULL");
const QString kVerkaeufe
    = QStringLiteral("SELECT sum(EinkaufsPreis*VerkaufsMenge), sum(VerkaufsPreis*VerkaufsMenge), "
                     "sum(VerkaufsMenge) FROM Verkauf WHERE DateTime < ? AND DateTime > ?");
const QString kRueckgaben
    = QStringLiteral("SELECT sum(Anzahl) FROM Zurueckgegeben WHERE DateTime < ? AND DateTime > ?");
// Unpaid shares of the running contracts (Vertragsende NULL, '' or -1), bound by the end
// only. Walked from the running contracts down to their articles' unpaid sales, far fewer
// than the unpaid sales of ten years; a share of 0 adds nothing and is left out.
const QString kOffeneAuszahlungen = QStringLiteral(
    R"(SELECT sum(VK.EinkaufsPreis*VK.VerkaufsMenge)
FROM Vertrag AS VT CROSS JOIN Artikel AS A ON A.Vertrag = VT.ID
CROSS JOIN Verkauf AS VK ON VK.Artikel = A.ID
WHERE VK.DateTime < ? AND VK.Auszahldatum IS NULL AND VK.EinkaufsPreis <> 0
  AND (VT.Vertragsende IS NULL OR VT.Vertragsende IN ('-1', '')))");

} // namespace

Periodenzahlen periodenzahlen(const QDateTime &anfang, const QDateTime &ende, QWidget *parent)
{
    Periodenzahlen zahlen;
    InventurStatistik &s = zahlen.statistik;
    auto &gezeigt = zahlen.gezeigt;
    s.von = anfang;
    s.bis = ende;

    const QVariantList zeitraum = { ende.toString(kZeitFormat), anfang.toString(kZeitFormat) };
    QSqlQuery query;
    query.setForwardOnly(true);
    const auto zeile = [&](const QString &statement, const QVariantList &values) {
        return execOrWarn(query, statement, values, parent) && query.next();
    };

    if ((gezeigt[0] = zeile(kKunden, zeitraum)))
        s.kunden = query.value(0).toInt();
    if ((gezeigt[1] = zeile(kVertraege, zeitraum)))
        s.vertraege = query.value(0).toInt();
    if ((gezeigt[2] = zeile(kArtikelmenge, zeitraum)))
        s.artikelmenge = query.value(0).toInt();
    const bool gebuehrenOk = execOrWarn(query, kGebuehren, zeitraum, parent);
    while (gebuehrenOk && query.next()) {
        const double gebuehr = query.value(0).toDouble();
        // A cash purchase stores minus the price paid as its fee.
        if (gebuehr > 0 || query.value(1).toInt() != -1) {
            s.standgebuehr += gebuehr;
        } else {
            s.ankaufAuszahlung -= gebuehr;
            s.einkauf -= gebuehr;
            s.ankauf -= gebuehr;
        }
    }
    const bool auszahlungenOk = zeile(kAuszahlungen, zeitraum);
    if (auszahlungenOk)
        s.ankaufAuszahlung += query.value(0).toDouble();
    int verkauftStueck = 0;
    const bool verkaeufeOk = zeile(kVerkaeufe, zeitraum);
    if (verkaeufeOk) {
        s.einkauf += query.value(0).toDouble();
        s.verkauftVk += query.value(1).toDouble();
        verkauftStueck = query.value(2).toInt();
    }
    const bool rueckgabenOk = zeile(kRueckgaben, zeitraum);
    if (rueckgabenOk)
        s.verkauftZurueck = query.value(0).toInt() + verkauftStueck;
    if ((gezeigt[11] = zeile(kOffeneAuszahlungen, { ende.toString(kZeitFormat) })))
        s.offeneAuszahlungen = query.value(0).toDouble();
    s.umsatz = s.verkauftVk + s.standgebuehr - s.einkauf + s.ankauf;

    // A figure is shown only when every statement behind it ran.
    gezeigt[3] = rueckgabenOk && verkaeufeOk;
    gezeigt[4] = gebuehrenOk && verkaeufeOk;
    gezeigt[5] = verkaeufeOk;
    gezeigt[6] = gebuehrenOk;
    gezeigt[7] = gebuehrenOk && auszahlungenOk;
    gezeigt[8] = gebuehrenOk && auszahlungenOk && verkaeufeOk;
    gezeigt[9] = gebuehrenOk && verkaeufeOk;
    return zahlen;
}

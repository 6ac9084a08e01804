#include "support/shopfixture.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

// clang-format off
const ShopFixture::Artikel ShopFixture::kaffeeservice
    = { 1, 101, 1, "Kaffeeservice 12-tlg.", 1, 8.0, 20.0, 1, 0, 3, "", "", "Porzellan, weiß" };
const ShopFixture::Artikel ShopFixture::jacke
    = { 2, 102, 1, "Damenjacke Wolle", 5, 4.5, 9.9, 2, 1, 1, "", "", "" };
const ShopFixture::Artikel ShopFixture::kochbuch
    = { 3, 103, 1, "Kochbuch", 3, 2.0, 6.0, 1, 2, 2, "", "9783161484100", "" };
const ShopFixture::Artikel ShopFixture::wollschal
    = { 4, 101, 2, "Wollschal rot", 3, 1.5, 4.0, 1, 0, 1, "", "", "" };
const ShopFixture::Artikel ShopFixture::stiefel
    = { 5, 102, 2, "Kinderstiefel 28", 1, 2.0, 5.0, 1, 0, 1, "", "", "" };
const ShopFixture::Artikel ShopFixture::puzzle
    = { 6, 103, 2, "Puzzle 1000 Teile", 1, 1.0, 3.0, 1, 0, 4, "4006381333931", "", "" };
const ShopFixture::Artikel ShopFixture::lampe
    = { 7, 102, 3, "Tischlampe Messing", 2, 10.0, 25.0, 0, 0, 3, "", "", "Höhe 40 cm" };
const ShopFixture::Artikel ShopFixture::jeans
    = { 8, 103, 3, "Jeans Gr. 38", 2, 12.5, 25.0, 0, 0, 1, "", "", "" };
// clang-format on

QList<ShopFixture::Artikel> ShopFixture::artikel()
{
    return { kaffeeservice, jacke, kochbuch, wollschal, stiefel, puzzle, lampe, jeans };
}

namespace {

void run(const QString &statement, const QVariantList &values)
{
    QSqlQuery query;
    query.prepare(statement);
    for (const QVariant &v : values)
        query.addBindValue(v);
    if (!query.exec())
        QTest::qFail(qPrintable(statement + QLatin1String(": ") + query.lastError().text()),
            __FILE__, __LINE__);
}

} // namespace

QString ShopFixture::stamp(int daysAgo, const QTime &time) const
{
    return QDateTime(m_today.addDays(-daysAgo), time).toString("yyyy-MM-dd hh:mm:ss.zzz");
}

ShopFixture::ShopFixture(const QDate &today)
    : m_today(today)
{
    const QString kunde = "INSERT INTO Kunde (ID, Name, Vorname, Telefon, PLZ, Ort, Strasse) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?)";
    run(kunde,
        { kundeMuster, "Muster", "Max", "0171 1234567", "12345", "Musterhausen", "Hauptstraße 1" });
    run(kunde,
        { kundeBeispiel, "Beispiel", "Erika", "030 987654", "10115", "Berlin", "Lindenweg 7" });

    const QString vertrag = "INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit, "
                            "Vertragsende) VALUES (?, ?, ?, ?, ?, ?)";
    run(vertrag,
        { vertragBeendet, kundeMuster, stamp(120, QTime(10, 0)), 5.0, 90,
            stamp(20, QTime(17, 0)) });
    run(vertrag, { vertragLaufend, kundeMuster, stamp(10, QTime(9, 30)), 5.0, 90, QVariant() });
    run(vertrag, { vertragAnkauf, kundeBeispiel, stamp(6, QTime(14, 20)), -20.0, -1, QVariant() });

    for (const Artikel &a : artikel())
        run("INSERT INTO Artikel (ID, Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
            "EinkaufsMenge, EAN, ISBN, Images, Kategorie, Beschreibung) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, '', ?, ?)",
            { a.id, a.vertrag, QString::fromUtf8(a.bezeichnung), a.einkaufsPreis, a.verkaufsPreis,
                a.menge, a.ean, a.isbn, a.kategorie, QString::fromUtf8(a.beschreibung) });

    // The consignor's share as the till books it: 0 for a cash purchase and a till sale.
    m_sales = {
        { stamp(60, QTime(11, 0)), kaffeeservice.id, 1, 8.0, 20.0, stamp(25, QTime(16, 0)) },
        { stamp(50, QTime(15, 10, 20, 125)), wollschal.id, 1, 1.5, 4.0, QString() },
        { stamp(5, QTime(10, 5)), kochbuch.id, 1, 0.0, 6.0, QString() },
        { stamp(4, QTime(16, 45, 30)), puzzle.id, 1, 0.0, 3.0, QString() },
        { stamp(3, QTime(10, 15)), jacke.id, 1, 4.5, 9.9, stamp(2, QTime(16, 0)) },
        { stamp(2, QTime(9, 5)), -1, 1, 0.0, 3.5, QString() },
        { stamp(1, QTime(11, 45, 10, 500)), stiefel.id, 1, 2.0, 5.0, QString() },
        { stamp(1, QTime(15, 30, 0, 250)), jacke.id, 1, 4.5, 9.9, QString() },
    };
    for (const Sale &s : m_sales)
        run("INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, VerkaufsMenge, "
            "Artikel, Auszahldatum) VALUES (?, ?, ?, ?, ?, ?)",
            { s.dateTime, s.einkaufsPreis, s.verkaufsPreis, s.menge, s.artikel,
                s.auszahldatum.isEmpty() ? QVariant() : QVariant(s.auszahldatum) });

    const QString zurueck
        = "INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) VALUES (?, ?, ?)";
    run(zurueck, { stamp(4, QTime(12, 0)), 2, kochbuch.id });
    run(zurueck, { stamp(2, QTime(12, 0)), 1, jacke.id });
}

QList<ShopFixture::Sale> ShopFixture::salesSince(int days) const
{
    const QString cutOff = m_today.addDays(-days).toString("yyyy-MM-dd") + " 00:00:00.000";
    QList<Sale> listed;
    for (const Sale &s : m_sales)
        if (s.dateTime > cutOff)
            listed.prepend(s);
    return listed;
}

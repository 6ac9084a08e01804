#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

// A small shop for the page tests, written into the database of a TestWorkdir (which must
// exist first). Dates count back from the day given, so the recent sales fall inside the sale
// page's default seven days and the running contract has not expired.
//
//   Muster, Max (1)      contract 101  commission, 90 days, ended 20 days ago
//                          1 Kaffeeservice   1 piece   sold 60 days ago, paid out
//                          2 Wollschal       3 pieces  1 sold 50 days ago, unpaid; stock 2
//                        contract 102  commission, 90 days, running since 10 days
//                          1 Damenjacke      5 pieces  1 sold and paid, 1 sold unpaid,
//                                                      1 given back; stock 2
//                          2 Kinderstiefel   1 piece   sold, unpaid; stock 0
//                          3 Tischlampe      2 pieces  untouched; stock 2
//   Beispiel, Erika (2)  contract 103  cash purchase (Laufzeit -1, paid 20 €), running
//                          1 Kochbuch        3 pieces  1 sold, 2 given back; stock 0
//                          2 Puzzle          1 piece   sold; stock 0
//                          3 Jeans           2 pieces  untouched; stock 2
//   a till sale without article (Artikel -1), 2 days ago, 3.50 €
//
// Article ids are interleaved across the contracts (ids 1 to 8 in the order 101/1, 102/1,
// 103/1, 101/2, 102/2, 103/2, 102/3, 103/3), so an article's id is never its position.
class ShopFixture
{
public:
    explicit ShopFixture(const QDate &today = QDate::currentDate());

    static constexpr int kundeMuster = 1;
    static constexpr int kundeBeispiel = 2;

    static constexpr int vertragBeendet = 101;
    static constexpr int vertragLaufend = 102;
    static constexpr int vertragAnkauf = 103;

    struct Artikel
    {
        int id;
        int vertrag;
        int nr; // position in the contract
        const char *bezeichnung;
        int menge; // pieces delivered or bought
        double einkaufsPreis;
        double verkaufsPreis;
        int verkauft; // pieces sold
        int zurueck; // pieces given back
        int kategorie;
        const char *ean;
        const char *isbn;
        const char *beschreibung;
        int bestand() const { return menge - verkauft - zurueck; }
    };
    static const Artikel kaffeeservice, wollschal; // contract 101
    static const Artikel jacke, stiefel, lampe; // contract 102
    static const Artikel kochbuch, puzzle, jeans; // contract 103
    static QList<Artikel> artikel(); // all eight, by id

    struct Sale
    {
        QString dateTime; // the key as stored
        int artikel; // -1: a till sale without article
        int menge;
        double einkaufsPreis;
        double verkaufsPreis;
        QString auszahldatum; // empty: unpaid
    };
    // Every sale, oldest first.
    QList<Sale> sales() const { return m_sales; }
    // The sales after midnight starting the day that many days back, newest first: what the
    // sale page lists with that AnzahlVerkauf.
    QList<Sale> salesSince(int days) const;

    QDate today() const { return m_today; }
    // The stored time-stamp text of a moment so many days back.
    QString stamp(int daysAgo, const QTime &time) const;

private:
    QDate m_today;
    QList<Sale> m_sales;
};

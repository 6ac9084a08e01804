#pragma once

#include <QString>
#include <QStringList>

// The placeholders that the templates in "Templates/" may hold. Matched exactly, case included;
// no name holds a parenthesis, so no placeholder occurs inside another.
struct TemplateKeys
{
    const QString VertrNr = QStringLiteral("$(VertrNr)");
    const QString VertrDatum = QStringLiteral("$(VertrDatum)");
    const QString KundenSumme = QStringLiteral("$(KundenSumme)");
    const QString VertragSumme = QStringLiteral("$(VertragSumme)");
    const QString ArtikelSumme = QStringLiteral("$(ArtikelSumme)");
    const QString VerkauftZurueck = QStringLiteral("$(VerkauftZurueck)");
    const QString Gewinn = QStringLiteral("$(Gewinn)");
    const QString Name = QStringLiteral("$(Name)");
    const QString SummeEk = QStringLiteral("$(SummeEk)");
    const QString SummeVk = QStringLiteral("$(SummeVk)");
    const QString ArtikelListe = QStringLiteral("$(ArtikelListe)");
    const QString ArtikelListeKopie = QStringLiteral("$(ArtikelListeKopie)");
    const QString VertragsListe = QStringLiteral("$(VertragsListe)");
    const QString Standgebuehr = QStringLiteral("$(Standgebuehr)");
    const QString VertrEndeDatum = QStringLiteral("$(VertrEndeDatum)");
    const QString Datum = QStringLiteral("$(Datum)");
    const QString ArtikelVertrag = QStringLiteral("$(ArtikelVertrag)");
    const QString ArtikelNr = QStringLiteral("$(ArtikelNr)");
    const QString ArtikelBz = QStringLiteral("$(ArtikelBz)");
    const QString ArtikelMe = QStringLiteral("$(ArtikelMe)");
    const QString ArtikelStkEk = QStringLiteral("$(ArtikelStkEk)");
    const QString ArtikelEk = QStringLiteral("$(ArtikelEk)");
    const QString ArtikelEkSumme = QStringLiteral("$(ArtikelEkSumme)");
    const QString ArtikelVk = QStringLiteral("$(ArtikelVk)");
    const QString ArtikelVkSumme = QStringLiteral("$(ArtikelVkSumme)");
    const QString HalbeHoehe = QStringLiteral("$(HalbeHoehe)");
    const QString Beschreibung = QStringLiteral("$(Beschreibung)");
    const QString Stadt = QStringLiteral("$(Stadt)");
    const QString Kundennr = QStringLiteral("$(Kundennr)");
    const QString ArtAnkauf = QStringLiteral("$(ArtAnkauf)");
    const QString ArtZurueck = QStringLiteral("$(ArtZurueck)");
    const QString ArtVerkauft = QStringLiteral("$(ArtVerkauft)");
    const QString ArtBestand = QStringLiteral("$(ArtBestand)");
    const QString ArtGezahlt = QStringLiteral("$(ArtGezahlt)");
    const QString ArtOffen = QStringLiteral("$(ArtOffen)");
    const QString OffenerGewinn = QStringLiteral("$(OffenerGewinn)");
    const QString SummeOffen = QStringLiteral("$(SummeOffen)");
    const QString SummeAusg = QStringLiteral("$(SummeAusg)");
    const QString VonDatum = QStringLiteral("$(VonDatum)");
    const QString BisDatum = QStringLiteral("$(BisDatum)");
    const QString Auszahlung = QStringLiteral("$(Auszahlung)");
    const QString Kasse = QStringLiteral("$(Kasse)");
    const QString KundenName = QStringLiteral("$(KundenName)");
    const QString KundenTelefon = QStringLiteral("$(KundenTelefon)");
    const QString header = QStringLiteral("$(header)");
    const QString Montag = QStringLiteral("$(Montag)");
    const QString Dienstag = QStringLiteral("$(Dienstag)");
    const QString Mittwoch = QStringLiteral("$(Mittwoch)");
    const QString Donnerstag = QStringLiteral("$(Donnerstag)");
    const QString Freitag = QStringLiteral("$(Freitag)");
    const QString Samstag = QStringLiteral("$(Samstag)");

    // All 51, in their defined order.
    QStringList all() const;
};

extern const TemplateKeys templateKeys;

// Table rows of the document lists, filled once per record.
extern const QString ROW_A; // contract articles, purchase view
extern const QString ROW_B; // contract articles, purchase and sale price
extern const QString ROW_C; // payout articles
extern const QString ROW_D; // stock list
extern const QString ROW_E; // expired contracts

// The payout sentence; its two placeholders are filled after it has gone in.
extern const QString auszahlungSatz;

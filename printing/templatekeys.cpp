#include "printing/templatekeys.h"

const TemplateKeys templateKeys;

QStringList TemplateKeys::all() const
{
    return { VertrNr, VertrDatum, KundenSumme, VertragSumme, ArtikelSumme, VerkauftZurueck, Gewinn,
        Name, SummeEk, SummeVk, ArtikelListe, ArtikelListeKopie, VertragsListe, Standgebuehr,
        VertrEndeDatum, Datum, ArtikelVertrag, ArtikelNr, ArtikelBz, ArtikelMe, ArtikelStkEk,
        ArtikelEk, ArtikelEkSumme, ArtikelVk, ArtikelVkSumme, HalbeHoehe, Beschreibung, Stadt,
        Kundennr, ArtAnkauf, ArtZurueck, ArtVerkauft, ArtBestand, ArtGezahlt, ArtOffen,
        OffenerGewinn, SummeOffen, SummeAusg, VonDatum, BisDatum, Auszahlung, Kasse, KundenName,
        KundenTelefon, header, Montag, Dienstag, Mittwoch, Donnerstag, Freitag, Samstag };
}

const QString ROW_A = QStringLiteral(
    "<tr align=left style=\"font-size:10pt;\"><td> $(ArtikelNr) </td><td> $(ArtikelBz) "
    "</td><td> $(ArtikelMe) </td><td align=right> $(ArtikelStkEk) &euro; </td><td "
    "align=right> $(ArtikelEk) &euro; </td></tr>");

const QString ROW_B = QStringLiteral(
    "<tr align=left style=\"font-size:12pt;\"><td> $(ArtikelNr) </td><td> $(ArtikelBz) "
    "</td><td> $(ArtikelMe) </td><td align=right> $(ArtikelEk) &euro; </td><td "
    "align=right> $(ArtikelVk) &euro; </td></tr>");

const QString ROW_C = QStringLiteral(
    "<tr align=left style=\"font-size:12pt;\"><td> $(ArtikelNr) </td><td> $(ArtikelBz) "
    "</td><td align=right> $(ArtikelEk) </td><td align=middle> $(ArtikelMe) </td><td "
    "align=middle> $(ArtBestand) </td><td align=right> $(ArtGezahlt) </td><td align=right> "
    "$(ArtOffen) &euro; </td></tr>");

const QString ROW_D = QStringLiteral(
    "<tr align=left><td> $(ArtAnkauf) </td><td> $(ArtikelVertrag) </td><td> $(ArtikelNr) "
    "</td><td> $(ArtikelBz) </td><td> $(ArtBestand) </td><td align=right> $(ArtikelEk) "
    "&euro; </td><td align=right> $(ArtikelVk) &euro; </td><td align=right> "
    "$(ArtikelEkSumme) &euro; </td><td align=right> $(ArtikelVkSumme) &euro; </td></tr>");

const QString ROW_E = QStringLiteral(
    "<tr align=left><td> $(VertrNr) </td><td> $(KundenName) </td><td> $(Kundennr)</td><td> "
    "$(KundenTelefon)</td><td> $(VertrEndeDatum) </td><td align=right> $(ArtOffen) &euro; "
    "</td></tr>");

const QString auszahlungSatz = QStringLiteral(
    "Der offene Betrag in Höhe von $(SummeOffen) &euro; wurde dem Kunden $(Name) ausgezahlt.");

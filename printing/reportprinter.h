#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

class FilledDocument;
class QWidget;

// The records the documents take live in printing/records/, a header per kind of document; a
// caller includes the ones it fills, so a changed record rebuilds only its users.
struct AbgelaufenerVertrag;
struct AuszahlungsVertrag;
struct InventurListe;
struct InventurStatistik;
struct RueckgabeBeleg;
struct Vertragsdaten;

// Fills the HTML templates in "Templates/" and prints them on the document printer
// (setting Vertragsdrucker). Holds nothing between calls: every print reads its template and
// its settings again. Every box it shows has parent as its parent.
//
// The print operations return true when their documents went to the printer; false when a
// box told the user why nothing (or not everything) was printed.
class ReportPrinter
{
public:
    ReportPrinter() = default;

    QWidget *parent = nullptr;

    // titlePrefix, one blank, and the shop description (setting Beschreibung).
    QString beschreibung() const;

    // The document printer (setting Vertragsdrucker) is set and installed. Otherwise false,
    // after the box printing would show: for a caller that writes nothing it cannot print.
    bool checkDocumentPrinter(QString *name = nullptr) const;

    // Commission contract: the contract, then its copy. Cash purchase: the purchase contract
    // only. nichtAbgeschlossen: the copy only, marked as not concluded.
    bool printVertrag(Vertragsdaten vertrag, bool nichtAbgeschlossen);
    // Payout document; beenden (which wins) gives the end document, vorbereiten the
    // prepare-end document.
    bool printAuszahlung(AuszahlungsVertrag vertrag, bool beenden, bool vorbereiten);
    // End document of an expired contract that the shop ends itself.
    bool printSelbstBeenden(AbgelaufenerVertrag vertrag);
    bool printOffeneVertraege(QList<AbgelaufenerVertrag> vertraege);
    bool printStatistik(InventurStatistik statistik);
    bool printRueckgabe(RueckgabeBeleg beleg);
    // Always A4 portrait; asks for A4 paper first.
    bool printInventur(InventurListe liste);

    // One price label on the label printer; false when it was not printed.
    bool printEtikett(const QDate &datum, qint64 vertragNr, int position,
        const QString &bezeichnung, double preis);
    // One label per piece of every article; stops at the first label not printed.
    void printEtiketten(Vertragsdaten vertrag);

private:
    enum class Papier { NachEinstellung, ImmerA4 };

    QString setting(const QString &name) const;
    bool readTemplate(const QString &path, FilledDocument &document, bool required) const;
    // A filled document and its job title, as the print queue shows it.
    struct Dokument;
    bool printDocuments(const QList<Dokument> &documents, Papier papier) const;
};

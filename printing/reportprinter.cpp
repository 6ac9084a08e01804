#include "printing/reportprinter.h"

#include "app/dialogs.h"
#include "app/numbers.h"
#include "app/sql.h"
#include "app/titleprefix.h"
#include "printing/etikett.h"
#include "printing/htmlpages.h"
#include "printing/printoutput.h"
#include "printing/records/abgelaufen.h"
#include "printing/records/auszahlung.h"
#include "printing/records/inventur.h"
#include "printing/records/rueckgabe.h"
#include "printing/records/vertrag.h"
#include "printing/templatekeys.h"

#include <QDate>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>
#include <QSqlQuery>

namespace {

const QString kVertragTemplate = QStringLiteral("Templates/template_kommissionsvertrag.html");
const QString kKopieTemplate = QStringLiteral("Templates/template_kommissionsvertrag_kopie.html");
const QString kAuszahlungTemplate = QStringLiteral("Templates/template_auszahlung.html");
const QString kOffeneTemplate = QStringLiteral("Templates/template_offeneVertraege.html");
const QString kStatistikTemplate = QStringLiteral("Templates/template_statistik.html");
const QString kRueckgabeTemplate = QStringLiteral("Templates/template_rueckgabe.html");
const QString kInventurTemplate = QStringLiteral("Templates/template_inventur.html");

bool isTrue(const QString &text)
{
    return text == QLatin1String("true");
}

// The document is Latin-1 text; a character beyond it goes in as a numeric reference, so it
// still prints as itself.
QByteArray documentBytes(const QString &text)
{
    bool latin1 = true;
    for (const QChar c : text) {
        if (c.unicode() > 0xff) {
            latin1 = false;
            break;
        }
    }
    if (latin1)
        return text.toLatin1();
    QByteArray bytes;
    bytes.reserve(text.size() + 16);
    for (const uint c : text.toUcs4()) {
        if (c <= 0xff)
            bytes += char(c);
        else
            bytes += "&#" + QByteArray::number(c) + ';';
    }
    return bytes;
}

// A value typed by the staff (names, article texts): printed as typed, never as markup, and
// a "$" in it can never form a placeholder that a later step would fill. Control characters
// other than tab and line breaks are dropped: a NUL would end the document there.
QString escaped(const QString &value)
{
    QString text = value;
    text.removeIf([](QChar c) {
        return c.category() == QChar::Other_Control && c != QLatin1Char('\t')
            && c != QLatin1Char('\n') && c != QLatin1Char('\r');
    });
    text = text.toHtmlEscaped();
    text.replace(QLatin1Char('$'), QLatin1String("&#36;"));
    return text;
}

// Replaces every occurrence of key by markup (program text, settings, filled rows).
void put(FilledDocument &document, const QString &key, const QString &markup)
{
    document.replace(key.toLatin1(), documentBytes(markup));
}

void putText(FilledDocument &document, const QString &key, const QString &value)
{
    put(document, key, escaped(value));
}

// The town before the date; without a town the date stands alone, not after ", den".
void putStadt(FilledDocument &document, const QString &stadt)
{
    if (stadt.trimmed().isEmpty()) {
        static const QRegularExpression townAndDen(
            QStringLiteral("\\$\\(Stadt\\)\\s*,\\s*den\\s+"));
        document.editText([](QByteArray &bytes) {
            QString text = QString::fromLatin1(bytes);
            text.remove(townAndDen);
            bytes = text.toLatin1();
        });
    }
    put(document, templateKeys.Stadt, stadt);
}

QString shortNumber(double value)
{
    return QString::number(value == 0.0 ? 0.0 : value, 'g', 6);
}

QString datum(const QDateTime &dateTime)
{
    return dateTime.toString(QStringLiteral("dd.MM.yyyy"));
}

QString zeitstempel(const QDateTime &dateTime)
{
    return dateTime.toString(QStringLiteral("dd.MM.yyyy  hh:mm:ss"));
}

QString heute()
{
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}

using RowValues = QList<QPair<QString, QString>>;

// One copy of a row template with its keys replaced in order; values are markup.
void addRow(RowList &rows, const QString &rowTemplate, const RowValues &values)
{
    QString row = rowTemplate;
    for (const auto &value : values)
        row.replace(value.first, value.second);
    rows.append(documentBytes(row));
}

void putRows(FilledDocument &document, const QString &key, const RowList &rows)
{
    document.putRows(key.toLatin1(), rows);
}

// PrintFormat decides the paper quietly: a failed read just means A5.
bool a4Eingestellt()
{
    return isTrue(readSettingQuietly(QStringLiteral("PrintFormat")));
}

} // namespace

QString ReportPrinter::beschreibung() const
{
    return titlePrefix() + QLatin1Char(' ') + setting(QStringLiteral("Beschreibung"));
}

QString ReportPrinter::setting(const QString &name) const
{
    return readSetting(name, parent);
}

struct ReportPrinter::Dokument
{
    QString titel;
    FilledDocument text;
};

bool ReportPrinter::readTemplate(const QString &path, FilledDocument &document, bool required) const
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        document = FilledDocument(file.readAll());
        return true;
    }
    document = FilledDocument();
    if (!required)
        return true;
    Dialogs::critical(
        parent, QStringLiteral("Fehler"), QStringLiteral("Die Vorlage %1 fehlt!").arg(path));
    return false;
}

bool ReportPrinter::checkDocumentPrinter(QString *name) const
{
    const QString printer = setting(QStringLiteral("Vertragsdrucker"));
    if (name)
        *name = printer;
    if (printer.isEmpty()) {
        Dialogs::critical(parent, QStringLiteral("Fehler"),
            QStringLiteral("Bitte einen Vertragsdrucker auswählen!"));
        return false;
    }
    return PrintOutput::checkInstalled(printer, parent);
}

bool ReportPrinter::printDocuments(const QList<Dokument> &documents, Papier papier) const
{
    QString name;
    if (!checkDocumentPrinter(&name))
        return false;
    bool a4 = true;
    if (papier == Papier::ImmerA4)
        Dialogs::warning(
            parent, QStringLiteral("Warnung"), QStringLiteral("Bitte A4 Papier einlegen."));
    else
        a4 = a4Eingestellt();
    const QPageLayout layout(QPageSize(a4 ? QPageSize::A4 : QPageSize::A5),
        a4 ? QPageLayout::Portrait : QPageLayout::Landscape, QMarginsF(30, 10, 10, 10),
        QPageLayout::Millimeter);
    for (const Dokument &document : documents) {
        QString failure;
        const bool printed = PrintOutput::print(
            name, PrintOutput::Kind::Dokument, document.titel, layout,
            [&document](
                QPagedPaintDevice &device) { return printHtmlPages(device, document.text); },
            &failure);
        if (!printed) {
            QString text = QStringLiteral("Der Druck auf %1 ist fehlgeschlagen!").arg(name);
            if (!failure.isEmpty())
                text += QLatin1Char('\n') + failure;
            Dialogs::critical(parent, QStringLiteral("Fehler"), text);
            return false;
        }
    }
    return true;
}

bool ReportPrinter::printVertrag(Vertragsdaten vertrag, bool nichtAbgeschlossen)
{
    const TemplateKeys &k = templateKeys;
    const bool kommission = vertrag.standgebuehr > 0 || vertrag.laufzeit != -1;
    const bool mitVertrag = kommission && !nichtAbgeschlossen;

    FilledDocument dok, kopie;
    if (!readTemplate(kVertragTemplate, dok, mitVertrag)
        || !readTemplate(kKopieTemplate, kopie, true))
        return false;

    const QString nr = QString::number(vertrag.vertragNr);
    put(dok, k.VertrNr, QStringLiteral("Kommissionsvertrag Nr: ") + nr);
    put(dok, k.VertrDatum, datum(vertrag.datum));
    put(dok, k.Datum, heute());
    putText(dok, k.Name, vertrag.name);

    put(kopie, k.VertrNr,
        (kommission ? QStringLiteral("Kopie - Kommissionsvertrag Nr: ")
                    : QStringLiteral("Kaufvertrag Nr: "))
            + nr);
    put(kopie, k.VertrDatum, datum(vertrag.datum));
    put(kopie, k.Datum, heute());

    // Opening hours only on the customer's contract.
    const QList<QPair<QString, QString>> tage = {
        { k.Montag, QStringLiteral("Montag") },
        { k.Dienstag, QStringLiteral("Dienstag") },
        { k.Mittwoch, QStringLiteral("Mittwoch") },
        { k.Donnerstag, QStringLiteral("Donnerstag") },
        { k.Freitag, QStringLiteral("Freitag") },
        { k.Samstag, QStringLiteral("Samstag") },
    };
    for (const auto &tag : tage)
        put(dok, tag.first, setting(tag.second));

    putText(kopie, k.Name, vertrag.name);

    if (mitVertrag) {
        const QString satz = QStringLiteral(
            "<FONT SIZE=\"+1\"><b>Der Vertrag endet am: $(VertrEndeDatum)</b></FONT>.");
        const QDateTime ende
            = vertrag.ende.isNull() ? vertrag.datum.addDays(vertrag.laufzeit) : vertrag.ende;
        for (FilledDocument *d : { &dok, &kopie }) {
            put(*d, k.VertrEndeDatum, satz);
            put(*d, k.VertrEndeDatum, datum(ende));
        }
    } else {
        put(dok, k.VertrEndeDatum, QString());
        put(kopie, k.VertrEndeDatum, QString());
    }

    RowList liste, listeKopie;
    double summeEk = 0.0, summeVk = 0.0;
    int nummer = 1;
    for (const Vertragsartikel &a : vertrag.artikel) {
        summeEk += a.einkaufsPreis * a.menge;
        summeVk += a.verkaufsPreis * a.menge;
        const QString nrText = shortNumber(nummer);
        addRow(liste, ROW_A,
            { { k.ArtikelNr, nrText }, { k.ArtikelBz, escaped(a.bezeichnung) },
                { k.ArtikelMe, QString::number(a.menge) },
                { k.ArtikelStkEk, moneyText(a.einkaufsPreis) },
                { k.ArtikelEk, moneyText(a.einkaufsPreis * a.menge) } });
        addRow(listeKopie, ROW_B,
            { { k.ArtikelNr, nrText }, { k.ArtikelBz, escaped(a.bezeichnung) },
                { k.ArtikelMe, QString::number(a.menge) },
                { k.ArtikelEk, moneyText(a.einkaufsPreis) },
                { k.ArtikelVk, moneyText(a.verkaufsPreis) } });
        ++nummer;
    }
    for (FilledDocument *d : { &dok, &kopie }) {
        put(*d, k.SummeEk, moneyText(summeEk));
        put(*d, k.SummeVk, moneyText(summeVk));
        putRows(*d, k.ArtikelListe, liste);
        putRows(*d, k.ArtikelListeKopie, listeKopie);
    }

    if (mitVertrag) {
        const QString satz = QStringLiteral("Eine Standgebühr in Höhe von ")
            + moneyText(vertrag.standgebuehr) + QStringLiteral(" &euro; wurde bezahlt.");
        put(dok, k.Standgebuehr, satz);
        put(kopie, k.Standgebuehr, satz);
    } else if (nichtAbgeschlossen) {
        // Also for a cash purchase being deleted: it must not claim that money was paid.
        put(kopie, k.Standgebuehr,
            QStringLiteral(
                "<FONT SIZE=\"+2\"><b>Der Vertrag wurde nicht abgeschlossen.</b></FONT>"));
    } else {
        put(kopie, k.Standgebuehr,
            QStringLiteral("Der Einkaufspreis in Höhe von ") + moneyText(-vertrag.standgebuehr)
                + QStringLiteral(" &euro; wurde ausgezahlt.</br>Der Verkäufer bestätigt, "
                                 "dass die Ware unbestrittenes Eigentum ist."));
    }

    put(dok, k.Beschreibung, beschreibung());
    put(kopie, k.Beschreibung, beschreibung());
    const QString stadt = setting(QStringLiteral("Stadt"));
    putStadt(dok, stadt);
    putStadt(kopie, stadt);
    put(dok, k.Kundennr, QString::number(vertrag.kundeNr));
    put(kopie, k.Kundennr, QString::number(vertrag.kundeNr));

    const QString kopieTitel = (kommission ? QStringLiteral("Kopie Kommissionsvertrag ")
                                           : QStringLiteral("Kaufvertrag "))
        + nr;
    QList<Dokument> documents;
    if (mitVertrag)
        documents.append({ QStringLiteral("Kommissionsvertrag ") + nr, dok });
    documents.append({ kopieTitel, kopie });
    return printDocuments(documents, Papier::NachEinstellung);
}

bool ReportPrinter::printAuszahlung(AuszahlungsVertrag vertrag, bool beenden, bool vorbereiten)
{
    const TemplateKeys &k = templateKeys;
    FilledDocument dok;
    if (!readTemplate(kAuszahlungTemplate, dok, true))
        return false;

    const bool auszahlung = !beenden && !vorbereiten;
    QString art, endeText;
    if (beenden) {
        art = QStringLiteral("Beenden");
        endeText = QStringLiteral("Ich bestätige hiermit, dass die Ware abgeholt beziehungsweise "
                                  "darauf verzichtet wurde. Der Vertrag endet hiermit. ");
    } else if (vorbereiten) {
        art = QStringLiteral("Vorbereiten");
        endeText = QStringLiteral("Ich bestätige hiermit, dass die Ware inerhalb 7 Werktagen "
                                  "abgeholt wird. Sollte die Ware nicht abgeholt werden erlöschen "
                                  "alle Ansprüche. ");
    } else {
        art = QStringLiteral("Auszahlung");
        endeText = QStringLiteral("Der Vertrag endet am: ")
            + datum(vertrag.datum.addDays(vertrag.laufzeit)) + QLatin1Char('.');
    }

    put(dok, k.VertrNr,
        art + QStringLiteral(" - Kommissionsvertrag Nr: ") + QString::number(vertrag.vertragNr));
    put(dok, k.VertrDatum, datum(vertrag.datum));
    put(dok, k.Datum, heute());
    put(dok, k.header, auszahlungSatz);
    putText(dok, k.Name, vertrag.name);
    put(dok, k.VertrEndeDatum, endeText);

    RowList liste;
    double summeOffen = 0.0, summeAusgezahlt = 0.0;
    int position = 0;
    for (const ArtikelAbrechnung &a : vertrag.artikel) {
        ++position;
        // A payout lists only what it pays; positions keep their gaps so they match the labels.
        if (!auszahlung || a.offen > 0) {
            addRow(liste, ROW_C,
                { { k.ArtikelNr, QString::number(position) },
                    { k.ArtikelBz, escaped(a.bezeichnung) },
                    { k.ArtikelEk, moneyText(a.einkaufsPreis) + QStringLiteral(" &euro;") },
                    { k.ArtikelMe, QString::number(a.einkaufsMenge) },
                    { k.ArtBestand,
                        QString::number(a.einkaufsMenge - a.zurueckgegeben - a.verkauft) },
                    { k.ArtGezahlt,
                        auszahlung ? QString()
                                   : moneyText(a.ausgezahlt) + QStringLiteral(" &euro;") },
                    { k.ArtOffen, moneyText(a.offen) } });
        }
        summeOffen += a.offen;
        summeAusgezahlt += a.ausgezahlt;
    }

    put(dok, k.SummeOffen, moneyText(summeOffen));
    put(dok, k.SummeAusg, moneyText(summeAusgezahlt));
    putRows(dok, k.ArtikelListe, liste);
    put(dok, k.Beschreibung, beschreibung());
    putStadt(dok, setting(QStringLiteral("Stadt")));
    put(dok, k.Kundennr, QString::number(vertrag.kundeNr));
    return printDocuments({ { art + QLatin1Char(' ') + QString::number(vertrag.vertragNr), dok } },
        Papier::NachEinstellung);
}

bool ReportPrinter::printSelbstBeenden(AbgelaufenerVertrag vertrag)
{
    const TemplateKeys &k = templateKeys;
    FilledDocument dok;
    if (!readTemplate(kAuszahlungTemplate, dok, true))
        return false;

    put(dok, k.VertrNr,
        QStringLiteral("Beenden - Kommissionsvertrag Nr: ") + QString::number(vertrag.id));
    put(dok, k.VertrDatum, datum(vertrag.datum));
    put(dok, k.Datum, heute());
    put(dok, k.header, QString());
    putText(dok, k.Name, vertrag.name);
    put(dok, k.VertrEndeDatum,
        QStringLiteral("Der Kunde ") + escaped(vertrag.name)
            + QStringLiteral(" hat seinen Vertrag nicht abgeholt. Alle Ansprüche wurden "
                             "verloren.\nDer Vertrag endet hiermit."));

    RowList liste;
    double summeOffen = 0.0, summeAusgezahlt = 0.0;
    int position = 1;
    for (const ArtikelAbrechnung &a : vertrag.artikel) {
        addRow(liste, ROW_C,
            { { k.ArtikelNr, shortNumber(position) }, { k.ArtikelBz, escaped(a.bezeichnung) },
                { k.ArtikelEk, moneyText(a.einkaufsPreis) + QStringLiteral(" &euro;") },
                { k.ArtikelMe, QString::number(a.einkaufsMenge) },
                { k.ArtBestand, QString::number(a.einkaufsMenge - a.zurueckgegeben - a.verkauft) },
                { k.ArtGezahlt, shortNumber(a.ausgezahlt) },
                { k.ArtOffen, shortNumber(a.offen) } });
        summeOffen += a.offen;
        summeAusgezahlt += a.ausgezahlt;
        ++position;
    }

    put(dok, k.SummeOffen, moneyText(summeOffen));
    put(dok, k.SummeAusg, moneyText(summeAusgezahlt));
    putRows(dok, k.ArtikelListe, liste);
    put(dok, k.Beschreibung, beschreibung());
    putStadt(dok, setting(QStringLiteral("Stadt")));
    put(dok, k.Kundennr, QString::number(vertrag.kunde));
    return printDocuments(
        { { QStringLiteral("Beenden %1").arg(vertrag.id), dok } }, Papier::NachEinstellung);
}

bool ReportPrinter::printOffeneVertraege(QList<AbgelaufenerVertrag> vertraege)
{
    const TemplateKeys &k = templateKeys;
    FilledDocument dok;
    if (!readTemplate(kOffeneTemplate, dok, true))
        return false;

    put(dok, k.BisDatum, zeitstempel(QDateTime::currentDateTime()));
    RowList liste;
    for (const AbgelaufenerVertrag &v : vertraege) {
        addRow(liste, ROW_E,
            { { k.VertrNr, QString::number(v.id) }, { k.KundenName, escaped(v.name) },
                { k.Kundennr, QString::number(v.kunde) }, { k.KundenTelefon, escaped(v.telefon) },
                { k.VertrEndeDatum, zeitstempel(v.ende) }, { k.ArtOffen, moneyText(v.offen) } });
    }
    putRows(dok, k.VertragsListe, liste);
    put(dok, k.Beschreibung, beschreibung());
    putStadt(dok, setting(QStringLiteral("Stadt")));
    put(dok, k.Datum, heute());
    return printDocuments(
        { { QStringLiteral("Abgelaufene Verträge"), dok } }, Papier::NachEinstellung);
}

bool ReportPrinter::printStatistik(InventurStatistik s)
{
    const TemplateKeys &k = templateKeys;
    FilledDocument dok;
    if (!readTemplate(kStatistikTemplate, dok, true))
        return false;

    put(dok, k.KundenSumme, QString::number(s.kunden));
    put(dok, k.VertragSumme, QString::number(s.vertraege));
    put(dok, k.ArtikelSumme, QString::number(s.artikelmenge));
    put(dok, k.VerkauftZurueck, QString::number(s.verkauftZurueck));
    put(dok, k.ArtikelEk, moneyText(s.einkauf));
    put(dok, k.ArtikelVk, moneyText(s.verkauftVk));
    put(dok, k.Standgebuehr, moneyText(s.standgebuehr));
    put(dok, k.Auszahlung, moneyText(s.ankaufAuszahlung));
    put(dok, k.Kasse, moneyText((s.standgebuehr + s.verkauftVk) - s.ankaufAuszahlung));
    put(dok, k.Gewinn, moneyText(s.umsatz));
    put(dok, k.OffenerGewinn, moneyText(s.offenerAnkaufVk));
    put(dok, k.SummeOffen, moneyText(s.offeneAuszahlungen));
    put(dok, k.Datum, heute());
    put(dok, k.VonDatum, zeitstempel(s.von));
    put(dok, k.BisDatum, zeitstempel(s.bis));
    put(dok, k.Beschreibung, beschreibung());
    putStadt(dok, setting(QStringLiteral("Stadt")));
    return printDocuments({ { QStringLiteral("Statistik"), dok } }, Papier::NachEinstellung);
}

bool ReportPrinter::printRueckgabe(RueckgabeBeleg beleg)
{
    const TemplateKeys &k = templateKeys;
    FilledDocument dok;
    if (!readTemplate(kRueckgabeTemplate, dok, true))
        return false;

    put(dok, k.VertrNr, QString::number(beleg.vertragNr));
    put(dok, k.VertrDatum, datum(beleg.vertragDatum));
    put(dok, k.Datum, heute());
    putText(dok, k.Name, beleg.name);
    put(dok, k.ArtikelNr, QString::number(beleg.artikelNr));
    putText(dok, k.ArtikelBz, beleg.bezeichnung);
    put(dok, k.ArtZurueck, QString::number(beleg.anzahl));
    put(dok, k.ArtBestand, QString::number(beleg.bestand));
    put(dok, k.Beschreibung, beschreibung());
    putStadt(dok, setting(QStringLiteral("Stadt")));
    put(dok, k.Kundennr, QString::number(beleg.kundeNr));
    return printDocuments(
        { { QStringLiteral("Rückgabe %1/%2").arg(beleg.vertragNr).arg(beleg.artikelNr), dok } },
        Papier::NachEinstellung);
}

bool ReportPrinter::printInventur(InventurListe liste)
{
    const TemplateKeys &k = templateKeys;
    FilledDocument dok;
    if (!readTemplate(kInventurTemplate, dok, true))
        return false;

    put(dok, k.BisDatum, zeitstempel(liste.inventurDatum));

    RowList zeilen;
    int gruppen = 0, zeilenZahl = 0, stueck = 0, laufendeNr = 0;
    qint64 vorigerVertrag = 0;
    double summeEk = 0.0, summeVk = 0.0;
    for (const QString &id : qAsConst(liste.artikelIds)) {
        // value() does not insert: an id without its record prints as an empty row.
        const InventurArtikel a = liste.artikel.value(id.toLongLong());
        // Groups follow runs of the same contract in list order.
        QString vertragZelle;
        if (zeilenZahl == 0 || a.vertrag != vorigerVertrag) {
            vertragZelle = QString::number(a.vertrag);
            ++gruppen;
            laufendeNr = 1;
        } else {
            ++laufendeNr;
        }
        addRow(zeilen, ROW_D,
            { { k.ArtAnkauf, a.laufzeit == -1 ? QStringLiteral("Ank.") : QString() },
                { k.ArtikelVertrag, vertragZelle }, { k.ArtikelNr, QString::number(laufendeNr) },
                { k.ArtikelBz, escaped(a.bezeichnung) }, { k.ArtBestand, QString::number(a.menge) },
                { k.ArtikelEk, moneyText(a.einkaufsPreis) },
                { k.ArtikelVk, moneyText(a.verkaufsPreis) },
                { k.ArtikelEkSumme, moneyText(a.einkaufsPreis * a.menge) },
                { k.ArtikelVkSumme, moneyText(a.verkaufsPreis * a.menge) } });
        ++zeilenZahl;
        stueck += a.menge;
        summeEk += a.einkaufsPreis * a.menge;
        summeVk += a.verkaufsPreis * a.menge;
        vorigerVertrag = a.vertrag;
    }

    put(dok, k.VertragSumme, QString::number(gruppen));
    put(dok, k.ArtikelSumme, QString::number(zeilenZahl));
    put(dok, k.ArtBestand, QString::number(stueck));
    put(dok, k.SummeEk, moneyText(summeEk));
    put(dok, k.SummeVk, moneyText(summeVk));
    putRows(dok, k.ArtikelListe, zeilen);
    put(dok, k.Beschreibung, beschreibung());
    putStadt(dok, setting(QStringLiteral("Stadt")));
    put(dok, k.Datum, heute());
    return printDocuments({ { QStringLiteral("Inventur"), dok } }, Papier::ImmerA4);
}

bool ReportPrinter::printEtikett(
    const QDate &datum, qint64 vertragNr, int position, const QString &bezeichnung, double preis)
{
    return Labels::printEtikett(parent, datum, vertragNr, position, bezeichnung, preis);
}

void ReportPrinter::printEtiketten(Vertragsdaten vertrag)
{
    Labels::printEtiketten(parent, vertrag);
}

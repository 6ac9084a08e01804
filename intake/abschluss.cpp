// Concluding the intake: a commission contract or a cash purchase.

#include "intake/anlieferung.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/sql.h"
#include "app/textclean.h"
#include "printing/csvexport.h"
#include "printing/reportprinter.h"
#include "ui_anlieferung.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kWarnung = QStringLiteral("Warnung");

bool insertArticle(const Vertragsartikel &a, qint64 vertrag, QWidget *parent)
{
    QSqlQuery query;
    query.prepare(
        QStringLiteral("INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, VerkaufsPreis, "
                       "EinkaufsMenge, EAN, ISBN, Kategorie, Images, Beschreibung) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);"));
    query.addBindValue(vertrag);
    query.addBindValue(a.bezeichnung);
    query.addBindValue(a.einkaufsPreis);
    query.addBindValue(a.verkaufsPreis);
    query.addBindValue(a.menge);
    query.addBindValue(a.ean);
    query.addBindValue(a.isbn);
    query.addBindValue(a.kategorie);
    query.addBindValue(a.images);
    query.addBindValue(a.beschreibung);
    return execOrWarn(query, parent);
}

} // namespace

void Anlieferung::vertrAbschl()
{
    conclude(false);
}

void Anlieferung::einkauf()
{
    conclude(true);
}

bool Anlieferung::findCustomer(const QStringList &fields, std::optional<int> &kunde)
{
    kunde.reset();
    QSqlQuery query;
    const QString knr = ui->lineEditKNR->text();
    if (!knr.isEmpty()) {
        // Chosen by number: that customer, or none if it was deleted meanwhile.
        query.prepare(QStringLiteral("SELECT ID FROM Kunde WHERE ID = ?;"));
        query.addBindValue(knr.toLongLong());
        if (!execOrWarn(query, this))
            return false;
        if (!query.next()) {
            Dialogs::warning(this, kWarnung,
                QStringLiteral("Der Kunde Nr. %1 ist nicht mehr gespeichert.\n"
                               "Bitte wählen Sie den Kunden neu aus.")
                    .arg(knr));
            return false;
        }
        kunde = query.value(0).toInt();
        return true;
    }

    // Typed in: a stored customer with the same data (letters in any case) is reused only
    // after asking; "%" and "_" are letters here.
    query.prepare(QStringLiteral(
        "SELECT ID FROM Kunde WHERE Name = ? COLLATE NOCASE AND Vorname = ? COLLATE NOCASE "
        "AND Telefon = ? COLLATE NOCASE AND PLZ = ? COLLATE NOCASE AND Ort = ? COLLATE NOCASE "
        "AND Strasse = ? COLLATE NOCASE ORDER BY ID LIMIT 1;"));
    for (const QString &field : fields)
        query.addBindValue(field);
    if (!execOrWarn(query, this))
        return false;
    if (!query.next())
        return true;
    const int id = query.value(0).toInt();
    if (Dialogs::question(this, kWarnung,
            QStringLiteral("Der eingegebene Kunde existiert bereits,\n"
                           "soll mit dem angelegten Kunden fortgesetzt werden?"),
            QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::No) {
        Dialogs::critical(this, QStringLiteral("Fehler"),
            QStringLiteral("Kunden können nicht doppelt angelegt werden!\n"
                           "Bitte ändern Sie die Kundendaten."));
        return false;
    }
    kunde = id;
    return true;
}

void Anlieferung::conclude(bool barkauf)
{
    const int listedBefore = artikel.size();
    if (!checkPendingArticle())
        return;
    // An article the question added leaves the list again when the conclusion stops, so a
    // second attempt cannot store it twice.
    auto stop = [&] {
        while (artikel.size() > listedBefore)
            artikel.removeLast();
    };

    // The printed name keeps the cleaned texts; the stored ones are simplified once more.
    QStringList printed, fields;
    for (QLineEdit *edit : { ui->lineEditNA, ui->lineEditVNA, ui->lineEditTEL, ui->lineEditPLZ,
             ui->lineEditORT, ui->lineEditSTR }) {
        printed << cleanedText(edit->text());
        fields << printed.last().simplified();
    }
    // Checked on the stored form: a name of only "'" would otherwise be stored empty.
    if (fields.at(0).isEmpty() || fields.at(1).isEmpty()) {
        Dialogs::warning(this, kWarnung, QStringLiteral("Bitte geben Sie Name und Vorname ein."));
        return stop();
    }

    Vertragsdaten vertrag;
    vertrag.datum = QDateTime::currentDateTime();
    vertrag.vertragNr = vertragNr;
    vertrag.name = printed.at(0) + QStringLiteral(", ") + printed.at(1) + QStringLiteral(" (")
        + printed.at(2) + QLatin1Char(')');
    if (barkauf) {
        double total = 0.0;
        for (const Vertragsartikel &a : qAsConst(artikel))
            total += a.einkaufsPreis * a.menge;
        vertrag.laufzeit = -1;
        vertrag.standgebuehr = -total;
    } else {
        bool read = false;
        vertrag.laufzeit = readSetting(QStringLiteral("Laufzeit"), this, nullptr, &read).toInt();
        if (!read)
            return stop(); // a term of 0 would be stored, printed and exported
        vertrag.standgebuehr = ui->doubleSpinBoxStand->value();
    }

    std::optional<int> kunde;
    if (!findCustomer(fields, kunde))
        return stop();

    // Customer, contract and articles are stored together or not at all.
    Transaction transaction(this);
    if (!transaction.begin())
        return stop();
    QSqlQuery query;
    const bool newKunde = !kunde;
    if (newKunde) {
        query.prepare(QStringLiteral("INSERT INTO Kunde (Name, Vorname, Telefon, PLZ, Ort, "
                                     "Strasse) VALUES (?, ?, ?, ?, ?, ?);"));
        for (const QString &field : qAsConst(fields))
            query.addBindValue(field);
        if (!execOrWarn(query, this))
            return stop();
        kunde = query.lastInsertId().toInt();
    }
    vertrag.kundeNr = *kunde;

    query.prepare(QStringLiteral(
        "INSERT INTO Vertrag (Kunde, DateTime, Standgebuehr, Laufzeit) VALUES (?, ?, ?, ?);"));
    query.addBindValue(*kunde);
    query.addBindValue(vertrag.datum.toString(QLatin1String(kTimestampFormat)));
    query.addBindValue(vertrag.standgebuehr);
    query.addBindValue(vertrag.laufzeit);
    if (!execOrWarn(query, this))
        return stop();
    const qint64 neuerVertrag = query.lastInsertId().toLongLong();

    for (const Vertragsartikel &a : qAsConst(artikel)) {
        if (!insertArticle(a, neuerVertrag, this))
            return stop();
    }
    vertrag.vertragNr = neuerVertrag;
    vertrag.artikel = artikel;

    // The contract and its labels carry the new numbers: printed only once they are stored,
    // or a crash while printing would hand the same numbers out again. A printout that fails
    // does not undo the contract: it is stored and can be printed again.
    if (!transaction.commit())
        return stop();
    if (newKunde) {
        kunden.added({ *kunde, fields.at(0), fields.at(1), fields.at(2), fields.at(3), fields.at(4),
            fields.at(5) });
    }
    vertragNr = vertrag.vertragNr;
    if (!barkauf)
        emit openMenu();

    ReportPrinter printer;
    printer.parent = this;
    printer.printVertrag(vertrag, false);
    printer.printEtiketten(vertrag);

    if (barkauf) {
        emit openMenu();
        return;
    }
    // The automatic export is optional: an unreadable setting only means no export.
    const QString folder = readSettingQuietly(QStringLiteral("AutoExportPath"));
    if (!folder.isEmpty())
        exportVertrag(vertrag.vertragNr, folder);
}

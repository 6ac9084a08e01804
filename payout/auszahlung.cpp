#include "payout/auszahlung.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/digitsvalidator.h"
#include "app/numbers.h"
#include "app/sql.h"
#include "app/tablecell.h"
#include "app/textwidgets.h"
#include "payout/abrechnung.h"
#include "payout/detailauszahlung.h"
#include "printing/reportprinter.h"
#include "ui_auszahlung.h"

#include <QDateTime>
#include <QHeaderView>
#include <QSqlQuery>
#include <QStringList>

namespace {

enum Column {
    ColVertrag,
    ColAblauf,
    ColAusgezahlt,
    ColBestand,
    ColOffen,
    ColAuszahlen,
    ColVorbereiten,
    ColBeenden
};

// A customer's running commission contracts; an end prepared on this page is "-1", and ""
// counts as not ended like NULL.
const QString kVertraege = QStringLiteral(R"(
SELECT ID, DateTime, Laufzeit, Vertragsende FROM Vertrag
WHERE Kunde = ? AND (Vertragsende IS NULL OR Vertragsende = '' OR Vertragsende = '-1')
  AND Laufzeit IS NOT -1
ORDER BY ID)");

QTableWidgetItem *checkBox(Qt::CheckState state)
{
    auto *item = new QTableWidgetItem;
    item->setCheckState(state);
    return item;
}

} // namespace

Auszahlung::Auszahlung(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Auszahlung)
{
    ui->setupUi(this);
    showFromStart(
        { ui->lineEditNA, ui->lineEditVNA, ui->lineEditTEL, ui->lineEditORT, ui->lineEditSTR });
    kunden.setList(ui->listWidget);
    // Nothing can be typed before the page entry has read the highest numbers.
    knrValidator = new DigitsValidator(0, this);
    vertragValidator = new DigitsValidator(0, this);
    ui->lineEditKNR->setValidator(knrValidator);
    ui->lineEditVertrag->setValidator(vertragValidator);

    connect(ui->lineEditKNR, &QLineEdit::textChanged, this, &Auszahlung::knrChanged);
    connect(ui->lineEditVertrag, &QLineEdit::textChanged, this, &Auszahlung::vertragChanged);
    connect(ui->lineEditSearch, &QLineEdit::textChanged, this, &Auszahlung::searchKunde);
    connect(ui->listWidget, &QListWidget::itemActivated, this, &Auszahlung::kChanged);
    connect(ui->listWidget, &QListWidget::itemClicked, this, &Auszahlung::kChanged);

    ui->tableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tableWidget->verticalHeader()->hide();

    connect(ui->pushButtonPrint, &QPushButton::clicked, this, &Auszahlung::printAuszahlungen);
    connect(ui->label_16, &MenuLabel::clicked, this, &Auszahlung::openMenuSlot);
    connect(ui->pushButtonDetail, &QPushButton::clicked, this, &Auszahlung::detailAuszahlung);
}

Auszahlung::~Auszahlung()
{
    delete ui;
}

void Auszahlung::openMenuSlot()
{
    emit openMenu();
}

void Auszahlung::refreshPage()
{
    // Emptying the search field would list every customer just before the list is cleared.
    resettingPage = true;
    ui->lineEditKNR->clear();
    for (QLineEdit *field : { ui->lineEditNA, ui->lineEditVNA, ui->lineEditTEL, ui->lineEditPLZ,
             ui->lineEditORT, ui->lineEditSTR })
        field->clear();
    ui->lineEditSearch->clear();
    ui->lineEditVertrag->clear();
    kunden.clearList();
    resettingPage = false;
    ui->lineEditKNR->setFocus(Qt::OtherFocusReason);
    // A customer loaded by contract number leaves the customer number empty: his contracts go
    // here, with the table.
    vertragsListe.clear();
    ui->tableWidget->setRowCount(0);
    loadKunden();
}

void Auszahlung::loadKunden()
{
    kunden.load(this);
    if (const std::optional<qint64> top = kunden.highestId())
        knrValidator->setTop(*top);
    QSqlQuery query;
    if (execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Vertrag"), this) && query.next())
        vertragValidator->setTop(query.value(0).toLongLong());
}

void Auszahlung::searchKunde(const QString &text)
{
    if (!resettingPage)
        kunden.search(text);
}

void Auszahlung::kChanged(QListWidgetItem *item)
{
    if (const std::optional<Kundendaten> k = kunden.customerOf(item))
        ui->lineEditKNR->setText(QString::number(k->id));
}

void Auszahlung::vertragChanged(const QString &text)
{
    ui->label_status->clear();
    if (text.isEmpty())
        return;
    QSqlQuery query;
    if (!execOrWarn(query,
            QStringLiteral("SELECT Kunde, Vertragsende, Laufzeit FROM Vertrag WHERE ID = ?"),
            { text }, this)
        || !query.next()) {
        ui->label_status->setText(QStringLiteral("Vertrag nicht vorhanden"));
        knrChanged(QString());
        return;
    }
    const QString ende = query.value(1).toString();
    if (query.value(2).toInt() == -1) {
        ui->label_status->setText(QStringLiteral("Vertrag ist ein Kaufvertrag"));
        knrChanged(QString());
    } else if (ende.isEmpty() || ende == QLatin1String("-1")) {
        knrChanged(query.value(0).toString());
    } else {
        ui->label_status->setText(QStringLiteral("Vertrag wurde beendet"));
        knrChanged(QString());
    }
}

void Auszahlung::knrChanged(const QString &text)
{
    QTableWidget *table = ui->tableWidget;
    table->clearContents();
    vertragsListe.clear();
    const QList<QLineEdit *> fields = { ui->lineEditNA, ui->lineEditVNA, ui->lineEditTEL,
        ui->lineEditPLZ, ui->lineEditORT, ui->lineEditSTR };
    if (text.isEmpty()) {
        for (QLineEdit *field : fields)
            field->clear();
        table->setRowCount(0);
        return;
    }

    // A number without a customer shows no one: never the name of the one shown before.
    QSqlQuery query;
    const bool found = execOrWarn(query,
                           QStringLiteral("SELECT Name, Vorname, Telefon, PLZ, Ort, Strasse "
                                          "FROM Kunde WHERE ID = ?"),
                           { text }, this)
        && query.next();
    for (int i = 0; i < fields.size(); ++i)
        fields.at(i)->setText(found ? query.value(i).toString() : QString());

    const QString name = ui->lineEditNA->text() + QStringLiteral(", ") + ui->lineEditVNA->text();
    QList<qint64> nummern;
    if (execOrWarn(query, kVertraege, { text }, this)) {
        while (query.next()) {
            AuszahlungsVertrag v;
            v.name = name;
            v.vertragNr = query.value(0).toLongLong();
            v.datum = query.value(1).toDateTime();
            v.laufzeit = query.value(2).toInt();
            v.kundeNr = text.toInt();
            v.endeVorbereitet = query.value(3).toString() == QLatin1String("-1");
            vertragsListe.append(v);
            nummern.append(v.vertragNr);
        }
    }
    const QHash<qint64, QList<ArtikelAbrechnung>> abrechnung = readAbrechnung(nummern, this);
    for (AuszahlungsVertrag &v : vertragsListe) {
        v.artikel = abrechnung.value(v.vertragNr);
        for (const ArtikelAbrechnung &a : qAsConst(v.artikel)) {
            v.summeOffen += a.offen;
            v.summeAusgezahlt += a.ausgezahlt;
        }
    }

    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    table->setRowCount(vertragsListe.size() + 1);
    double ausgezahlt = 0.0, offen = 0.0;
    for (int row = 0; row < vertragsListe.size(); ++row) {
        const AuszahlungsVertrag &v = vertragsListe.at(row);
        int bestand = 0;
        for (const ArtikelAbrechnung &a : v.artikel)
            bestand += a.einkaufsMenge - a.verkauft - a.zurueckgegeben;
        table->setItem(row, ColVertrag, new TableCell(QString::number(v.vertragNr), centred));
        table->setItem(row, ColAblauf,
            new TableCell(
                v.datum.addDays(v.laufzeit).toString(QStringLiteral("dd.MM.yyyy")), centred));
        table->setItem(row, ColAusgezahlt, new TableCell(euroText(v.summeAusgezahlt), right));
        table->setItem(row, ColBestand,
            new TableCell(QString::number(bestand) + QStringLiteral(" Stk."), centred));
        table->setItem(row, ColOffen, new TableCell(euroText(v.summeOffen), right));
        // Nothing to pay out: no box to tick.
        table->setItem(
            row, ColAuszahlen, v.summeOffen > 0 ? checkBox(Qt::Unchecked) : new QTableWidgetItem);
        table->setItem(
            row, ColVorbereiten, checkBox(v.endeVorbereitet ? Qt::Checked : Qt::Unchecked));
        table->setItem(row, ColBeenden, checkBox(Qt::Unchecked));
        ausgezahlt += v.summeAusgezahlt;
        offen += v.summeOffen;
    }
    const int last = vertragsListe.size();
    table->setItem(last, ColVertrag, new QTableWidgetItem(QStringLiteral("Gesamt:")));
    table->setItem(last, ColAusgezahlt, new TableCell(euroText(ausgezahlt), right));
    table->setItem(last, ColOffen, new TableCell(euroText(offen), right));
    shareColumns(table);
}

bool Auszahlung::ticked(int row, int column) const
{
    const QTableWidgetItem *item = ui->tableWidget->item(row, column);
    return item && item->checkState() == Qt::Checked;
}

void Auszahlung::printAuszahlungen()
{
    struct Auftrag
    {
        int index;
        bool beenden;
        bool vorbereiten;
    };
    // Row i of the table is contract i of the list: the table cannot be edited or sorted.
    QList<Auftrag> auftraege;
    for (int i = 0; i < vertragsListe.size(); ++i) {
        const AuszahlungsVertrag &v = vertragsListe.at(i);
        const bool beenden = ticked(i, ColBeenden);
        // Preparing a prepared end again means nothing; its payout box still counts.
        const bool vorbereiten = !beenden && ticked(i, ColVorbereiten) && !v.endeVorbereitet;
        const bool auszahlen = !beenden && !vorbereiten && ticked(i, ColAuszahlen);
        if (beenden || vorbereiten || (auszahlen && v.summeOffen > 0))
            auftraege.append({ i, beenden, vorbereiten });
    }
    if (auftraege.isEmpty()) {
        Dialogs::warning(this, QStringLiteral("Information"),
            QStringLiteral("Keine offenen Auszahlungen oder ausgewählte Verträge."));
        return;
    }

    // Money is paid out only with its receipt: without a printer nothing is written.
    ReportPrinter printer;
    printer.parent = this;
    if (!printer.checkDocumentPrinter())
        return;
    bool handled = false;
    for (const Auftrag &a : qAsConst(auftraege)) {
        if (abrechnen(vertragsListe.at(a.index), a.beenden, a.vorbereiten, printer))
            handled = true;
    }
    if (handled)
        refreshPage();
}

bool Auszahlung::abrechnen(
    const AuszahlungsVertrag &vertrag, bool beenden, bool vorbereiten, ReportPrinter &printer)
{
    Transaction transaction(this);
    if (!transaction.begin())
        return false;
    QSqlQuery query;
    if (vertrag.summeOffen > 0) {
        // The unpaid sales of the articles with an open share: exactly what makes up the
        // contract's open amount. Sales paid out before keep their date.
        QStringList marks;
        QVariantList values { currentTimestamp() };
        for (const ArtikelAbrechnung &a : vertrag.artikel) {
            if (a.offen > 0) {
                marks << QStringLiteral("?");
                values << a.id;
            }
        }
        if (!execOrWarn(query,
                QStringLiteral("UPDATE Verkauf SET Auszahldatum = ? "
                               "WHERE Auszahldatum IS NULL AND Artikel IN (%1)")
                    .arg(marks.join(QLatin1Char(','))),
                values, this))
            return false;
    }
    if (beenden) {
        if (!execOrWarn(query, QStringLiteral("UPDATE Vertrag SET Vertragsende = ? WHERE ID = ?"),
                { currentTimestamp(), vertrag.vertragNr }, this)
            || !execOrWarn(query,
                QStringLiteral("UPDATE Artikel SET EinkaufsPreis = 0 WHERE Vertrag = ?"),
                { vertrag.vertragNr }, this))
            return false;
    } else if (vorbereiten) {
        if (!execOrWarn(query,
                QStringLiteral("UPDATE Vertrag SET Vertragsende = '-1' WHERE ID = ?"),
                { vertrag.vertragNr }, this))
            return false;
    }
    // The document shows the figures as loaded, before this payout.
    if (!printer.printAuszahlung(vertrag, beenden, vorbereiten))
        return false;
    return transaction.commit();
}

void Auszahlung::detailAuszahlung()
{
    DetailAuszahlung dialog;
    dialog.showDetails(vertragsListe);
    Dialogs::exec(dialog);
}

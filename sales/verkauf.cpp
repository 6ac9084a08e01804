#include "sales/verkauf.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/imagedialog.h"
#include "app/numbers.h"
#include "app/paths.h"
#include "app/sql.h"
#include "app/tablecell.h"
#include "app/textcodec.h"
#include "app/waitcursor.h"
#include "printing/artikelbarcode.h"
#include "sales/kassenimport.h"
#include "ui_verkauf.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QHash>
#include <QHeaderView>
#include <QSqlQuery>

namespace {

// Positions come with the list: one statement for all listed sales, not one per row.
const QString kRecentSales = QStringLiteral(R"(
SELECT V.DateTime, A.Bezeichnung, A.Vertrag, V.VerkaufsMenge, V.VerkaufsPreis,
       (SELECT COUNT(*) FROM Artikel AS B WHERE B.Vertrag = A.Vertrag AND B.ID <= A.ID)
FROM Verkauf AS V LEFT JOIN Artikel AS A ON V.Artikel = A.ID
WHERE %1
ORDER BY V.DateTime DESC)");

// The article at a position of a contract, with what has left the shop of it.
const QString kArticleAt = QStringLiteral(R"(
SELECT A.ID, A.Bezeichnung, A.EinkaufsMenge, A.EinkaufsPreis, A.VerkaufsPreis, A.Images,
       (SELECT SUM(VerkaufsMenge) FROM Verkauf WHERE Artikel = A.ID),
       (SELECT SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel = A.ID)
FROM Artikel AS A
WHERE A.Vertrag = ?
ORDER BY A.ID
LIMIT 1 OFFSET ?)");

// A stored time stamp as the list shows it, "yyyy-MM-dd hh:mm:ss.zzz". The bookings store
// exactly that form: such a text is shown as it is, 10,000 times without parsing.
QString timestampText(const QString &stored)
{
    static const QLatin1String pattern("dddd-dd-dd dd:dd:dd.ddd");
    bool canonical = stored.size() == pattern.size();
    for (int i = 0; canonical && i < pattern.size(); ++i)
        canonical = pattern[i] == QLatin1Char('d') ? stored[i].isDigit() : stored[i] == pattern[i];
    if (canonical) {
        const auto number = [&stored](int from, int length) {
            return QStringView(stored).mid(from, length).toInt();
        };
        if (QDate::isValid(number(0, 4), number(5, 2), number(8, 2))
            && QTime::isValid(number(11, 2), number(14, 2), number(17, 2), number(20, 3)))
            return stored;
    }
    QDate date;
    QTime time;
    if (!readTimestamp(stored, &date, &time))
        return QString();
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ')
        + time.toString(QStringLiteral("hh:mm:ss.zzz"));
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = {})
{
    return new TableCell(text, alignment);
}

constexpr int kNameColumn = 3;

} // namespace

Verkauf::Verkauf(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Verkauf)
{
    ui->setupUi(this);
    // The newest sales decide the column widths: measuring every text of a week would cost
    // more than the rest of the page entry.
    ui->tableWidgetVerkauf->horizontalHeader()->setResizeContentsPrecision(200);

    connect(ui->label_16, &MenuLabel::clicked, this, &Verkauf::openMenuSlot);
    connect(ui->spinBoxVertrag, &QSpinBox::valueChanged, this, &Verkauf::vertrChanged,
        Qt::DirectConnection);
    connect(ui->spinBoxArtikel, &QSpinBox::valueChanged, this, &Verkauf::artChanged,
        Qt::DirectConnection);
    connect(ui->spinBoxAnzahl, &QSpinBox::valueChanged, this, &Verkauf::valueChanged,
        Qt::DirectConnection);
    connect(ui->pushButtonLoeschen, &QPushButton::clicked, this, &Verkauf::loeschen);
    // sell() has default arguments: clicked(bool) must not become its dateTime.
    connect(
        ui->pushButton, &QPushButton::clicked, this, [this] { sell(); }, Qt::DirectConnection);
    connect(ui->pushButtonImageDialog, &QPushButton::clicked, this, &Verkauf::showImagesBig);
    connect(ui->pushButtonNextImage, &QPushButton::clicked, this, &Verkauf::showNextImage);
    connect(ui->toolButtonImport, &QToolButton::clicked, this, &Verkauf::importFromFile);
}

Verkauf::~Verkauf()
{
    delete ui;
}

void Verkauf::openMenuSlot()
{
    emit openMenu();
}

void Verkauf::setAustragen(bool on)
{
    // Write-offs carry no price, and a journal is imported on the sale page only.
    if (on) {
        ui->label_6->hide();
        ui->doubleSpinBoxPreis->hide();
        ui->label_15->setText(QStringLiteral("Austragen"));
        ui->toolButtonImport->hide();
    }
    austragen = on;
}

void Verkauf::refreshPage(bool resetCounter)
{
    refresh(resetCounter);
}

void Verkauf::refresh(bool resetCounter, const QString &booked)
{
    images.clear();
    imageIndex = 0;
    ui->pushButtonImageDialog->setEnabled(false);
    ui->pushButtonNextImage->setEnabled(false);
    ui->labelImage->clear();

    QSqlQuery query;
    if (execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Vertrag;"), this) && query.next()) {
        const int last = query.value(0).toInt();
        ui->labelVertr->setText(QStringLiteral("Letzter Vertrag: ") + QString::number(last));
        ui->spinBoxVertrag->setMaximum(last);
        qDebug() << last;
    }

    // Each change runs its selection slot: afterwards no article is selected.
    ui->spinBoxVertrag->setValue(0);
    ui->spinBoxArtikel->setValue(0);
    ui->spinBoxAnzahl->setValue(0);
    ui->doubleSpinBoxPreis->setValue(0.0);
    ui->labelBestand->clear();
    ui->labelNeuBestand->clear();
    if (resetCounter)
        verkaufZaehler = 1;
    // Empty boxes, so that the clerk types over nothing; the values stay 0.
    for (QAbstractSpinBox *box : { static_cast<QAbstractSpinBox *>(ui->spinBoxVertrag),
             static_cast<QAbstractSpinBox *>(ui->spinBoxArtikel),
             static_cast<QAbstractSpinBox *>(ui->spinBoxAnzahl),
             static_cast<QAbstractSpinBox *>(ui->doubleSpinBoxPreis) })
        box->clear();

    const int days = readSetting(QStringLiteral("AnzahlVerkauf"), this).toInt();

    // A code left in the field would decide the next booking, whether the field is shown
    // or not: it goes on every entry.
    ui->lineEditBarcode->clear();
    ui->labelBarcodeStatus->clear();
    const bool codeInput = !readSetting(QStringLiteral("Etikettendrucker"), this).isEmpty();
    ui->labelBarcodeStatus->setVisible(codeInput);
    ui->lineEditBarcode->setVisible(codeInput);
    ui->labelBarcode->setVisible(codeInput);
    if (codeInput)
        ui->lineEditBarcode->setFocus();
    else
        ui->spinBoxVertrag->setFocus();

    vertragBeendet = false;
    bestand = -1;

    // After one booking on the same list the new row alone is read: the list then holds what
    // reading it anew would give, without reading a week of sales at every scan.
    const QString cutOff
        = QDate::currentDate().addDays(-days).toString(QStringLiteral("yyyy-MM-dd"))
        + QStringLiteral(" 00:00:00.000");
    if (booked.isNull() || cutOff != listedCutOff || !addListedSale(booked))
        loadRecentSales(cutOff);
}

namespace {

// One row of kRecentSales.
struct ListedSale
{
    QString key;
    QString bezeichnung;
    int vertrag;
    int menge;
    double preis;
    int position;
};

ListedSale listedSale(const QSqlQuery &query)
{
    return { query.value(0).toString(), query.value(1).toString(), query.value(2).toInt(),
        query.value(3).toInt(), query.value(4).toDouble(), query.value(5).toInt() };
}

// Column 0 keeps the stored key for deleting.
void fillRow(QTableWidget *table, int row, const ListedSale &sale)
{
    const Qt::Alignment centred = Qt::AlignCenter;
    QTableWidgetItem *datum = cell(timestampText(sale.key), centred);
    datum->setData(Qt::UserRole, sale.key);
    table->setItem(row, 0, datum);
    table->setItem(row, 1, cell(QString::number(sale.vertrag), centred));
    table->setItem(row, 2, cell(QString::number(sale.position), centred));
    table->setItem(row, kNameColumn, new NameCell(sale.bezeichnung));
    table->setItem(row, 4, cell(QString::number(sale.menge), centred));
    table->setItem(row, 5, cell(euroText(sale.preis), Qt::AlignRight | Qt::AlignVCenter));
}

} // namespace

void Verkauf::loadRecentSales(const QString &cutOff)
{
    QTableWidget *table = ui->tableWidgetVerkauf;
    table->setRowCount(0);
    listedCutOff.clear();

    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(QString(kRecentSales).arg(QStringLiteral("V.DateTime > ?")));
    query.addBindValue(cutOff);
    if (!execOrWarn(query, this))
        return;
    QList<ListedSale> sales;
    while (query.next())
        sales.append(listedSale(query));
    table->setRowCount(int(sales.size()));
    // The widest figures are found as the cells are made, not looked for among 10,000 rows.
    ExtremeRows widest(table->columnCount());
    fillCells(table, [&] {
        for (int row = 0; row < sales.size(); ++row) {
            const ListedSale &sale = sales.at(row);
            fillRow(table, row, sale);
            widest.note(1, sale.vertrag, row);
            widest.note(2, sale.position, row);
            widest.note(4, sale.menge, row);
            widest.note(5, sale.preis, row);
        }
    });
    fitColumns(table, kNameColumn, widest.rows());
    listedCutOff = cutOff;
}

bool Verkauf::addListedSale(const QString &key)
{
    QSqlQuery query;
    query.prepare(QString(kRecentSales).arg(QStringLiteral("V.DateTime = ?")));
    query.addBindValue(key);
    if (!query.exec())
        return false; // read the whole list, which reports the failure
    if (!query.next() || key <= listedCutOff)
        return true; // not listed
    // Newest first: the row goes before the first older one.
    QTableWidget *table = ui->tableWidgetVerkauf;
    int low = 0, high = table->rowCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (table->item(middle, 0)->data(Qt::UserRole).toString() > key)
            low = middle + 1;
        else
            high = middle;
    }
    table->insertRow(low);
    fillRow(table, low, listedSale(query));
    // A column grows for a longer text; measuring the others again would cost more than the
    // booking. The names take what room is left.
    for (int column = 0; column < table->columnCount(); ++column) {
        if (column == kNameColumn)
            continue;
        const int width = table->sizeHintForIndex(table->model()->index(low, column)).width()
            + (table->showGrid() ? 1 : 0);
        if (width > table->columnWidth(column))
            table->setColumnWidth(column, width);
    }
    return true;
}

// ---- selection ------------------------------------------------------------------------

void Verkauf::selectNoArticle()
{
    if (ui->spinBoxArtikel->value() != 0)
        ui->spinBoxArtikel->setValue(0);
    else
        artChanged(0);
}

void Verkauf::vertrChanged(int i)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT Vertragsende, (SELECT COUNT(ID) FROM Artikel WHERE "
                                 "Vertrag = Vertrag.ID) FROM Vertrag WHERE ID = ?;"));
    query.addBindValue(i);
    if (execOrWarn(query, this) && query.next()) {
        vertragBeendet = !contractRunning(query.value(0));
        const int count = query.value(1).toInt();
        selectNoArticle();
        ui->spinBoxArtikel->setRange(0, count);
    } else {
        // What a contract shown before has ended must not carry over to a missing one.
        vertragBeendet = false;
        selectNoArticle();
        ui->spinBoxArtikel->setRange(0, 9999999);
    }
}

void Verkauf::artChanged(int i)
{
    QSqlQuery query;
    bool found = false;
    if (i > 0) {
        query.prepare(kArticleAt);
        query.addBindValue(ui->spinBoxVertrag->value());
        query.addBindValue(i - 1);
        found = execOrWarn(query, this) && query.next();
    }
    if (!found) {
        // The pictures of the last article found stay.
        bestand = -1;
        ui->spinBoxAnzahl->setValue(0);
        valueChanged(0);
        ui->spinBoxAnzahl->setRange(0, 9999);
        ui->spinBoxAnzahl->setValue(1);
        ui->labelBezeichnung->clear();
        ui->doubleSpinBoxPreis->setValue(0.0);
        return;
    }

    artikelId = query.value(0).toInt();
    verkaufsPreis = query.value(4).toDouble();
    einkaufsPreis = query.value(3).toDouble();
    images = query.value(5).toString().split(QLatin1Char(','), Qt::KeepEmptyParts);
    imageIndex = -1;
    if (!images.isEmpty()) {
        ui->pushButtonImageDialog->setEnabled(true);
        ui->pushButtonNextImage->setEnabled(true);
    }
    showNextImage();
    ui->doubleSpinBoxPreis->setValue(verkaufsPreis);

    bestand = query.value(2).toInt() - query.value(6).toInt() - query.value(7).toInt();
    ui->spinBoxAnzahl->setValue(0);
    valueChanged(0);
    ui->labelBezeichnung->setText(query.value(1).toString());
    // Qt would lower the minimum with a negative maximum: the box stays at 0 then.
    ui->spinBoxAnzahl->setRange(0, qMax(0, bestand));
    ui->spinBoxAnzahl->setValue(1);
}

void Verkauf::valueChanged(int i)
{
    qDebug() << bestand;
    if (bestand == -1) {
        ui->labelBestand->setText(QStringLiteral("0"));
        ui->labelNeuBestand->setText(QStringLiteral("0"));
    } else {
        ui->labelBestand->setText(QString::number(bestand));
        ui->labelNeuBestand->setText(QString::number(bestand - i));
    }
}

// ---- booking -------------------------------------------------------------------------

bool Verkauf::articleExists(int vertragNr, int artikelNr)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT (SELECT COUNT(*) FROM Artikel WHERE Vertrag = Vertrag.ID) "
                                 "FROM Vertrag WHERE ID = ?"));
    query.addBindValue(vertragNr);
    return execOrWarn(query, this) && query.next() && artikelNr >= 1
        && artikelNr <= query.value(0).toInt();
}

bool Verkauf::insertSale(const QDateTime &when, double einkaufsPreis, double verkaufsPreis,
    int menge, int artikel, QString *key)
{
    *key = freeTimestampKey(QStringLiteral("Verkauf"), when, this);
    if (key->isNull())
        return false;
    QSqlQuery insert;
    insert.prepare(QStringLiteral("INSERT INTO Verkauf (DateTime, Einkaufspreis, Verkaufspreis, "
                                  "Verkaufsmenge, Artikel) VALUES (?, ?, ?, ?, ?);"));
    insert.addBindValue(*key);
    insert.addBindValue(einkaufsPreis);
    insert.addBindValue(verkaufsPreis);
    insert.addBindValue(menge);
    insert.addBindValue(artikel);
    return execOrWarn(insert, this);
}

void Verkauf::sell(QDateTime dateTime, int count, double sellPrice, bool *returnValue)
{
    if (returnValue)
        *returnValue = false;
    const QDateTime when = dateTime.isValid() ? dateTime : QDateTime::currentDateTime();

    // A code wins over typed numbers. It must name an article that is there: the boxes would
    // clamp any other number to some other article.
    const QString code = ui->lineEditBarcode->text();
    if (!code.isEmpty()) {
        int vertragNr = 0;
        int artikelNr = 0;
        if (!ArtikelBarcode::decode(code, &vertragNr, &artikelNr)
            || !articleExists(vertragNr, artikelNr)) {
            Dialogs::critical(this, QStringLiteral("Fehler"),
                QStringLiteral(
                    "Barcode konnte nicht eingelesen werden,\nbitte Artikel eintippen!"));
            refreshPage(false);
            return;
        }
        if (vertragNr > ui->spinBoxVertrag->maximum()) // stored since the page was entered
            ui->spinBoxVertrag->setMaximum(vertragNr);
        ui->spinBoxVertrag->setValue(vertragNr);
        ui->spinBoxArtikel->setValue(artikelNr);
    }
    if (count != -1)
        ui->spinBoxAnzahl->setValue(count); // at most the stock
    if (sellPrice > 0)
        ui->doubleSpinBoxPreis->setValue(sellPrice);

    QString refusal;
    if (bestand == 0)
        refusal = QStringLiteral("Kein Bestand!");
    else if (ui->spinBoxVertrag->value() == 0 || ui->spinBoxArtikel->value() == 0
        || ui->spinBoxAnzahl->value() < 1)
        refusal = QStringLiteral("Bitte alle Felder ausfüllen!");
    else if (austragen && (!vertragBeendet || bestand == -1))
        refusal
            = QStringLiteral("Artikel aus laufenden Verträgen können nicht ausgetragen werden!");
    if (!refusal.isEmpty()) {
        Dialogs::warning(this, QStringLiteral("Warnung"), refusal);
        ui->spinBoxArtikel->setFocus(Qt::OtherFocusReason);
        return;
    }

    bool barkauf = false;
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT Laufzeit FROM Vertrag WHERE ID = ?;"));
    query.addBindValue(ui->spinBoxVertrag->value());
    if (execOrWarn(query, this) && query.next())
        barkauf = query.value(0).toInt() == -1;

    // Nothing is owed for a cash purchase, an ended contract, a write-off or an unknown
    // article.
    const bool owed = !(vertragBeendet || barkauf || austragen || bestand == -1);
    QString key;
    if (!insertSale(when, owed ? einkaufsPreis : 0.0,
            austragen ? 0.0 : ui->doubleSpinBoxPreis->value(), ui->spinBoxAnzahl->value(),
            bestand == -1 ? -1 : artikelId, &key))
        return; // not booked: the entry stays for another try

    const int n = verkaufZaehler;
    refresh(false, key);
    verkaufZaehler = n + 1;
    ui->labelBarcodeStatus->setText(QStringLiteral("Barcode Ok ") + QString::number(n));
    if (returnValue)
        *returnValue = true;
}

void Verkauf::loeschen()
{
    QTableWidgetItem *current = ui->tableWidgetVerkauf->currentItem();
    if (!current)
        return;
    const QTableWidgetItem *datum = ui->tableWidgetVerkauf->item(current->row(), 0);
    if (!datum)
        return;
    // The stored key: a time stamp stored in another form is shown differently.
    const QString key = datum->data(Qt::UserRole).toString();

    // Without a readable payout date nothing is deleted: it may have been paid out.
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT Auszahldatum FROM Verkauf WHERE DateTime = ?;"));
    query.addBindValue(key);
    if (!execOrWarn(query, this))
        return;
    if (query.next() && !query.isNull(0)) {
        Dialogs::critical(this, QStringLiteral("Fehler"),
            QStringLiteral("Bereits ausgezahlt, löschen nicht möglich!"));
        return;
    }
    QSqlQuery remove;
    remove.prepare(
        QStringLiteral("DELETE FROM Verkauf WHERE DateTime = ? AND Auszahldatum IS NULL;"));
    remove.addBindValue(key);
    execOrWarn(remove, this);
    refreshPage(false);
}

// ---- cash-register journal ------------------------------------------------------------

namespace {

// A price as the price box holds it: two decimals, at most 1e9.
double boxPrice(double price)
{
    return QString::number(qBound(0.0, price, 1e9), 'f', 2).toDouble();
}

} // namespace

bool Verkauf::readJournal(QFile &file, QList<Booking> *bookings)
{
    // What a line books of an article; `left` counts the earlier lines of the file down.
    struct Article
    {
        int id;
        double einkaufsPreis;
        double verkaufsPreis;
        int left;
        bool owed;
    };
    QHash<QPair<qint64, int>, Article> known; // by contract and position

    int lineNumber = 0;
    const auto refuse = [this, &lineNumber] {
        Dialogs::critical(this, QStringLiteral("Fehler"),
            QStringLiteral("Fehler beim lesen der Datei in Zeile: %1.\nVorgang wird abgebrochen.")
                .arg(lineNumber));
        return false;
    };
    QSqlQuery contract;
    contract.prepare(QStringLiteral("SELECT Vertragsende, Laufzeit FROM Vertrag WHERE ID = ?;"));
    QSqlQuery article;
    article.prepare(kArticleAt);

    while (!file.atEnd()) {
        ++lineNumber; // skipped lines count: the number is the line an editor shows
        const QString text = fromCp1252(file.readLine());
        if (Kassenimport::kind(text) != Kassenimport::LineKind::Data)
            continue;
        Kassenimport::Line line;
        if (!Kassenimport::parse(text, &line))
            return refuse();
        if (line.menge == -1)
            line.menge = 1; // the register's mark for a quantity not given
        if (line.menge < 1 || line.artikel < 1)
            return refuse();

        const auto at = qMakePair(line.vertrag, line.artikel);
        auto it = known.find(at);
        if (it == known.end()) {
            contract.bindValue(0, line.vertrag);
            if (!execOrWarn(contract, this))
                return false;
            if (!contract.next())
                return refuse();
            const bool owed = contractRunning(contract.value(0)) && contract.value(1).toInt() != -1;
            article.bindValue(0, line.vertrag);
            article.bindValue(1, line.artikel - 1);
            if (!execOrWarn(article, this))
                return false;
            if (!article.next())
                return refuse();
            it = known.insert(at,
                { article.value(0).toInt(), article.value(3).toDouble(),
                    article.value(4).toDouble(),
                    article.value(2).toInt() - article.value(6).toInt() - article.value(7).toInt(),
                    owed });
        }
        if (line.menge > it->left)
            return refuse();
        it->left -= line.menge;

        // The journal's minute with the seconds of the import: sales of one minute mostly get
        // keys of their own, the free key does the rest.
        const QTime now = QTime::currentTime();
        const QDateTime when(
            line.date, QTime(line.time.hour(), line.time.minute(), now.second(), now.msec()));
        bookings->append({ when, it->owed ? it->einkaufsPreis : 0.0,
            boxPrice(line.preis > 0 ? line.preis : it->verkaufsPreis), line.menge, it->id });
    }
    return true;
}

void Verkauf::importFromFile()
{
    if (austragen)
        return; // write-offs carry no price: the button is hidden there
    const QString path = Dialogs::getOpenFileName(this, QStringLiteral("Import Datei wählen"),
        desktopFolder(), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const WaitCursor wait;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Dialogs::critical(this, QStringLiteral("Fehler"), file.errorString());
        return;
    }
    QList<Booking> bookings;
    if (!readJournal(file, &bookings))
        return;
    file.close();

    // A journal goes in whole or not at all, so that a corrected file can be imported again
    // without booking its first lines twice.
    Transaction transaction(this);
    if (!transaction.begin())
        return;
    for (const Booking &b : bookings) {
        QString key;
        if (!insertSale(b.when, b.einkaufsPreis, b.verkaufsPreis, b.menge, b.artikel, &key))
            return;
    }
    if (!transaction.commit())
        return;

    const int booked = int(bookings.size());
    if (booked > 0) {
        refresh(false);
        // Counted as bookings one by one would have counted them.
        ui->labelBarcodeStatus->setText(
            QStringLiteral("Barcode Ok ") + QString::number(verkaufZaehler + booked - 1));
        verkaufZaehler += booked;
    }
    Dialogs::information(this, QStringLiteral("Erfolgreich"),
        QStringLiteral("Es wurden %1 Verkäufe eingetragen.").arg(booked));
}

// ---- pictures -------------------------------------------------------------------------

void Verkauf::showNextImage()
{
    showNextPicture(ui->labelImage, images, imageIndex);
}

void Verkauf::showImagesBig()
{
    showPicturesBig(images, imageIndex); // opens on the picture shown here
}

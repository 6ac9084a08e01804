#include "sales/verkauf.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/imagedialog.h"
#include "app/sql.h"
#include "ui_verkauf.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QHeaderView>
#include <QPixmap>
#include <QSqlQuery>

namespace {

// Positions come with the list: one statement for all listed sales, not one per row.
const QString kRecentSales = QStringLiteral(R"(
SELECT V.DateTime, A.Bezeichnung, A.Vertrag, V.VerkaufsMenge, V.VerkaufsPreis,
       (SELECT COUNT(*) FROM Artikel AS B WHERE B.Vertrag = A.Vertrag AND B.ID <= A.ID)
FROM Verkauf AS V LEFT JOIN Artikel AS A ON V.Artikel = A.ID
WHERE V.DateTime > ?
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

// NULL and "" run, "-1" is an end prepared by the payout page; any time stamp has ended.
bool contractEnded(const QVariant &vertragsende)
{
    const QString text = vertragsende.toString();
    return !text.isEmpty() && text.toInt() != -1;
}

// A stored time stamp as the list shows it, "yyyy-MM-dd hh:mm:ss.zzz". The bookings store
// exactly that form: such a text is shown as it is, without a date-time in between (a local
// date-time asks the time-zone files for every row, and would move a time in the spring gap).
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
    const QDate date = QDate::fromString(stored.left(10), Qt::ISODate);
    if (!date.isValid())
        return QString();
    const QTime time
        = stored.size() > 10 ? QTime::fromString(stored.mid(11), Qt::ISODateWithMs) : QTime(0, 0);
    if (!time.isValid())
        return QString();
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ')
        + time.toString(QStringLiteral("hh:mm:ss.zzz"));
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = {})
{
    auto *item = new QTableWidgetItem(text);
    if (alignment)
        item->setTextAlignment(alignment);
    return item;
}

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
    connect(ui->pushButtonImageDialog, &QPushButton::clicked, this, &Verkauf::showImagesBig);
    connect(ui->pushButtonNextImage, &QPushButton::clicked, this, &Verkauf::showNextImage);
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
    if (on)
        ui->label_15->setText(QStringLiteral("Austragen"));
    austragen = on;
}

void Verkauf::refreshPage(bool resetCounter)
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
    loadRecentSales(days);
}

void Verkauf::loadRecentSales(int days)
{
    QTableWidget *table = ui->tableWidgetVerkauf;
    table->setRowCount(0);

    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(kRecentSales);
    query.addBindValue(QDate::currentDate().addDays(-days).toString(QStringLiteral("yyyy-MM-dd"))
        + QStringLiteral(" 00:00:00.000"));
    if (!execOrWarn(query, this))
        return;

    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment price = Qt::AlignRight | Qt::AlignVCenter;
    int row = 0;
    while (query.next()) {
        if (row == table->rowCount())
            table->setRowCount(row + 256);
        table->setItem(row, 0, cell(timestampText(query.value(0).toString()), centred));
        table->setItem(row, 1, cell(QString::number(query.value(2).toInt()), centred));
        table->setItem(row, 2, cell(QString::number(query.value(5).toInt()), centred));
        table->setItem(row, 3, cell(query.value(1).toString()));
        table->setItem(row, 4, cell(QString::number(query.value(3).toInt()), centred));
        table->setItem(row, 5,
            cell(QString::number(query.value(4).toDouble(), 'f', 2) + QStringLiteral(" €"), price));
        ++row;
    }
    table->setRowCount(row);
    table->resizeColumnsToContents();
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
        vertragBeendet = contractEnded(query.value(0));
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

// ---- pictures -------------------------------------------------------------------------

void Verkauf::showNextImage()
{
    if (images.isEmpty()) {
        ui->labelImage->clear();
        return;
    }
    if (++imageIndex >= images.size())
        imageIndex = 0;
    // An empty or unreadable path gives an empty picture.
    const QPixmap picture(images.at(imageIndex));
    ui->labelImage->setPixmap(picture.isNull()
            ? picture
            : picture.scaled(ui->labelImage->size(), Qt::KeepAspectRatio, Qt::FastTransformation));
}

void Verkauf::showImagesBig()
{
    ImageDialog dialog;
    dialog.images = images;
    dialog.imageIndex = imageIndex - 1; // opens on the picture shown here
    dialog.showNextImage();
    Dialogs::exec(dialog);
}

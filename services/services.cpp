#include "services/services.h"

#include "app/categories.h"
#include "app/dialogs.h"
#include "app/imagedialog.h"
#include "app/paths.h"
#include "app/sql.h"
#include "ui_services.h"

#include <QDate>
#include <QSqlQuery>

namespace {

// The contract, its customer and its number of articles in one lookup.
const char *const kVertragSql = R"(
SELECT V.DateTime, V.Vertragsende, V.Laufzeit, K.Name, K.Vorname, K.ID,
       (SELECT COUNT(*) FROM Artikel WHERE Vertrag = V.ID)
FROM Vertrag AS V LEFT JOIN Kunde AS K ON K.ID = V.Kunde
WHERE V.ID = ?)";

// The article at a position of its contract (positions count the articles in the order they
// were stored), with the pieces sold and given back.
const char *const kArtikelSql = R"(
SELECT A.Bezeichnung, A.EinkaufsMenge, A.EinkaufsPreis, A.VerkaufsPreis, A.EAN, A.ISBN,
       A.Images, A.Kategorie, A.Beschreibung,
       (SELECT SUM(VerkaufsMenge) FROM Verkauf WHERE Artikel = A.ID),
       (SELECT SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel = A.ID)
FROM Artikel AS A WHERE A.Vertrag = ?
ORDER BY A.ID LIMIT 1 OFFSET ?)";

// The day of a stored time stamp ("yyyy-MM-dd hh:mm:ss.zzz"); the time part does not matter.
QDate storedDate(const QVariant &value)
{
    return QDate::fromString(value.toString().left(10), QStringLiteral("yyyy-MM-dd"));
}

QString shownDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

Services::Services(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Services)
{
    ui->setupUi(this);

    connect(ui->pushButtonImageDialog, &QPushButton::clicked, this, &Services::showImagesBig);
    connect(ui->pushButtonNextImage, &QPushButton::clicked, this, &Services::showNextImage);
    connect(ui->toolButtonImages, &QToolButton::clicked, this, &Services::choseImages);
    connect(ui->pushButtonEAN, &QPushButton::clicked, this, &Services::changeEAN);
    connect(ui->pushButtonISBN, &QPushButton::clicked, this, &Services::changeISBN);
    connect(ui->pushButtonKategorie, &QPushButton::clicked, this, &Services::changeKategorie);
    connect(ui->pushButtonBeschreibung, &QPushButton::clicked, this, &Services::changeBeschreibung);
    connect(ui->pushButtonImages, &QPushButton::clicked, this, &Services::changeImages);
    connect(ui->pushButtonExport, &QPushButton::clicked, this, &Services::exportArt);
    connect(ui->spinBox_vertr, &QSpinBox::valueChanged, this, &Services::vertrChanged);
    connect(ui->spinBox_art, &QSpinBox::valueChanged, this, &Services::artChanged);
    connect(ui->pushButton_given_back, &QPushButton::clicked, this, &Services::giveBack);
    // A string connection: the slot's argument has a default, the button must not set it.
    connect(ui->pushButton_print, SIGNAL(clicked()), this, SLOT(printVertr()));
    connect(ui->pushButtonDelete, &QPushButton::clicked, this, &Services::deleteArtikel);
    connect(ui->pushButtonChangePrice, &QPushButton::clicked, this, &Services::changePrice);
    connect(ui->pushButtonChangeStock, &QPushButton::clicked, this, &Services::changeStock);
    connect(ui->pushButton_bz, &QPushButton::clicked, this, &Services::changeBezeichnung);
    connect(ui->pushButtonEtikett, &QPushButton::clicked, this, &Services::printEtikett);
    connect(ui->label_16, &MenuLabel::clicked, this, &Services::openMenuSlot);

    fillCategories(ui->comboBoxKategorie, ui->spinBoxKategorie);
    // Only now, so that filling the list runs neither.
    connect(
        ui->comboBoxKategorie, &QComboBox::currentIndexChanged, this, &Services::comboBoxChanged);
    connect(ui->spinBoxKategorie, &QSpinBox::valueChanged, this, &Services::changeComboBox);
}

Services::~Services()
{
    delete ui;
}

void Services::openMenuSlot()
{
    emit openMenu();
}

void Services::refreshPage()
{
    ui->spinBox_vertr->setValue(0);
    ui->spinBox_art->setValue(0);
    ui->spinBox_given_back->setValue(0);
    ui->lineEdit_vertr_closed->clear();
    ui->lineEdit_art_count->clear();
    clearArticleView();

    ui->spinBox_vertr->setFocus();
    ui->spinBox_vertr->selectAll();

    QSqlQuery query;
    qint64 last = 0;
    if (execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Vertrag"), this) && query.next()) {
        last = query.value(0).toLongLong();
        ui->labelVertr->setText(QStringLiteral("Letzter Vertrag: ") + QString::number(last));
    }
    ui->spinBox_vertr->setMaximum(int(qMin<qint64>(last, std::numeric_limits<int>::max())));
}

void Services::setEditable(bool edit, bool giveBack)
{
    for (QWidget *w : std::initializer_list<QWidget *> { ui->pushButtonChangePrice,
             ui->pushButtonChangeStock, ui->pushButton_bz, ui->pushButtonEtikett,
             ui->toolButtonImages, ui->pushButtonEAN, ui->pushButtonISBN, ui->pushButtonKategorie,
             ui->pushButtonBeschreibung, ui->pushButtonImages, ui->pushButtonExport,
             ui->lineEdit_bz, ui->spinBox_lm, ui->doubleSpinBoxEk, ui->doubleSpinBoxVk,
             ui->lineEditEAN, ui->lineEditISBN, ui->spinBoxKategorie, ui->comboBoxKategorie,
             ui->lineEditImages, ui->textEditBeschreibung })
        w->setEnabled(edit);
    ui->pushButton_given_back->setEnabled(giveBack);
    ui->spinBox_given_back->setEnabled(giveBack);
}

void Services::clearArticleView()
{
    ui->lineEdit_bz->clear();
    ui->lineEditEAN->clear();
    ui->lineEditISBN->clear();
    ui->spinBoxKategorie->setValue(0);
    ui->lineEditImages->clear();
    ui->textEditBeschreibung->clear();
    ui->spinBox_lm->setMinimum(0);
    ui->spinBox_lm->setValue(0);
    ui->lineEdit_bs->clear();
    ui->doubleSpinBoxEk->setValue(0.0);
    ui->doubleSpinBoxVk->setValue(0.0);
    ui->spinBox_given_back->setMaximum(0);
}

void Services::vertrChanged(int vertrag)
{
    QSqlQuery query;
    query.prepare(QString::fromLatin1(kVertragSql));
    query.addBindValue(vertrag);
    const bool found = execOrWarn(query, this) && query.next();

    // Nothing can be done to a contract that is not there.
    ui->pushButtonDelete->setEnabled(found);
    ui->pushButton_print->setEnabled(found);
    int artikel = 0;
    if (found) {
        const QDate datum = storedDate(query.value(0));
        ui->lineEdit_datetime->setText(shownDate(datum));
        const QVariant ende = query.value(1);
        const int laufzeit = query.value(2).toInt();
        const bool offen = ende.toString().isEmpty() || ende.toInt() == -1;
        if (offen && laufzeit != -1) {
            ui->label_vertr_closed->setText(QStringLiteral("Laufzeit:"));
            ui->lineEdit_vertr_closed->setText(query.value(2).toString() + QStringLiteral(" Tage (")
                + shownDate(datum.addDays(laufzeit)) + QLatin1Char(')'));
            setEditable(true, true);
        } else if (laufzeit == -1) {
            ui->label_vertr_closed->setText(QStringLiteral("Vertragsart:"));
            ui->lineEdit_vertr_closed->setText(QStringLiteral("Ankauf"));
            setEditable(true, false);
        } else {
            ui->label_vertr_closed->setText(QStringLiteral("Vertragsende:"));
            ui->lineEdit_vertr_closed->setText(shownDate(storedDate(ende)));
            setEditable(false, false);
        }
        if (!query.isNull(5))
            ui->lineEdit_kunde->setText(query.value(3).toString() + QStringLiteral(", ")
                + query.value(4).toString() + QStringLiteral(" (") + query.value(5).toString()
                + QLatin1Char(')'));
        else
            ui->lineEdit_kunde->clear();
        artikel = query.value(6).toInt();
    } else {
        ui->lineEdit_datetime->clear();
        ui->lineEdit_vertr_closed->clear();
        ui->label_vertr_closed->clear();
        ui->lineEdit_kunde->clear();
        setEditable(false, false);
    }
    query.finish();

    if (artikel != 0)
        ui->lineEdit_art_count->setText(QString::number(artikel));
    else
        ui->lineEdit_art_count->clear();
    // Back to no article before the new limit, so that the limit cannot show an article first.
    ui->spinBox_art->setValue(0);
    ui->spinBox_art->setMaximum(artikel);
    ui->spinBox_given_back->setValue(0);
    clearArticleView();
    ui->spinBox_art->setValue(1);
}

void Services::artChanged(int position)
{
    imageIndex = -1;
    images.clear();
    ui->pushButtonNextImage->setEnabled(false);
    ui->pushButtonImageDialog->setEnabled(false);
    showNextImage();

    QSqlQuery query;
    bool found = false;
    if (position > 0) {
        query.prepare(QString::fromLatin1(kArtikelSql));
        query.addBindValue(ui->spinBox_vertr->value());
        query.addBindValue(position - 1);
        found = execOrWarn(query, this) && query.next();
    }
    if (!found) {
        clearArticleView();
        ui->spinBox_given_back->setValue(0);
        return;
    }

    ui->lineEdit_bz->setText(query.value(0).toString());
    ui->lineEditEAN->setText(query.value(4).toString());
    ui->lineEditISBN->setText(query.value(5).toString());
    ui->lineEditImages->setText(query.value(6).toString());
    ui->spinBoxKategorie->setValue(query.value(7).toInt());
    // As stored: a text that looks like HTML is no formatting, and must be saved back as it is.
    ui->textEditBeschreibung->setPlainText(query.value(8).toString());

    images = query.value(6).toString().split(QLatin1Char(','), Qt::KeepEmptyParts);
    imageIndex = -1;
    ui->pushButtonNextImage->setEnabled(!images.isEmpty());
    ui->pushButtonImageDialog->setEnabled(!images.isEmpty());
    showNextImage();

    ui->doubleSpinBoxEk->setValue(query.value(2).toDouble());
    ui->doubleSpinBoxVk->setValue(query.value(3).toDouble());

    const int geliefert = query.value(1).toInt();
    const int verkauft = query.value(9).toInt();
    const int zurueck = query.value(10).toInt();
    // The delivered quantity cannot go below what has left the shop, nor below one piece.
    ui->spinBox_lm->setMinimum(qMax(1, verkauft + zurueck));
    ui->spinBox_lm->setValue(geliefert);
    const int bestand = geliefert - verkauft - zurueck;
    ui->lineEdit_bs->setText(QString::number(bestand) + QStringLiteral(" Stk."));
    // An oversold article has nothing to give back.
    ui->spinBox_given_back->setMaximum(qMax(0, bestand));
    ui->spinBox_given_back->setValue(0);
}

void Services::showNextImage()
{
    showNextPicture(ui->labelImage, images, imageIndex);
}

void Services::showImagesBig()
{
    showPicturesBig(images, imageIndex); // opens on the picture shown here
}

void Services::choseImages()
{
    const QStringList files
        = Dialogs::getOpenFileNames(this, QStringLiteral("Wähle Bilder des Artikels"),
            picturesFolder(), QStringLiteral("Bilder (*.png *.jpg *.jpeg *.bmp);; Alles (*.*)"));
    // Cancelled: the paths typed or chosen before stay.
    if (!files.isEmpty())
        ui->lineEditImages->setText(files.join(QLatin1Char(',')));
}

void Services::changeComboBox(int nummer)
{
    selectCategory(ui->comboBoxKategorie, nummer);
}

void Services::comboBoxChanged(int index)
{
    takeCategory(ui->comboBoxKategorie, index, ui->spinBoxKategorie);
}

void Services::recordImages() { }

// The actions on an article or the whole contract.

void Services::giveBack() { }

void Services::printVertr(bool nichtAbgeschlossen)
{
    Q_UNUSED(nichtAbgeschlossen);
}

void Services::printEtikett() { }

void Services::deleteArtikel() { }

void Services::changePrice() { }

void Services::changeStock() { }

void Services::changeBezeichnung() { }

void Services::changeEAN() { }

void Services::changeISBN() { }

void Services::changeImages() { }

void Services::changeKategorie() { }

void Services::changeBeschreibung() { }

void Services::exportArt() { }

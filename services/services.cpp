#include "services/services.h"

#include "app/categories.h"
#include "app/database.h"
#include "app/dialogs.h"
#include "app/imagedialog.h"
#include "app/paths.h"
#include "app/sql.h"
#include "app/textclean.h"
#include "app/textwidgets.h"
#include "printing/csvexport.h"
#include "printing/records/rueckgabe.h"
#include "printing/records/vertrag.h"
#include "printing/reportprinter.h"
#include "ui_services.h"

#include <QDate>
#include <QDateTime>
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
       (SELECT SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel = A.ID), A.ID
FROM Artikel AS A WHERE A.Vertrag = ?
ORDER BY A.ID LIMIT 1 OFFSET ?)";

// The contract as reprinted, with its customer; a return receipt takes its head from it too.
const char *const kDruckSql = R"(
SELECT V.Kunde, K.Name, K.Vorname, V.DateTime, V.Standgebuehr, V.Laufzeit, V.Vertragsende,
       K.Telefon, K.ID
FROM Vertrag AS V LEFT JOIN Kunde AS K ON K.ID = V.Kunde
WHERE V.ID = ?)";

// A contract is deleted with everything that refers to it, its own row last.
const char *const kLoeschenSql[] = {
    "DELETE FROM Verkauf WHERE Artikel IN (SELECT ID FROM Artikel WHERE Vertrag = ?)",
    "DELETE FROM Zurueckgegeben WHERE Artikel IN (SELECT ID FROM Artikel WHERE Vertrag = ?)",
    "DELETE FROM Artikel WHERE Vertrag = ?",
    "DELETE FROM Vertrag WHERE ID = ?",
};

QString warnTitle()
{
    return QStringLiteral("Warnung");
}

QString infoTitle()
{
    return QStringLiteral("Information");
}

QString chooseContract()
{
    return QStringLiteral("Bitte Vertrag auswählen!");
}

QString chooseArticle()
{
    return QStringLiteral("Bitte Artikel auswählen!");
}

// The day of a stored time stamp ("yyyy-MM-dd hh:mm:ss.zzz"); the time part does not matter.
QDate storedDate(const QVariant &value)
{
    return QDate::fromString(value.toString().left(10), QStringLiteral("yyyy-MM-dd"));
}

// A stored time stamp as a date-time; a stamp of another form gives its day, "-1" and empty
// give none.
QDateTime storedDateTime(const QVariant &value)
{
    const QDateTime stamp
        = QDateTime::fromString(value.toString(), QLatin1String(kTimestampFormat));
    if (stamp.isValid())
        return stamp;
    const QDate day = storedDate(value);
    return day.isValid() ? QDateTime(day, QTime(0, 0)) : QDateTime();
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
    showFromStart({ ui->lineEdit_bz, ui->lineEditImages });
    // However long the name, the customer's number stays readable.
    showStartAndEnd(ui->lineEdit_kunde, QStringLiteral(" ("));

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
        const bool offen = contractRunning(ende);
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
    showArticle(position);
}

bool Services::showArticle(int position)
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
        return false;
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
    return true;
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

// ---- actions on the article or the whole contract ----------------------------------------

bool Services::contractChosen(const QString &warning)
{
    if (ui->spinBox_vertr->value() != 0)
        return true;
    ui->spinBox_vertr->setFocus(Qt::OtherFocusReason);
    Dialogs::warning(this, warnTitle(), warning);
    return false;
}

std::optional<qint64> Services::articleId(int position)
{
    if (position < 1)
        return std::nullopt;
    QSqlQuery query;
    query.prepare(
        QStringLiteral("SELECT ID FROM Artikel WHERE Vertrag = ? ORDER BY ID LIMIT 1 OFFSET ?"));
    query.addBindValue(ui->spinBox_vertr->value());
    query.addBindValue(position - 1);
    if (!execOrWarn(query, this) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

std::optional<qint64> Services::chosenArticle()
{
    if (!contractChosen(chooseArticle()))
        return std::nullopt;
    return articleId(ui->spinBox_art->value());
}

bool Services::writeArticle(
    qint64 id, const QStringList &columns, const QVariantList &values, QVariantList *before)
{
    QSqlQuery query;
    if (before) {
        query.prepare(QStringLiteral("SELECT %1 FROM Artikel WHERE ID = ?")
                          .arg(columns.join(QLatin1String(", "))));
        query.addBindValue(id);
        if (!execOrWarn(query, this))
            return false;
        const bool found = query.next();
        before->clear();
        for (int i = 0; i < columns.size(); ++i)
            before->append(found ? query.value(i) : QVariant(-1));
        query.finish();
    }
    query.prepare(QStringLiteral("UPDATE Artikel SET %1 = ? WHERE ID = ?")
                      .arg(columns.join(QLatin1String(" = ?, "))));
    for (const QVariant &value : values)
        query.addBindValue(value);
    query.addBindValue(id);
    return execOrWarn(query, this);
}

bool Services::changeArticle(const char *column, const QVariant &value, const QString &message)
{
    const std::optional<qint64> id = chosenArticle();
    if (!id || !writeArticle(*id, { QLatin1String(column) }, { value }))
        return false;
    Dialogs::information(this, infoTitle(), message);
    return true;
}

void Services::changeBezeichnung()
{
    changeArticle("Bezeichnung", cleanedText(ui->lineEdit_bz->text()),
        QStringLiteral("Bezeichnung ändern erfolgreich."));
}

void Services::changeEAN()
{
    changeArticle(
        "EAN", cleanedText(ui->lineEditEAN->text()), QStringLiteral("EAN ändern erfolgreich."));
}

void Services::changeISBN()
{
    changeArticle(
        "ISBN", cleanedText(ui->lineEditISBN->text()), QStringLiteral("ISBN ändern erfolgreich."));
}

void Services::changeBeschreibung()
{
    changeArticle("Beschreibung", cleanedText(ui->textEditBeschreibung->toPlainText()),
        QStringLiteral("Beschreibung ändern erfolgreich."));
}

void Services::changeImages()
{
    // Paths stay as chosen, as on the intake page: cleaned, a path with an apostrophe or two
    // blanks in a row would stop naming its file.
    if (changeArticle(
            "Images", ui->lineEditImages->text(), QStringLiteral("Bilder ändern erfolgreich.")))
        artChanged(ui->spinBox_art->value());
}

void Services::changeKategorie()
{
    changeArticle("Kategorie", ui->spinBoxKategorie->value(),
        QStringLiteral("Kategorie ändern erfolgreich."));
}

void Services::changePrice()
{
    const double vk = ui->doubleSpinBoxVk->value();
    const double ek = ui->doubleSpinBoxEk->value();
    const std::optional<qint64> id = chosenArticle();
    QVariantList alt;
    // Written in any case, so that what the boxes show is what is stored.
    if (!id
        || !writeArticle(*id, { QStringLiteral("EinkaufsPreis"), QStringLiteral("VerkaufsPreis") },
            { ek, vk }, &alt))
        return;
    if (alt.at(0).toDouble() != ek) {
        // The consignor's share is on the contract: that needs a new contract, not new labels.
        Dialogs::warning(this, warnTitle(),
            QStringLiteral("Preis ändern erfolgreich.\nBitte Vertrag erneut ausdrucken."));
    } else if (alt.at(1).toDouble() != vk) {
        Dialogs::information(this, infoTitle(),
            QStringLiteral("Preis ändern erfolgreich.\nEtiketten werden ausgedruckt."));
        // One label per piece delivered; each label reloads the article, and so the quantity.
        // The first label not printed has told why; the others would only repeat it.
        for (int printed = 0; printed < ui->spinBox_lm->value(); ++printed) {
            if (!printEtikett())
                break;
        }
    }
}

void Services::changeStock()
{
    const int menge = ui->spinBox_lm->value();
    const std::optional<qint64> id = chosenArticle();
    QVariantList alt;
    if (!id || !writeArticle(*id, { QStringLiteral("EinkaufsMenge") }, { menge }, &alt))
        return;
    if (alt.at(0).toInt() != menge)
        Dialogs::warning(this, warnTitle(),
            QStringLiteral("Menge ändern erfolgreich.\nBitte Vertrag erneut ausdrucken."));
    artChanged(ui->spinBox_art->value());
}

void Services::giveBack()
{
    if (!contractChosen(chooseContract()))
        return;
    const int anzahl = ui->spinBox_given_back->value();
    if (anzahl == 0) {
        Dialogs::warning(this, warnTitle(), QStringLiteral("Bitte Anzahl eingeben!"));
        ui->spinBox_given_back->setFocus(Qt::OtherFocusReason);
        return;
    }
    const qint64 vertragNr = ui->spinBox_vertr->value();
    const int position = ui->spinBox_art->value();
    if (position < 1)
        return;

    // The stock as it is now, not as the page showed it.
    QSqlQuery query;
    query.prepare(QString::fromLatin1(kArtikelSql));
    query.addBindValue(vertragNr);
    query.addBindValue(position - 1);
    if (!execOrWarn(query, this) || !query.next())
        return;
    const QString bezeichnung = query.value(0).toString();
    const int bestand = query.value(1).toInt() - query.value(9).toInt() - query.value(10).toInt();
    const qint64 artikelId = query.value(11).toLongLong();
    query.finish();
    if (anzahl > bestand) {
        Dialogs::warning(this, warnTitle(), QStringLiteral("Nicht genug Bestand!"));
        return;
    }

    RueckgabeBeleg beleg;
    beleg.vertragNr = vertragNr;
    beleg.artikelNr = position;
    beleg.bezeichnung = bezeichnung;
    beleg.anzahl = anzahl;
    beleg.bestand = bestand - anzahl;
    beleg.kundeNr = -1;
    query.prepare(QString::fromLatin1(kDruckSql));
    query.addBindValue(vertragNr);
    if (!execOrWarn(query, this))
        return;
    if (query.next()) {
        beleg.kundeNr = query.value(0).toInt();
        beleg.vertragDatum = storedDateTime(query.value(3));
        if (!query.isNull(8))
            beleg.name
                = query.value(1).toString() + QStringLiteral(", ") + query.value(2).toString();
    }
    query.finish();

    const QString key
        = freeTimestampKey(QStringLiteral("Zurueckgegeben"), QDateTime::currentDateTime(), this);
    if (key.isNull())
        return;
    query.prepare(
        QStringLiteral("INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) VALUES (?, ?, ?)"));
    query.addBindValue(key);
    query.addBindValue(anzahl);
    query.addBindValue(artikelId);
    // Not stored: no receipt for a return that did not happen.
    if (!execOrWarn(query, this))
        return;
    query.finish();

    ReportPrinter printer;
    printer.parent = this;
    printer.printRueckgabe(beleg);
    ui->spinBox_given_back->setValue(0);
    artChanged(position);
}

bool Services::printVertr(bool nichtAbgeschlossen)
{
    const qint64 vertragNr = ui->spinBox_vertr->value();
    QSqlQuery query;
    bool found = false;
    if (vertragNr != 0) {
        query.prepare(QString::fromLatin1(kDruckSql));
        query.addBindValue(vertragNr);
        if (!execOrWarn(query, this))
            return false;
        found = query.next();
    }
    if (!found) {
        ui->spinBox_vertr->setFocus(Qt::OtherFocusReason);
        Dialogs::warning(this, warnTitle(), chooseContract());
        return false;
    }

    Vertragsdaten vertrag;
    vertrag.vertragNr = vertragNr;
    vertrag.kundeNr = query.value(0).toInt();
    if (!query.isNull(8))
        vertrag.name = query.value(1).toString() + QStringLiteral(", ") + query.value(2).toString()
            + QStringLiteral(" (") + query.value(7).toString() + QLatin1Char(')');
    vertrag.datum = storedDateTime(query.value(3));
    vertrag.standgebuehr = query.value(4).toDouble();
    vertrag.laufzeit = query.value(5).toInt();
    vertrag.ende = storedDateTime(query.value(6));
    query.finish();

    // The quantities delivered, whatever has been sold or given back since.
    query.prepare(QStringLiteral("SELECT Bezeichnung, EinkaufsPreis, VerkaufsPreis, EinkaufsMenge "
                                 "FROM Artikel WHERE Vertrag = ? ORDER BY ID"));
    query.addBindValue(vertragNr);
    // A contract without the articles it has would be printed as something it is not.
    if (!execOrWarn(query, this))
        return false;
    while (query.next()) {
        Vertragsartikel a;
        a.bezeichnung = query.value(0).toString();
        a.einkaufsPreis = query.value(1).toDouble();
        a.verkaufsPreis = query.value(2).toDouble();
        a.menge = query.value(3).toInt();
        vertrag.artikel.append(a);
    }
    query.finish();

    ReportPrinter printer;
    printer.parent = this;
    return printer.printVertrag(vertrag, nichtAbgeschlossen);
}

bool Services::printEtikett()
{
    const int position = ui->spinBox_art->value();
    // The stored name and price, not what may have been typed over them. Positions above 99
    // do not fit the label code: it would name another article.
    if (!showArticle(position) || position > 99) {
        Dialogs::warning(this, warnTitle(), chooseArticle());
        return false;
    }
    ReportPrinter printer;
    printer.parent = this;
    return printer.printEtikett(
        QDate::fromString(ui->lineEdit_datetime->text(), QStringLiteral("dd.MM.yyyy")),
        ui->spinBox_vertr->value(), position, ui->lineEdit_bz->text(),
        ui->doubleSpinBoxVk->value());
}

void Services::deleteArtikel()
{
    bool read = false;
    const QString passwort = readSetting(QStringLiteral("Passwort"), this, nullptr, &read);
    if (!read)
        return; // a password that cannot be read keeps the deletion closed
    bool ok = false;
    const QString eingabe = Dialogs::getText(this, QStringLiteral("Passwort"),
        QStringLiteral("Bitte geben Sie das Passwort ein, um fortzufahren:"), QLineEdit::Password,
        QString(), &ok);
    if (!ok || eingabe != passwort)
        return;
    if (!contractChosen(chooseContract()))
        return;
    if (Dialogs::question(this, warnTitle(),
            QStringLiteral("Ein gelöschter Vertrag kann nicht wiederhergestellt "
                           "werden.\nWollen Sie fortfahren?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;

    const qint64 vertragNr = ui->spinBox_vertr->value();
    // What has been paid out to the consignor is in the books: its sales must stay.
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM Verkauf WHERE Auszahldatum IS NOT NULL "
                                 "AND Artikel IN (SELECT ID FROM Artikel WHERE Vertrag = ?)"));
    query.addBindValue(vertragNr);
    if (!execOrWarn(query, this) || !query.next())
        return;
    if (query.value(0).toInt() > 0) {
        Dialogs::critical(this, QStringLiteral("Fehler"),
            QStringLiteral("Vertrag enthält bereits ausgezahlte Verkäufe, löschen nicht möglich!"));
        return;
    }
    query.finish();

    // The marked copy is the shop's record of the contract that is gone.
    if (!printVertr(true))
        return;

    Transaction transaction(this);
    if (!transaction.begin())
        return;
    for (const char *statement : kLoeschenSql) {
        query.prepare(QString::fromLatin1(statement));
        query.addBindValue(vertragNr);
        if (!execOrWarn(query, this))
            return; // rolled back
    }
    query.finish();
    if (!transaction.commit())
        return;
    refreshPage();
}

void Services::exportArt()
{
    exportVertrag(ui->spinBox_vertr->value());
}

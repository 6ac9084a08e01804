#include "intake/anlieferung.h"

#include "app/categories.h"
#include "app/dialogs.h"
#include "app/digitsvalidator.h"
#include "app/numbers.h"
#include "app/paths.h"
#include "app/pricerule.h"
#include "app/sql.h"
#include "app/textclean.h"
#include "app/textwidgets.h"
#include "ui_anlieferung.h"

#include <QDate>
#include <QSqlQuery>

namespace {

const int kMaxArtikel = 99;

QString warnTitle()
{
    return QStringLiteral("Warnung");
}

QList<QLineEdit *> customerFields(Ui_Anlieferung *ui)
{
    return { ui->lineEditNA, ui->lineEditVNA, ui->lineEditTEL, ui->lineEditPLZ, ui->lineEditORT,
        ui->lineEditSTR };
}

} // namespace

Anlieferung::Anlieferung(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Anlieferung)
{
    ui->setupUi(this);
    showFromStart({ ui->lineEditNA, ui->lineEditVNA, ui->lineEditTEL, ui->lineEditORT,
        ui->lineEditSTR, ui->lineEditBZ });
    knrValidator = new DigitsValidator(0, this);
    ui->lineEditKNR->setValidator(knrValidator);

    connect(ui->toolButtonImages, &QToolButton::clicked, this, &Anlieferung::choseImages);
    connect(
        ui->doubleSpinBoxEk, &QDoubleSpinBox::valueChanged, this, &Anlieferung::arriveEkChanged);
    connect(ui->pushButtonNeuArt, &QPushButton::clicked, this, &Anlieferung::newArt);
    connect(ui->pushButtonVertrAbsch, &QPushButton::clicked, this, &Anlieferung::vertrAbschl);
    connect(ui->pushButton_einkauf, &QPushButton::clicked, this, &Anlieferung::einkauf);
    connect(ui->pushButtonDelLast, &QPushButton::clicked, this, &Anlieferung::deleteLastArticle);
    connect(ui->lineEditKNR, &QLineEdit::textChanged, this, &Anlieferung::knrChanged);
    connect(ui->lineEditSearch, &QLineEdit::textChanged, this,
        qOverload<const QString &>(&Anlieferung::searchKunde));
    for (QLineEdit *field : customerFields(ui))
        connect(field, &QLineEdit::textChanged, this, qOverload<>(&Anlieferung::searchKunde));
    kunden.setList(ui->listWidget);
    connect(ui->listWidget, &QListWidget::itemActivated, this, &Anlieferung::kChanged);
    connect(ui->listWidget, &QListWidget::itemClicked, this, &Anlieferung::kChanged);
    connect(ui->pushButtonVk, &QPushButton::toggled, this, &Anlieferung::toggleVk);
    connect(ui->label_16, &MenuLabel::clicked, this, &Anlieferung::openMenuSlot);
    connect(ui->pushButtonStand, &QPushButton::clicked, this, &Anlieferung::activateStand);

    fillCategories(ui->comboBoxKategorie, ui->spinBoxKategorie);
    // Only now, so that filling the list runs neither.
    connect(ui->comboBoxKategorie, &QComboBox::currentIndexChanged, this,
        &Anlieferung::comboBoxChanged);
    connect(ui->spinBoxKategorie, &QSpinBox::valueChanged, this, &Anlieferung::changeComboBox);
}

Anlieferung::~Anlieferung()
{
    delete ui;
}

void Anlieferung::openMenuSlot()
{
    emit openMenu();
}

void Anlieferung::refreshPage()
{
    // The list is cleared after the fields: the searches their emptying would run in between
    // are thrown away, and the last one would list every customer.
    resettingPage = true;
    for (QLineEdit *edit : { ui->lineEditAN, ui->lineEditBZ, ui->lineEditDA, ui->lineEditKNR,
             ui->lineEditNA, ui->lineEditVNA, ui->lineEditTEL, ui->lineEditPLZ, ui->lineEditORT,
             ui->lineEditSTR, ui->lineEditArtAnzahl })
        edit->clear();
    ui->spinBoxME->setValue(0);
    ui->doubleSpinBoxEk->setValue(1.0);
    ui->doubleSpinBoxVk->setValue(1.0);
    ui->doubleSpinBoxStand->setEnabled(false);
    ui->doubleSpinBoxStand->setValue(0.0);
    ui->lineEditSearch->clear();
    ui->lineEditEAN->clear();
    ui->lineEditISBN->clear();
    ui->spinBoxKategorie->setValue(0);
    ui->lineEditImages->clear();
    ui->textEditBeschreibung->clear();
    kunden.clearList();
    resettingPage = false;
    ui->lineEditSearch->setFocus();

    // The number the conclusion will store, deleted contracts' numbers included.
    bool read = false;
    const qint64 next = nextId(QStringLiteral("Vertrag"), this, &read);
    if (read) {
        vertragNr = next;
        ui->labelVertr->setText(QStringLiteral("Vertrag: ") + QString::number(vertragNr));
    }
    ui->lineEditDA->setText(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    prepareArticle(1);
    ui->pushButtonDelLast->setEnabled(false);
    ui->pushButtonVertrAbsch->setEnabled(false);
    ui->pushButton_einkauf->setEnabled(false);
    loadKunden();
    artikel.clear();
}

// ---- customers ------------------------------------------------------------------------

void Anlieferung::loadKunden()
{
    kunden.load(this);
    if (const std::optional<qint64> top = kunden.highestId())
        knrValidator->setTop(*top);
}

void Anlieferung::searchKunde(const QString &text)
{
    if (!resettingPage)
        kunden.search(text);
}

void Anlieferung::searchKunde()
{
    if (fillingKunde || resettingPage)
        return;
    QStringList parts;
    for (QLineEdit *field : customerFields(ui))
        parts << field->text().simplified();
    searchKunde(parts.join(QLatin1Char(' ')));
}

void Anlieferung::kChanged(QListWidgetItem *item)
{
    if (const std::optional<Kundendaten> k = kunden.customerOf(item))
        ui->lineEditKNR->setText(QString::number(k->id));
}

// Fills the six fields at once; the search then runs once, as after the last field.
void Anlieferung::setCustomerFields(const QStringList &values)
{
    bool changed = false;
    fillingKunde = true;
    const QList<QLineEdit *> fields = customerFields(ui);
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i)->text() != values.value(i)) {
            fields.at(i)->setText(values.value(i));
            changed = true;
        }
    }
    fillingKunde = false;
    if (changed)
        searchKunde();
}

void Anlieferung::knrChanged(const QString &text)
{
    const bool free = text.isEmpty();
    for (QLineEdit *field : customerFields(ui))
        field->setEnabled(free);
    ui->listWidget->setEnabled(free);
    QStringList values;
    for (int i = 0; i < 6; ++i)
        values << QString();
    if (!free) {
        // A number without a customer (or a failed lookup) must not leave the previous
        // person's data in the fields: the contract would be written for them.
        QSqlQuery query;
        query.prepare(QStringLiteral(
            "SELECT Name, Vorname, Telefon, PLZ, Ort, Strasse FROM Kunde WHERE ID = ?"));
        query.addBindValue(text.toLongLong());
        if (execOrWarn(query, this) && query.next()) {
            for (int i = 0; i < 6; ++i)
                values[i] = query.value(i).toString();
        }
    }
    setCustomerFields(values);
}

// ---- articles -------------------------------------------------------------------------

Vertragsartikel Anlieferung::articleFromFields() const
{
    Vertragsartikel a;
    a.bezeichnung = cleanedText(ui->lineEditBZ->text());
    a.ean = cleanedText(ui->lineEditEAN->text());
    a.isbn = cleanedText(ui->lineEditISBN->text());
    // Paths stay as chosen: cleaning would make a path stop naming its file.
    a.images = ui->lineEditImages->text();
    a.beschreibung = cleanedText(ui->textEditBeschreibung->toPlainText());
    a.einkaufsPreis = ui->doubleSpinBoxEk->value();
    a.verkaufsPreis = ui->doubleSpinBoxVk->value();
    a.menge = ui->spinBoxME->value();
    a.kategorie = ui->spinBoxKategorie->value();
    return a;
}

void Anlieferung::newArt()
{
    if (ui->lineEditBZ->text().isEmpty() || ui->spinBoxME->value() == 0
        || ui->doubleSpinBoxEk->value() == 0.0) {
        Dialogs::warning(this, warnTitle(), QStringLiteral("Bitte alle Felder ausfüllen!"));
        ui->lineEditBZ->setFocus();
        return;
    }
    if (artikel.size() >= kMaxArtikel)
        Dialogs::warning(this, warnTitle(),
            QStringLiteral("Es können maximal 99 Artikel pro Vertrag eingegeben werden!"));
    else
        artikel.append(articleFromFields());
    prepareArticle(artikel.size() + 1);
    ui->lineEditBZ->setFocus();
    if (!artikel.isEmpty()) {
        ui->pushButtonDelLast->setEnabled(true);
        ui->pushButtonVertrAbsch->setEnabled(true);
        ui->pushButton_einkauf->setEnabled(true);
    }
    ui->lineEditArtAnzahl->setText(QString::number(artikel.size()));
    computeStandFee();
}

void Anlieferung::prepareArticle(int n)
{
    const bool open = n <= kMaxArtikel;
    ui->doubleSpinBoxVk->setValue(0.0);
    ui->doubleSpinBoxEk->setValue(0.0);
    ui->lineEditAN->setText(
        QString::number(vertragNr) + QStringLiteral(" / ") + QString::number(n));
    ui->lineEditBZ->clear();
    ui->lineEditEAN->clear();
    ui->lineEditISBN->clear();
    ui->spinBoxKategorie->setValue(0);
    ui->lineEditImages->clear();
    ui->textEditBeschreibung->clear();
    ui->spinBoxME->setValue(0);
    ui->pushButtonVk->setChecked(false);
    // After unchecking: the price button's own connections would unlock the purchase price.
    for (QWidget *w : std::initializer_list<QWidget *> { ui->pushButtonNeuArt, ui->lineEditBZ,
             ui->doubleSpinBoxEk, ui->spinBoxME, ui->pushButtonVk })
        w->setEnabled(open);
}

void Anlieferung::deleteLastArticle()
{
    if (artikel.isEmpty())
        return;
    const Vertragsartikel last = artikel.last();
    prepareArticle(artikel.size());
    ui->lineEditBZ->setText(last.bezeichnung);
    ui->doubleSpinBoxEk->setValue(last.einkaufsPreis);
    ui->lineEditEAN->setText(last.ean);
    ui->lineEditISBN->setText(last.isbn);
    ui->spinBoxKategorie->setValue(last.kategorie);
    ui->lineEditImages->setText(last.images);
    ui->textEditBeschreibung->setPlainText(last.beschreibung);
    // A price typed by hand comes back unlocked; one equal to the proposal stays locked.
    if (qAbs(last.verkaufsPreis - ui->doubleSpinBoxVk->value()) >= 0.005) {
        ui->pushButtonVk->setChecked(true);
        ui->doubleSpinBoxVk->setValue(last.verkaufsPreis);
    }
    ui->spinBoxME->setValue(last.menge);
    ui->lineEditBZ->setFocus();
    artikel.removeLast();
    if (artikel.isEmpty()) {
        ui->pushButtonDelLast->setEnabled(false);
        ui->pushButtonVertrAbsch->setEnabled(false);
        ui->pushButton_einkauf->setEnabled(false);
    }
    ui->lineEditArtAnzahl->setText(QString::number(artikel.size()));
    computeStandFee();
}

bool Anlieferung::checkPendingArticle()
{
    const bool typed = !ui->lineEditBZ->text().isEmpty() || ui->spinBoxME->value() != 0
        || ui->doubleSpinBoxEk->value() != 0.0;
    if (typed
        && Dialogs::question(this, warnTitle(),
               QStringLiteral("Wollen Sie den eingegebenen Artikel hinzufügen?"),
               QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes) {
        if (ui->lineEditNA->text().isEmpty() || ui->lineEditBZ->text().isEmpty()
            || ui->spinBoxME->value() == 0 || ui->doubleSpinBoxEk->value() == 0.0) {
            Dialogs::warning(this, warnTitle(), QStringLiteral("Bitte alle Felder ausfüllen"));
            ui->lineEditBZ->setFocus();
            return false;
        }
        artikel.append(articleFromFields());
    }
    if (artikel.isEmpty()) {
        Dialogs::warning(
            this, warnTitle(), QStringLiteral("Bitte mindestens einen Artikel hinzufügen!"));
        ui->lineEditBZ->setFocus();
        return false;
    }
    return true;
}

void Anlieferung::changeComboBox(int i)
{
    selectCategory(ui->comboBoxKategorie, i);
}

void Anlieferung::comboBoxChanged(int i)
{
    takeCategory(ui->comboBoxKategorie, i, ui->spinBoxKategorie);
}

void Anlieferung::toggleVk(bool b)
{
    if (b)
        ui->doubleSpinBoxVk->selectAll();
    else
        ui->doubleSpinBoxEk->selectAll();
}

void Anlieferung::choseImages()
{
    const QStringList files
        = Dialogs::getOpenFileNames(this, QStringLiteral("Wähle Bilder des Artikels"),
            picturesFolder(), QStringLiteral("Bilder (*.png *.jpg *.jpeg *.bmp);; Alles (*.*)"));
    if (files.isEmpty())
        return;
    // The column joins the paths with ",", so a path holding one could not be read back.
    QStringList taken, refused;
    for (const QString &file : files)
        (file.contains(QLatin1Char(',')) ? refused : taken) << file;
    if (!refused.isEmpty())
        Dialogs::warning(this, warnTitle(),
            QStringLiteral("Bilder mit einem Komma im Dateinamen können nicht "
                           "übernommen werden:\n")
                + refused.join(QLatin1Char('\n')));
    if (!taken.isEmpty())
        ui->lineEditImages->setText(taken.join(QLatin1Char(',')));
}

// ---- prices ---------------------------------------------------------------------------

// The rule with the largest threshold below the purchase price gives the sale price.
void Anlieferung::arriveEkChanged(double price)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT Operator, Wert FROM Verkaufspreis WHERE Einkaufspreis < "
                                 "? ORDER BY Einkaufspreis DESC, ID LIMIT 1;"));
    query.addBindValue(price);
    if (!execOrWarn(query, this) || !query.next()) {
        ui->doubleSpinBoxVk->setValue(price);
        return;
    }
    const QString op = query.value(0).toString();
    const double wert = storedNumber(query.value(1));
    ui->doubleSpinBoxVk->setValue(priceByRule(op, price, wert).value_or(roundTenth(price)));
}

void Anlieferung::computeStandFee()
{
    double sum = 0.0;
    for (const Vertragsartikel &a : qAsConst(artikel))
        sum += a.einkaufsPreis * a.menge;
    const double percent = readNumber(readSetting(QStringLiteral("Standgebuehr"), this));
    double fee = roundTenth(sum / 100.0 * percent);
    // A shop without a cap setting has no cap, rather than a cap of 0.
    bool found = false;
    const QString capText = readSetting(QStringLiteral("MaxStandgebuehr"), this, &found);
    if (found && !capText.trimmed().isEmpty()) {
        const double cap = readNumber(capText);
        if (cap < fee)
            fee = cap;
    }
    ui->doubleSpinBoxStand->setValue(fee);
}

void Anlieferung::activateStand()
{
    ui->doubleSpinBoxStand->setEnabled(true);
    ui->doubleSpinBoxStand->setFocus();
    ui->doubleSpinBoxStand->selectAll();
}

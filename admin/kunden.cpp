#include "admin/kunden.h"

#include "app/dialogs.h"
#include "app/sql.h"
#include "app/textclean.h"
#include "app/textwidgets.h"
#include "ui_kunden.h"

#include <QSignalBlocker>
#include <QSqlQuery>

namespace {

const QString kInformation = QStringLiteral("Information");
const QString kKeinKunde = QStringLiteral("Kunde existiert nicht.");

} // namespace

Kunden::Kunden(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Kunden)
{
    ui->setupUi(this);
    widenForText(ui->lineEdit_Name, kKeinKunde);
    showFromStart({ ui->lineEdit_Name, ui->lineEdit_Vorname, ui->lineEdit_Telefon, ui->lineEdit_Ort,
        ui->lineEdit_Str });
    connect(ui->label_16, &MenuLabel::clicked, this, &Kunden::openMenuSlot);
    connect(ui->spinBox_KundeNr, &QSpinBox::valueChanged, this, &Kunden::kundeChanged);
    connect(ui->pushButton, &QPushButton::clicked, this, &Kunden::accept);
    connect(ui->pushButton_remove, &QPushButton::clicked, this, &Kunden::remove);
}

Kunden::~Kunden()
{
    delete ui;
}

void Kunden::refreshPage()
{
    QSqlQuery query;
    if (execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Kunde"), this) && query.next())
        ui->spinBox_KundeNr->setMaximum(query.value(0).toInt()); // NULL of an empty table: 0
    for (QLineEdit *edit : fields())
        edit->clear();
    {
        // One lookup for customer 1 below, not one for every step the range takes.
        const QSignalBlocker quiet(ui->spinBox_KundeNr);
        ui->spinBox_KundeNr->setMinimum(1);
        ui->spinBox_KundeNr->setValue(1);
    }
    kundeChanged(1);
    ui->spinBox_KundeNr->setFocus();
    ui->spinBox_KundeNr->selectAll();
}

QList<QLineEdit *> Kunden::fields() const
{
    return { ui->lineEdit_Name, ui->lineEdit_Vorname, ui->lineEdit_Telefon, ui->lineEdit_PLZ,
        ui->lineEdit_Ort, ui->lineEdit_Str };
}

void Kunden::openMenuSlot()
{
    emit openMenu();
}

void Kunden::kundeChanged(int nummer)
{
    QSqlQuery query;
    query.prepare(QStringLiteral(
        "SELECT Name, Vorname, Telefon, PLZ, Ort, Strasse FROM Kunde WHERE ID = ?;"));
    query.addBindValue(nummer);
    const bool found = execOrWarn(query, this) && query.next();
    const QList<QLineEdit *> edits = fields();
    for (int i = 0; i < edits.size(); ++i)
        edits[i]->setText(found ? query.value(i).toString() : QString());
    if (!found)
        ui->lineEdit_Name->setText(kKeinKunde);
    ui->pushButton->setEnabled(found);
}

void Kunden::accept()
{
    if (Dialogs::question(this, QStringLiteral("Warnung"),
            QStringLiteral("Ein geänderter Kunde kann nicht wiederhergestellt werden.\n"
                           "Wollen Sie fortfahren?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    QSqlQuery query;
    query.prepare(QStringLiteral("UPDATE Kunde SET Name = ?, Vorname = ?, Telefon = ?, PLZ = ?, "
                                 "Ort = ?, Strasse = ? WHERE ID = ?;"));
    for (QLineEdit *edit : fields())
        query.addBindValue(cleanedText(edit->text()));
    query.addBindValue(ui->spinBox_KundeNr->value());
    if (execOrWarn(query, this))
        Dialogs::warning(this, QStringLiteral("Erfolgreich"),
            QStringLiteral("Kundendaten wurden erfolgreich geändert."));
}

void Kunden::remove()
{
    const int nummer = ui->spinBox_KundeNr->value();
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT EXISTS (SELECT 1 FROM Vertrag WHERE Kunde = ?), "
                                 "EXISTS (SELECT 1 FROM Kunde WHERE ID = ?);"));
    query.addBindValue(nummer);
    query.addBindValue(nummer);
    // Without an answer on the contracts nothing may be deleted.
    if (!execOrWarn(query, this) || !query.next())
        return;
    if (query.value(0).toBool()) {
        Dialogs::critical(this, QStringLiteral("Fehler"),
            QStringLiteral("Kunde kann nicht gelöscht werden,\nweil Verträge bestehen!"));
        return;
    }
    if (!query.value(1).toBool()) {
        Dialogs::information(this, kInformation, kKeinKunde);
        refreshPage();
        return;
    }
    if (Dialogs::question(this, QStringLiteral("Warnung"),
            QStringLiteral("Wollen Sie den Kunden wirklich löschen?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The contract check again in the same statement: a customer with contracts never goes.
    query.prepare(QStringLiteral("DELETE FROM Kunde WHERE ID = ? AND NOT EXISTS "
                                 "(SELECT 1 FROM Vertrag WHERE Kunde = ?);"));
    query.addBindValue(nummer);
    query.addBindValue(nummer);
    if (execOrWarn(query, this))
        Dialogs::information(this, kInformation,
            query.numRowsAffected() > 0 ? QStringLiteral("Kunde wurde erfolgreich gelöscht.")
                                        : kKeinKunde);
    refreshPage();
}

#pragma once

#include <QList>
#include <QWidget>

class QLineEdit;
class Ui_Kunden;

// One customer at a time by number: correct the fields, or delete a customer without
// contracts. Customers are created by the intake page only.
class Kunden : public QWidget
{
    Q_OBJECT
public:
    explicit Kunden(QWidget *parent = nullptr);
    ~Kunden() override;

    // The range of numbers, customer 1 shown, the number ready to be typed over.
    void refreshPage();

signals:
    void openMenu();

public slots:
    void openMenuSlot();
    void kundeChanged(int nummer);
    void accept();
    void remove();

private:
    // The customer's fields in the order of the Kunde columns Name, Vorname, Telefon, PLZ,
    // Ort, Strasse.
    QList<QLineEdit *> fields() const;

    Ui_Kunden *ui;
};

#pragma once

#include "app/customersearch.h"
#include "printing/records/vertrag.h"

#include <QList>
#include <QWidget>

#include <optional>

class DigitsValidator;

class QListWidgetItem;
class Ui_Anlieferung;

// The goods intake page: the customer, the articles of one contract with their prices, the
// stand fee, and the conclusion as a commission contract or a cash purchase.
class Anlieferung : public QWidget
{
    Q_OBJECT
public:
    explicit Anlieferung(QWidget *parent = nullptr);
    ~Anlieferung() override;

    // Page entry: every entry starts a new contract.
    void refreshPage();
    // Reads the customer cache and the top of the customer-number field.
    void loadKunden();

signals:
    void openMenu();

public slots:
    void openMenuSlot();

private slots:
    void knrChanged(const QString &text);
    void searchKunde(const QString &text);
    void searchKunde();
    void kChanged(QListWidgetItem *item);
    void arriveEkChanged(double price);
    void newArt();
    void vertrAbschl();
    void einkauf();
    void deleteLastArticle();
    void toggleVk(bool b);
    void activateStand();
    void choseImages();
    void comboBoxChanged(int i);
    void changeComboBox(int i);

protected:
    // Before a conclusion: offers to add the article still in the fields; true when the
    // contract then holds at least one article.
    bool checkPendingArticle();

private:
    // Stores, prints and commits a commission contract, or with barkauf a cash purchase.
    void conclude(bool barkauf);
    // The customer of the contract: found by number or by name (after asking), left empty
    // for a new one; false when the conclusion must stop (the user has been told).
    bool findCustomer(const QStringList &fields, std::optional<int> &kunde);
    void computeStandFee();
    void prepareArticle(int n);
    Vertragsartikel articleFromFields() const;
    void setCustomerFields(const QStringList &values);

    Ui_Anlieferung *ui;
    qint64 vertragNr = 0;
    QList<Vertragsartikel> artikel;
    CustomerSearch kunden;
    DigitsValidator *knrValidator;
    // Set while the customer fields are filled as a whole, so that the search runs once.
    bool fillingKunde = false;
    // Set while page entry empties the fields: the list is cleared afterwards anyway.
    bool resettingPage = false;
};

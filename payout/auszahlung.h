#pragma once

#include "app/customersearch.h"
#include "printing/records/auszahlung.h"

#include <QList>
#include <QString>
#include <QWidget>

class DigitsValidator;

class QLineEdit;
class QListWidgetItem;
class ReportPrinter;
class Ui_Auszahlung;

// The page where the shop settles with a consignor: his customer number, a hit of the search
// or one of his contract numbers loads his running commission contracts with what has been
// paid out and what is still owed; ticked contracts are paid out, prepared for their end or
// ended, each with its printed document.
class Auszahlung : public QWidget
{
    Q_OBJECT
public:
    explicit Auszahlung(QWidget *parent = nullptr);
    ~Auszahlung() override;

    // Page entry, and the fresh start after paying out: nothing loaded, focus on the
    // customer number.
    void refreshPage();
    // The customers and the highest customer and contract numbers, as of now.
    void loadKunden();

signals:
    void openMenu();

public slots:
    void vertragChanged(const QString &text);
    void knrChanged(const QString &text);
    void searchKunde(const QString &text);
    void kChanged(QListWidgetItem *item);
    void printAuszahlungen();
    void detailAuszahlung();
    void openMenuSlot();

private:
    // Pays out, prepares or ends one contract and prints its document, all or nothing; false
    // when it did not happen (a box said why).
    bool abrechnen(
        const AuszahlungsVertrag &vertrag, bool beenden, bool vorbereiten, ReportPrinter &printer);
    bool ticked(int row, int column) const;

    // The page's search compares the text as typed; its hits come in customer-number order.
    CustomerSearch kunden { CustomerSearch::Match::AsTyped, CustomerSearch::Order::ByNumber };
    // One element per contract row of the table, in the same order.
    QList<AuszahlungsVertrag> vertragsListe;
    DigitsValidator *knrValidator;
    DigitsValidator *vertragValidator;
    Ui_Auszahlung *ui;
    bool resettingPage = false;
};

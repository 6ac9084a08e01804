#pragma once

#include "printing/records/auszahlung.h"

#include <QDialog>
#include <QList>

class Ui_DetailAuszahlung;

// The articles of the consignor's open contracts as the payout page loaded them: prices,
// pieces, stock, paid out and open, with a bold sum row per contract. It only shows.
class DetailAuszahlung : public QDialog
{
    Q_OBJECT
public:
    explicit DetailAuszahlung(QWidget *parent = nullptr);
    ~DetailAuszahlung() override;

    // Appends the rows of these contracts, in list order.
    void showDetails(const QList<AuszahlungsVertrag> &vertraege);

private:
    Ui_DetailAuszahlung *ui;
};

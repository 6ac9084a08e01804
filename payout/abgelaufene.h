#pragma once

#include "printing/records/abgelaufen.h"

#include <QDate>
#include <QList>
#include <QTime>
#include <QWidget>

class ReportPrinter;
class Ui_Abgelaufene;

// The running commission contracts whose term is over, with what is still owed to the
// consignor: printed as a list, and ended by the shop itself when the consignor does not
// come back, which forfeits his open share.
class Abgelaufene : public QWidget
{
    Q_OBJECT
public:
    explicit Abgelaufene(QWidget *parent = nullptr);
    ~Abgelaufene() override;

    // Page entry, and the reload after ending contracts.
    void refreshPage();

signals:
    void openMenu();

public slots:
    void openMenuSlot();
    void print();
    void selbstBeenden();

private:
    // Ends one contract and prints its document, all or nothing; false when it did not
    // happen (a box said why). The record gets its articles here.
    bool beenden(AbgelaufenerVertrag vertrag, ReportPrinter &printer);

    Ui_Abgelaufene *ui;
    // The record of a listed contract, complete but for its articles.
    AbgelaufenerVertrag vertrag(int row) const;

    // When a listed contract was made and when its term ended, as local date and time.
    struct Termin
    {
        QDate datum;
        QTime zeit;
        QDate ende;
    };

    // One record per table row, in the same order. A list of thousands stays quick: the
    // records' date-times are made from termine when a record leaves the page (a local
    // date-time costs more than the rest of the row), and the articles of a contract are
    // read when it is ended.
    QList<AbgelaufenerVertrag> vertraege;
    QList<Termin> termine;
};

#pragma once

#include "statistics/records.h"

#include <QWidget>

class Ui_Inventur;

// The page "Statistik und Inventur": the figures of a period and the stock list at its end,
// shown, printed, exported as the shop's CSV and uploaded to the shop's server.
class Inventur : public QWidget
{
    Q_OBJECT
public:
    explicit Inventur(QWidget *parent = nullptr);
    ~Inventur() override;

    // Page entry: today's figures, whatever the last visit showed.
    void refreshPage();

signals:
    void openMenu();

public slots:
    void openMenuSlot();
    // The figures of the period in the two date-time fields and the stock list at its end.
    void calculate();
    // The stock list as of now; the tables and the figures stay as they are.
    void calculateUpload();
    void heute();
    void gestern();
    void vorgestern();
    void uploadInv();

private slots:
    void printInv();
    void printStat();

private:
    // Sets the period to the day n days back and calculates.
    void tagZurueck(int n);
    // The stock table: a totals row, then one row per article in list order.
    void zeigeBestand(const InventurListe &liste);

    Ui_Inventur *ui;
    InventurListe inventurListe;
    InventurStatistik statistik;
};

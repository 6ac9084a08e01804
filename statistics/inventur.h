#pragma once

#include "printing/records/inventur.h"

#include <QWidget>

class QNetworkAccessManager;
class QNetworkReply;
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

    // The upload server's port: 80, but for tests and the benchmark, which run their own.
    static void setUploadPort(quint16 port);

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
    // Sends the stock list as the shop's CSV to "/upload.php" on the server of UploadPath;
    // the answer is reported when it comes.
    void uploadInv();
    // Tells the user how an upload ended: the server took it, or why not.
    void httpRequestFinished(QNetworkReply *reply);

private slots:
    void printInv();
    void printStat();
    // Writes the stock list, filtered by price and contract state, to a file the user chooses.
    void exportInv();

private:
    // Sets the period to the day n days back and calculates.
    void tagZurueck(int n);
    // The stock table: a totals row, then one row per article in list order.
    void zeigeBestand(const InventurListe &liste);

    Ui_Inventur *ui;
    InventurListe inventurListe;
    InventurStatistik statistik;
    QNetworkAccessManager *uploadClient = nullptr;
};

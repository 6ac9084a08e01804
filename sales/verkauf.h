#pragma once

#include <QDateTime>
#include <QStringList>
#include <QWidget>

class QFile;
class Ui_Verkauf;

// The till page. The main window keeps two of them: the sale page, and the write-off page
// that books pieces of ended contracts out of the stock. The clerk names an article by its
// label code or by contract number and position, sees its stock and pictures, and books.
class Verkauf : public QWidget
{
    Q_OBJECT
public:
    explicit Verkauf(QWidget *parent = nullptr);
    ~Verkauf() override;

    // Page entry (resetCounter true, from the menu) and the reload after a booking or a
    // deletion: no article selected, the boxes empty, the recent sales listed anew.
    void refreshPage(bool resetCounter);
    // Write-off mode; the main window switches its second page into it on every entry.
    void setAustragen(bool on);

signals:
    void openMenu();

public slots:
    void openMenuSlot();
    // The three number boxes, connected directly: each change selects at once.
    void vertrChanged(int i);
    void artChanged(int i);
    void valueChanged(int i);
    // Books what the boxes hold, or first the article of the code in lineEditBarcode. A
    // valid dateTime, a count other than -1 and a sellPrice above 0 replace the booking time,
    // the quantity box and the price box. returnValue: true once the booking went in.
    void sell(QDateTime dateTime = QDateTime(), int count = -1, double sellPrice = -1.0,
        bool *returnValue = nullptr);
    // Deletes the sale in the list's current row, unless it has been paid out.
    void loeschen();
    void showImagesBig();
    void showNextImage();
    // Books a cash register's sales journal, all lines or none.
    void importFromFile();

private:
    // The page entry; with booked, the key of the one sale booked since the list was read,
    // which then joins the list instead of the list being read anew.
    void refresh(bool resetCounter, const QString &booked = QString());
    // Back to position 0 of the contract in the box, without an article.
    void selectNoArticle();
    void loadRecentSales(const QString &cutOff);
    bool addListedSale(const QString &key);
    // The contract exists and has an article at that position.
    bool articleExists(int vertragNr, int artikelNr);
    // Stores one row of Verkauf under the first free key at or after the moment; false (the
    // box shown) when it did not go in.
    bool insertSale(const QDateTime &when, double einkaufsPreis, double verkaufsPreis, int menge,
        int artikel, QString *key);
    // One line of a journal as it will be booked.
    struct Booking
    {
        QDateTime when;
        double einkaufsPreis;
        double verkaufsPreis;
        int menge;
        int artikel;
    };
    // Reads and checks a whole journal; false (the box shown) at the first line the till would
    // not book as it stands.
    bool readJournal(QFile &file, QList<Booking> *bookings);

    Ui_Verkauf *ui;
    int bestand = -1; // -1: no article selected
    int artikelId = 0;
    int verkaufZaehler = 1;
    int imageIndex = 0;
    bool vertragBeendet = false;
    bool austragen = false;
    double verkaufsPreis = 0.0;
    double einkaufsPreis = 0.0;
    QStringList images;
    // The cut-off of the listed sales when they were read.
    QString listedCutOff;
};

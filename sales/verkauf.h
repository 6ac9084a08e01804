#pragma once

#include <QStringList>
#include <QWidget>

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
    void showImagesBig();
    void showNextImage();

private:
    // Back to position 0 of the contract in the box, without an article.
    void selectNoArticle();
    void loadRecentSales(int days);

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
};

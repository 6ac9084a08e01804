#pragma once

#include <QStringList>
#include <QWidget>

class Ui_Services;

// Looking up a concluded contract and working on it: its articles' prices, quantities, texts,
// category and pictures, reprints and labels, returns to the consignor, deletion and export.
// The page keeps no contract or article in memory: the contract is the number dialled, the
// article its position in the contract, looked up again by every action.
class Services : public QWidget
{
    Q_OBJECT
public:
    explicit Services(QWidget *parent = nullptr);
    ~Services() override;

    // Page entry: no contract chosen, the newest contract number shown.
    void refreshPage();

signals:
    void openMenu();

public slots:
    void vertrChanged(int vertrag);
    void artChanged(int position);
    void giveBack();
    void printVertr(bool nichtAbgeschlossen = false);
    void printEtikett();
    void deleteArtikel();
    void changePrice();
    void changeStock();
    void changeBezeichnung();
    void openMenuSlot();
    void choseImages();
    void changeEAN();
    void changeISBN();
    void changeImages();
    void changeKategorie();
    void changeBeschreibung();
    void showNextImage();
    void showImagesBig();
    void changeComboBox(int nummer);
    void comboBoxChanged(int index);
    void exportArt();
    void recordImages();

private:
    // The 23 widgets that change an article or give pieces back; the return pair apart.
    void setEditable(bool edit, bool giveBack);
    void clearArticleView();

    Ui_Services *ui;
    QStringList images;
    int imageIndex = -1;
};

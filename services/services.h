#pragma once

#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <optional>

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
    // The contract's documents again; with nichtAbgeschlossen its copy marked as not
    // concluded. False when nothing (or not all) was printed; the user has been told.
    bool printVertr(bool nichtAbgeschlossen = false);
    // The label of the article shown, with its stored name and price; false when not printed.
    bool printEtikett();
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
    // Shows the article at that position of the contract; false when there is none.
    bool showArticle(int position);
    // False, with the warning and the focus in the contract number, while no contract is
    // dialled.
    bool contractChosen(const QString &warning);
    // The ID of the article at that position of the contract dialled.
    std::optional<qint64> articleId(int position);
    // The ID of the article dialled; the warning while no contract is dialled.
    std::optional<qint64> chosenArticle();
    // Writes the article's columns; before receives what they held (-1 each when the row is
    // gone). False after "SQL-Fehler".
    bool writeArticle(qint64 id, const QStringList &columns, const QVariantList &values,
        QVariantList *before = nullptr);
    // Writes one column of the article dialled and confirms it; false after "SQL-Fehler".
    bool changeArticle(const char *column, const QVariant &value, const QString &message);
    // The 23 widgets that change an article or give pieces back; the return pair apart.
    void setEditable(bool edit, bool giveBack);
    void clearArticleView();

    Ui_Services *ui;
    QStringList images;
    int imageIndex = -1;
};

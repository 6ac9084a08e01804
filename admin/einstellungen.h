#pragma once

#include <QList>
#include <QVariant>
#include <QWidget>

class QTableWidgetItem;
class Ui_Einstellungen;

// The settings of Systemdaten and the sale-price rules of Verkaufspreis, loaded on every
// entry and written back by "Speichern" or the answer Yes on leaving.
class Einstellungen : public QWidget
{
    Q_OBJECT
public:
    explicit Einstellungen(QWidget *parent = nullptr);
    ~Einstellungen() override;
    void refreshPage();

signals:
    void openMenu();

public slots:
    void save();
    // Asks whether to save unless the page was saved, then leaves for the menu.
    void openMenuSlot();
    // Normalises an edited rule cell and refreshes the price ranges it touches.
    void itemChanged(QTableWidgetItem *item);
    void changePath();
    void changeExportPath();

private:
    struct StoredRule
    {
        QVariant einkaufspreis, op, wert;
    };

    void loadSettings();
    bool loadRules();
    bool rulesAcceptable();
    void saveSettings();
    void saveRules();
    bool updateRange(int row);

    Ui_Einstellungen *ui;
    bool saved = false;
    // False when the rules could not be read: saving must not replace what nobody saw.
    bool rulesShown = false;
    // Rules from an invalid operator on are not shown; saving writes them back as stored.
    QList<StoredRule> hiddenRules;
    // The last accepted threshold of each row, restored when an edit leaves no room.
    QList<double> thresholds;
};

#pragma once

#include <QWidget>

// Stands in for the page until its own subsystem is built: the page protocol only.
class Einstellungen : public QWidget
{
    Q_OBJECT
public:
    explicit Einstellungen(QWidget *parent = nullptr);
    void refreshPage();

signals:
    void openMenu();

public slots:
    // Asks whether to save unless the page was saved, then leaves for the menu.
    void openMenuSlot();
    void save();

private:
    bool saved = false;
};

#pragma once

#include <QWidget>

// Stands in for the page until its own subsystem is built: the page protocol only.
class Inventur : public QWidget
{
    Q_OBJECT
public:
    explicit Inventur(QWidget *parent = nullptr);
    void refreshPage();

public slots:
    void calculate();
    void uploadInv();

signals:
    void openMenu();

public slots:
    void openMenuSlot();
};

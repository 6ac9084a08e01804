#pragma once

#include <QWidget>

// Stands in for the page until its own subsystem is built: the page protocol only.
class Services : public QWidget
{
    Q_OBJECT
public:
    explicit Services(QWidget *parent = nullptr);
    void refreshPage();

signals:
    void openMenu();

public slots:
    void openMenuSlot();
};

#pragma once

#include <QWidget>

// Stands in for the page until its own subsystem is built: the page protocol only.
class Abgelaufene : public QWidget
{
    Q_OBJECT
public:
    explicit Abgelaufene(QWidget *parent = nullptr);
    void refreshPage();

signals:
    void openMenu();

public slots:
    void openMenuSlot();
};

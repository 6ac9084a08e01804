#pragma once

#include <QWidget>

// Stands in for the page until its own subsystem is built: the page protocol only.
class Anlieferung : public QWidget
{
    Q_OBJECT
public:
    explicit Anlieferung(QWidget *parent = nullptr);
    void refreshPage();
    void loadKunden();
signals:
    void openMenu();

public slots:
    void openMenuSlot();
};

#pragma once

#include <QWidget>

// Stands in for the page until its own subsystem is built: the page protocol only.
class Backup : public QWidget
{
    Q_OBJECT
public:
    explicit Backup(QWidget *parent = nullptr);
    void refreshPage();
    QString pfadBackup;
signals:
    void openMenu();

public slots:
    void openMenuSlot();
};

#pragma once

#include <QWidget>

// Stands in for the page until its own subsystem is built: the page protocol only.
class Verkauf : public QWidget
{
    Q_OBJECT
public:
    explicit Verkauf(QWidget *parent = nullptr);
    void refreshPage(bool reset);
    void setAustragen(bool austragen);
    bool austragen() const { return m_austragen; }

private:
    bool m_austragen = false;

signals:
    void openMenu();

public slots:
    void openMenuSlot();
};

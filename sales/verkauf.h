#pragma once

#include <QWidget>

class QLabel;

// Stands in for the page until its own subsystem is built: the page protocol only.
class Verkauf : public QWidget
{
    Q_OBJECT
public:
    explicit Verkauf(QWidget *parent = nullptr);
    void refreshPage(bool reset);
    // Write-off mode: the page books pieces out instead of selling them.
    void setAustragen(bool austragen);
    bool austragen() const { return m_austragen; }

private:
    bool m_austragen = false;
    QLabel *m_title;

signals:
    void openMenu();

public slots:
    void openMenuSlot();
};

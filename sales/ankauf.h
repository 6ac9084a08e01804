#pragma once

#include <QWidget>

class Ui_Ankauf;

// The goods bought for cash and not yet sold out: per cash purchase, every article of which
// fewer pieces were sold than bought. Read-only.
class Ankauf : public QWidget
{
    Q_OBJECT
public:
    explicit Ankauf(QWidget *parent = nullptr);
    ~Ankauf() override;

    // Page entry: the list is read anew every time.
    void refreshPage();

signals:
    void openMenu();

public slots:
    void openMenuSlot();

private:
    Ui_Ankauf *ui;
};

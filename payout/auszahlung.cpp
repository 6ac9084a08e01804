#include "payout/auszahlung.h"

Auszahlung::Auszahlung(QWidget *parent)
    : QWidget(parent)
{
}

void Auszahlung::refreshPage() { }

void Auszahlung::openMenuSlot()
{
    emit openMenu();
}

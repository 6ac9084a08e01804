#include "payout/abgelaufene.h"

Abgelaufene::Abgelaufene(QWidget *parent)
    : QWidget(parent)
{
}

void Abgelaufene::refreshPage() { }

void Abgelaufene::openMenuSlot()
{
    emit openMenu();
}

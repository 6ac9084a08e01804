#include "admin/kunden.h"

Kunden::Kunden(QWidget *parent)
    : QWidget(parent)
{
}

void Kunden::refreshPage() { }

void Kunden::openMenuSlot()
{
    emit openMenu();
}

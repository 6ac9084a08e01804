#include "sales/ankauf.h"

Ankauf::Ankauf(QWidget *parent)
    : QWidget(parent)
{
}

void Ankauf::refreshPage() { }

void Ankauf::openMenuSlot()
{
    emit openMenu();
}

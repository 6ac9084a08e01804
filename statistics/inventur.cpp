#include "statistics/inventur.h"

Inventur::Inventur(QWidget *parent)
    : QWidget(parent)
{
}

void Inventur::refreshPage() { }

void Inventur::openMenuSlot()
{
    emit openMenu();
}

void Inventur::calculate() { }

void Inventur::uploadInv() { }
